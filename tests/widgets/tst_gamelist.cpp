// A game list: the sets of a folder with what the emulator says of each (its titles, then its
// catalogue) and what the audit found; search as you type and the "Show" choice above it; sorting.
#include "gamefinder.h"
#include "gamelist.h"
#include "listxmlsample.h"
#include "romforge.h"
#include "testutil.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

using namespace TestUtil;

namespace {

const QByteArray Listing = "Name:             Description:\n"
                           "galaga            \"Galaga (Namco rev. B)\"\n"
                           "mspacman          \"Ms. Pac-Man\"\n"
                           "pacman            \"Pac-Man (Midway)\"\n"
                           "puckman           \"Puck Man (Japan set 1)\"\n";

// Archives the emulator knows nothing of, enough to scroll the list.
QList<QByteArray> fillers()
{
    QList<QByteArray> names;
    for (int i = 0; i < 100; ++i)
        names << QStringLiteral("filler-%1.zip").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
    return names;
}

const QList<QByteArray> Games = {"galaga.zip", "kof98.zip", "mspacman.zip", "neogeo.zip", "pacman.zip",
                                 "puckman.zip", "tomjerry.7z", "z80.zip"};

// A folder of the games above and the fillers, with a set that is a folder ("area51", a machine
// of the sample catalogue) and folders that are no set.
void fill(const ScratchDir &dir)
{
    for (const QByteArray &name : fillers() + Games)
        writeFile(dir.file(name), "PK");
    for (const char *folder : {"area51", "notamachine", "pacman"})
        QVERIFY(QDir().mkpath(QString::fromUtf8(dir.file(folder))));
}

using Knowledge = QString; // "none", "titles" or "catalogue"

std::shared_ptr<const Catalogue> sample()
{
    return std::make_shared<const Catalogue>(RomForge::catalogueOf(ListXmlSample::full())->catalogue);
}

void know(GameList &list, const Knowledge &knowledge)
{
    if (knowledge == QLatin1String("titles"))
        list.setTitles(std::make_shared<const Titles>(Titles::fromListFull(Listing, 0)));
    else if (knowledge == QLatin1String("catalogue"))
        list.setCatalogue(sample());
}

RomAudit::Verdict verdict(const QByteArray &set, RomAudit::State state, const QString &summary)
{
    RomAudit::Verdict v;
    v.set = set;
    v.state = state;
    v.summary = summary;
    return v;
}

} // namespace

class TestGameList : public QObject {
    Q_OBJECT
private slots:
    void cells_data();
    void cells();
    void finding_data();
    void finding();
    void sorting_data();
    void sorting();
};

