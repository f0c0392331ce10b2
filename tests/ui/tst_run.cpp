// Run Configuration end to end with real processes: the settings file prepared by the stand-in
// emulator, the game chosen, and the emulator started in its directory with the right words.
#include "romselector.h"
#include "application.h"
#include "errors.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "gamefinder.h"
#include "guard.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "mainwindow.h"
#include "processlimits.h"
#include "processes.h"
#include "scene.h"
#include "catalogues.h"
#include "listxmlsample.h"
#include <QSignalSpy>
#include "../fakemame/showconfig0251.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestUtil;

namespace {

// A named pipe nobody writes to: a stand-in told to read it runs until it is ended.
QByteArray never(const Scene &s)
{
    const QByteArray fifo = s.root.file("never");
    if (::mkfifo(fifo.constData(), 0600) != 0)
        QTest::qFail("cannot make a named pipe", __FILE__, __LINE__);
    return fifo;
}

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

// The calls without the ROM selector's titles, asked in the background.
Calls withoutTitles(Calls calls)
{
    calls.removeAll(QList<QByteArray>{"-listfull"});
    return calls;
}

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
    void preparatoryRuns_data();
    void preparatoryRuns();
    void auditBeforeRun_data();
    void auditBeforeRun();
    void notice_data();
    void notice();
    void gameDirectory_data();
    void gameDirectory();
    void whatTheListShows_data();
    void whatTheListShows();
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
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls.at(0).arguments, QList<QByteArray>{"-showconfig"});
    QCOMPARE(calls.at(1).directory, s.fake.directory);
    QCOMPARE(calls.at(1).arguments, (QList<QByteArray>{"pacman", "-cheat"}));
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);
    QCOMPARE(s.main.selectedLines().count(), 55); // one marker line per run
    // Run again: the vocabulary is kept, and another marker line is appended.
    s.run();
    QCOMPARE(s.fake.argumentLists().size(), 3);
    QCOMPARE(s.main.selectedLines().count(), 56);
}

void TestRun::iniRouteRunsInEmulatorDirectory()
{
    Scene s;
    // An emulator that lists no options: " -list" is unknown to it; " -createconfig" writes mame.ini.
    s.fake.old();
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
             (Calls{{"-showconfig"}, {"-list"}, {"-createconfig"}, {"pacman", "-cheat"}}));
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
    s.fake.old();
    const QList<QByteArray> cfg = numbered(12);
    s.fake.writes("LIST", "mame.cfg", crlf(cfg));
    s.select(s.configuration("pacman"));
    s.run();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.fake.argumentLists(), (Calls{{"-showconfig"}, {"-list"}, {"pacman", "-cheat"}}));
    QCOMPARE(readFile(s.fake.directory + "/mame.cfg"), crlf(replaced(cfg, 11, "rompath = .;ROMS;" + s.romDirectory)));
    QVERIFY(!FileIO::exists(s.fake.directory + "/mame.ini"));
}

void TestRun::currentIniKeepsEveryOtherByte()
{
    Scene s;
    // The user's own settings file of a current emulator: it is not made again.
    const QByteArray before = QByteArrayLiteral(
        "\xEF\xBB\xBF#\n# CORE CONFIGURATION OPTIONS\n#\nreadconfig                1\n"
        "writeconfig               0\n\n#\n# CORE SEARCH PATH OPTIONS\n#\nhomepath                  .\n"
        "rompath                   $HOME/mame/roms;/usr/share/games/mame/roms\n"
        "hashpath                  /usr/share/games/mame/hash\nodd\0line\n");
    const QByteArray settings = s.root.mkdir("home/.mame") + "/mame.ini";
    writeFile(settings, before);
    s.select(s.configuration("pacman.zip"));
    s.run();
    QCOMPARE(s.errors(), QStringList());
    QByteArray expected = before;
    expected.replace("rompath                   $HOME/mame/roms;/usr/share/games/mame/roms",
                     "rompath ROMS;" + s.romDirectory);
    QCOMPARE(readFile(settings), expected); // its LF line ends too
    QCOMPARE(s.fake.argumentLists(), (Calls{{"-showconfig"}, {"pacman", "-cheat"}}));
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
    QCOMPARE(s.main.selectedLines().count(), 54);
    QCOMPARE(s.main.selectedLines().at(52), roms);
    QCOMPARE(s.main.selectedLines().at(53), QByteArray());
    QCOMPARE(readFile(s.fake.directory + "/mame.cfg"), crlf(replaced(numbered(12), 11, "rompath = .;ROMS;" + roms)));
    QCOMPARE(s.games().size(), 1);
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
    QCOMPARE(s.errors(), QStringList{"Cannot create file " + QString::fromUtf8(path) + ": Input/output error."});
    QCOMPARE(readFile(path), cfg);
    QCOMPARE(entries(s.fake.directory), (QList<QByteArray>{"mame", "mame.cfg"}));
    QCOMPARE(s.games(), Calls());
}

