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

QTEST_MAIN(TestGameLauncher)
#include "tst_gamelauncher.moc"
