// A game list with the emulator's titles beside the archives, and search as you type above it.
#include "filelistbox.h"
#include "gamefinder.h"
#include "testutil.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
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

} // namespace

class TestGameFinder : public QObject {
    Q_OBJECT
private slots:
    void titlesBesideNames();
    void finding_data();
    void finding();
};

void TestGameFinder::titlesBesideNames()
{
    ScratchDir dir;
    for (const char *name : {"galaga.zip", "PACMAN.ZIP", "zzyzx.zip", "<h1>BIG.zip"})
        writeFile(dir.file(name), "PK");
    FileListBox list;
    list.setShowTitles(true);
    list.setMask("*.zip");
    list.setDirectory(dir.path());
    auto at = [&](int row, int role) { return list.model()->index(row, 0).data(role).toString(); };
    // The tooltip shown over a row, read as the user reads it.
    auto shownTip = [&](int row) {
        QHelpEvent help(QEvent::ToolTip, list.visualRect(list.model()->index(row, 0)).center(), QPoint(10, 10));
        QApplication::sendEvent(list.viewport(), &help);
        QTextDocument shown;
        shown.setHtml(QToolTip::text());
        return QToolTip::isVisible() ? shown.toPlainText() : QString();
    };
    // Names at once, before any title is known.
    QCOMPARE(list.names(), (QList<QByteArray>{"<h1>BIG.zip", "galaga.zip", "PACMAN.ZIP", "zzyzx.zip"}));
    QCOMPARE(at(2, FileListModel::TitleRole), QString());
    QCOMPARE(at(2, Qt::ToolTipRole), QStringLiteral("PACMAN.ZIP"));

    list.setItemIndex(2);
    list.setTitles(std::make_shared<const Titles>(Titles::fromListFull(Listing, 0)));
    QCOMPARE(at(2, Qt::DisplayRole), QStringLiteral("PACMAN.ZIP")); // the name stays what the list holds
    QCOMPARE(at(2, FileListModel::TitleRole), QStringLiteral("Pac-Man (Midway)"));
    QCOMPARE(at(2, Qt::ToolTipRole), QStringLiteral("Pac-Man (Midway)"));
    QCOMPARE(at(2, Qt::AccessibleTextRole), QStringLiteral("PACMAN.ZIP, Pac-Man (Midway)"));
    QCOMPARE(list.fileName(), dir.file("PACMAN.ZIP")); // the selection is untouched
    // An archive the emulator does not know has no title, and its tooltip says so, in plain text.
    QCOMPARE(at(3, FileListModel::TitleRole), QString());
    QCOMPARE(at(3, Qt::ToolTipRole), QStringLiteral("The emulator does not know zzyzx.zip"));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(shownTip(0), QStringLiteral("The emulator does not know <h1>BIG.zip"));
    QCOMPARE(shownTip(2), QStringLiteral("Pac-Man (Midway)"));
    QToolTip::hideText();
}

// Archives the emulator knows nothing of, enough to scroll the list.
QList<QByteArray> fillers()
{
    QList<QByteArray> names;
    for (int i = 0; i < 100; ++i)
        names << QStringLiteral("filler-%1.zip").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
    return names;
}

