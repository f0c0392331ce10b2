// Reading another program's output within bounds: what it printed, where it ran, and how a run
// that prints too much, runs too long, is cancelled or cannot start ends, leaving nothing behind.
#include "processcapture.h"
#include "processes.h"
#include "processlimits.h"
#include "processwatch.h"
#include "../fakemame/fakemamecontrol.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace TestUtil;

namespace {

enum class Then { Wait, Cancel, Destroy };
using Behaviour = QList<QPair<QByteArray, QByteArray>>;

QByteArray lines(int from, int to)
{
    QByteArray text;
    for (int i = from; i < to; ++i)
        text += "game" + QByteArray::number(i) + "    \"A game of the long list\"\n";
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Then)
Q_DECLARE_METATYPE(ProcessCapture::End)

class TestProcessCapture : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { ProcessWatch::setProcessDescriptorsForTests(true); }
    void runs_data();
    void runs();
};

// "%F" stands for the stand-in emulator, "%D" for a scratch directory; "%H" in a behaviour for a
// named pipe that holds the emulator until it is ended.
void TestProcessCapture::runs_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QByteArray>("argument");
    QTest::addColumn<QByteArray>("directory");
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("descriptors");
    QTest::addColumn<Then>("then");
    QTest::addColumn<ProcessCapture::End>("end");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("output");
    const qint64 mb = 1 << 20;
    using End = ProcessCapture::End;
    QTest::newRow("output and status, error output left out")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"STDOUT", "rompath roms\n"}, {"STDERR", "noise\n"}, {"EXIT", "4"}}
        << mb << 60000 << true << Then::Wait << End::Exited << 4 << QByteArray("rompath roms\n");
    QTest::newRow("in the working directory given, no process descriptors")
        << QByteArray("%F") << QByteArray("-list") << QByteArray("%D/work") << Behaviour{{"STDOUT", "x"}}
        << mb << 60000 << false << Then::Wait << End::Exited << 0 << QByteArray("x");
    QTest::newRow("many reads, all kept")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"LINES", "20000"}}
        << mb << 60000 << true << Then::Wait << End::Exited << 0 << lines(0, 20000);
    QTest::newRow("exactly the byte bound")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"STDOUT", "12345678"}}
        << qint64(8) << 60000 << true << Then::Wait << End::Exited << 0 << QByteArray("12345678");
    QTest::newRow("one byte past the byte bound")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"STDOUT", "123456789"}}
        << qint64(8) << 60000 << true << Then::Wait << End::TooMuch << -2 << QByteArray("12345678");
    QTest::newRow("far past the byte bound")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"LINES", "100000"}}
        << qint64(1000) << 60000 << true << Then::Wait << End::TooMuch << -2 << lines(0, 100).left(1000);
    QTest::newRow("a program that never stops printing")
        << QByteArray("/usr/bin/yes") << QByteArray("y") << QByteArray() << Behaviour{}
        << mb << 60000 << true << Then::Wait << End::TooMuch << -2 << QByteArray("y\n").repeated(mb / 2);
    QTest::newRow("time limit")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"FIFO", "%H"}}
        << mb << 1 << true << Then::Wait << End::TooLong << -2 << QByteArray();
    QTest::newRow("time limit, no process descriptors")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"FIFO", "%H"}}
        << mb << 1 << false << Then::Wait << End::TooLong << -2 << QByteArray();
    QTest::newRow("cancelled")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"FIFO", "%H"}}
        << mb << 60000 << true << Then::Cancel << End::Cancelled << -2 << QByteArray();
    QTest::newRow("destroyed while running")
        << QByteArray("%F") << QByteArray("-list") << QByteArray() << Behaviour{{"FIFO", "%H"}}
        << mb << 60000 << true << Then::Destroy << End::Running << -2 << QByteArray();
    QTest::newRow("no such program")
        << QByteArray("%D/none") << QByteArray("-list") << QByteArray() << Behaviour{}
        << mb << 60000 << true << Then::Wait << End::NotStarted << -2 << QByteArray();
    QTest::newRow("no such working directory")
        << QByteArray("%F") << QByteArray("-list") << QByteArray("%D/none") << Behaviour{}
        << mb << 60000 << true << Then::Wait << End::NotStarted << -2 << QByteArray();
}

void TestProcessCapture::runs()
{
    QFETCH(QByteArray, program);
    QFETCH(QByteArray, argument);
    QFETCH(QByteArray, directory);
    QFETCH(Behaviour, behaviour);
    QFETCH(qint64, maxBytes);
    QFETCH(int, timeoutMs);
    QFETCH(bool, descriptors);
    QFETCH(Then, then);
    QFETCH(ProcessCapture::End, end);
    QFETCH(int, status);

    ScratchDir dir;
    dir.mkdir("work");
    FakeMame fake(dir.mkdir("emu"));
    const QByteArray hold = fifo(dir.file("hold"));
    for (auto [what, value] : behaviour)
        fake.on("LIST", what, value.replace("%H", hold));
    program.replace("%F", fake.program).replace("%D", dir.path());
    directory.replace("%D", dir.path());

    ProcessWatch::setProcessDescriptorsForTests(descriptors);
    auto capture = std::make_unique<ProcessCapture>();
    QSignalSpy finished(capture.get(), &Waitable::finished);
    const bool started = capture->start(program, {argument}, directory, {maxBytes, timeoutMs});
    QCOMPARE(started, end != ProcessCapture::End::NotStarted);
    if (then == Then::Cancel) {
        capture->cancel();
        QVERIFY(capture->isFinished());
    }
    if (then == Then::Destroy) {
        capture.reset();
        QVERIFY(noChildLeft());
        QVERIFY(!hasReader(hold));
        return;
    }
    waitFor(*capture);
    QCoreApplication::processEvents(); // a start that failed tells it later

    QCOMPARE(capture->end(), end);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(capture->error(), started ? 0 : ENOENT);
    if (status != -2)
        QCOMPARE(capture->status(), status);
    QTEST(capture->output(), "output");
    if (program == fake.program && end == ProcessCapture::End::Exited)
        QCOMPARE(fake.calls().constFirst().directory, directory.isEmpty() ? FileIO::currentDirectory() : directory);
    QVERIFY(noChildLeft());
    QVERIFY(!hasReader(hold));
}

QTEST_MAIN(TestProcessCapture)
#include "tst_processcapture.moc"