void TestGameList::cells_data()
{
    QTest::addColumn<Knowledge>("knowledge");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("expected");
    const int show = Qt::DisplayRole, tip = Qt::ToolTipRole, said = Qt::AccessibleTextRole;
    using M = GameListModel;
    // Names at once, before anything is known of them.
    QTest::newRow("a name, nothing known") << Knowledge("none") << QByteArray("PACMAN.ZIP") << int(M::Name) << tip
                                           << QStringLiteral("PACMAN.ZIP");
    QTest::newRow("a title from the titles") << Knowledge("titles") << QByteArray("PACMAN.ZIP") << int(M::Title) << show
                                             << QStringLiteral("Pac-Man (Midway)");
    QTest::newRow("the name stays what the list holds") << Knowledge("titles") << QByteArray("PACMAN.ZIP") << int(M::Name)
                                                        << show << QStringLiteral("PACMAN.ZIP");
    QTest::newRow("titles: unknown, in plain text") << Knowledge("titles") << QByteArray("<h1>BIG.zip") << int(M::Name)
                                                    << tip << QStringLiteral("The emulator does not know <h1>BIG.zip");
    QTest::newRow("catalogue: title") << Knowledge("catalogue") << QByteArray("PACMAN.ZIP") << int(M::Title) << show
                                      << QStringLiteral("Pac-Man (Midway)");
    QTest::newRow("catalogue: year") << Knowledge("catalogue") << QByteArray("PACMAN.ZIP") << int(M::Year) << show
                                     << QStringLiteral("1980");
    QTest::newRow("catalogue: maker") << Knowledge("catalogue") << QByteArray("PACMAN.ZIP") << int(M::Manufacturer)
                                      << show << QStringLiteral("Namco (Midway license)");
    QTest::newRow("catalogue: clone of") << Knowledge("catalogue") << QByteArray("PACMAN.ZIP") << int(M::Parent) << show
                                         << QStringLiteral("puckman");
    QTest::newRow("catalogue: a parent is no clone") << Knowledge("catalogue") << QByteArray("puckman.zip")
                                                     << int(M::Parent) << show << QString();
    QTest::newRow("catalogue: driver status") << Knowledge("catalogue") << QByteArray("kof98.zip") << int(M::Driver)
                                              << show << QStringLiteral("imperfect");
    QTest::newRow("catalogue: feature notes in the tooltip")
        << Knowledge("catalogue") << QByteArray("kof98.zip") << int(M::Driver) << tip
        << QStringLiteral("Driver status: imperfect; emulated imperfectly: protection");
    QTest::newRow("catalogue: notes of the machine and of its devices")
        << Knowledge("catalogue") << QByteArray("area51") << int(M::Driver) << tip
        << QStringLiteral("Driver status: preliminary; emulated imperfectly: graphics; not emulated: sound");
    QTest::newRow("catalogue: a BIOS says so") << Knowledge("catalogue") << QByteArray("neogeo.zip") << int(M::Driver)
                                               << show << QStringLiteral("BIOS");
    QTest::newRow("catalogue: a device says so") << Knowledge("catalogue") << QByteArray("z80.zip") << int(M::Driver)
                                                 << show << QStringLiteral("device");
    QTest::newRow("catalogue: unknown says so") << Knowledge("catalogue") << QByteArray("galaga.zip") << int(M::Driver)
                                                << show << QStringLiteral("unknown");
    QTest::newRow("catalogue: unknown, in the tooltip") << Knowledge("catalogue") << QByteArray("<h1>BIG.zip")
                                                        << int(M::Title) << tip
                                                        << QStringLiteral("The emulator does not know <h1>BIG.zip");
    QTest::newRow("catalogue: escapes decoded, a 7z set")
        << Knowledge("catalogue") << QByteArray("tomjerry.7z") << int(M::Manufacturer) << show << QStringLiteral("Atari & Co.");
    QTest::newRow("catalogue: a folder named after a machine") << Knowledge("catalogue") << QByteArray("area51")
                                                               << int(M::Title) << show << QStringLiteral("Area 51 (R3000)");
    QTest::newRow("a row said whole")
        << Knowledge("catalogue") << QByteArray("PACMAN.ZIP") << int(M::Name) << said
        << QStringLiteral("PACMAN.ZIP, Pac-Man (Midway), 1980, Namco (Midway license), driver good, clone of puckman, "
                          "audit: incomplete");
    QTest::newRow("the audit's state") << Knowledge("catalogue") << QByteArray("PACMAN.ZIP") << int(M::Status) << show
                                       << QStringLiteral("incomplete");
    QTest::newRow("the audit's reason in the tooltip") << Knowledge("catalogue") << QByteArray("PACMAN.ZIP")
                                                       << int(M::Status) << tip << QStringLiteral("needs puckman");
    QTest::newRow("the audit of an unknown archive") << Knowledge("catalogue") << QByteArray("<h1>BIG.zip")
                                                     << int(M::Status) << show
                                                     << RomAudit::stateText(RomAudit::State::NotMachine);
    QTest::newRow("an unknown row said whole") << Knowledge("titles") << QByteArray("zzyzx.zip") << int(M::Name) << said
                                               << QStringLiteral("zzyzx.zip, not known to the emulator");
}

