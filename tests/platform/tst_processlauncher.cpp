// The process launcher, with real processes: what it starts, what it returns, what it does
// to the owning window meanwhile, and how a wait is shown, bounded and cancelled.
#include "processlauncher.h"
#include "../fakemame/fakemamecontrol.h"
#include "processes.h"
#include "scriptedmodals.h"
#include "testutil.h"

#include <QEvent>
#include <QTest>
#include <QWidget>

using namespace TestUtil;

namespace {

// Counts the owner's hide and show events.
class VisibilityLog : public QObject {
public:
    explicit VisibilityLog(QWidget *w) { w->installEventFilter(this); }
    QList<QEvent::Type> events;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Hide || e->type() == QEvent::Show)
            events << e->type();
        return false;
    }
};

const QList<QEvent::Type> HiddenAndShown = {QEvent::Hide, QEvent::Show};

// What the fake emulator is told: FAKEMAME_<first>_<second> = value.
using Behaviour = QList<QPair<QByteArray, QByteArray>>;
using Calls = QList<QList<QByteArray>>;

} // namespace

Q_DECLARE_METATYPE(TExecutor::Outcome)

class TestExecutor : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void routes_data();
    void routes();
    void waits_data();
    void waits();
    void ownerLeftAloneWhenAsked();
    void notWaitingLeavesProgramRunning();
};

void TestExecutor::defaults()
{
    TExecutor e;
    QCOMPARE(e.Visibility, TMyVisibility::NORMAL);
    QVERIFY(e.HideOwner);
    QVERIFY(e.Wait);
    QVERIFY(e.FileName.isEmpty() && e.LaunchType.isEmpty() && e.CommandLine.isEmpty());
    QCOMPARE(e.verb(), QByteArray("open"));
    const QList<int> codes = {0, 1, 1, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10, 10};
    for (int v = 0; v < codes.size(); ++v)
        QCOMPARE(showCode(TMyVisibility(v)), codes.at(v));
}

// "%F" in a text stands for the fake emulator's path, "%D" for its directory.
void TestExecutor::routes_data()
{
    QTest::addColumn<QByteArray>("fileName");
    QTest::addColumn<QByteArray>("commandLine");
    QTest::addColumn<QByteArray>("launchType");
    QTest::addColumn<bool>("wait");
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("ownerHiddenAndShown");
    QTest::addColumn<Calls>("calls");
    QTest::newRow("program and switch: waits, exit code")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << true
        << Behaviour{{"LIST_EXIT", "7"}} << 7 << true << Calls{{"-list"}};
    QTest::newRow("a long noisy listing on both outputs does not hang")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << true
        << Behaviour{{"LIST_LINES", "200000"}, {"LIST_STDERR", "Error: unknown option: -list\n"}, {"LIST_EXIT", "1"}}
        << 1 << true << Calls{{"-list"}};
    QTest::newRow("input is at its end, never an open pipe")
        << QByteArray("%F") << QByteArray("-createconfig") << QByteArray() << true
        << Behaviour{{"CREATECONFIG_STDIN", "1"}} << 0 << true << Calls{{"-createconfig"}};
    QTest::newRow("quoted words of the command line")
        << QByteArray("%F") << QByteArray("-rompath \"a b\"  -createconfig") << QByteArray() << true
        << Behaviour{} << 0 << true << Calls{{"-rompath", "a b", "-createconfig"}};
    QTest::newRow("program with blanks in its path, whole")
        << QByteArray("%D/my emu/mame x") << QByteArray("-list") << QByteArray() << true
        << Behaviour{} << 0 << true << Calls{{"-list"}};
    QTest::newRow("program alone")
        << QByteArray("%F") << QByteArray() << QByteArray() << true
        << Behaviour{{"NONE_EXIT", "3"}} << 3 << true << Calls{{}};
    QTest::newRow("command in the file name")
        << QByteArray("%F -list") << QByteArray() << QByteArray() << true
        << Behaviour{{"LIST_EXIT", "4"}} << 4 << true << Calls{{"-list"}};
    QTest::newRow("program whose path is no valid UTF-8")
        << QByteArray("%D/\xFF\xE9 emu/mame\x80") << QByteArray("-createconfig") << QByteArray() << true
        << Behaviour{{"CREATECONFIG_EXIT", "2"}} << 2 << true << Calls{{"-createconfig"}};
    QTest::newRow("no such program")
        << QByteArray("%D/none") << QByteArray("-list") << QByteArray() << true
        << Behaviour{} << 1 << false << Calls{};
    QTest::newRow("not executable")
        << QByteArray("%D/plain") << QByteArray() << QByteArray() << true
        << Behaviour{} << 1 << false << Calls{};
    QTest::newRow("a directory")
        << QByteArray("%D") << QByteArray("-list") << QByteArray() << true
        << Behaviour{} << 1 << false << Calls{};
    QTest::newRow("file name and launch type: nothing started")
        << QByteArray("%F") << QByteArray("-list") << QByteArray(".zip") << true
        << Behaviour{} << 0 << true << Calls{};
    QTest::newRow("association only")
        << QByteArray() << QByteArray("-list") << QByteArray(".zip") << true
        << Behaviour{} << 1 << false << Calls{};
    QTest::newRow("nothing to start")
        << QByteArray() << QByteArray() << QByteArray() << true
        << Behaviour{} << 1 << false << Calls{};
    QTest::newRow("file name of 512 characters")
        << QByteArray("%L512") << QByteArray() << QByteArray() << true
        << Behaviour{} << 1 << false << Calls{};
    QTest::newRow("file name of 511 characters")
        << QByteArray("%L511") << QByteArray() << QByteArray() << true
        << Behaviour{} << 0 << true << Calls{{}};
    QTest::newRow("parameter text of 512 characters")
        << QByteArray("%F") << QByteArray(511, 'p') << QByteArray() << true
        << Behaviour{} << 1 << false << Calls{};
    QTest::newRow("parameter text of 511 characters")
        << QByteArray("%F") << QByteArray(510, 'p') << QByteArray() << true
        << Behaviour{} << 0 << true << Calls{{QByteArray(510, 'p')}};
}

