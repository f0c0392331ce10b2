// The game start: arguments as words, no shell, a detached process in its working directory,
// a failure with its reason, and a game always collected and reported when it ends.
#include "commandline.h"
#include "errors.h"
#include "gamelauncher.h"
#include "processes.h"
#include "processwatch.h"
#include "../fakemame/fakemamecontrol.h"
#include "testutil.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

using namespace TestUtil;

class TestGameLauncher : public QObject {
    Q_OBJECT
private slots:
    void arguments_data();
    void arguments();
    void startsInItsDirectoryWithoutShell();
    void failure_data();
    void failure();
    void collectedWithoutProcessDescriptor();
    void ending_data();
    void ending();
};

void TestGameLauncher::arguments_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QList<QByteArray>>("expected");
    QTest::newRow("game and switches")
        << QByteArray("pacman") << QByteArray("-joy standard -nosound ")
        << QList<QByteArray>{"pacman", "-joy", "standard", "-nosound"};
    QTest::newRow("the option string's many blanks")
        << QByteArray("pacman") << QByteArray("   -sr 44100      -fps ")
        << QList<QByteArray>{"pacman", "-sr", "44100", "-fps"};
    QTest::newRow("no switches") << QByteArray("pacman") << QByteArray() << QList<QByteArray>{"pacman"};
    QTest::newRow("only blanks") << QByteArray("pacman") << QByteArray(38, ' ') << QList<QByteArray>{"pacman"};
    QTest::newRow("no game") << QByteArray() << QByteArray("-joy standard ") << QList<QByteArray>{"-joy", "standard"};
    QTest::newRow("a game with blanks stays one argument")
        << QByteArray("my game") << QByteArray("-x") << QList<QByteArray>{"my game", "-x"};
    QTest::newRow("shell text is only text")
        << QByteArray("$(touch x)") << QByteArray("; rm -rf / `id` \"a b\"")
        << QList<QByteArray>{"$(touch x)", ";", "rm", "-rf", "/", "`id`", "\"a", "b\""};
}

void TestGameLauncher::arguments()
{
    QFETCH(QByteArray, game);
    QFETCH(QByteArray, options);
    QFETCH(QList<QByteArray>, expected);
    QCOMPARE(CommandLine::arguments(game, options), expected);
}

// In the working directory given, while the current one is elsewhere.
void TestGameLauncher::startsInItsDirectoryWithoutShell()
{
    ScratchDir dir;
    FakeMame fake(dir.file("my emulator"), "mame binary");
    const QList<QByteArray> arguments = {"$(touch x)", "-joy", "a;touch y", "`touch z`"};
    {
        CurrentDir here(dir.mkdir("elsewhere"));
        ExitWatch watch;
        GameLauncher launcher;
        QString reason;
        QVERIFY(launcher.start(fake.program, arguments, fake.directory, &reason));
        QVERIFY(reason.isEmpty());
        watch.wait();
    }
    const QList<FakeCall> calls = fake.calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.at(0).directory, fake.directory);
    QCOMPARE(calls.at(0).arguments, arguments);
    QCOMPARE(entries(fake.directory), QList<QByteArray>{"mame binary"});
}

void TestGameLauncher::failure_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray("none") << QByteArray() << QStringLiteral("No such file or directory");
    QTest::newRow("not executable") << QByteArray("plain") << QByteArray() << QStringLiteral("Permission denied");
    QTest::newRow("missing working directory")
        << QByteArray("mame") << QByteArray("gone") << QStringLiteral("No such file or directory");
}

void TestGameLauncher::failure()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, directory);
    QFETCH(QString, reason);
    ScratchDir dir;
    writeFile(dir.file("plain"), "text\n");
    FakeMame fake(dir.path());
    const QByteArray program = dir.file(name);
    GameLauncher launcher;
    QString why;
    QVERIFY(!launcher.start(program, {"pacman"}, directory.isEmpty() ? directory : dir.file(directory), &why));
    QVERIFY2(why.contains(reason), qPrintable(why));
    try {
        GameLauncher::cannotStart(program, why);
        QFAIL("no error");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot start %1: %2").arg(QString::fromUtf8(program), why));
    }
}

// Where the kernel gives no process descriptor to watch a game through.
void TestGameLauncher::collectedWithoutProcessDescriptor()
{
    ScratchDir dir;
    FakeMame fake(dir.path());
    fake.on("GAME", "EXIT", "2");
    ProcessWatch::setProcessDescriptorsForTests(false);
    GameLauncher launcher;
    QSignalSpy failed(&launcher, &GameLauncher::gameFailed);
    QString reason;
    QVERIFY(launcher.start(fake.program, {"pacman"}, {}, &reason, "pacman"));
    ProcessWatch::setProcessDescriptorsForTests(true);
    QVERIFY(collectedByProgram(launcher.lastStarted()));
    QCoreApplication::processEvents(); // the report follows the collection
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.at(0).at(0).toString(), "pacman ended with status 2 (missing files)");
}

void TestGameLauncher::ending_data()
{
    QTest::addColumn<QString>("how");    // "exit", "killed", or "SIGCHLD ignored" while it runs
    QTest::addColumn<QByteArray>("errorLines"); // how many lines it writes to its error output
    QTest::addColumn<QString>("report");
    QTest::newRow("its status") << "exit" << QByteArray("3")
                                << "pacman ended with status 3 (fatal error)\nerror 0 of the long list\n"
                                   "error 1 of the long list\nerror 2 of the long list";
    // Some 5 MB, read as they come: only the end is kept, and the game is never held up.
    QString end = QStringLiteral("pacman ended with status 3 (fatal error)");
    for (int i = 199990; i < 200000; ++i)
        end += QStringLiteral("\nerror %1 of the long list").arg(i);
    QTest::newRow("far more than 64 KiB of error output") << "exit" << QByteArray("200000") << end;
    QTest::newRow("killed: the signal, none of its output") << "killed" << QByteArray("3")
                                                            << "pacman was ended by signal 9 (SIGKILL)";
    QTest::newRow("a status that cannot be read") << "SIGCHLD ignored" << QByteArray("1")
                                                  << "pacman ended, and its exit status could not be read\n"
                                                     "error 0 of the long list";
}

// A game that ends otherwise than with status 0 is reported, whatever its end.
void TestGameLauncher::ending()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, errorLines);
    QFETCH(QString, report);
    ScratchDir dir;
    FakeMame fake(dir.path());
    fake.on("GAME", "ERRLINES", errorLines);
    fake.on("GAME", "EXIT", "3");
    if (how == "killed")
        fake.on("GAME", "FIFO", fifo(dir.file("hold"))); // runs until it is killed
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    if (how == "SIGCHLD ignored")
        ::sigaction(SIGCHLD, &ignore, &previous); // the system collects the game itself

    GameLauncher launcher;
    QSignalSpy failed(&launcher, &GameLauncher::gameFailed);
    QString reason;
    QVERIFY(launcher.start(fake.program, {"pacman"}, {}, &reason, "pacman"));
    if (how == "killed")
        QCOMPARE(::kill(launcher.lastStarted(), SIGKILL), 0);
    QVERIFY(failed.wait(60000));
    if (how == "SIGCHLD ignored")
        ::sigaction(SIGCHLD, &previous, nullptr);
    QCOMPARE(failed.at(0).at(0).toString(), report);
}

QTEST_MAIN(TestGameLauncher)
#include "tst_gamelauncher.moc"
