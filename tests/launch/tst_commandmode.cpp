// The command-line mode as a user meets it: the built program started as a process with no
// display, on configuration files, with the stand-in emulator; its exit status, what it prints on
// each output, and how it called the emulator.
#include "commandmode.h"
#include "config.h"
#include "errors.h"
#include "launcher.h"
#include "../fakemame/fakemamecontrol.h"
#include "testutil.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>

using namespace TestUtil;

namespace {

// Bounds each run of the program; a safety net for a hang, not a measure of speed.
constexpr int RunLimitMs = 120000;

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the program in `directory` with its own home and cache, and neither a display nor a
// platform chosen for it. A first argument "SIGCHLD-IGNORED" starts it with SIGCHLD ignored, as a
// program that ignores it leaves it to what it starts.
Outcome runProgram(QStringList arguments, const QByteArray &directory)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
        const QByteArray path = directory + '/' + QByteArray(name).toLower();
        FileIO::makeDirectories(path);
        e.insert(QString::fromLatin1(name), QFile::decodeName(path));
    }
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        e.remove(QString::fromLatin1(name));

    QProcess process;
    process.setProgram(QStringLiteral(TRELVO_PROGRAM));
    if (arguments.value(0) == QLatin1String("SIGCHLD-IGNORED")) {
        arguments[0] = QStringLiteral(TRELVO_PROGRAM);
        arguments.prepend(QStringLiteral("--ignore-signal=CHLD"));
        process.setProgram(QStringLiteral("/usr/bin/env"));
    }
    process.setArguments(arguments);
    process.setProcessEnvironment(e);
    process.setWorkingDirectory(QFile::decodeName(directory));
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    Outcome o;
    if (!process.waitForFinished(RunLimitMs)) {
        process.kill();
        process.waitForFinished(-1);
        return o;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        o.status = process.exitCode();
    o.out = process.readAllStandardOutput();
    o.err = process.readAllStandardError();
    return o;
}

} // namespace

class TestCommandMode : public QObject {
    Q_OBJECT
private slots:
    void exitStatus_data();
    void exitStatus();
    void printedCommandIsOneQuotedLine();
    void modeChoice_data();
    void modeChoice();
    void unreadStatusIsNoSuccess();
};