void TestRun::gameNames_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QByteArray>("emulatorName"); // empty: the stand-in at its usual place
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::newRow("pacman.zip") << QByteArray("pacman.zip") << QByteArray("-cheat ") << QByteArray()
                                << QList<QByteArray>{"pacman", "-cheat"};
    QTest::newRow("my.game.zip") << QByteArray("my.game.zip") << QByteArray("-cheat ") << QByteArray()
                                 << QList<QByteArray>{"my.game", "-cheat"};
    QTest::newRow("without extension") << QByteArray("pacman") << QByteArray() << QByteArray()
                                       << QList<QByteArray>{"pacman"};
    QTest::newRow("shell text") << QByteArray("$(touch${IFS}x).zip") << QByteArray("; touch y ") << QByteArray()
                                << QList<QByteArray>{"$(touch${IFS}x)", ";", "touch", "y"};
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
    s.fake.old(); // takes any word, so that each reaches it as written
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
    QCOMPARE(calls.size(), 2); // its vocabulary asked, then the game
    QCOMPARE(calls.at(1).directory, emulatorDirectory);
    QCOMPARE(calls.at(1).arguments, arguments);
    // Nothing was interpreted by a shell.
    QVERIFY(!FileIO::exists(emulatorDirectory + "/x") && !FileIO::exists(emulatorDirectory + "/y"));
    QVERIFY(!FileIO::exists(s.configurationDirectory + "/x"));
}

void TestRun::romSelector_data()
{
    QTest::addColumn<QByteArray>("pick");     // the entry selected; empty for none
    QTest::addColumn<QString>("button");      // "OK", "Cancel" or "close"
    QTest::addColumn<Calls>("calls");
    QTest::newRow("OK") << QByteArray("galaga.zip") << "OK" << Calls{{"galaga", "-cheat"}};
    QTest::newRow("OK with a dotted name") << QByteArray("my.game.zip") << "OK"
                                           << Calls{{"my.game", "-cheat"}};
    QTest::newRow("OK with nothing selected: disabled, nothing runs") << QByteArray() << "OK" << Calls{};
    QTest::newRow("Escape in Find keeps the pick that Find hid") << QByteArray("galaga.zip") << "Find, Escape"
                                                                << Calls{{"galaga", "-cheat"}};
    QTest::newRow("Cancel") << QByteArray("galaga.zip") << "Cancel" << Calls{};
    QTest::newRow("closed by the title bar") << QByteArray("galaga.zip") << "close" << Calls{};
    // Found through the ROM path that Change Directory wrote: the game goes by its name alone.
    QTest::newRow("OK in another directory") << QByteArray("dkong.zip") << "elsewhere" << Calls{{"dkong", "-cheat"}};
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

    const QByteArray elsewhere = s.root.mkdir("elsewhere");
    writeFile(elsewhere + "/dkong.zip", "PK");
    bool shown = false;
    whenShown<TForm3>([&](TForm3 &selector) {
        TForm3 *f = &selector;
        shown = f->isVisible() && f->gamelist->directory() == s.romDirectory;
        if (button == "elsewhere") {
            s.modals.answerFolder(elsewhere);
            f->Button4->click(); // Change Directory
        }
        f->gamelist->setItemIndex(pick.isEmpty() ? -1 : int(f->gamelist->names().indexOf(pick)));
        if (button == "Find, Escape") {
            QTest::keyClicks(f->finder->field(), "pac");
            QTest::keyClick(f->finder->field(), Qt::Key_Escape);
        }
        if (button == "OK" || button == "elsewhere" || button == "Find, Escape")
            f->Button1->click();
        if (pick.isEmpty() && f->isVisible()) {
            shown = shown && !f->Button1->isEnabled();
            f->close();
        }
        else if (button == "Cancel")
            f->Button2->click();
        else
            f->close();
    });
    s.command(&TForm1::RunConfiguration1Click);
    QVERIFY(shown);
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.games(), calls);
    // The settings file was prepared before the question (and pointed elsewhere by Change Directory).
    QCOMPARE(readFile(s.fake.directory + "/mame.cfg"),
             crlf(replaced(numbered(12), 11, "rompath = .;ROMS;" + (button == "elsewhere" ? elsewhere : s.romDirectory))));
}

