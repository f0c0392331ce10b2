// Run Configuration end to end with real processes: the settings file prepared by the stand-in
// emulator, the game chosen, and the emulator started in its directory with the right words.
#include "Unit3.h"
#include "application.h"
#include "errors.h"
#include "filelistbox.h"
#include "guard.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "tvm.h"
#include "scene.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace TestUtil;

namespace {

// Counts the main window's hide and show events.
class VisibilityLog : public QObject {
public:
    explicit VisibilityLog(QWidget *w) { w->installEventFilter(this); }
    int hides = 0, shows = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        hides += e->type() == QEvent::Hide;
        shows += e->type() == QEvent::Show;
        return false;
    }
};

} // namespace

class TestRun : public QObject {
    Q_OBJECT
private slots:
    void existingCfgNoPreparatoryRun();
    void iniRouteRunsInEmulatorDirectory();
    void listWritesCfg();
    void currentIniKeepsEveryOtherByte();
    void oldLayoutUpgraded();
    void failedWriteKeepsOldFile();
    void gameNames_data();
    void gameNames();
    void romSelector_data();
    void romSelector();
    void failures_data();
    void failures();
    void nothingSelected();
    void inipathRoutes_data();
    void inipathRoutes();
    void everyWayIn_data();
    void everyWayIn();
};

void TestRun::existingCfgNoPreparatoryRun()
{
    Scene s;
    const QList<QByteArray> cfg = replaced(numbered(14), 11, "rompath = .;ROMS;C:\\OLD");
    writeFile(s.fake.directory + "/mame.cfg", crlf(cfg));
    s.select(s.configuration("pacman.zip"));
    s.run();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(readFile(s.fake.directory + "/mame.cfg"), crlf(replaced(cfg, 11, "rompath = .;ROMS;" + s.romDirectory)));
    const QList<FakeCall> calls = s.fake.calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.at(0).directory, s.fake.directory);
    QCOMPARE(calls.at(0).arguments, (QList<QByteArray>{"pacman", "-joy", "standard"}));
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);
    QCOMPARE(s.main.dados.count(), 55); // one marker line per run
}

void TestRun::iniRouteRunsInEmulatorDirectory()
{
    Scene s;
    // A current emulator: " -list" is unknown to it; " -createconfig" writes mame.ini.
    s.fake.on("LIST", "LINES", "5000");
    s.fake.on("LIST", "STDERR", "Error: unknown option: -list\n");
    s.fake.on("LIST", "EXIT", "1");
    const QList<QByteArray> ini = numbered(9);
    s.fake.writes("CREATECONFIG", "mame.ini", crlf(ini));
    s.select(s.configuration("pacman.zip"));
    s.main.show();
    VisibilityLog visibility(&s.main);

    s.run();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.fake.argumentLists(),
             (Calls{{"-list"}, {"-showconfig"}, {"-createconfig"}, {"pacman", "-joy", "standard"}}));
    for (const FakeCall &call : s.fake.calls())
        QCOMPARE(call.directory, s.fake.directory);
    QCOMPARE(readFile(s.fake.directory + "/mame.ini"), crlf(replaced(ini, 6, "rompath ROMS;" + s.romDirectory)));
    QCOMPARE(entries(s.fake.directory), (QList<QByteArray>{"mame", "mame.ini"}));
    QCOMPARE(entries(s.configurationDirectory), QList<QByteArray>{"test.tvo"});
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);
    // Hidden for each preparatory run, shown again afterwards.
    QCOMPARE(visibility.hides, 2);
    QCOMPARE(visibility.shows, 2);
    QVERIFY(s.main.isVisible());
}

void TestRun::listWritesCfg()
{
    Scene s;
    const QList<QByteArray> cfg = numbered(12);
    s.fake.writes("LIST", "mame.cfg", crlf(cfg));
    s.select(s.configuration("pacman"));
    s.run();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.fake.argumentLists(), (Calls{{"-list"}, {"pacman", "-joy", "standard"}}));
    QCOMPARE(readFile(s.fake.directory + "/mame.cfg"), crlf(replaced(cfg, 11, "rompath = .;ROMS;" + s.romDirectory)));
    QVERIFY(!FileIO::exists(s.fake.directory + "/mame.ini"));
}

