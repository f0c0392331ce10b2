// The ROM selector window: its look, which directory it lists, its answers, and Change Directory.
#include "romselector.h"
#include "application.h"
#include "fileio.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "gamefinder.h"
#include "launcher.h"
#include "listxmlsample.h"
#include "romforge.h"
#include "workstrip.h"
#include "guard.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "mainwindow.h"
#include "scene.h"

#include <QApplication>
#include <QComboBox>
#include <fcntl.h>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <unistd.h>
#include <sys/stat.h>
#include <QLineEdit>
#include <QSignalSpy>

using namespace TestUtil;

namespace {

// A selected configuration naming the stand-in emulator and a ROM directory, given to the selector.
void hold(Scene &s, const QByteArray &romDirectory)
{
    // An emulator that keeps its settings file beside itself.
    s.fake.old();
    s.select(configLines(54, {{40, s.fake.program}, {52, romDirectory}}));
    s.prepareSelector();
}
QByteArray settingsPath(const Scene &s, const char *name) { return s.fake.directory + "/" + name; }

} // namespace

class TestRomSelector : public QObject {
    Q_OBJECT
private slots:
    void appearance();
    void listedDirectory_data();
    void listedDirectory();
    void onlyPlainArchivesSorted();
    void answers();
    void refresh();
    void changeDirectory_data();
    void changeDirectory();
    void changeDirectoryRemembersFolder();
    void changeDirectoryCancelled();
    void changeDirectoryFailures_data();
    void changeDirectoryFailures();
    void titlesAndSearch_data();
    void titlesAndSearch();
    void catalogueAndAudit_data();
    void catalogueAndAudit();
};

void TestRomSelector::appearance()
{
    Scene s;
    QVERIFY(!s.selector.isVisible());
    QCOMPARE(s.selector.windowTitle(), QStringLiteral("Select ROM"));
    // Resizable, first of a size that holds every column on a 1024x768 screen.
    QVERIFY(s.selector.width() <= 1000 && s.selector.height() <= 700);
    QVERIFY(s.selector.width() >= s.selector.gamelist->horizontalHeader()->length());
    QVERIFY(s.selector.minimumSize() != s.selector.maximumSize());
    QVERIFY(!s.selector.okpressed);
    QCOMPARE(s.selector.Folder.Title, QStringLiteral("Select the directory from the List:"));
    const QList<QPair<const char *, const char *>> buttons = {
        {"Button1", "OK"}, {"Button2", "Cancel"}, {"Button3", "Refresh"}, {"Button4", "Change Directory"}};
    for (const auto &[name, text] : buttons) {
        auto *b = s.selector.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(b, name);
        QCOMPARE(b->text(), QLatin1String(text));
    }
    QCOMPARE(s.selector.Label1->text(), QStringLiteral("Select The the game from the list:"));
    QCOMPARE(s.selector.Label1->buddy(), s.selector.gamelist);
    QCOMPARE(s.selector.gamelist->objectName(), QStringLiteral("gamelist"));
    QCOMPARE(s.selector.gamelist->mask(), QByteArray("*.zip;*.7z"));
    QVERIFY(s.selector.Button1->isDefault());

    // Strips: the label and Refresh on top, then Find, the list between, the buttons below.
    hold(s, s.configurationDirectory);
    s.selector.show();
    QVERIFY(s.selector.Button3->geometry().bottom() < 25);
    QVERIFY(s.selector.Button3->x() > s.selector.Label1->x());
    QCOMPARE(s.selector.finder->geometry().top(), 25);
    const QRect listArea(s.selector.gamelist->mapTo(&s.selector, QPoint(0, 0)), s.selector.gamelist->size());
    QCOMPARE(listArea.top(), s.selector.finder->geometry().bottom() + 1);
    QCOMPARE(listArea.bottom(), s.selector.height() - 34 - 1);
    const int buttonsTop = s.selector.Button1->parentWidget()->mapTo(&s.selector, s.selector.Button1->pos()).y();
    QVERIFY(buttonsTop >= s.selector.height() - 34);
    QVERIFY(s.selector.Button4->x() < s.selector.Button2->x() && s.selector.Button2->x() < s.selector.Button1->x());
    s.selector.Button2->click();
}