void TestRun::failures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("error"); // %E the emulator directory, %R the scene's root
    QTest::addColumn<Calls>("calls");
    const Calls prepared{{"-showconfig"}, {"-createconfig"}};
    QTest::newRow("missing emulator directory")
        << "missing directory" << "Cannot start %R/gone/mame: No such file or directory." << Calls{};
    QTest::newRow("emulator is a directory") << "directory" << "Cannot start %E: Is a directory." << Calls{};
    QTest::newRow("bare name not along PATH") << "bare name" << "Cannot start mame: No such file or directory."
                                              << Calls{};
    // Empty and relative entries of PATH would name the current directory.
    QTest::newRow("bare name only in the current directory")
        << "bare name here" << "Cannot start mame: No such file or directory." << Calls{};
    const QString optionGame = " cannot be a game name: the emulator would read it as an option.";
    QTest::newRow("game of line 1 read as an option") << "dash game" << "-createconfig" + optionGame << Calls{};
    QTest::newRow("game picked read as an option") << "dash pick" << "-listxml" + optionGame << Calls{{"-showconfig"}};
    QTest::newRow("emulator not executable") << "not executable" << "Cannot start %E/plain: Permission denied."
                                             << Calls{};
    QTest::newRow("40 lines") << "40 lines" << "List index out of bounds (40)" << Calls{};
    // Refused before the emulator is asked anything: its ROM folder is missing.
    QTest::newRow("45 lines") << "45 lines" << "List index out of bounds (52)" << Calls{};
    QTest::newRow("no settings file made") << "no ini" << "Cannot open file %R/home/.mame/mame.ini." << prepared;
    QTest::newRow("settings file too short") << "short ini" << "Unable to insert a line." << prepared;
    QTest::newRow("vocabulary wait cancelled") << "cancel vocabulary" << QString() << Calls{{"-showconfig"}};
    QTest::newRow("settings wait cancelled") << "cancel createconfig" << QString() << prepared;
    QTest::newRow("settings run too long") << "createconfig too long"
                                           << "%E/mame -createconfig did not finish within 1 s and was ended."
                                           << prepared;
}