void TestRun::currentIniKeepsEveryOtherByte()
{
    Scene s;
    // A settings file of a current emulator (it rewrites nothing on " -createconfig" here).
    const QByteArray before = QByteArrayLiteral(
        "\xEF\xBB\xBF#\n# CORE CONFIGURATION OPTIONS\n#\nreadconfig                1\n"
        "writeconfig               0\n\n#\n# CORE SEARCH PATH OPTIONS\n#\nhomepath                  .\n"
        "rompath                   $HOME/mame/roms;/usr/share/games/mame/roms\n"
        "hashpath                  /usr/share/games/mame/hash\nodd\0line\n");
    writeFile(s.fake.directory + "/mame.ini", before);
    s.select(s.configuration("pacman.zip"));
    s.run();
    QCOMPARE(s.errors(), QStringList());
    QByteArray expected = before;
    expected.replace("rompath                   $HOME/mame/roms;/usr/share/games/mame/roms",
                     "rompath ROMS;" + s.romDirectory);
    expected.replace("\n", "\r\n");
    QCOMPARE(readFile(s.fake.directory + "/mame.ini"), expected);
}

void TestRun::oldLayoutUpgraded()
{
    Scene s;
    const QByteArray roms = s.fake.directory + "/ROMS";
    FileIO::makeDirectories(roms);
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
    QList<QByteArray> old = s.configuration("pacman.zip").mid(0, 52);
    s.select(old, "old.tvo");
    s.run();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.main.dados.count(), 54);
    QCOMPARE(s.main.dados.at(52), roms);
    QCOMPARE(s.main.dados.at(53), QByteArray());
    QCOMPARE(readFile(s.fake.directory + "/mame.cfg"), crlf(replaced(numbered(12), 11, "rompath = .;ROMS;" + roms)));
    QCOMPARE(s.fake.argumentLists().size(), 1);
    // The file itself is not upgraded.
    QCOMPARE(readFile(s.configurationDirectory + "/old.tvo"), crlf(old));
}

void TestRun::failedWriteKeepsOldFile()
{
    Scene s;
    const QByteArray cfg = crlf(numbered(12));
    const QByteArray path = s.fake.directory + "/mame.cfg";
    writeFile(path, cfg);
    s.select(s.configuration("pacman.zip"));
    const auto previous = FileIO::setFaultInjector(
        [](FileIO::WriteStep step, const QByteArray &) { return step == FileIO::WriteStep::Commit; });
    s.run();
    FileIO::setFaultInjector(previous);
    QCOMPARE(s.errors(), QStringList{"Cannot create file " + QString::fromUtf8(path) + "."});
    QCOMPARE(readFile(path), cfg);
    QCOMPARE(entries(s.fake.directory), (QList<QByteArray>{"mame", "mame.cfg"}));
    QCOMPARE(s.fake.calls().size(), 0);
}

void TestRun::gameNames_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QByteArray>("emulatorName"); // empty: the stand-in at its usual place
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::newRow("pacman.zip") << QByteArray("pacman.zip") << QByteArray("-joy standard ") << QByteArray()
                                << QList<QByteArray>{"pacman", "-joy", "standard"};
    QTest::newRow("my.game.zip") << QByteArray("my.game.zip") << QByteArray("-joy standard ") << QByteArray()
                                 << QList<QByteArray>{"my.game", "-joy", "standard"};
    QTest::newRow("without extension") << QByteArray("pacman") << QByteArray() << QByteArray()
                                       << QList<QByteArray>{"pacman"};
    QTest::newRow("shell text") << QByteArray("$(touch x).zip") << QByteArray("; touch y ") << QByteArray()
                                << QList<QByteArray>{"$(touch x)", ";", "touch", "y"};
    QTest::newRow("emulator path with blanks")
        << QByteArray("pacman.zip") << QByteArray("-window ") << QByteArray("my emu dir/mame 0.37")
        << QList<QByteArray>{"pacman", "-window"};
}

void TestRun::gameNames()
{
    QFETCH(QByteArray, game);
    QFETCH(QByteArray, options);
    QFETCH(QByteArray, emulatorName);
    QFETCH(QList<QByteArray>, arguments);
    Scene s;
    QByteArray program = s.fake.program;
    if (!emulatorName.isEmpty())
        program = s.fake.link(s.root.path() + "/" + PathRules::directoryPart(emulatorName),
                              PathRules::namePart(emulatorName));
    const QByteArray emulatorDirectory = PathRules::directoryPart(program);
    writeFile(emulatorDirectory + "/mame.cfg", crlf(numbered(12)));
    QList<QByteArray> lines = s.configuration(game, program);
    lines[41] = options;
    s.select(lines);
    s.run();
    QCOMPARE(s.errors(), QStringList());
    const QList<FakeCall> calls = s.fake.calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.at(0).directory, emulatorDirectory);
    QCOMPARE(calls.at(0).arguments, arguments);
    // Nothing was interpreted by a shell.
    QVERIFY(!FileIO::exists(emulatorDirectory + "/x") && !FileIO::exists(emulatorDirectory + "/y"));
    QVERIFY(!FileIO::exists(s.configurationDirectory + "/x"));
}