void TestExecutor::routes()
{
    QFETCH(QByteArray, fileName);
    QFETCH(QByteArray, commandLine);
    QFETCH(QByteArray, launchType);
    QFETCH(bool, wait);
    QFETCH(Behaviour, behaviour);
    QFETCH(int, result);
    QFETCH(bool, ownerHiddenAndShown);
    QFETCH(Calls, calls);

    ScratchDir dir;
    FakeMame fake(dir.path());
    fake.link(dir.file("my emu"), "mame x");
    fake.link(dir.file("\xFF\xE9 emu"), "mame\x80");
    writeFile(dir.file("plain"), "not a program\n");
    for (const auto &[what, value] : behaviour)
        fake.on(what.left(what.indexOf('_')), what.mid(what.indexOf('_') + 1), value);

    fileName.replace("%F", fake.program).replace("%D", dir.path());
    if (fileName.startsWith("%L")) {
        // A path of exactly that length to the fake emulator, through a chain of "./".
        const int length = fileName.mid(2).toInt();
        const QByteArray tail = "/mame";
        QByteArray path = dir.path();
        while (path.size() + tail.size() + 2 <= length)
            path += "/.";
        path += QByteArray(length - path.size() - tail.size(), '/') + tail;
        QCOMPARE(path.size(), length);
        fileName = path;
    }

    ScriptedModals modals;
    QWidget owner;
    owner.show();
    VisibilityLog visibility(&owner);
    TExecutor e(&owner);
    e.Visibility = TMyVisibility::HIDE;
    e.Wait = wait;
    e.FileName = fileName;
    e.CommandLine = commandLine;
    e.LaunchType = launchType;
    QCOMPARE(e.Execute(), result);

    QCOMPARE(visibility.events, ownerHiddenAndShown ? HiddenAndShown : QList<QEvent::Type>{});
    QVERIFY(owner.isVisible());
    QCOMPARE(fake.argumentLists(), calls);
    for (const FakeCall &call : fake.calls())
        QCOMPARE(call.directory, FileIO::currentDirectory());
}