void TestGameFinder::finding_data()
{
    QTest::addColumn<QByteArray>("pick");            // selected before typing; empty for none
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys");            // pressed in the field after typing
    QTest::addColumn<bool>("titlesLater");           // the titles arrive after the keys, not before
    QTest::addColumn<QList<QByteArray>>("shown");
    QTest::addColumn<QByteArray>("accepted");        // the entry OK took; "-" for no OK
    QTest::addColumn<QByteArray>("selected");        // at the end; empty for none
    using L = QList<QByteArray>;
    const L all = fillers() + L{"galaga.zip", "mspacman.zip", "pacman.zip", "puckman.zip"};
    const QByteArray none;
    QTest::newRow("by name") << none << "galag" << QList<int>{} << false << L{"galaga.zip"} << QByteArray("-") << none;
    QTest::newRow("by title, any letter case") << none << "pac-man" << QList<int>{} << false
                                               << L{"mspacman.zip", "pacman.zip"} << QByteArray("-") << none;
    QTest::newRow("Enter takes the single match") << none << "JAPAN" << QList<int>{Qt::Key_Return} << false
                                                  << L{"puckman.zip"} << QByteArray("puckman.zip") << QByteArray("puckman.zip");
    QTest::newRow("Enter takes the first of several") << none << "pac" << QList<int>{Qt::Key_Enter} << false
                                                      << L{"mspacman.zip", "pacman.zip"} << QByteArray("mspacman.zip")
                                                      << QByteArray("mspacman.zip");
    QTest::newRow("Enter with nothing left does nothing") << none << "xyz" << QList<int>{Qt::Key_Return} << false << L{}
                                                          << QByteArray("-") << none;
    QTest::newRow("Escape clears the field") << none << "gal" << QList<int>{Qt::Key_Escape} << false << all
                                             << QByteArray("-") << none;
    QTest::newRow("Down moves into the list") << none << "man" << QList<int>{Qt::Key_Down} << false
                                              << L{"mspacman.zip", "pacman.zip", "puckman.zip"} << QByteArray("-")
                                              << QByteArray("mspacman.zip");
    QTest::newRow("Escape clears only the field: the pick stays")
        << QByteArray("pacman.zip") << "pac" << QList<int>{Qt::Key_Escape} << false << all << QByteArray("-")
        << QByteArray("pacman.zip");
    QTest::newRow("a pick that Find hid comes back with Escape")
        << QByteArray("pacman.zip") << "gal" << QList<int>{Qt::Key_Escape} << false << all << QByteArray("-")
        << QByteArray("pacman.zip");
    QTest::newRow("titles arriving keep the pick, the text and the place")
        << QByteArray("filler-050.zip") << "fill" << QList<int>{} << true << fillers() << QByteArray("-")
        << QByteArray("filler-050.zip");
    QTest::newRow("titles arriving show the pick again")
        << QByteArray("pacman.zip") << "midway" << QList<int>{} << true << L{"pacman.zip"} << QByteArray("-")
        << QByteArray("pacman.zip");
}

void TestGameFinder::finding()
{
    QFETCH(QByteArray, pick);
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    QFETCH(bool, titlesLater);
    QFETCH(QList<QByteArray>, shown);
    QFETCH(QByteArray, accepted);
    ScratchDir dir;
    for (const QByteArray &name : fillers() + QList<QByteArray>{"galaga.zip", "mspacman.zip", "pacman.zip", "puckman.zip"})
        writeFile(dir.file(name), "PK");
    QWidget window;
    FileListBox list(&window);
    list.setShowTitles(true);
    list.setMask("*.zip");
    list.setDirectory(dir.path());
    const auto titles = std::make_shared<const Titles>(Titles::fromListFull(Listing, 0));
    if (!titlesLater)
        list.setTitles(titles);
    QByteArray taken = "-";
    GameFinder finder(&list, [&] { taken = list.selectedName(); }, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    list.setItemIndex(int(list.names().indexOf(pick)));
    const auto topName = [&] { return list.names().value(list.indexAt(QPoint(0, 0)).row()); };
    const QByteArray top = topName();
    finder.field()->setFocus();
    QCOMPARE(finder.field()->objectName(), QStringLiteral("gamefilter"));
    QCOMPARE(finder.label()->buddy(), finder.field());
    QTest::keyClicks(finder.field(), typed);
    for (const int key : keys)
        QTest::keyClick(finder.field(), Qt::Key(key));
    if (titlesLater) {
        list.setTitles(titles);
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

QTEST_MAIN(TestGameFinder)
#include "tst_gamefinder.moc"