void TestRun::romSelector_data()
{
    QTest::addColumn<QByteArray>("pick");     // the entry selected; empty for none
    QTest::addColumn<QString>("button");      // "OK", "Cancel" or "close"
    QTest::addColumn<Calls>("calls");
    QTest::newRow("OK") << QByteArray("galaga.zip") << "OK" << Calls{{"galaga", "-joy", "standard"}};
    QTest::newRow("OK with a dotted name") << QByteArray("my.game.zip") << "OK"
                                           << Calls{{"my.game", "-joy", "standard"}};
    QTest::newRow("OK with nothing selected") << QByteArray() << "OK" << Calls{{"-joy", "standard"}};
    QTest::newRow("Cancel") << QByteArray("galaga.zip") << "Cancel" << Calls{};
    QTest::newRow("closed by the title bar") << QByteArray("galaga.zip") << "close" << Calls{};
}

void TestRun::romSelector()
{
    QFETCH(QByteArray, pick);
    QFETCH(QString, button);
    QFETCH(Calls, calls);
    Scene s;
    for (const char *name : {"galaga.zip", "my.game.zip", "pacman.zip"})
        writeFile(s.romDirectory + "/" + name, "PK");
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
    s.select(s.configuration(QByteArray()));
    // An earlier OK must not answer for a later close.
    s.windows.Form3->okpressed = true;

    bool shown = false;
    QTimer::singleShot(0, s.windows.Form3.get(), [&] {
        TForm3 *f = s.windows.Form3.get();
        shown = f->isVisible() && f->gamelist->directory() == s.romDirectory;
        f->gamelist->setItemIndex(pick.isEmpty() ? -1 : int(f->gamelist->names().indexOf(pick)));
        if (button == "OK")
            f->Button1->click();
        else if (button == "Cancel")
            f->Button2->click();
        else
            f->close();
    });
    s.run();
    QVERIFY(shown);
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.fake.argumentLists(), calls);
    // The settings file was prepared before the question.
    QCOMPARE(readFile(s.fake.directory + "/mame.cfg"),
             crlf(replaced(numbered(12), 11, "rompath = .;ROMS;" + s.romDirectory)));
}

void TestRun::failures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("error"); // "%E" the emulator directory
    QTest::addColumn<Calls>("calls");
    QTest::newRow("missing emulator directory") << "missing directory" << "File not found." << Calls{};
    QTest::newRow("bare program name") << "bare name" << "File not found." << Calls{};
    QTest::newRow("emulator not executable") << "not executable" << "Cannot start %E/plain: Permission denied."
                                             << Calls{};
    QTest::newRow("40 lines") << "40 lines" << "List index out of bounds (40)" << Calls{};
    QTest::newRow("45 lines") << "45 lines" << "List index out of bounds (52)" << Calls{{"-list"}, {"-showconfig"}, {"-createconfig"}};
    QTest::newRow("no settings file made") << "no ini" << "Cannot open file %E/mame.ini." << Calls{{"-list"}, {"-showconfig"}, {"-createconfig"}};
    QTest::newRow("settings file too short") << "short ini" << "Unable to insert a line." << Calls{{"-list"}, {"-showconfig"}, {"-createconfig"}};
}

void TestRun::failures()
{
    QFETCH(QString, situation);
    QFETCH(QString, error);
    QFETCH(Calls, calls);
    Scene s;
    QList<QByteArray> lines = s.configuration("pacman.zip");
    if (situation == "missing directory") {
        lines[40] = s.root.path() + "/gone/mame";
    } else if (situation == "bare name") {
        lines[40] = "mame";
    } else if (situation == "not executable") {
        writeFile(s.fake.directory + "/plain", "text\n");
        writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
        lines[40] = s.fake.directory + "/plain";
    } else if (situation == "40 lines") {
        lines = lines.mid(0, 40);
    } else if (situation == "45 lines") {
        lines = lines.mid(0, 45);
    } else if (situation == "short ini") {
        s.fake.writes("CREATECONFIG", "mame.ini", crlf(numbered(5)));
    }
    s.select(lines);
    s.run();
    error.replace("%E", QString::fromUtf8(s.fake.directory));
    QCOMPARE(s.errors(), QStringList{error});
    QCOMPARE(s.fake.argumentLists(), calls);
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);
}