// "%F" stands for the fake emulator's path, "%D" for its directory. A run that is cancelled or
// timed out is of an emulator that never ends by itself.
void TestExecutor::waits_data()
{
    QTest::addColumn<QByteArray>("fileName");
    QTest::addColumn<QByteArray>("commandLine");
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<TExecutor::Outcome>("outcome");
    QTest::addColumn<QStringList>("waits");
    const QStringList listing{"Waiting for mame -list to finish"};
    QTest::newRow("time limit reached") << QByteArray("%F") << QByteArray("-list") << QByteArray()
                                        << TExecutor::Outcome::TimedOut << listing;
    QTest::newRow("cancelled") << QByteArray("%F") << QByteArray("-list") << QByteArray()
                               << TExecutor::Outcome::Cancelled << listing;
    QTest::newRow("in the working directory given") << QByteArray("%F  -list") << QByteArray() << QByteArray("%D/work")
                                                    << TExecutor::Outcome::Finished << listing;
    QTest::newRow("no such working directory") << QByteArray("%F") << QByteArray("-list") << QByteArray("%D/none")
                                               << TExecutor::Outcome::NotStarted << QStringList{};
}

void TestExecutor::waits()
{
    QFETCH(QByteArray, fileName);
    QFETCH(QByteArray, commandLine);
    QFETCH(QByteArray, directory);
    QFETCH(TExecutor::Outcome, outcome);
    ScratchDir dir;
    dir.mkdir("work");
    FakeMame fake(dir.path());
    const QByteArray hold = fifo(dir.file("hold"));
    const bool endless = outcome == TExecutor::Outcome::TimedOut || outcome == TExecutor::Outcome::Cancelled;
    if (endless)
        fake.on("LIST", "FIFO", hold);
    ScriptedModals modals;
    if (outcome == TExecutor::Outcome::Cancelled)
        modals.cancelWait();
    QWidget owner;
    owner.show();
    TExecutor e(&owner);
    e.Visibility = TMyVisibility::HIDE;
    e.FileName = fileName.replace("%F", fake.program);
    e.CommandLine = commandLine;
    e.WorkingDirectory = directory.replace("%D", dir.path());
    e.TimeoutMs = outcome == TExecutor::Outcome::TimedOut ? 1 : 60000;
    QCOMPARE(e.Execute(), outcome == TExecutor::Outcome::Finished ? 0 : 1);
    QCOMPARE(e.LastOutcome, outcome);
    QTEST(modals.waits(), "waits");
    QVERIFY(owner.isVisible());
    QVERIFY(noChildLeft());
    QVERIFY(!hasReader(hold));
    if (!endless && !directory.isEmpty() && outcome == TExecutor::Outcome::Finished)
        QCOMPARE(fake.calls().constFirst().directory, directory);
}

void TestExecutor::ownerLeftAloneWhenAsked()
{
    ScriptedModals modals;
    ScratchDir dir;
    FakeMame fake(dir.path());
    QWidget owner;
    owner.show();
    VisibilityLog visibility(&owner);
    TExecutor e(&owner);
    e.HideOwner = false;
    e.FileName = fake.program;
    e.CommandLine = "-list";
    QCOMPARE(e.Execute(), 0);
    QVERIFY(visibility.events.isEmpty());
    QCOMPARE(fake.calls().size(), 1);

    // An owner that is not on screen stays off screen.
    QWidget hidden;
    VisibilityLog hiddenLog(&hidden);
    TExecutor second(&hidden);
    second.FileName = fake.program;
    QCOMPARE(second.Execute(), 0);
    QVERIFY(!hidden.isVisible());
    QVERIFY(hiddenLog.events.isEmpty());
}

void TestExecutor::notWaitingLeavesProgramRunning()
{
    ScratchDir dir;
    FakeMame fake(dir.path());
    fake.on("LIST", "EXIT", "5");
    QWidget owner;
    owner.show();
    VisibilityLog visibility(&owner);
    ExitWatch watch;
    {
        TExecutor e(&owner);
        e.Wait = false;
        e.FileName = fake.program;
        e.CommandLine = "-list";
        QCOMPARE(e.Execute(), TExecutor::StillActive);
    }
    QCOMPARE(visibility.events, HiddenAndShown);
    // The program carries on after the launcher is gone, and ends by itself: then the program
    // collects it, never leaving a zombie.
    watch.wait();
    siginfo_t ended{};
    QCOMPARE(::waitid(P_ALL, 0, &ended, WEXITED | WNOWAIT), 0);
    QVERIFY(collectedByProgram(ended.si_pid));
    QCOMPARE(fake.argumentLists(), QList<QList<QByteArray>>{{"-list"}});
}

QTEST_MAIN(TestExecutor)
#include "tst_processlauncher.moc"