void TestRomSelector::listedDirectory_data()
{
    QTest::addColumn<QByteArray>("line52");       // "%R" a ROM directory that exists
    QTest::addColumn<QByteArray>("configRoms");   // name of a "roms" subdirectory of the configuration directory
    QTest::addColumn<QByteArray>("expected");     // "%R", "%C" or "%C/<name>"
    QTest::newRow("line 52 exists") << QByteArray("%R") << QByteArray("roms") << QByteArray("%R");
    QTest::newRow("line 52 missing, roms beside") << QByteArray("/no/such/dir") << QByteArray("roms") << QByteArray("%C/roms");
    QTest::newRow("roms in another letter case") << QByteArray("/no/such/dir") << QByteArray("ROMS") << QByteArray("%C/ROMS");
    QTest::newRow("line 52 empty, nothing beside") << QByteArray() << QByteArray() << QByteArray("%C");
    QTest::newRow("line 52 a file") << QByteArray("%C/file.zip") << QByteArray() << QByteArray("%C");
}

void TestRomSelector::listedDirectory()
{
    QFETCH(QByteArray, line52);
    QFETCH(QByteArray, configRoms);
    QFETCH(QByteArray, expected);
    Scene s;
    const QByteArray romDirectory = s.root.mkdir("games");
    if (!configRoms.isEmpty())
        s.root.mkdir("configs/" + configRoms);
    writeFile(s.configurationDirectory + "/file.zip", "PK");
    auto expand = [&](QByteArray text) {
        return text.replace("%R", romDirectory).replace("%C", s.configurationDirectory);
    };
    hold(s, expand(line52));
    s.selector.show();
    QCOMPARE(s.selector.gamelist->directory(), expand(expected));
    s.selector.Button2->click();
    QVERIFY(!s.selector.isVisible());
}

void TestRomSelector::onlyPlainArchivesSorted()
{
    Scene s;
    const QByteArray games = s.root.mkdir("games");
    for (const char *name : {"zaxxon.zip", "Galaga.ZIP", "asteroid.zip", "readme.txt", ".hidden.zip", "pacman.zip.bak"})
        writeFile(games + "/" + name, "PK");
    s.root.mkdir("games/folder.zip");
    hold(s, games);
    s.selector.show();
    QCOMPARE(s.selector.gamelist->names(), (QList<QByteArray>{"asteroid.zip", "Galaga.ZIP", "zaxxon.zip"}));
    // It opens ready for the keyboard: the focus in the list, its first game selected.
    QCOMPARE(s.selector.gamelist->itemIndex(), 0);
    QCOMPARE(s.selector.focusWidget(), s.selector.gamelist);
    QTest::keyClick(s.selector.gamelist, Qt::Key_Down);
    QCOMPARE(s.selector.gamelist->itemIndex(), 1);
    QCOMPARE(s.selector.gamelist->fileName(), games + "/Galaga.ZIP");
    s.selector.Button2->click();
}