void TestCommandMode::exitStatus_data()
{
    // In the arguments, CONFIG names the configuration file and MISSING a file that is not there;
    // EMPTY an empty file, BINARY one of bytes that are no text, OLD the configuration in the old
    // layout (its first 52 lines), SHORT its first 42 lines, ALMOST its first 53, and FOLDER a
    // directory named x.tvo.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("game");      // line 1
    QTest::addColumn<QByteArray>("emulator");  // line 40: "fake" is the stand-in
    QTest::addColumn<QByteArray>("gameExit");  // the stand-in's status for a game
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");       // on the standard output
    QTest::addColumn<QByteArray>("err");       // on the error output
    QTest::addColumn<QByteArray>("called");    // the game's call of the emulator; "" for none

    const QByteArray fake = "fake";
    const QByteArray none;
    QTest::newRow("help") << QStringList{"--help"} << none << fake << none << 0
                          << QByteArray("--print-command") << none << none;
    QTest::newRow("short help") << QStringList{"-h"} << none << fake << none << 0
                                << QByteArray("--print-command") << none << none;
    QTest::newRow("help of all options") << QStringList{"--help-all"} << none << fake << none << 0
                                         << QByteArray("--print-command") << none << none;
    QTest::newRow("version") << QStringList{"--version"} << none << fake << none << 0
                             << QByteArray("trelvo-mame ") << none << none;
    QTest::newRow("short version") << QStringList{"-v"} << none << fake << none << 0
                                   << QByteArray("trelvo-mame ") << none << none;
    QTest::newRow("unknown option") << QStringList{"--fullscreen", "CONFIG"} << none << fake << none << 64
                                    << none << QByteArray("trelvo-mame: Unknown option 'fullscreen'.") << none;
    QTest::newRow("no mode") << QStringList{"--print-command", "--run", "CONFIG"} << none << fake << none << 64
                             << none << QByteArray("give --print-command or --run") << none;
    QTest::newRow("no configuration") << QStringList{"--run"} << none << fake << none << 64
                                      << none << QByteArray("give one configuration file") << none;
    QTest::newRow("two games") << QStringList{"--run", "CONFIG", "pong", "rebound"} << none << fake << none << 64
                               << none << QByteArray("give one configuration file") << none;
    QTest::newRow("no game") << QStringList{"--run", "CONFIG"} << none << fake << none << 64
                             << none << QByteArray("names no game: give one after it") << none;
    QTest::newRow("audit without a folder") << QStringList{"--audit"} << none << fake << none << 64
                                            << none << QByteArray("give --audit one ROM folder") << none;
    QTest::newRow("audit of a folder that is not there") << QStringList{"--audit", "MISSING"} << none << fake << none << 66
                                                         << none << QByteArray("Cannot read the ROM folder") << none;
    QTest::newRow("verify without audit") << QStringList{"--verify", "CONFIG"} << none << fake << none << 64
                                          << none << QByteArray("--verify and --emulator go with --audit") << none;
    QTest::newRow("missing file") << QStringList{"--print-command", "MISSING"} << none << fake << none << 66
                                  << none << QByteArray("missing.tvo: No such file or directory") << none;
    QTest::newRow("missing emulator, run") << QStringList{"--run", "CONFIG"} << QByteArray("pong.zip")
                                           << QByteArray("/nonexistent/mame") << none << 70 << none
                                           << QByteArray("Cannot start /nonexistent/mame: No such file or directory.")
                                           << none;
    QTest::newRow("missing emulator, print") << QStringList{"--print-command", "CONFIG"} << QByteArray("pong.zip")
                                             << QByteArray("/nonexistent/mame") << none << 70 << none
                                             << QByteArray("Cannot start /nonexistent/mame: No such file or directory.")
                                             << none;
    QTest::newRow("run, game of the file") << QStringList{"--run", "CONFIG"} << QByteArray("pong.zip") << fake
                                           << none << 0 << none << QByteArray("-depth 16: ") << QByteArray("pong -cheat");
    QTest::newRow("run, game given") << QStringList{"--run", "CONFIG", "rebound"} << QByteArray("pong.zip") << fake
                                     << none << 0 << none << QByteArray("-depth 16: ") << QByteArray("rebound -cheat");
    QTest::newRow("run, the game's status") << QStringList{"--run", "CONFIG"} << QByteArray("pong.zip") << fake
                                            << QByteArray("3") << 3 << none << QByteArray("-depth 16: ") << QByteArray("pong -cheat");
    QTest::newRow("options after the file") << QStringList{"CONFIG", "--run"} << QByteArray("pong") << fake
                                            << none << 0 << none << QByteArray("-depth 16: ") << QByteArray("pong -cheat");

    // A game that the emulator would take for an option, from the command line or from line 1.
    const QByteArray optionGame = " cannot be a game name: the emulator would read it as an option.";
    QTest::newRow("given game read as short options") << QStringList{"--print-command", "CONFIG", "-help"}
                                                      << QByteArray("pong") << fake << none << 64 << none
                                                      << "trelvo-mame: -help" + optionGame << none;
    QTest::newRow("given game, run") << QStringList{"--run", "CONFIG", "--createconfig"} << QByteArray("pong") << fake
                                     << none << 64 << none << "trelvo-mame: --createconfig" + optionGame << none;
    QTest::newRow("game of the file, run") << QStringList{"--run", "CONFIG"} << QByteArray("-createconfig.zip")
                                           << fake << none << 70 << none << "trelvo-mame: -createconfig" + optionGame
                                           << none;
    QTest::newRow("game of the file, print") << QStringList{"--print-command", "CONFIG"} << QByteArray("-listxml.zip")
                                             << fake << none << 70 << none << "-listxml" + optionGame << none;
    QTest::newRow("game of the file with a blank") << QStringList{"--run", "CONFIG"} << QByteArray("a -help.zip")
                                                   << fake << none << 70 << none << "a -help" + optionGame << none;
    QTest::newRow("a game beginning with a dash, after the options") << QStringList{"CONFIG", "--run", "-x"}
                                                                     << QByteArray("pong") << fake << none << 64
                                                                     << none << QByteArray("Unknown option 'x'")
                                                                     << none;

    // Files that hold no configuration, printed or run.
    const QByteArray layouts = " lines; a configuration has 52 or 54";
    QTest::newRow("empty file") << QStringList{"--print-command", "EMPTY"} << none << fake << none << 66 << none
                                << "/empty.tvo has 0" + layouts + "\n" << none;
    QTest::newRow("binary file") << QStringList{"--run", "BINARY"} << none << fake << none << 66 << none
                                 << "/binary.tvo has 3" + layouts << none;
    QTest::newRow("42 lines, print") << QStringList{"--print-command", "SHORT"} << QByteArray("pong.zip") << fake
                                     << none << 66 << none << "/short.tvo has 42" + layouts << none;
    QTest::newRow("42 lines, run") << QStringList{"--run", "SHORT"} << QByteArray("pong.zip") << fake << none << 66
                                   << none << "/short.tvo has 42" + layouts << none;
    QTest::newRow("53 lines") << QStringList{"--print-command", "ALMOST"} << QByteArray("pong.zip") << fake << none
                              << 66 << none << "/almost.tvo has 53" + layouts << none;
    QTest::newRow("old layout, run") << QStringList{"--run", "OLD"} << QByteArray("pong.zip") << fake << none << 0
                                     << none << QByteArray("-depth 16: ") << QByteArray("pong -cheat");
    QTest::newRow("a directory") << QStringList{"--run", "FOLDER"} << none << fake << none << 66 << none
                                 << QByteArray("/x.tvo: Is a directory") << none;

    // Qt's options reach Qt; without a display the windows do not start.
    const QByteArray noDisplay = "trelvo-mame: no display; to run a configuration without one, use --run FILE\n";
    QTest::newRow("Qt's platform option, no display") << QStringList{"--platform", "xcb"} << none << fake << none
                                                      << 70 << none << noDisplay << none;
    QTest::newRow("a configuration, no display") << QStringList{"CONFIG"} << QByteArray("pong") << fake << none << 70
                                                 << none << noDisplay << none;
    QTest::newRow("Qt's options passed over") << QStringList{"-platform", "offscreen", "--style=fusion", "--run", "CONFIG"}
                                              << QByteArray("pong") << fake << none << 0 << none
                                              << QByteArray("-depth 16: ") << QByteArray("pong -cheat");
    QTest::newRow("help tells of the display") << QStringList{"--help"} << none << fake << none << 0
                                               << QByteArray("The window needs a display; --print-command and --run "
                                                             "need none.")
                                               << none << none;

    // Started with SIGCHLD ignored, a failed game is still a failure.
    QTest::newRow("SIGCHLD ignored") << QStringList{"SIGCHLD-IGNORED", "--run", "CONFIG"} << QByteArray("pong.zip")
                                     << fake << QByteArray("3") << 3 << none << QByteArray("-depth 16: ")
                                     << QByteArray("pong -cheat");
}