void TestRun::failures()
{
    QFETCH(QString, situation);
    QFETCH(QString, error);
    QFETCH(Calls, calls);
    Scene s;
    Environment environment;
    ProcessLimits::Values &limits = ProcessLimits::current();
    const ProcessLimits::Values saved = limits;
    QList<QByteArray> lines = s.configuration("pacman.zip");
    QByteArray pick;
    if (situation == "missing directory") {
        lines[40] = s.root.path() + "/gone/mame";
    } else if (situation == "directory") {
        lines[40] = s.fake.directory;
    } else if (situation == "bare name") {
        environment.set("PATH", s.root.mkdir("bin"));
        lines[40] = "mame";
    } else if (situation == "bare name here") {
        environment.set("PATH", ":.:bin:" + s.root.mkdir("bin"));
        s.fake.link(s.configurationDirectory, "mame");
        s.fake.link(s.configurationDirectory + "/bin", "mame");
        lines[40] = "mame";
    } else if (situation == "dash game") {
        lines[1] = "-createconfig.zip";
    } else if (situation == "dash pick") {
        lines[1].clear();
        pick = "-listxml.zip";
        writeFile(s.romDirectory + "/" + pick, "PK");
        writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
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
    } else if (situation == "cancel vocabulary") {
        s.fake.on("SHOWCONFIG", "FIFO", never(s)); // still running when cancelled
        s.modals.cancelWait();
    } else if (situation == "cancel createconfig") {
        s.main.launcher().vocabulary(s.fake.program); // kept: the next wait is the settings file's
        s.fake.on("CREATECONFIG", "FIFO", never(s));
        s.modals.cancelWait();
    } else if (situation == "createconfig too long") {
        s.fake.on("CREATECONFIG", "FIFO", never(s)); // ended at the bound
        limits.preparatoryMs = 1;
    }
    s.select(lines);
    s.run(pick);
    limits = saved;
    error.replace("%E", QString::fromUtf8(s.fake.directory)).replace("%R", QString::fromUtf8(s.root.path()));
    QCOMPARE(s.errors(), error.isEmpty() ? QStringList() : QStringList{error});
    if (situation.startsWith(QLatin1String("cancel")) || situation.endsWith(QLatin1String("too long")))
        QCOMPARE(s.games(), Calls()); // a run cancelled at once may have been ended before it said anything
    else
        QCOMPARE(withoutTitles(s.fake.argumentLists()), calls);
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
    const QByteArray home = s.home, system = s.root.mkdir("system");
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

    QCOMPARE(s.errors(), QStringList());
    const QByteArray place = expected == "home" ? home + "/.mame" : s.fake.directory;
    QCOMPARE(readFile(place + "/mame.ini"), crlf({"#", "rompath ROMS;" + s.romDirectory, "x"}));
    // A listing of an inipath alone lists no options: the emulator is taken for an old one.
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

void TestRun::preparatoryRuns_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<Calls>("calls");
    const QList<QByteArray> game{"pacman", "-cheat"};
    QTest::newRow("no mame.ini yet: made once") << "none" << Calls{{"-showconfig"}, {"-createconfig"}, game, game};
    QTest::newRow("the user's mame.ini: nothing made") << "ini" << Calls{{"-showconfig"}, game, game};
    QTest::newRow("kept for the next start") << "restart" << Calls{{"-showconfig"}, game, game};
    QTest::newRow("mame.ini changed by the user: asked again")
        << "user edit" << Calls{{"-showconfig"}, game, {"-showconfig"}, game};
    QTest::newRow("emulator changed: asked again") << "new emulator" << Calls{{"-showconfig"}, game, {"-showconfig"}, game};
    // Kept too, so that an emulator that never answers costs its bound once.
    QTest::newRow("answer past its bound: an old emulator")
        << "too much" << Calls{{"-showconfig"}, {"-list"}, {"-createconfig"}, game, {"-list"}, {"-createconfig"}, game};
    // Only a system file is read, which is never changed: the ROM folder goes on the command line.
    const QList<QByteArray> withRomPath{"pacman", "-cheat", "-rompath", "%R"};
    QTest::newRow("only a system file is read: -rompath") << "system only"
                                                          << Calls{{"-showconfig"}, withRomPath, withRomPath};
}