void TestRomSelector::answers()
{
    Scene s;
    writeFile(s.configurationDirectory + "/pacman.zip", "PK");
    hold(s, s.configurationDirectory);
    struct Step { const char *how; bool expected; };
    // OK, then Cancel, the title bar and Escape, each after an OK: only OK answers yes.
    for (const Step &step : {Step{"OK", true}, Step{"Cancel", false}, Step{"OK", true}, Step{"close", false},
                             Step{"OK", true}, Step{"Escape", false}}) {
        s.selector.show();
        const QString how = QLatin1String(step.how);
        if (how == "OK")
            s.selector.Button1->click();
        else if (how == "Cancel")
            s.selector.Button2->click();
        else if (how == "close")
            s.selector.close();
        else
            QTest::keyClick(&s.selector, Qt::Key_Escape);
        QVERIFY2(!s.selector.isVisible(), step.how);
        QVERIFY2(s.selector.okpressed == step.expected, step.how);
    }
    // OK takes the selected game: with none, OK is disabled and Enter does nothing. Enter held
    // down (the repeats of a press that ran the configuration) takes nothing either.
    s.selector.show();
    s.selector.gamelist->setItemIndex(-1);
    QVERIFY(!s.selector.Button1->isEnabled());
    QTest::keyClick(s.selector.gamelist, Qt::Key_Return);
    QVERIFY(s.selector.isVisible());
    s.selector.gamelist->setItemIndex(0);
    QVERIFY(s.selector.Button1->isEnabled());
    for (QWidget *w : std::initializer_list<QWidget *>{s.selector.gamelist, s.selector.finder->field(),
                                                       s.selector.Button1, s.selector.Button2, &s.selector})
        QTest::simulateEvent(w, true, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QVERIFY(s.selector.isVisible());
    QVERIFY(!s.selector.okpressed);
    s.selector.Button2->click();
}

void TestRomSelector::refresh()
{
    Scene s;
    const QByteArray games = s.root.mkdir("games");
    writeFile(games + "/a.zip", "PK");
    hold(s, games);
    s.selector.show();
    writeFile(games + "/b.zip", "PK");
    QCOMPARE(s.selector.gamelist->count(), 1);
    QVERIFY(s.selector.Button1->isEnabled());
    s.selector.Button3->click();
    QCOMPARE(s.selector.gamelist->names(), (QList<QByteArray>{"a.zip", "b.zip"}));
    QVERIFY(!s.selector.Button1->isEnabled()); // read afresh: nothing selected
    QCOMPARE(s.selector.gamelist->directory(), games);
    s.selector.Button2->click();
}

void TestRomSelector::changeDirectory_data()
{
    QTest::addColumn<QByteArray>("settingsName");
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("prefix");
    QTest::newRow("mame.cfg") << QByteArray("mame.cfg") << 11 << QByteArray("rompath = .;ROMS;");
    QTest::newRow("mame.ini") << QByteArray("mame.ini") << 6 << QByteArray("rompath ROMS;");
}

void TestRomSelector::changeDirectory()
{
    QFETCH(QByteArray, settingsName);
    QFETCH(int, line);
    QFETCH(QByteArray, prefix);
    Scene s;
    const QList<QByteArray> before = numbered(14);
    writeFile(settingsPath(s, settingsName.constData()), crlf(before));
    const QByteArray chosen = s.root.mkdir("other games dir");
    writeFile(chosen + "/dkong.zip", "PK");
    hold(s, s.configurationDirectory);
    const QList<QByteArray> lines = s.main.selectedLines().lines();
    s.selector.show();

    s.modals.answerFolder(chosen);
    s.selector.Button4->click();
    QCOMPARE(s.modals.errors(), QStringList());
    QList<QByteArray> expected = before;
    expected[line] = prefix + chosen;
    QCOMPARE(readFile(settingsPath(s, settingsName.constData())), crlf(expected));
    QCOMPARE(s.selector.gamelist->directory(), chosen);
    QCOMPARE(s.selector.gamelist->names(), QList<QByteArray>{"dkong.zip"});
    QCOMPARE(s.selector.Folder.Directory, chosen);
    // The configuration lines keep their ROM directory.
    QCOMPARE(s.main.selectedLines().lines(), lines);
    QCOMPARE(s.modals.folderRequests.size(), 1);
    QCOMPARE(s.modals.folderRequests.at(0).title, QStringLiteral("Select the directory from the List:"));
    QCOMPARE(s.modals.folderRequests.at(0).start, QByteArray());
    s.selector.Button2->click();
}

void TestRomSelector::changeDirectoryRemembersFolder()
{
    Scene s;
    writeFile(settingsPath(s, "mame.ini"), crlf(numbered(8)));
    const QByteArray first = s.root.mkdir("first");
    const QByteArray second = s.root.mkdir("second");
    hold(s, s.configurationDirectory);
    s.selector.show();
    s.modals.answerFolder(first);
    s.selector.Button4->click();
    s.selector.Button2->click();
    s.selector.show(); // the folder survives a new showing
    s.modals.answerFolder(second);
    s.selector.Button4->click();
    QCOMPARE(s.modals.folderRequests.size(), 2);
    QCOMPARE(s.modals.folderRequests.at(1).start, first);
    QCOMPARE(readFile(settingsPath(s, "mame.ini")), crlf(numbered(6) << "rompath ROMS;" + second << "n7"));
    s.selector.Button2->click();
}

void TestRomSelector::changeDirectoryCancelled()
{
    Scene s;
    const QByteArray before = crlf(numbered(8));
    writeFile(settingsPath(s, "mame.ini"), before);
    hold(s, s.configurationDirectory);
    s.selector.show();
    s.modals.cancelFolder();
    s.selector.Button4->click();
    QCOMPARE(readFile(settingsPath(s, "mame.ini")), before);
    QCOMPARE(s.selector.gamelist->directory(), s.configurationDirectory);
    QVERIFY(s.selector.Folder.Directory.isEmpty());
    QVERIFY(s.selector.isVisible());
    s.selector.Button2->click();
}

void TestRomSelector::changeDirectoryFailures_data()
{
    QTest::addColumn<QByteArray>("settings"); // content of mame.ini; "-" for none
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<QString>("error");       // "%S" the settings file's path
    QTest::newRow("no settings file") << QByteArray("-") << false << "Cannot open file %S.";
    QTest::newRow("too short") << crlf(numbered(5)) << false << "Unable to insert a line.";
    QTest::newRow("write fails") << crlf(numbered(8)) << true << "Cannot create file %S: Input/output error.";
}

void TestRomSelector::changeDirectoryFailures()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, writeFails);
    QFETCH(QString, error);
    Scene s;
    if (settings != "-")
        writeFile(settingsPath(s, "mame.ini"), settings);
    const QByteArray chosen = s.root.mkdir("chosen");
    hold(s, s.configurationDirectory);
    s.selector.show();
    s.modals.answerFolder(chosen);
    FileIO::FaultInjector previous;
    if (writeFails)
        previous = FileIO::setFaultInjector([](FileIO::WriteStep, const QByteArray &) { return true; });
    s.selector.Button4->click();
    if (writeFails)
        FileIO::setFaultInjector(previous);
    QCOMPARE(s.modals.errors(), QStringList{error.replace("%S", QString::fromUtf8(settingsPath(s, "mame.ini")))});
    QCOMPARE(readFile(settingsPath(s, "mame.ini")), settings == "-" ? QByteArray("<missing>") : settings);
    QCOMPARE(s.selector.gamelist->directory(), s.configurationDirectory);
    s.selector.Button2->click();
}

