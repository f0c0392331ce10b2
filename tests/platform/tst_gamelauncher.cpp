// The game start: arguments as words, no shell, a detached process, and a failure with its reason.
#include "commandline.h"
#include "errors.h"
#include "gamelauncher.h"
#include "../fakemame/fakemamecontrol.h"
#include "testutil.h"

#include <QTest>

using namespace TestUtil;

class TestGameLauncher : public QObject {
    Q_OBJECT
private slots:
    void arguments_data();
    void arguments();
    void startsInCurrentDirectoryWithoutShell();
    void failure_data();
    void failure();
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

void TestGameLauncher::startsInCurrentDirectoryWithoutShell()
{
    ScratchDir dir;
    FakeMame fake(dir.file("my emulator"), "mame binary");
    const QList<QByteArray> arguments = {"$(touch x)", "-joy", "a;touch y", "`touch z`"};
    {
        CurrentDir here(fake.directory);
        ExitWatch watch;
        GameLauncher launcher;
        QString reason;
        QVERIFY(launcher.start(fake.program, arguments, &reason));
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
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray("none") << QStringLiteral("No such file or directory");
    QTest::newRow("not executable") << QByteArray("plain") << QStringLiteral("Permission denied");
}

void TestGameLauncher::failure()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, reason);
    ScratchDir dir;
    writeFile(dir.file("plain"), "text\n");
    const QByteArray program = dir.file(name);
    GameLauncher launcher;
    QString why;
    QVERIFY(!launcher.start(program, {"pacman"}, &why));
    QVERIFY2(why.contains(reason), qPrintable(why));
    try {
        GameLauncher::cannotStart(program, why);
        QFAIL("no error");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot start %1: %2").arg(QString::fromUtf8(program), why));
    }
}

QTEST_MAIN(TestGameLauncher)
#include "tst_gamelauncher.moc"