// Run twice: what the emulator is asked before each game.
void TestRun::preparatoryRuns()
{
    QFETCH(QString, situation);
    QFETCH(Calls, calls);
    Scene s;
    ProcessLimits::Values &limits = ProcessLimits::current();
    const ProcessLimits::Values saved = limits;
    const QByteArray settings = s.home + "/.mame/mame.ini";
    s.fake.writes("CREATECONFIG", "mame.ini", crlf(numbered(9)));
    if (situation != "none")
        writeFile(s.root.mkdir("home/.mame") + "/mame.ini", crlf(numbered(9)));
    if (situation == "too much")
        limits.vocabularyBytes = 100;
    if (situation == "new emulator")
        s.fake.ownCopy();
    const QByteArray system = s.root.mkdir("etc/mame");
    if (situation == "system only") {
        writeFile(system + "/mame.ini", "rompath /usr/share/games/mame/roms\n");
        s.fake.on("SHOWCONFIG", "STDOUT", QByteArray(ShowConfig0251).replace("$HOME/.mame;/etc/mame", system));
    }
    s.select(s.configuration());
    s.run();
    if (situation == "restart") {
        // Another start of the program: a new launcher finds the answer in the cache.
        Launcher other(nullptr, s.configurationDirectory);
        QVERIFY(other.vocabulary(s.fake.program).isKnown());
    } else if (situation == "user edit") {
        writeFile(settings, crlf(numbered(10)));
    } else if (situation == "new emulator") {
        s.fake.newVersion();
    }
    s.run();
    limits = saved;
    QCOMPARE(s.errors(), QStringList());
    for (QList<QByteArray> &call : calls)
        for (QByteArray &argument : call)
            argument.replace("%R", s.romDirectory);
    QCOMPARE(s.fake.argumentLists(), calls);
    if (situation == "system only") {
        QCOMPARE(readFile(system + "/mame.ini"), QByteArray("rompath /usr/share/games/mame/roms\n"));
        QCOMPARE(readFile(settings), crlf(numbered(9))); // not read by the emulator: left alone
        return;
    }
    // An emulator without a vocabulary keeps its mame.ini beside itself.
    const QByteArray rewritten = situation == "too much" ? s.fake.directory + "/mame.ini" : settings;
    QCOMPARE(LineBuffer::split(readFile(rewritten), LineBuffer::Nul::Kept).value(6), "rompath ROMS;" + s.romDirectory);
}

void TestRun::auditBeforeRun_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<bool>("catalogue"); // the emulator's catalogue is at hand
    QTest::addColumn<QString>("answer"); // to the notice; "-" for none shown
    QTest::addColumn<bool>("runs");
    QTest::newRow("files missing: told, Cancel") << QByteArray("puckman") << true << "cancel" << false;
    QTest::newRow("files missing: told, Run anyway") << QByteArray("puckman") << true << "run" << true;
    QTest::newRow("no ROM files needed: not told") << QByteArray("18w") << true << "-" << true;
    QTest::newRow("no catalogue at hand: not told") << QByteArray("puckman") << false << "-" << true;
}

// Before a game runs, the audit of its ROM folder against the catalogue at hand.
void TestRun::auditBeforeRun()
{
    QFETCH(QByteArray, game);
    QFETCH(bool, catalogue);
    QFETCH(QString, answer);
    QFETCH(bool, runs);
    Scene s;
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
    if (catalogue) {
        const QByteArray answerFile = s.root.file("listxml");
        writeFile(answerFile, ListXmlSample::full());
        s.fake.on("LISTXML", "STDOUT_FILE", answerFile);
        Launcher &launcher = s.main.launcher();
        QVERIFY(launcher.answers.ask(s.fake.program, EmulatorAnswers::Question::Version));
        QSignalSpy ready(&launcher.catalogues, &Catalogues::ready);
        launcher.catalogues.ask(launcher.catalogueRequest(s.fake.program));
        QVERIFY(ready.wait(60000));
    }
    if (answer != "-")
        s.modals.answerNotice(answer == "run");
    s.select(s.configuration(game + ".zip"));
    s.run();
    const QStringList notices = s.modals.texts(ScriptedModals::Kind::Notice);
    QCOMPARE(notices.size(), answer == "-" ? 0 : 1);
    if (!notices.isEmpty())
        QVERIFY2(notices.first().startsWith(QString::fromLatin1(game) + " may not run from "), qPrintable(notices.first()));
    QCOMPARE(s.games().size(), runs ? 1 : 0);
}

