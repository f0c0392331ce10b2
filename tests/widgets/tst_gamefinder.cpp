// A game list with the emulator's titles beside the archives, and search as you type above it.
#include "filelistbox.h"
#include "gamefinder.h"
#include "testutil.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

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
    for (const char *name : {"galaga.zip", "PACMAN.ZIP", "zzyzx.zip"})
        writeFile(dir.file(name), "PK");
    FileListBox list;
    list.setShowTitles(true);
    list.setMask("*.zip");
    list.setDirectory(dir.path());
    auto at = [&](int row, int role) { return list.model()->index(row, 0).data(role).toString(); };
    // Names at once, before any title is known.
    QCOMPARE(list.names(), (QList<QByteArray>{"galaga.zip", "PACMAN.ZIP", "zzyzx.zip"}));
    QCOMPARE(at(1, FileListModel::TitleRole), QString());
    QCOMPARE(at(1, Qt::ToolTipRole), QStringLiteral("PACMAN.ZIP"));

    list.setItemIndex(1);
    list.setTitles(std::make_shared<const Titles>(Titles::fromListFull(Listing, 0)));
    QCOMPARE(at(1, Qt::DisplayRole), QStringLiteral("PACMAN.ZIP")); // the name stays what the list holds
    QCOMPARE(at(1, FileListModel::TitleRole), QStringLiteral("Pac-Man (Midway)"));
    QCOMPARE(at(1, Qt::ToolTipRole), QStringLiteral("Pac-Man (Midway)"));
    QCOMPARE(at(1, Qt::AccessibleTextRole), QStringLiteral("PACMAN.ZIP, Pac-Man (Midway)"));
    QCOMPARE(list.fileName(), dir.file("PACMAN.ZIP")); // the selection is untouched
    // An archive the emulator does not know has no title, and its tooltip says so.
    QCOMPARE(at(2, FileListModel::TitleRole), QString());
    QCOMPARE(at(2, Qt::ToolTipRole), QStringLiteral("The emulator does not know zzyzx.zip"));
}

void TestGameFinder::finding_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys");            // pressed in the field after typing
    QTest::addColumn<QList<QByteArray>>("shown");
    QTest::addColumn<QByteArray>("accepted");        // the entry OK took; "-" for no OK
    using L = QList<QByteArray>;
    QTest::newRow("by name") << "galag" << QList<int>{} << L{"galaga.zip"} << QByteArray("-");
    QTest::newRow("by title, any letter case") << "pac-man" << QList<int>{} << L{"mspacman.zip", "pacman.zip"}
                                               << QByteArray("-");
    QTest::newRow("Enter takes the single match") << "JAPAN" << QList<int>{Qt::Key_Return} << L{"puckman.zip"}
                                                  << QByteArray("puckman.zip");
    QTest::newRow("Enter takes the first of several") << "pac" << QList<int>{Qt::Key_Enter}
                                                      << L{"mspacman.zip", "pacman.zip"} << QByteArray("mspacman.zip");
    QTest::newRow("Enter with nothing left does nothing") << "xyz" << QList<int>{Qt::Key_Return} << L{}
                                                          << QByteArray("-");
    QTest::newRow("Escape clears the field") << "gal" << QList<int>{Qt::Key_Escape}
                                             << L{"galaga.zip", "mspacman.zip", "pacman.zip", "puckman.zip"}
                                             << QByteArray("-");
    QTest::newRow("Down moves into the list") << "man" << QList<int>{Qt::Key_Down}
                                              << L{"mspacman.zip", "pacman.zip", "puckman.zip"} << QByteArray("-");
}

void TestGameFinder::finding()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    QFETCH(QList<QByteArray>, shown);
    QFETCH(QByteArray, accepted);
    ScratchDir dir;
    for (const char *name : {"galaga.zip", "mspacman.zip", "pacman.zip", "puckman.zip"})
        writeFile(dir.file(name), "PK");
    QWidget window;
    FileListBox list(&window);
    list.setShowTitles(true);
    list.setMask("*.zip");
    list.setDirectory(dir.path());
    list.setTitles(std::make_shared<const Titles>(Titles::fromListFull(Listing, 0)));
    QByteArray taken = "-";
    GameFinder finder(&list, [&] { taken = list.selectedName(); }, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    finder.field()->setFocus();
    QCOMPARE(finder.field()->objectName(), QStringLiteral("gamefilter"));
    QCOMPARE(finder.label()->buddy(), finder.field());
    QTest::keyClicks(finder.field(), typed);
    for (const int key : keys)
        QTest::keyClick(finder.field(), Qt::Key(key));
    QCOMPARE(list.names(), shown);
    QCOMPARE(taken, accepted);
    if (keys.contains(Qt::Key_Escape))
        QVERIFY(finder.field()->text().isEmpty());
    if (keys.contains(Qt::Key_Down)) {
        QVERIFY(list.hasFocus());
        QCOMPARE(list.itemIndex(), 0);
    }
}

QTEST_MAIN(TestGameFinder)
#include "tst_gamefinder.moc"