void TestRomSelector::titlesAndSearch_data()
{
    QTest::addColumn<QString>("emulator");  // "lists" its systems, "silent", or "changed" after its first answer
    QTest::addColumn<QString>("typed");     // then Enter
    QTest::addColumn<QString>("title");     // beside pacman.zip once the emulator answered
    QTest::addColumn<QByteArray>("chosen"); // what OK took; "-" for none
    QTest::addColumn<bool>("early");        // typed and picked before the titles arrive, then OK
    QTest::newRow("titles beside names, Enter takes the single match")
        << "lists" << "midway" << "Pac-Man (Midway)" << QByteArray("pacman.zip") << false;
    QTest::newRow("by name, the first of several") << "lists" << "PAC" << "Pac-Man (Midway)" << QByteArray("mspacman.zip") << false;
    QTest::newRow("nothing left: Enter does nothing") << "lists" << "zzz" << "Pac-Man (Midway)" << QByteArray("-") << false;
    QTest::newRow("an emulator that answers nothing: names only") << "silent" << "pac" << QString()
                                                                   << QByteArray("mspacman.zip") << false;
    QTest::newRow("the kept titles are old once the emulator changes")
        << "changed" << "puck" << "Pac-Man (Namco)" << QByteArray("puckman.zip") << false;
    QTest::newRow("the titles arriving keep the text and the pick") << "lists" << "pac" << "Pac-Man (Midway)"
                                                                    << QByteArray("pacman.zip") << true;
}