void TestRun::notice_data()
{
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QString>("answers");       // per run: "run", "cancel", "run, don't ask", "-" for none shown
    QTest::addColumn<QStringList>("notes");     // of the first notice
    QTest::addColumn<Calls>("games");
    QTest::newRow("plain renames ask nothing") << QByteArray("-vsync -sr 22050 ") << QString("-,-") << QStringList()
                                               << Calls{{"pacman", "-waitvsync", "-samplerate", "22050"},
                                                        {"pacman", "-waitvsync", "-samplerate", "22050"}};
    QTest::newRow("cancel") << QByteArray("-depth 16 -cheat ") << QString("cancel,cancel")
                            << QStringList{"-depth 16: has no counterpart in this emulator"} << Calls{};
    QTest::newRow("run, asked again") << QByteArray("-joy standard ") << QString("run,run")
                                      << QStringList{"-joy standard: the joystick type is the emulator's own choice now"}
                                      << Calls{{"pacman", "-joystick"}, {"pacman", "-joystick"}};
    QTest::newRow("run, don't ask again") << QByteArray("-depth 16 -ntsc -cheat ") << QString("run+,-")
                                          << QStringList{"-depth 16: has no counterpart in this emulator",
                                                         "-ntsc: has no counterpart in this emulator"}
                                          << Calls{{"pacman", "-cheat"}, {"pacman", "-cheat"}};
}

void TestRun::notice()
{
    QFETCH(QByteArray, options);
    QFETCH(QString, answers);
    QFETCH(QStringList, notes);
    QFETCH(Calls, games);
    Scene s;
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
    s.select(s.configuration("pacman.zip", {}, options));
    for (const QString &answer : answers.split(QLatin1Char(','))) {
        // "run+" runs and puts the notice away.
        if (answer != QLatin1String("-"))
            s.modals.answerNotice(answer.startsWith(QLatin1String("run")), answer.endsWith(QLatin1Char('+')));
        s.run();
        QCOMPARE(s.modals.pendingAnswers(), 0);
    }
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.games(), games);
    const QStringList shown = s.modals.texts(ScriptedModals::Kind::Notice);
    const QStringList runs = answers.split(QLatin1Char(','));
    QCOMPARE(shown.size(), int(runs.size() - runs.count(QStringLiteral("-"))));
    if (!notes.isEmpty()) {
        // The notes, then the command that runs.
        const QString command = QString::fromUtf8(s.fake.program) + QStringLiteral(" pacman");
        QVERIFY2(shown.first().startsWith(notes.join(QLatin1Char('\n')) + QLatin1Char('\n') + command), qPrintable(shown.first()));
    }
}

void TestRun::gameDirectory_data()
{
    QTest::addColumn<bool>("writable");  // the emulator's directory takes new files
    QTest::addColumn<QString>("expected"); // "emulator" or "settings"
    QTest::newRow("the emulator's directory") << true << "emulator";
    QTest::newRow("an emulator directory the user cannot write") << false << "settings";
}

// The game runs where it can write its files: the emulator's directory, else its settings file's.
void TestRun::gameDirectory()
{
    QFETCH(bool, writable);
    QFETCH(QString, expected);
    Scene s;
    writeFile(s.root.mkdir("home/.mame") + "/mame.ini", crlf(numbered(9)));
    s.select(s.configuration());
    const QByteArray emulatorDirectory = s.fake.directory;
    const auto previous = FileIO::setFaultInjector([&](FileIO::WriteStep step, const QByteArray &target) {
        return !writable && step == FileIO::WriteStep::CreateTemporary && target == emulatorDirectory;
    });
    s.run();
    FileIO::setFaultInjector(previous);
    QCOMPARE(s.errors(), QStringList());
    const QList<FakeCall> calls = s.fake.calls();
    QCOMPARE(calls.last().arguments, (QList<QByteArray>{"pacman", "-cheat"}));
    QCOMPARE(calls.last().directory, expected == "emulator" ? emulatorDirectory : s.home + "/.mame");
}