void TestGameList::cells()
{
    QFETCH(Knowledge, knowledge);
    QFETCH(QByteArray, entry);
    QFETCH(int, column);
    QFETCH(int, role);
    ScratchDir dir;
    fill(dir);
    for (const char *name : {"PACMAN.ZIP", "zzyzx.zip", "<h1>BIG.zip"})
        writeFile(dir.file(name), "PK");
    GameList list;
    list.setDirectory(dir.path());
    const QList<QByteArray> names = list.names();
    // Folders are sets only once the catalogue names their machines; a folder beside an archive of
    // its machine is the archive's (it holds its disks).
    QVERIFY(!names.contains("area51"));
    list.setItemIndex(int(names.indexOf("PACMAN.ZIP")));
    know(list, knowledge);
    QCOMPARE(list.names().contains("area51"), knowledge == QLatin1String("catalogue"));
    QVERIFY(!list.names().contains("notamachine"));
    QCOMPARE(list.names().count("pacman"), 0);
    list.addVerdicts({verdict("pacman", RomAudit::State::Incomplete, QStringLiteral("needs puckman")),
                      verdict("<h1>big", RomAudit::State::NotMachine, QString())});
    QCOMPARE(list.fileName(), dir.file("PACMAN.ZIP")); // the selection is untouched by every arrival
    const int row = int(list.names().indexOf(entry));
    QVERIFY(row >= 0);
    const QModelIndex index = list.model()->index(row, column);
    QTEST(index.data(role).toString(), "expected");
    if (role != Qt::ToolTipRole)
        return;
    // The tooltip shown over the cell, read as the user reads it: plain text.
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.scrollTo(index);
    QHelpEvent help(QEvent::ToolTip, list.visualRect(index).center(), QPoint(10, 10));
    QApplication::sendEvent(list.viewport(), &help);
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    QTEST(QToolTip::isVisible() ? shown.toPlainText() : QString(), "expected");
    QToolTip::hideText();
}

void TestGameList::finding_data()
{
    QTest::addColumn<Knowledge>("before");           // known before typing
    QTest::addColumn<Knowledge>("later");            // arriving after the keys
    QTest::addColumn<int>("show");                   // the "Show" choice's row
    QTest::addColumn<QByteArray>("pick");            // selected before typing; empty for none
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys");            // pressed in the field after typing
    QTest::addColumn<QList<QByteArray>>("shown");
    QTest::addColumn<QByteArray>("accepted");        // the entry OK took; "-" for no OK
    QTest::addColumn<QByteArray>("selected");        // at the end; empty for none
    using L = QList<QByteArray>;
    const L all = fillers() + Games;
    const QByteArray none, no("-");
    const Knowledge titles("titles"), catalogue("catalogue"), nothing("none");
    const QList<int> noKeys;
    QTest::newRow("by name") << titles << nothing << 0 << none << "galag" << noKeys << L{"galaga.zip"} << no << none;
    QTest::newRow("by title, any letter case") << titles << nothing << 0 << none << "pac-man" << noKeys
                                               << L{"mspacman.zip", "pacman.zip"} << no << none;
    QTest::newRow("Enter takes the single match") << titles << nothing << 0 << none << "JAPAN" << QList<int>{Qt::Key_Return}
                                                  << L{"puckman.zip"} << QByteArray("puckman.zip") << QByteArray("puckman.zip");
    QTest::newRow("Enter takes the first of several") << titles << nothing << 0 << none << "pac" << QList<int>{Qt::Key_Enter}
                                                      << L{"mspacman.zip", "pacman.zip"} << QByteArray("mspacman.zip")
                                                      << QByteArray("mspacman.zip");
    QTest::newRow("Enter with nothing left does nothing") << titles << nothing << 0 << none << "xyz"
                                                          << QList<int>{Qt::Key_Return} << L{} << no << none;
    QTest::newRow("Escape clears the field") << titles << nothing << 0 << none << "gal" << QList<int>{Qt::Key_Escape} << all
                                             << no << none;
    QTest::newRow("Down moves into the list") << titles << nothing << 0 << none << "man" << QList<int>{Qt::Key_Down}
                                              << L{"mspacman.zip", "pacman.zip", "puckman.zip"} << no
                                              << QByteArray("mspacman.zip");
    QTest::newRow("Escape clears only the field: the pick stays")
        << titles << nothing << 0 << QByteArray("pacman.zip") << "pac" << QList<int>{Qt::Key_Escape} << all << no
        << QByteArray("pacman.zip");
    QTest::newRow("a pick that Find hid comes back with Escape")
        << titles << nothing << 0 << QByteArray("pacman.zip") << "gal" << QList<int>{Qt::Key_Escape} << all << no
        << QByteArray("pacman.zip");
    QTest::newRow("titles arriving keep the pick, the text and the place")
        << nothing << titles << 0 << QByteArray("filler-050.zip") << "fill" << noKeys << fillers() << no
        << QByteArray("filler-050.zip");
    QTest::newRow("titles arriving show the pick again")
        << nothing << titles << 0 << QByteArray("pacman.zip") << "midway" << noKeys << L{"pacman.zip"} << no
        << QByteArray("pacman.zip");
    QTest::newRow("the catalogue arriving keeps the pick, the text and the place")
        << titles << catalogue << 0 << QByteArray("filler-050.zip") << "fill" << noKeys << fillers() << no
        << QByteArray("filler-050.zip");
    QTest::newRow("the catalogue arriving shows the pick again")
        << titles << catalogue << 0 << QByteArray("pacman.zip") << "1980" << noKeys << L{"pacman.zip", "puckman.zip"} << no
        << QByteArray("pacman.zip");
    QTest::newRow("by year") << catalogue << nothing << 0 << none << "1998" << noKeys << L{"kof98.zip"} << no << none;
    QTest::newRow("by maker") << catalogue << nothing << 0 << none << "snk" << noKeys << L{"kof98.zip", "neogeo.zip"} << no
                              << none;
    QTest::newRow("by maker, as decoded") << catalogue << nothing << 0 << none << "atari &" << noKeys << L{"tomjerry.7z"}
                                          << no << none;
    QTest::newRow("a folder set") << catalogue << nothing << 0 << none << "r3000" << noKeys << L{"area51"} << no << none;
    QTest::newRow("show: working") << catalogue << nothing << 1 << none << "" << noKeys
                                   << L{"kof98.zip", "pacman.zip", "puckman.zip", "tomjerry.7z"} << no << none;
    QTest::newRow("show: parents only") << catalogue << nothing << 2 << none << "" << noKeys
                                        << L{"area51", "kof98.zip", "puckman.zip", "tomjerry.7z"} << no << none;
    QTest::newRow("show: games the emulator knows")
        << catalogue << nothing << 3 << none << "" << noKeys
        << L{"area51", "kof98.zip", "pacman.zip", "puckman.zip", "tomjerry.7z"} << no << none;
    QTest::newRow("show and find together") << catalogue << nothing << 2 << none << "pac" << noKeys << L{} << no << none;
    QTest::newRow("a pick the choice hid comes back with Escape")
        << catalogue << nothing << 3 << QByteArray("pacman.zip") << "puck" << QList<int>{Qt::Key_Escape}
        << L{"area51", "kof98.zip", "pacman.zip", "puckman.zip", "tomjerry.7z"} << no << QByteArray("pacman.zip");
}

