#include "batchfile.h"
#include "linebuffer.h"
#include "testutil.h"

#include <QProcess>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using TestUtil::ScratchDir;

class TestBatchFile : public QObject {
    Q_OBJECT
private slots:
    void batchWithoutGame();
    void batchWithGame_data();
    void batchWithGame();
    void defaultExtension_data();
    void defaultExtension();
    void shellQuoting();
    void shellScriptRuns_data();
    void shellScriptRuns();
};

void TestBatchFile::batchWithoutGame()
{
    const QByteArray file = LineBuffer::join(BatchFile::batchLines({"C:\\MAME\\MAME.EXE", "", " -cheat "}));
    QCOMPARE(file, QByteArray("@echo off\r\n"
                              "echo. MADE USING MAME TRELVO\r\n"
                              "echo. ========================\r\n"
                              "ECHO.\r\n"
                              "if \"%1\" == \"\" goto erro\r\n"
                              "cd C:\\MAME\r\n"
                              "C:\\MAME\\MAME.EXE %1  -cheat \r\n"
                              "goto sair\r\n"
                              ":erro\r\n"
                              "echo. TYPE THE NAME OF THE GAME AFTER THE NAME OF THE FILE\r\n"
                              ":sair\r\n"));
}

void TestBatchFile::batchWithGame_data()
{
    QTest::addColumn<QByteArray>("emulator");
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QByteArray>("cd");
    QTest::addColumn<QByteArray>("run");
    QTest::newRow("windows") << QByteArray("C:\\MAME\\MAME.EXE") << QByteArray("PACMAN.ZIP")
                             << QByteArray("cd C:\\MAME") << QByteArray("C:\\MAME\\MAME.EXE PACMAN ");
    QTest::newRow("drive root") << QByteArray("C:\\MAME.EXE") << QByteArray("my.game.zip")
                                << QByteArray("cd C:\\") << QByteArray("C:\\MAME.EXE my.game ");
    QTest::newRow("posix") << QByteArray("/usr/games/mame") << QByteArray("pacman")
                           << QByteArray("cd /usr/games") << QByteArray("/usr/games/mame pacman ");
}

void TestBatchFile::batchWithGame()
{
    QFETCH(QByteArray, emulator);
    QFETCH(QByteArray, game);
    QFETCH(QByteArray, cd);
    QFETCH(QByteArray, run);
    const QList<QByteArray> lines = BatchFile::batchLines({emulator, game, ""});
    QCOMPARE(lines, (QList<QByteArray>{"@echo off", "echo. MADE USING MAME TRELVO",
                                       "echo. ========================", "ECHO.", cd, run}));
}

void TestBatchFile::defaultExtension_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("bat filter") << QByteArray("/x/start") << 0 << QByteArray("/x/start.BAT");
    QTest::newRow("all files filter") << QByteArray("/x/start") << 1 << QByteArray("/x/start.BAT");
    QTest::newRow("shell filter") << QByteArray("/x/start") << 2 << QByteArray("/x/start.sh");
    QTest::newRow("own extension") << QByteArray("/x/start.cmd") << 2 << QByteArray("/x/start.cmd");
    QTest::newRow("dot in directory") << QByteArray("/x.d/start") << 0 << QByteArray("/x.d/start.BAT");
}

void TestBatchFile::defaultExtension()
{
    QFETCH(QByteArray, typed);
    QFETCH(int, filter);
    QTEST(BatchFile::withDefaultExtension(typed, filter), "path");
}

void TestBatchFile::shellQuoting()
{
    QCOMPARE(BatchFile::shellQuote("plain"), QByteArray("'plain'"));
    QCOMPARE(BatchFile::shellQuote("it's"), QByteArray("'it'\\''s'"));
    QCOMPARE(BatchFile::shellQuote(""), QByteArray("''"));
}

void TestBatchFile::shellScriptRuns_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("status");
    QTest::newRow("fixed game") << QByteArray("pac$(touch pwned)'man.zip") << QByteArray()
                                << QByteArray("pac$(touch pwned)'man|-joy|auto|;rm") << 0;
    QTest::newRow("game as argument") << QByteArray() << QByteArray("gal aga`id`")
                                      << QByteArray("gal aga`id`|-joy|auto|;rm") << 0;
    QTest::newRow("missing argument") << QByteArray() << QByteArray()
                                      << QByteArray(" TYPE THE NAME OF THE GAME AFTER THE NAME OF THE FILE") << 1;
}

void TestBatchFile::shellScriptRuns()
{
    QFETCH(QByteArray, game);
    QFETCH(QByteArray, argument);
    QFETCH(QByteArray, output);
    QFETCH(int, status);
    // The "emulator" lies in a directory with blanks and prints its arguments joined by "|" and
    // the directory it was started in.
    ScratchDir dir;
    const QByteArray emuDir = dir.mkdir("my emu $dir");
    const QByteArray emulator = emuDir + "/show args";
    TestUtil::writeFile(emulator, "#!/bin/sh\nIFS='|'; echo \"$*\"; pwd\n");
    QVERIFY(::chmod(emulator.constData(), 0755) == 0);
    const QByteArray script = dir.file("start.sh");
    TestUtil::writeFile(script, BatchFile::shellScript({emulator, game, "   -joy auto  ;rm "}));

    QProcess p;
    p.setWorkingDirectory(QString::fromUtf8(dir.path()));
    p.start(QStringLiteral("/bin/sh"), argument.isEmpty() ? QStringList{QString::fromUtf8(script)}
                                                         : QStringList{QString::fromUtf8(script), QString::fromUtf8(argument)});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), status);
    const QList<QByteArray> out = p.readAllStandardOutput().split('\n');
    QCOMPARE(out.at(0), QByteArray(" MADE USING MAME TRELVO"));
    QCOMPARE(out.at(1), QByteArray(" ========================"));
    QCOMPARE(out.at(3), output);
    if (status == 0)
        QCOMPARE(out.at(4), emuDir);
    QVERIFY(!QFile::exists(QString::fromUtf8(dir.file("pwned"))));
    QVERIFY(!QFile::exists(QString::fromUtf8(emuDir + "/pwned")));
}

QTEST_GUILESS_MAIN(TestBatchFile)
#include "tst_batchfile.moc"