void TestCommandMode::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, game);
    QFETCH(QByteArray, emulator);
    QFETCH(QByteArray, gameExit);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, called);

    ScratchDir root;
    FakeMame fake(root.file("emulator"));
    fake.writes("CREATECONFIG", "mame.ini", crlf({"rompath roms"}));
    if (!gameExit.isEmpty())
        fake.on("GAME", "EXIT", gameExit);
    QList<QByteArray> lines = configLines(Config::LineCount, {{Config::Game, game},
                                                              {2, "-cheat"},
                                                              {5, "-depth 16"},
                                                              {Config::Emulator, emulator == "fake" ? fake.program : emulator},
                                                              {Config::RomDirectory, root.mkdir("roms")},
                                                              {Config::RomSelection, Config::ManualRomDirectory}});
    lines[Config::OptionString] = Config::optionString(lines);
    const QByteArray file = root.file("a configuration.tvo");
    writeFile(file, crlf(lines));
    QByteArray binary;
    for (int c = 1; c < 256; ++c)
        binary += char(c); // three lines, at LF and CR
    binary += QByteArray(100, '\0') + crlf(lines);
    const QList<std::pair<QString, QByteArray>> files = {{"EMPTY", {}},
                                                         {"BINARY", binary},
                                                         {"OLD", crlf(lines.mid(0, 52))},
                                                         {"SHORT", crlf(lines.mid(0, 42))},
                                                         {"ALMOST", crlf(lines.mid(0, 53))}};
    for (const auto &[name, content] : files)
        if (arguments.contains(name)) {
            const QByteArray path = root.file(name.toLower().toUtf8() + ".tvo");
            writeFile(path, content);
            arguments.replaceInStrings(name, QFile::decodeName(path));
        }
    arguments.replaceInStrings(QStringLiteral("CONFIG"), QFile::decodeName(file));
    arguments.replaceInStrings(QStringLiteral("MISSING"), QFile::decodeName(root.file("missing.tvo")));
    arguments.replaceInStrings(QStringLiteral("FOLDER"), QFile::decodeName(root.mkdir("x.tvo")));

    const Outcome o = runProgram(arguments, root.mkdir("work"));
    QVERIFY2(o.status == status, (QByteArray::number(o.status) + ": " + o.err).constData());
    if (out.isEmpty())
        QCOMPARE(o.out, QByteArray());
    else
        QVERIFY2(o.out.contains(out), o.out.constData());
    if (err.isEmpty())
        QCOMPARE(o.err, QByteArray());
    else
        QVERIFY2(o.err.contains(err), o.err.constData());

    // The calls with the configuration's switches: those of a game, a game named as an option too.
    QList<QByteArray> games;
    for (const QList<QByteArray> &call : fake.argumentLists())
        if (call.contains("-cheat"))
            games << call.join(' ');
    QCOMPARE(games, called.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{called});
}