void TestGameList::finding()
{
    QFETCH(Knowledge, before);
    QFETCH(Knowledge, later);
    QFETCH(int, show);
    QFETCH(QByteArray, pick);
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    QFETCH(QList<QByteArray>, shown);
    QFETCH(QByteArray, accepted);
    ScratchDir dir;
    fill(dir);
    QWidget window;
    GameList list(&window);
    list.setDirectory(dir.path());
    know(list, before);
    QByteArray taken = "-";
    GameFinder finder(&list, [&] { taken = list.selectedName(); }, &window);
    window.resize(400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    list.setItemIndex(int(list.names().indexOf(pick)));
    const auto topName = [&] { return list.names().value(list.indexAt(QPoint(0, 0)).row()); };
    const QByteArray top = topName();
    QCOMPARE(finder.field()->objectName(), QStringLiteral("gamefilter"));
    QCOMPARE(finder.label()->buddy(), finder.field());
    QCOMPARE(finder.showLabel()->buddy(), finder.showChoice());
    // The choice narrows by what the catalogue says: without one it waits.
    QCOMPARE(finder.showChoice()->isEnabled(), before == QLatin1String("catalogue"));
    if (show > 0) {
        finder.showChoice()->setFocus();
        for (int i = 0; i < show; ++i)
            QTest::keyClick(finder.showChoice(), Qt::Key_Down);
        QCOMPARE(finder.showChoice()->currentIndex(), show);
    }
    finder.field()->setFocus();
    QTest::keyClicks(finder.field(), typed);
    for (const int key : keys)
        QTest::keyClick(finder.field(), Qt::Key(key));
    if (later != QLatin1String("none")) {
        know(list, later);
        QCOMPARE(finder.field()->text(), typed);
        // The list stays where it was scrolled to, while its first row is there.
        if (shown.contains(top))
            QCOMPARE(topName(), top);
    }
    QCOMPARE(list.names(), shown);
    QCOMPARE(taken, accepted);
    QTEST(list.selectedName(), "selected");
    if (keys.contains(Qt::Key_Escape))
        QVERIFY(finder.field()->text().isEmpty());
    if (keys.contains(Qt::Key_Down)) {
        QVERIFY(list.hasFocus());
        QCOMPARE(list.itemIndex(), 0);
    }
}

void TestGameList::sorting_data()
{
    QTest::addColumn<QList<int>>("keys");      // Ctrl+digit presses in the list; -N: a click on header N
    QTest::addColumn<int>("show");
    QTest::addColumn<QList<QByteArray>>("first");
    using L = QList<QByteArray>;
    QTest::newRow("by name, at first") << QList<int>{} << 3 << L{"area51", "kof98.zip", "pacman.zip", "puckman.zip"};
    QTest::newRow("by year, from the keyboard") << QList<int>{Qt::Key_3} << 0
                                                << L{"pacman.zip", "puckman.zip", "tomjerry.7z", "neogeo.zip", "area51",
                                                     "kof98.zip", "filler-000.zip"};
    QTest::newRow("by year again: the other way, unknown years still last")
        << QList<int>{Qt::Key_3, Qt::Key_3} << 0
        << L{"kof98.zip", "area51", "neogeo.zip", "tomjerry.7z", "pacman.zip", "puckman.zip", "filler-000.zip"};
    QTest::newRow("by title, by its header") << QList<int>{-GameListModel::Title} << 3
                                             << L{"area51", "pacman.zip", "puckman.zip", "kof98.zip", "tomjerry.7z"};
    QTest::newRow("by maker") << QList<int>{Qt::Key_4} << 3
                              << L{"tomjerry.7z", "area51", "puckman.zip", "pacman.zip", "kof98.zip"};
    QTest::newRow("by driver status: the better first") << QList<int>{Qt::Key_5} << 3
                                                        << L{"pacman.zip", "puckman.zip", "tomjerry.7z", "kof98.zip", "area51"};
    QTest::newRow("by the audit's state") << QList<int>{Qt::Key_7} << 3
                                          << L{"puckman.zip", "pacman.zip", "area51", "kof98.zip", "tomjerry.7z"};
}

void TestGameList::sorting()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, show);
    QFETCH(QList<QByteArray>, first);
    ScratchDir dir;
    fill(dir);
    const QString settingsFile = QString::fromUtf8(dir.file("layout.conf"));
    {
        GameList list;
        list.setDirectory(dir.path());
        list.setCatalogue(sample());
        list.addVerdicts({verdict("puckman", RomAudit::State::Good, {}), verdict("pacman", RomAudit::State::Incomplete, {})});
        list.setShow(GameListModel::Show(show));
        list.resize(600, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.setItemIndex(int(list.names().indexOf("kof98.zip")));
        for (const int key : keys) {
            if (key < 0)
                QTest::mouseClick(list.horizontalHeader()->viewport(), Qt::LeftButton, {},
                                  QPoint(list.horizontalHeader()->sectionViewportPosition(-key) + 5, 5));
            else
                QTest::keyClick(&list, Qt::Key(key), Qt::ControlModifier);
        }
        QCOMPARE(list.names().mid(0, int(first.size())), first);
        // The pick stays picked, and in view.
        QCOMPARE(list.selectedName(), QByteArray("kof98.zip"));
        QVERIFY(list.viewport()->rect().intersects(list.visualRect(list.currentIndex())));
        QSettings settings(settingsFile, QSettings::IniFormat);
        list.saveLayout(settings, QStringLiteral("games"));
    }
    // The order is remembered.
    GameList again;
    QSettings settings(settingsFile, QSettings::IniFormat);
    again.restoreLayout(settings, QStringLiteral("games"));
    again.setDirectory(dir.path());
    again.setCatalogue(sample());
    again.addVerdicts({verdict("puckman", RomAudit::State::Good, {}), verdict("pacman", RomAudit::State::Incomplete, {})});
    again.setShow(GameListModel::Show(show));
    QCOMPARE(again.names().mid(0, int(first.size())), first);
}

QTEST_MAIN(TestGameList)
#include "tst_gamelist.moc"
