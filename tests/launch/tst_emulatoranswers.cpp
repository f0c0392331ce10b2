// What emulators said of themselves, kept: asked once, asked again exactly when the answer
// could have changed (the emulator's file, its version, a mame.ini it reads), and never kept on
// disk when the emulator did not give it by ending by itself.
#include "emulatoranswers.h"
#include "errors.h"
#include "fileio.h"
#include "launcher.h"
#include "processlimits.h"
#include "scriptedmodals.h"
#include "../fakemame/fakemamecontrol.h"

#include <QDir>
#include <QTest>
#include <sys/stat.h>

using namespace TestUtil;
using Q = EmulatorAnswers::Question;

class TestEmulatorAnswers : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ProcessLimits::current() = ProcessLimits::Values(); }
    void keptAndAskedAgain_data();
    void keptAndAskedAgain();
    void onOffOptionsAskedOfTheEmulator();
};

void TestEmulatorAnswers::keptAndAskedAgain_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("knownFirst");  // the first session's answer is a vocabulary
    // -showconfig runs in the first session, asked twice (-1: a run ended at once may have been
    // ended before it could say it ran)
    QTest::addColumn<int>("runsFirst");
    QTest::addColumn<bool>("askedAgain");  // the next session runs -showconfig again
    QTest::newRow("kept") << "kept" << true << 1 << false;
    QTest::newRow("the emulator's file changed") << "new file" << true << 1 << true;
    QTest::newRow("a script in front of a new emulator") << "new version" << true << 1 << true;
    QTest::newRow("the user's mame.ini changed") << "ini changed" << true << 1 << true;
    QTest::newRow("the user's mame.ini removed") << "ini removed" << true << 1 << true;
    QTest::newRow("past its bound: kept for the session only") << "past bound" << false << -1 << true;
    QTest::newRow("cancelled: asked again at once, then kept") << "cancelled" << true << -1 << false;
    QTest::newRow("a damaged cache file") << "damaged" << true << 1 << true;
    QTest::newRow("a cache file past its bound") << "huge" << true << 1 << true;
}

void TestEmulatorAnswers::keptAndAskedAgain()
{
    QFETCH(QString, situation);
    QFETCH(bool, knownFirst);
    QFETCH(int, runsFirst);
    QFETCH(bool, askedAgain);
    ScratchDir root;
    Environment environment;
    const QByteArray home = ownHome(root, environment);
    ScriptedModals modals;
    FakeMame fake(root.mkdir("emu"));
    fake.ownCopy();
    const QByteArray ini = FileIO::makeDirectories(home + "/.mame") ? home + "/.mame/mame.ini" : QByteArray();
    writeFile(ini, "rompath roms\n");
    auto showconfigRuns = [&] {
        int n = 0;
        for (const FakeCall &call : fake.allCalls())
            n += call.arguments == QList<QByteArray>{"-showconfig"};
        return n;
    };
    {
        Launcher launcher(nullptr, root.path());
        // What -showconfig depends on is asked first, within the usual bounds.
        QVERIFY(launcher.answers.ask(fake.program, Q::BuiltIn));
        if (situation == "past bound" || situation == "cancelled") {
            const QByteArray fifo = root.file("never");
            QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
            fake.on("SHOWCONFIG", "FIFO", fifo);
            if (situation == "past bound")
                ProcessLimits::current().vocabularyMs = 1;
            else
                modals.cancelWait();
        }
        for (int i = 0; i < 2; ++i) {
            try {
                QCOMPARE(launcher.vocabulary(fake.program).isKnown(), knownFirst);
            } catch (const CommandStopped &) {
                QCOMPARE(situation, QStringLiteral("cancelled"));
                QCOMPARE(i, 0);
                qunsetenv("FAKEMAME_SHOWCONFIG_FIFO"); // the next ask is answered
            }
        }
        if (runsFirst >= 0)
            QCOMPARE(showconfigRuns(), runsFirst);
        // An emulator that did not answer is told of once, and its switches go as written.
        QCOMPARE(modals.messages().size(), situation == "past bound" ? 1 : 0);
        ProcessLimits::current() = ProcessLimits::Values();
        qunsetenv("FAKEMAME_SHOWCONFIG_FIFO");
    }
    const QByteArray cacheFile = [&] {
        const QList<QByteArray> files = FileIO::listFiles(EmulatorAnswers::cacheDirectory(), "*.showconfig");
        return files.isEmpty() ? QByteArray() : PathRules::join(EmulatorAnswers::cacheDirectory(), files.first());
    }();
    QCOMPARE(cacheFile.isEmpty(), !knownFirst);
    if (situation == "new file")
        fake.newVersion();
    else if (situation == "new version")
        fake.on("VERSION", "STDOUT", "0.252 (a newer one)");
    else if (situation == "ini changed")
        writeFile(ini, "rompath roms\nsnapshot_directory elsewhere\n");
    else if (situation == "ini removed")
        ::unlink(ini.constData());
    else if (situation == "damaged")
        writeFile(cacheFile, readFile(cacheFile).left(40));
    else if (situation == "huge")
        writeFile(cacheFile, readFile(cacheFile) + QByteArray(AnswerCache::MaxFileBytes, 'x'));

    const int before = showconfigRuns();
    Launcher next(nullptr, root.path());
    QVERIFY(next.vocabulary(fake.program).isKnown());
    QCOMPARE(showconfigRuns() - before, askedAgain ? 1 : 0);
    QCOMPARE(modals.errors(), QStringList());
}

// Which options are on/off is asked run after run, each run refused at the first "-noNAME" the
// emulator does not take, and kept like every answer.
void TestEmulatorAnswers::onOffOptionsAskedOfTheEmulator()
{
    ScratchDir root;
    Environment environment;
    ownHome(root, environment);
    ScriptedModals modals;
    FakeMame fake(root.mkdir("emu"));
    fake.ownCopy();
    auto probes = [&] {
        int n = 0;
        for (const FakeCall &call : fake.allCalls())
            n += call.arguments.size() > 2 && call.arguments.first() == "-noreadconfig";
        return n;
    };
    {
        Launcher launcher(nullptr, root.path());
        const Vocabulary guessed = launcher.vocabulary(fake.program);
        QVERIFY(guessed.isSwitch("frameskip")); // listed as 0, read as a number
        QVERIFY(launcher.answers.ask(fake.program, Q::Switches));
        // One run for each of the 17 numbers listed as 0 or 1, and the last that passes.
        QCOMPARE(probes(), 18);
        const Vocabulary words = launcher.vocabulary(fake.program);
        QVERIFY(words.switchesKnown());
        for (const char *name : {"window", "readconfig", "autoframeskip", "cheat"}) {
            QVERIFY2(words.isSwitch(name), name);
            QVERIFY(words.takes("-no" + QByteArray(name)));
        }
        for (const char *name : {"frameskip", "prescale", "numscreens", "pa_latency", "rompath", "bogus"}) {
            QVERIFY2(!words.isSwitch(name), name);
            QVERIFY(!words.takes("-no" + QByteArray(name)));
        }
    }
    Launcher next(nullptr, root.path());
    QVERIFY(next.keptVocabulary(fake.program)->switchesKnown());
    QVERIFY(!next.keptVocabulary(fake.program)->isSwitch("frameskip"));
    QCOMPARE(probes(), 18);
    QCOMPARE(modals.errors(), QStringList());
}

QTEST_MAIN(TestEmulatorAnswers)
#include "tst_emulatoranswers.moc"