void TestRomSelector::titlesAndSearch()
{
    QFETCH(QString, emulator);
    QFETCH(QString, typed);
    QFETCH(QString, title);
    QFETCH(QByteArray, chosen);
    QFETCH(bool, early);
    Scene s;
    for (const char *name : {"mspacman.zip", "pacman.zip", "puckman.zip"})
        writeFile(s.romDirectory + "/" + name, "PK");
    const QByteArray listing = "Name:             Description:\n"
                               "mspacman          \"Ms. Pac-Man\"\n"
                               "pacman            \"Pac-Man (Midway)\"\n"
                               "puckman           \"Puck Man (Japan set 1)\"\n";
    if (emulator != "silent")
        s.fake.on("LISTFULL", "STDOUT", listing);
    if (emulator == "changed") {
        // An emulator of its own, whose file changes once it has answered.
        s.fake.ownCopy();
        s.select(s.configuration(QByteArray()));
        s.prepareSelector();
        QSignalSpy first(&s.main.launcher(), &Launcher::titlesArrived);
        s.selector.show();
        QVERIFY(first.wait(60000));
        s.selector.Button2->click();
        s.fake.newVersion();
        s.fake.on("LISTFULL", "STDOUT", QByteArray(listing).replace("Pac-Man (Midway)", "Pac-Man (Namco)"));
    } else {
        s.select(s.configuration(QByteArray()));
        s.prepareSelector();
    }
    QSignalSpy arrived(&s.main.launcher(), &Launcher::titlesArrived);
    s.selector.show();
    // The list is there at once, with names; the titles follow when the emulator answers.
    QCOMPARE(s.selector.gamelist->names(), (QList<QByteArray>{"mspacman.zip", "pacman.zip", "puckman.zip"}));
    QVERIFY(s.selector.finder->field()->text().isEmpty());
    if (early) {
        QTest::keyClicks(s.selector.finder->field(), typed);
        s.selector.gamelist->setItemIndex(int(s.selector.gamelist->names().indexOf(chosen)));
    }
    QVERIFY(arrived.wait(60000));
    const QModelIndex pacman = s.selector.gamelist->model()->index(int(s.selector.gamelist->names().indexOf("pacman.zip")), 0);
    QCOMPARE(pacman.siblingAtColumn(GameListModel::Title).data().toString(), title);

    s.selector.okpressed = false;
    if (early) {
        QCOMPARE(s.selector.finder->field()->text(), typed);
        s.selector.Button1->click();
    } else {
        QTest::keyClicks(s.selector.finder->field(), typed);
        QTest::keyClick(s.selector.finder->field(), Qt::Key_Return);
    }
    QCOMPARE(s.selector.okpressed, chosen != "-");
    if (chosen != "-") {
        QCOMPARE(s.selector.gamelist->selectedName(), chosen);
        QVERIFY(!s.selector.isVisible());
        // Shown again, the field is empty and the whole list back.
        s.selector.show();
        QVERIFY(s.selector.finder->field()->text().isEmpty());
        QCOMPARE(s.selector.gamelist->count(), 3);
    }
    s.selector.Button2->click();
}

void TestRomSelector::catalogueAndAudit_data()
{
    QTest::addColumn<QString>("action");          // what the user does once the list is there
    QTest::addColumn<QList<QByteArray>>("shown");  // the sets shown afterwards
    QTest::addColumn<QStringList>("states");      // their Status cells
    using L = QList<QByteArray>;
    const QString good = RomAudit::stateText(RomAudit::State::Good), incomplete = RomAudit::stateText(RomAudit::State::Incomplete),
                  wrong = RomAudit::stateText(RomAudit::State::Wrong), unknown = RomAudit::stateText(RomAudit::State::NotMachine);
    QTest::newRow("the catalogue and the quick audit fill in")
        << "none" << L{"galaga.zip", "kof98.zip", "pacman.zip", "puckman.zip"} << QStringList{unknown, incomplete, good, good};
    QTest::newRow("Show: playable") << "playable" << L{"pacman.zip", "puckman.zip"} << QStringList{good, good};
    QTest::newRow("Verify reads the files: forged ones differ")
        << "verify" << L{"galaga.zip", "kof98.zip", "pacman.zip", "puckman.zip"} << QStringList{unknown, incomplete, wrong, wrong};
    QTest::newRow("Cancel ends the catalogue's reading: names and titles stay")
        << "cancel" << L{"galaga.zip", "kof98.zip", "pacman.zip", "puckman.zip"} << QStringList{"", "", "", ""};
}