void TestRun::whatTheListShows_data()
{
    QTest::addColumn<QString>("before"); // what happens between the selection and Run
    QTest::addColumn<Calls>("games");
    QTest::newRow("file changed on disk: its new content runs") << "changed" << Calls{{"galaga", "-cheat"}};
    QTest::newRow("file deleted: nothing runs") << "deleted" << Calls{};
    QTest::newRow("after a quick launch: the configuration runs")
        << "quick launch" << Calls{{"quick"}, {"pacman", "-cheat"}};
    QTest::newRow("Run again while one waits: dropped") << "run during wait" << Calls{{"pacman", "-cheat"}};
    QTest::newRow("its game still running: asked, no") << "running, no" << Calls{{"pacman", "-cheat"}};
    QTest::newRow("its game still running: asked, yes")
        << "running, yes" << Calls{{"pacman", "-cheat"}, {"pacman", "-cheat"}};
}

// Run, Edit and Export act on the configuration the list shows, as it is on disk.
void TestRun::whatTheListShows()
{
    QFETCH(QString, before);
    QFETCH(Calls, games);
    Scene s;
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
    s.select(s.configuration());
    if (before == "changed") {
        writeFile(s.configurationDirectory + "/test.tvo", crlf(s.configuration("galaga.zip")));
    } else if (before == "deleted") {
        ::unlink((s.configurationDirectory + "/test.tvo").constData());
    } else if (before == "quick launch") {
        s.modals.answerFile(s.fake.program);
        s.modals.answerFile(s.romDirectory + "/quick.zip");
        s.command(&TForm1::QUICKConfiguration1Click);
    } else if (before == "run during wait") {
        // The first run waits for the emulator's vocabulary; a second Run meanwhile is dropped.
        // (Its version and built-in settings are asked first, without a wait.)
        s.main.launcher().answers.ask(s.fake.program, EmulatorAnswers::Question::BuiltIn);
        s.fake.on("SHOWCONFIG", "FIFO", never(s));
        QTimer::singleShot(0, &s.main, [&s] {
            s.main.RunConfiguration1->trigger();
            const int fd = ::open((s.root.file("never")).constData(), O_WRONLY); // lets it answer
            ::close(fd);
        });
    }
    const bool running = before.startsWith(QLatin1String("running"));
    pid_t first = -1;
    if (running) {
        // A game of this configuration started from here, and still running.
        s.fake.on("GAME", "FIFO", never(s));
        runCommand([&s] { s.main.RunConfiguration1Click(); });
        first = s.main.launcher().games.lastStarted();
        qunsetenv("FAKEMAME_GAME_FIFO"); // the second one ends by itself
        s.modals.answerQuestion(before.endsWith(QLatin1String("yes")));
    }
    ExitWatch watch;
    s.main.RunConfiguration1->trigger();
    if (running) {
        const int fd = ::open((s.root.file("never")).constData(), O_WRONLY); // lets the first one end
        ::close(fd);
        QVERIFY(collectedByProgram(first));
    }
    watch.wait();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.games(), games);
    QCOMPARE(s.modals.texts(ScriptedModals::Kind::Question),
             running ? QStringList{"pacman is still running. Start another?"} : QStringList());
    for (const ScriptedModals::Shown &shown : std::as_const(s.modals.shown))
        QVERIFY(shown.kind != ScriptedModals::Kind::Question || shown.defaultNo);
    if (before == "deleted")
        QCOMPARE(s.main.lista->names(), QList<QByteArray>());
}

void TestRun::everyWayIn_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("menu") << "menu";
    QTest::newRow("popup") << "popup";
    QTest::newRow("toolbar") << "toolbar";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("Enter held down: one game") << "Enter held";
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
    else if (way == "Enter held") {
        QTest::keyPress(s.main.lista, Qt::Key_Return);
        for (int i = 0; i < 5; ++i)
            QTest::simulateEvent(s.main.lista, true, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QTest::keyRelease(s.main.lista, Qt::Key_Return);
    }
    else {
        const QRect rect = s.main.lista->visualRect(s.main.lista->model()->index(s.main.lista->itemIndex(), 0));
        // The view acts on a double click that follows a press on the same entry.
        QTest::mousePress(s.main.lista->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(s.main.lista->viewport(), Qt::LeftButton, {}, rect.center());
    }
    watch.wait();
    QCOMPARE(s.errors(), QStringList());
    QCOMPARE(s.games(), (Calls{{"pacman", "-cheat"}}));
}

QTEST_MAIN(TestRun)
#include "tst_run.moc"