void TestRun::inipathRoutes_data()
{
    QTest::addColumn<QByteArray>("inipath");  // what "-showconfig" reports; {S} a system directory
    QTest::addColumn<QByteArray>("existing"); // where a mame.ini lies before: "home", "system" or ""
    QTest::addColumn<QByteArray>("expected"); // where the rewritten mame.ini lies: "home" or "beside"
    QTest::newRow("upstream, user file") << QByteArray("$HOME/.mame;.;ini") << QByteArray("home") << QByteArray("home");
    QTest::newRow("distribution build") << QByteArray("$HOME/.mame;{S}") << QByteArray("system") << QByteArray("home");
    QTest::newRow("windows-like build") << QByteArray(".;ini") << QByteArray() << QByteArray("beside");
    QTest::newRow("no inipath") << QByteArray() << QByteArray() << QByteArray("beside");
}

void TestRun::inipathRoutes()
{
    QFETCH(QByteArray, inipath);
    QFETCH(QByteArray, existing);
    QFETCH(QByteArray, expected);
    Scene s;
    const QByteArray home = s.root.mkdir("home"), system = s.root.mkdir("system");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", home);
    const QByteArray systemFile = system + "/mame.ini";
    writeFile(systemFile, crlf({"rompath /system/roms"}));
    if (existing == "home") {
        FileIO::makeDirectories(home + "/.mame");
        writeFile(home + "/.mame/mame.ini", crlf({"rompath old"}));
    }
    s.fake.on("SHOWCONFIG", "STDOUT", inipath.isEmpty() ? QByteArray("Unknown option: -showconfig\n")
                                                        : "inipath                   " + inipath.replace("{S}", system) + "\n");
    s.fake.writes("CREATECONFIG", "mame.ini", crlf({"#", "rompath $HOME/mame/roms", "x"}));
    s.select(s.configuration("pacman.zip"));
    s.run();
    qputenv("HOME", savedHome);

    QCOMPARE(s.errors(), QStringList());
    const QByteArray place = expected == "home" ? home + "/.mame" : s.fake.directory;
    QCOMPARE(readFile(place + "/mame.ini"), crlf({"#", "rompath ROMS;" + s.romDirectory, "x"}));
    QCOMPARE(s.fake.calls().at(2).arguments, QList<QByteArray>{"-createconfig"});
    QCOMPARE(s.fake.calls().at(2).directory, place);
    QCOMPARE(readFile(systemFile), crlf({"rompath /system/roms"}));
    if (expected == "home")
        QVERIFY(!FileIO::exists(s.fake.directory + "/mame.ini"));
}

void TestRun::nothingSelected()
{
    Scene s;
    s.select(s.configuration("pacman.zip"));
    s.main.Refresh1Click(); // nothing selected afterwards, although the lines stay
    QVERIFY(s.main.lista->fileName().isEmpty());
    s.run();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.fake.calls().size(), 0);
    QVERIFY(!FileIO::exists(s.fake.directory + "/mame.ini"));
}

void TestRun::everyWayIn_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("menu") << "menu";
    QTest::newRow("popup") << "popup";
    QTest::newRow("toolbar") << "toolbar";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("double click") << "double click";
}

void TestRun::everyWayIn()
{
    QFETCH(QString, way);
    Scene s;
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
    s.select(s.configuration("pacman.zip"));
    s.main.show();
    s.main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&s.main));
    s.main.lista->setFocus();

    ExitWatch watch;
    if (way == "menu")
        s.main.RunConfiguration1->trigger();
    else if (way == "popup")
        s.main.RunConfiguration2->trigger();
    else if (way == "toolbar")
        s.main.SpeedButton1->click();
    else if (way == "Enter")
        QTest::keyClick(s.main.lista, Qt::Key_Return);
    else {
        const QRect rect = s.main.lista->visualRect(s.main.lista->model()->index(s.main.lista->itemIndex(), 0));
        // The view acts on a double click that follows a press on the same entry.
        QTest::mousePress(s.main.lista->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(s.main.lista->viewport(), Qt::LeftButton, {}, rect.center());
    }
    watch.wait();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.fake.argumentLists(), (Calls{{"pacman", "-joy", "standard"}}));
}

QTEST_MAIN(TestRun)
#include "tst_run.moc"
