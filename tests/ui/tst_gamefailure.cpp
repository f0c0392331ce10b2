// A game that ends in failure says why; a game still running when the program closes goes on.
#include "application.h"
#include "filelistbox.h"
#include "gamelauncher.h"
#include "guard.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "mainwindow.h"
#include "../fakemame/fakemamecontrol.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace TestUtil;

class TestGameFailure : public QObject {
    Q_OBJECT
private slots:
    void report_data();
    void report();
    void failedGameShowsWhy();
    void gameOutlivesTheProgram();
};

void TestGameFailure::report_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QByteArray>("errors");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing files") << QByteArray("pacman") << 2 << 0 << QByteArray("a\nb\n\n")
                                   << QStringLiteral("pacman ended with status 2 (missing files)\na\nb");
    QTest::newRow("unknown status, no output") << QByteArray("pacman") << 42 << 0 << QByteArray()
                                               << QStringLiteral("pacman ended with status 42 (error)");
    QByteArray many;
    for (int i = 1; i <= 14; ++i)
        many += "line " + QByteArray::number(i) + "\r\n";
    QTest::newRow("last ten lines") << QByteArray("pacman") << 5 << 0 << many
                                    << QStringLiteral("pacman ended with status 5 (no such system)\nline 5\nline 6\nline 7\n"
                                                      "line 8\nline 9\nline 10\nline 11\nline 12\nline 13\nline 14");
    QTest::newRow("a name shown as it is") << QByteArray("x%2 & \\%1") << 2 << 0 << QByteArray()
                                           << QStringLiteral("x%2 & \\%1 ended with status 2 (missing files)");
    QTest::newRow("a 20 KB line cut at 300 characters") << QByteArray("pacman") << 3 << 0 << QByteArray(20000, 'e')
                                                        << QStringLiteral("pacman ended with status 3 (fatal error)\n")
                                                               + QString(299, QLatin1Char('e')) + QChar(0x2026);
    // What it said before it was killed is no reason for the kill.
    QTest::newRow("killed") << QByteArray("pacman") << 137 << 9
                            << QByteArray("ALSA lib pcm.c:8545:(snd_pcm_recover) underrun occurred\n")
                            << QStringLiteral("pacman was ended by signal 9 (SIGKILL)");
    QTest::newRow("a real-time signal") << QByteArray("pacman") << 128 + SIGRTMIN + 2 << SIGRTMIN + 2 << QByteArray()
                                        << QStringLiteral("pacman was ended by signal %1 (SIGRTMIN+2)").arg(SIGRTMIN + 2);
    QTest::newRow("a status that cannot be read") << QByteArray("pacman") << -1 << 0 << QByteArray("a\n")
                                                  << QStringLiteral("pacman ended, and its exit status could not be read\na");
}

void TestGameFailure::report()
{
    QFETCH(QByteArray, game);
    QFETCH(int, status);
    QFETCH(int, signal);
    QFETCH(QByteArray, errors);
    QTEST(GameLauncher::endingReport(game, status, errors, signal), "expected");
}

void TestGameFailure::failedGameShowsWhy()
{
    ScratchDir root;
    Environment environment;
    ownHome(root, environment);
    CurrentDir current(root.mkdir("configs"));
    FakeMame fake(root.file("emu"));
    fake.on("GAME", "STDERR", "pacman.zip NOT FOUND\nRequired files are missing, the machine cannot be run.\n");
    fake.on("GAME", "EXIT", "2");
    writeFile(fake.directory + "/mame.cfg", crlf(QList<QByteArray>(12)));
    writeFile(root.file("configs/x.tvo"), crlf(configLines(54, {{1, "pacman.zip"}, {40, fake.program}})));
    ScriptedModals modals;
    ApplicationWindows windows;
    windows.Form1->lista->setItemIndex(0);
    QSignalSpy ended(&windows.Form1->launcher(), &Launcher::gameFailed);
    runCommand([&] { windows.Form1->RunConfiguration1Click(); });
    QVERIFY(ended.wait(60000));
    QCOMPARE(modals.errors(), QStringList{"pacman ended with status 2 (missing files)\npacman.zip NOT FOUND\n"
                                          "Required files are missing, the machine cannot be run."});

    // Of a game that writes a lot, only the end is read (more than that cannot pass through the
    // stand-in's environment).
    const QByteArray huge = QByteArray(100000, 'x') + "\nthe last words\n";
    fake.on("GAME", "STDERR", huge);
    modals.clear();
    runCommand([&] { windows.Form1->RunConfiguration1Click(); });
    QVERIFY(ended.wait(60000));
    QVERIFY(modals.errors().value(0).endsWith("\nthe last words"));
    QVERIFY(modals.errors().value(0).size() < 2 * GameLauncher::ReportLineLength);

    // A game that ends normally says nothing.
    fake.on("GAME", "EXIT", "0");
    modals.clear();
    ExitWatch watch;
    runCommand([&] { windows.Form1->RunConfiguration1Click(); });
    watch.wait();
    QCoreApplication::processEvents();
    QCOMPARE(modals.errors(), QStringList());
}

void TestGameFailure::gameOutlivesTheProgram()
{
    ScratchDir root;
    Environment environment;
    ownHome(root, environment);
    CurrentDir current(root.mkdir("configs"));
    FakeMame fake(root.file("emu"));
    const QByteArray fifo = root.file("hold");
    QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
    fake.on("GAME", "FIFO", fifo);
    fake.on("GAME", "STDERR", "bye\n");
    fake.on("GAME", "EXIT", "3");
    writeFile(fake.directory + "/mame.cfg", crlf(QList<QByteArray>(12)));
    writeFile(root.file("configs/x.tvo"), crlf(configLines(54, {{1, "galaga.zip"}, {40, fake.program}})));
    pid_t pid;
    {
        ScriptedModals modals;
        ApplicationWindows windows;
        windows.Form1->lista->setItemIndex(0);
        runCommand([&] { windows.Form1->RunConfiguration1Click(); });
        QCOMPARE(modals.errors(), QStringList());
        pid = windows.Form1->launcher().games.lastStarted();
        QVERIFY(pid > 0);
    } // the program's windows close
    QCOMPARE(::kill(pid, 0), 0); // still running
    const int fd = ::open(fifo.constData(), O_WRONLY); // lets it end
    ::close(fd);
    int status = 0;
    QCOMPARE(::waitpid(pid, &status, 0), pid);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 3); // it ran to its own end, undisturbed
    QCOMPARE(fake.calls().size(), 2); // its vocabulary, then the game
}

QTEST_MAIN(TestGameFailure)
#include "tst_gamefailure.moc"