void TestCommandMode::printedCommandIsOneQuotedLine()
{
    ScratchDir root;
    FakeMame fake(root.file("my emulator"));
    QList<QByteArray> lines = configLines(Config::LineCount, {{Config::Game, "pong.zip"},
                                                              {2, "-cheat"},
                                                              {5, "-depth 16"},
                                                              {31, "-sr 22050"},
                                                              {Config::Extra, "-snapname %g/it's"},
                                                              {Config::Emulator, fake.program}});
    lines[Config::OptionString] = Config::optionString(lines);
    const QByteArray file = root.file("print.tvo");
    writeFile(file, crlf(lines));

    const Outcome o = runProgram({QStringLiteral("--print-command"), QFile::decodeName(file)}, root.mkdir("work"));
    QCOMPARE(o.status, 0);
    QCOMPARE(o.out, "'" + fake.program + "' pong -cheat -samplerate 22050 -snapname '%g/it'\\''s'\n");
    QCOMPARE(o.err, QByteArray("-depth 16: has no counterpart in this emulator\n"));
    // Only the emulator's listing was asked for: nothing ran, no settings file was made.
    QCOMPARE(fake.argumentLists(), (QList<QList<QByteArray>>{{"-showconfig"}}));
}

void TestCommandMode::modeChoice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("platform"); // QT_QPA_PLATFORM
    QTest::addColumn<QByteArray>("display");  // "x11", "wayland" or "" for none
    QTest::addColumn<bool>("commandMode");
    QTest::addColumn<bool>("windows");        // whether the windows can open
    const QByteArray none;
    QTest::newRow("nothing, no display") << QStringList{} << none << none << false << false;
    QTest::newRow("nothing, X11") << QStringList{} << none << QByteArray("x11") << false << true;
    QTest::newRow("nothing, Wayland") << QStringList{"Pong.tvo"} << none << QByteArray("wayland") << false << true;
    QTest::newRow("Qt's option, two dashes") << QStringList{"--platform", "offscreen"} << none << none << false << true;
    QTest::newRow("Qt's option, one dash") << QStringList{"-platform", "minimal"} << none << none << false << true;
    QTest::newRow("the option over the environment") << QStringList{"-platform", "xcb"} << QByteArray("offscreen")
                                                     << QByteArray("wayland") << false << false;
    QTest::newRow("a list, the second one there") << QStringList{} << QByteArray("wayland;xcb") << QByteArray("x11")
                                                  << false << true;
    QTest::newRow("a list, neither there") << QStringList{} << QByteArray("wayland-egl;xcb") << none << false << false;
    QTest::newRow("a platform with its arguments") << QStringList{} << QByteArray("vnc:size=800x600") << none
                                                   << false << true;
    QTest::newRow("Qt's options with values") << QStringList{"--style=fusion", "-qwindowtitle", "--run", "Pong.tvo"}
                                              << none << none << false << false;
    QTest::newRow("own option after Qt's") << QStringList{"-platform", "offscreen", "--run", "Pong.tvo"} << none << none
                                           << true << true;
    QTest::newRow("short help") << QStringList{"-h"} << none << none << true << false;
    QTest::newRow("an unknown long option, to be refused") << QStringList{"--fullscreen"} << none << none << true
                                                           << false;
}

// Which mode the arguments choose, and whether the windows have a display, as main asks.
void TestCommandMode::modeChoice()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(bool, commandMode);
    QFETCH(bool, windows);
    Environment environment;
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.unset(name);
    if (!platform.isEmpty())
        environment.set("QT_QPA_PLATFORM", platform);
    if (display == "x11")
        environment.set("DISPLAY", ":0");
    else if (display == "wayland")
        environment.set("WAYLAND_DISPLAY", "wayland-0");
    QList<QByteArray> bytes{"trelvo-mame"};
    for (const QString &argument : arguments)
        bytes << argument.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &argument : bytes)
        argv.push_back(argument.data());
    QCOMPARE(CommandMode::wanted(int(argv.size()), argv.data()), commandMode);
    QCOMPARE(CommandMode::hasDisplay(int(argv.size()), argv.data()), windows);
}

// With SIGCHLD ignored the system collects the game itself: its end is no status 0.
void TestCommandMode::unreadStatusIsNoSuccess()
{
    ScratchDir root;
    FakeMame fake(root.file("emulator"));
    Launcher launcher(nullptr, root.path());
    Launcher::Command command;
    command.program = fake.program;
    command.game = "pong";
    command.arguments = {"pong"};
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGCHLD, &ignore, &previous);
    QString message;
    try {
        launcher.runAndWait(command);
    } catch (const CommandError &e) {
        message = e.message();
    }
    ::sigaction(SIGCHLD, &previous, nullptr);
    QCOMPARE(message, QStringLiteral("pong ended, and its exit status could not be read"));
    QCOMPARE(fake.argumentLists(), QList<QList<QByteArray>>{{"pong"}});
}

QTEST_MAIN(TestCommandMode)
#include "tst_commandmode.moc"
