// The command-line mode as a user meets it: the built program started as a process with no
// display, on configuration files, with the stand-in emulator; its exit status, what it prints on
// each output, and how it called the emulator.
#include "config.h"
#include "../fakemame/fakemamecontrol.h"
#include "testutil.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

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
// platform chosen for it.
Outcome runProgram(const QStringList &arguments, const QByteArray &directory)
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
};

void TestCommandMode::exitStatus_data()
{
    // In the arguments, CONFIG names the configuration file and MISSING a file that is not there.
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
    arguments.replaceInStrings(QStringLiteral("CONFIG"), QFile::decodeName(file));
    arguments.replaceInStrings(QStringLiteral("MISSING"), QFile::decodeName(root.file("missing.tvo")));

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

    QList<QByteArray> games;
    for (const QList<QByteArray> &call : fake.argumentLists())
        if (!call.isEmpty() && !call.first().startsWith('-'))
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

QTEST_MAIN(TestCommandMode)
#include "tst_commandmode.moc"
