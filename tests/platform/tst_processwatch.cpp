// Watching a started process: its end and status, the time limit and cancel, with and without
// process descriptors; nothing left behind, and a group ended with its leader.
#include "processwatch.h"
#include "processes.h"
#include "spawnprocess.h"
#include "../fakemame/fakemamecontrol.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>
#include <poll.h>

using namespace TestUtil;

namespace {

enum class Ending { ByItself, SignalFromElsewhere, TimeLimit, Cancel };

} // namespace

Q_DECLARE_METATYPE(Ending)
Q_DECLARE_METATYPE(ProcessWatch::End)

class TestProcessWatch : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ProcessWatch::setProcessDescriptorsForTests(true); }
    void ends_data();
    void ends();
    void groupEndsWithItsLeader();
};

void TestProcessWatch::ends_data()
{
    QTest::addColumn<bool>("descriptors");
    QTest::addColumn<bool>("ownGroup");
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<ProcessWatch::End>("end");
    QTest::addColumn<int>("status");
    for (const bool descriptors : {true, false}) {
        const char *how = descriptors ? "" : ", no process descriptors";
        QTest::addRow("exit status%s", how) << descriptors << true << Ending::ByItself << ProcessWatch::End::Exited << 3;
        QTest::addRow("signal from elsewhere%s", how)
            << descriptors << true << Ending::SignalFromElsewhere << ProcessWatch::End::Exited << 128 + SIGTERM;
        QTest::addRow("time limit%s", how)
            << descriptors << true << Ending::TimeLimit << ProcessWatch::End::TimedOut << 128 + SIGKILL;
        QTest::addRow("cancel%s", how)
            << descriptors << true << Ending::Cancel << ProcessWatch::End::Cancelled << 128 + SIGKILL;
    }
    // Ending the group of a process that has none of its own would end this program's own.
    QTest::newRow("cancel, in this program's group")
        << true << false << Ending::Cancel << ProcessWatch::End::Cancelled << 128 + SIGKILL;
}

void TestProcessWatch::ends()
{
    QFETCH(bool, descriptors);
    QFETCH(bool, ownGroup);
    QFETCH(Ending, ending);
    ScratchDir dir;
    FakeMame fake(dir.path());
    fake.on("LIST", "EXIT", "3");
    const QByteArray hold = fifo(dir.file("hold"));
    if (ending != Ending::ByItself)
        fake.on("LIST", "FIFO", hold);

    ProcessWatch::setProcessDescriptorsForTests(descriptors);
    Spawn::Options options;
    options.newProcessGroup = ownGroup;
    const pid_t pid = Spawn::start(fake.program, {"-list"}, options).pid;
    QVERIFY(pid > 0);
    ProcessWatch watch(pid, ending == Ending::TimeLimit ? 1 : 0);
    QCOMPARE(watch.usesProcessDescriptor(), descriptors);
    QSignalSpy finished(&watch, &Waitable::finished);
    if (ending == Ending::SignalFromElsewhere)
        ::kill(pid, SIGTERM);
    if (ending == Ending::Cancel) {
        watch.cancel();
        QVERIFY(watch.isFinished()); // at once
    }
    waitFor(watch);

    QTEST(watch.end(), "end");
    QTEST(watch.status(), "status");
    QCOMPARE(finished.count(), 1);
    watch.cancel(); // nothing more once it has ended
    QCOMPARE(finished.count(), 1);
    QVERIFY(noChildLeft());
    QVERIFY(!hasReader(hold));
}

void TestProcessWatch::groupEndsWithItsLeader()
{
    const QByteArray starter = "/usr/bin/timeout"; // starts the emulator as a child of its own
    if (::access(starter.constData(), X_OK) != 0)
        QSKIP("no timeout program");
    ScratchDir dir;
    FakeMame fake(dir.path());
    const QByteArray hold = fifo(dir.file("hold"));
    fake.on("LIST", "FIFO", hold);
    Spawn::Options options;
    options.newProcessGroup = true;
    const pid_t pid = Spawn::start(starter, {"1d", fake.program, "-list"}, options).pid;
    QVERIFY(pid > 0);
    ProcessWatch watch(pid);

    // Opening the pipe waits for the emulator, the leader's child, to read it.
    const int fd = ::open(hold.constData(), O_WRONLY | O_CLOEXEC);
    QVERIFY(fd >= 0);
    watch.cancel();
    QCOMPARE(watch.end(), ProcessWatch::End::Cancelled);
    // The emulator is gone once nobody reads the pipe any more.
    pollfd gone{fd, 0, 0};
    QCOMPARE(::poll(&gone, 1, 60000), 1);
    QVERIFY(gone.revents & POLLERR);
    ::close(fd);
    QVERIFY(noChildLeft());
}

QTEST_MAIN(TestProcessWatch)
#include "tst_processwatch.moc"
