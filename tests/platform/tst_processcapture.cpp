// Reading another program's output within bounds: what it printed and where it ran, and how a run
// that prints too much, runs too long, is cancelled or cannot start ends, leaving nothing behind,
// not even what the program started.
#include "processcapture.h"
#include "processes.h"
#include "processwatch.h"
#include "../fakemame/fakemamecontrol.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <poll.h>

using namespace TestUtil;
using End = ProcessCapture::End;
using Behaviour = QList<QPair<QByteArray, QByteArray>>; // FAKEMAME_LIST_<first> = second

class TestProcessCapture : public QObject {
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
};

// "%F" is the stand-in emulator, "%D" a scratch directory, "%H" a named pipe that holds the
// emulator until it is ended.
void TestProcessCapture::runs_data()
{
    QTest::addColumn<QByteArray>("command"); // the program and its arguments
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("descriptors");
    QTest::addColumn<int>("end"); // -1: the capture is destroyed while it runs
    QTest::addColumn<QByteArray>("output");
    const QByteArray fake = "%F -list", here;
    const qint64 mb = 1 << 20;
    const Behaviour held{{"FIFO", "%H"}};
    QTest::newRow("output, status and working directory; error output left out; no process descriptors")
        << fake << QByteArray("%D") << Behaviour{{"STDOUT", "rompath x\n"}, {"STDERR", "noise\n"}, {"EXIT", "4"}}
        << mb << 60000 << false << int(End::Exited) << QByteArray("rompath x\n");
    QTest::newRow("many reads, all kept (20000 lines)")
        << fake << here << Behaviour{{"LINES", "20000"}} << mb << 60000 << true << int(End::Exited) << QByteArray();
    QTest::newRow("exactly the byte bound")
        << fake << here << Behaviour{{"STDOUT", "12345678"}} << qint64(8) << 60000 << true << int(End::Exited)
        << QByteArray("12345678");
    QTest::newRow("one byte past the byte bound")
        << fake << here << Behaviour{{"STDOUT", "123456789"}} << qint64(8) << 60000 << true << int(End::TooMuch)
        << QByteArray("12345678");
    QTest::newRow("a program that never stops printing")
        << QByteArray("/usr/bin/yes y") << here << Behaviour{} << mb << 60000 << true << int(End::TooMuch)
        << QByteArray("y\n").repeated(mb / 2);
    QTest::newRow("time limit, no process descriptors")
        << fake << here << held << mb << 1 << false << int(End::TooLong) << QByteArray();
    QTest::newRow("cancelled, with the emulator the program started")
        << QByteArray("/usr/bin/timeout 1d %F -list") << here << held << mb << 60000 << true << int(End::Cancelled)
        << QByteArray();
    QTest::newRow("destroyed while running") << fake << here << held << mb << 60000 << true << -1 << QByteArray();
    QTest::newRow("no such working directory")
        << fake << QByteArray("%D/none") << Behaviour{} << mb << 60000 << true << int(End::NotStarted) << QByteArray();
}

void TestProcessCapture::runs()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, directory);
    QFETCH(Behaviour, behaviour);
    QFETCH(qint64, maxBytes);
    QFETCH(int, timeoutMs);
    QFETCH(bool, descriptors);
    QFETCH(int, end);
    ScratchDir dir;
    FakeMame fake(dir.mkdir("emu"));
    const QByteArray hold = fifo(dir.file("hold"));
    for (auto [what, value] : behaviour)
        fake.on("LIST", what, value.replace("%H", hold));
    QList<QByteArray> arguments = command.replace("%F", fake.program).split(' ');
    const QByteArray program = arguments.takeFirst();
    directory.replace("%D", dir.path());

    ProcessWatch::setProcessDescriptorsForTests(descriptors);
    auto capture = std::make_unique<ProcessCapture>();
    QSignalSpy finished(capture.get(), &Waitable::finished);
    QCOMPARE(capture->start(program, arguments, directory, {maxBytes, timeoutMs}), end != int(End::NotStarted));
    ProcessWatch::setProcessDescriptorsForTests(true);
    // Opening the pipe waits for the emulator to read it; once nobody reads it, the emulator is gone.
    const int running = end == int(End::Cancelled) ? ::open(hold.constData(), O_WRONLY | O_CLOEXEC) : -1;
    if (end == int(End::Cancelled))
        capture->cancel();
    if (end == -1)
        capture.reset();
    else
        waitFor(*capture);
    QCoreApplication::processEvents(); // a start that failed tells it later
    pollfd gone{running, 0, 0};
    QVERIFY(running < 0 || ::poll(&gone, 1, 60000) == 1);
    QVERIFY(!hasReader(hold));
    QVERIFY(noChildLeft());
    if (!capture)
        return;
    QCOMPARE(int(capture->end()), end);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(capture->error(), end == int(End::NotStarted) ? ENOENT : 0);
    if (behaviour.value(0).first == "LINES")
        QCOMPARE(capture->output().count('\n'), 20000);
    else
        QTEST(capture->output(), "output");
    if (!directory.isEmpty() && end == int(End::Exited))
        QCOMPARE(fake.calls().constFirst().directory, directory);
}

QTEST_MAIN(TestProcessCapture)
#include "tst_processcapture.moc"