void TestRomSelector::catalogueAndAudit()
{
    QFETCH(QString, action);
    QFETCH(QList<QByteArray>, shown);
    QFETCH(QStringList, states);
    Scene s;
    // Sets whose files have the catalogue's sizes and CRCs, but other bytes: the quick audit finds
    // them good, Verify does not.
    using RomForge::File;
    QVERIFY(RomForge::writeZip(s.romDirectory + "/puckman.zip", {File{"pm1_prg1.6e", RomForge::withCrc(2048, 0xf36e88ab, 1)}}));
    QVERIFY(RomForge::writeZip(s.romDirectory + "/pacman.zip", {File{"pacman.6e", RomForge::withCrc(4096, 0xc1e6ab10, 2)}}));
    QVERIFY(RomForge::writeZip(s.romDirectory + "/kof98.zip", {})); // its ROM is not there
    writeFile(s.romDirectory + "/galaga.zip", "PK");
    const QByteArray sample = s.root.path() + "/sample.xml";
    writeFile(sample, ListXmlSample::full());
    s.fake.on("LISTXML", "STDOUT_FILE", sample);
    QByteArray hold;
    if (action == "cancel") {
        hold = s.root.path() + "/hold";
        QVERIFY(::mkfifo(hold.constData(), 0600) == 0);
        s.fake.on("LISTXML", "FIFO", hold);
    }
    s.select(s.configuration(QByteArray()));
    s.prepareSelector();
    s.selector.show();
    QCOMPARE(s.selector.gamelist->names(), (QList<QByteArray>{"galaga.zip", "kof98.zip", "pacman.zip", "puckman.zip"}));
    const auto stateOf = [&](int row) { return s.selector.gamelist->model()->index(row, GameListModel::Status).data().toString(); };
    const auto states_ = [&] {
        QStringList out;
        for (int row = 0; row < s.selector.gamelist->count(); ++row)
            out << stateOf(row);
        return out;
    };
    if (action == "cancel") {
        QTRY_VERIFY(s.main.launcher().catalogues.isReading(s.fake.program));
        QVERIFY(s.selector.work->isVisible());
        // Opening the pipe waits for the emulator to read it: then it is surely running.
        const int running = ::open(hold.constData(), O_WRONLY | O_CLOEXEC);
        QTest::mouseClick(s.selector.work->cancelButton(), Qt::LeftButton);
        ::close(running);
        QVERIFY(!s.selector.work->isVisible());
        QTRY_VERIFY(!s.main.launcher().catalogues.isReading(s.fake.program));
        QVERIFY(!s.selector.finder->showChoice()->isEnabled());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(states_(), (QStringList{RomAudit::stateText(RomAudit::State::NotMachine),
                                                          RomAudit::stateText(RomAudit::State::Incomplete),
                                                          RomAudit::stateText(RomAudit::State::Good),
                                                          RomAudit::stateText(RomAudit::State::Good)}),
                                  60000);
        QTRY_VERIFY(!s.selector.work->isVisible());
        QVERIFY(s.selector.gamelist->model()->index(1, GameListModel::Status).data(Qt::ToolTipRole).toString().contains(
            QStringLiteral("missing")));
    }
    if (action == "playable")
        s.selector.finder->showChoice()->setCurrentIndex(int(GameListModel::Show::Playable));
    if (action == "verify") {
        QVERIFY(s.selector.verifyButton->isEnabled());
        s.selector.verifyButton->click();
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(3), RomAudit::stateText(RomAudit::State::Wrong), 60000);
        QVERIFY(s.selector.gamelist->model()->index(3, GameListModel::Status).data(Qt::ToolTipRole).toString().contains(
            QStringLiteral("SHA-1 differs")));
        QTRY_VERIFY(!s.selector.work->isVisible());
    }
    QCOMPARE(s.selector.gamelist->names(), shown);
    QCOMPARE(states_(), states);
    s.selector.Button2->click();
}

QTEST_MAIN(TestRomSelector)
#include "tst_romselector.moc"
