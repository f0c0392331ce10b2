// Emulators' catalogues read in the background from the stand-in emulator and from Debian's
// mame: what each kind of answer leaves (a catalogue, part of one with a note, or none), what is
// kept on disk, and when a kept one is read again. Every reading leaves no process behind.
#include "catalogues.h"
#include "cataloguebuilder.h"
#include "emulatoranswers.h"
#include "listxmlsample.h"
#include "processes.h"
#include "processlimits.h"
#include "../fakemame/fakemamecontrol.h"

#include <QSignalSpy>
#include <QTest>

using namespace TestUtil;
using Behaviour = QList<QPair<QByteArray, QByteArray>>; // FAKEMAME_LISTXML_<first> = second

namespace {

// Waits for `ready` (a minute at most: a net for a hang, not a measure of speed).
bool waitReady(QSignalSpy &ready)
{
    return ready.count() > 0 || ready.wait(60000);
}

// A catalogue larger than `bytes`.
QByteArray larger(qint64 bytes)
{
    QByteArray answer = ListXmlSample::head();
    for (int i = 0; answer.size() <= bytes; ++i)
        answer += "<machine name=\"m" + QByteArray::number(i) + "\"><description>Machine number " + QByteArray::number(i)
            + "</description><year>1990</year></machine>\n";
    return answer + ListXmlSample::tail();
}

} // namespace

class TestCatalogues : public QObject {
    Q_OBJECT
private slots:
    void init() { ProcessLimits::current() = ProcessLimits::Values(); }
    void cleanup() { ProcessLimits::current() = ProcessLimits::Values(); }
    void reads_data();
    void reads();
    void kept_data();
    void kept();
    void realEmulator_data();
    void realEmulator();
};

// "%S" is a file holding the sample, "%C" the sample cut in its fifth machine, "%B" more than
// the byte bound, "%U" a catalogue with unusable names, "%H" a named pipe that holds the emulator.
void TestCatalogues::reads_data()
{
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<bool>("missing"); // no emulator at its path
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("machines"); // -1: how many depends on how far the emulator got
    QTest::addColumn<QString>("note"); // how it starts
    QTest::addColumn<bool>("kept");    // on disk
    QTest::newRow("the whole catalogue: kept on disk, given from there next time")
        << Behaviour{{"STDOUT_FILE", "%S"}} << false << false << 8 << QString() << true;
    QTest::newRow("unusable names left out, the rest kept")
        << Behaviour{{"STDOUT_FILE", "%U"}} << false << false << 1
        << QStringLiteral("2 machines of the emulator's catalogue left out: unusable names or too large.") << true;
    QTest::newRow("a script that fails: no catalogue")
        << Behaviour{{"STDERR", "usage: mame\n"}, {"EXIT", "1"}} << false << false << 0
        << QStringLiteral("No catalogue: the emulator ended -listxml with status 1.") << false;
    QTest::newRow("an old emulator's text: no catalogue")
        << Behaviour{{"STDOUT", "Unknown command\n"}} << false << false << 0
        << QStringLiteral("No catalogue: the emulator answers -listxml with something else (line 1: syntax error).") << false;
    QTest::newRow("text without end: no catalogue, at once")
        << Behaviour{{"LINES", "100000000"}} << false << false << 0
        << QStringLiteral("No catalogue: the emulator answers -listxml with something else") << false;
    QTest::newRow("the emulator dies half-way: what was read")
        << Behaviour{{"STDOUT_FILE", "%C"}, {"EXIT", "139"}} << false << false << 4
        << QStringLiteral("The emulator ended with status 139 while it listed its catalogue; 4 machines read.") << false;
    QTest::newRow("cut mid-element, though it ended well")
        << Behaviour{{"STDOUT_FILE", "%C"}} << false << false << 4
        << QStringLiteral("The emulator's catalogue is damaged (line ") << false;
    QTest::newRow("more than the byte bound")
        << Behaviour{{"STDOUT_FILE", "%B"}} << false << false << -1
        << QStringLiteral("The emulator's catalogue is larger than 1 MiB; ") << false;
    QTest::newRow("half an answer, then nothing: the time bound")
        << Behaviour{{"STDOUT_FILE", "%C"}, {"FIFO", "%H"}} << false << false << -1
        << QStringLiteral("The emulator took longer than 2 s to list its catalogue; ") << false;
    QTest::newRow("cancelled: nothing at hand, nothing kept")
        << Behaviour{{"FIFO", "%H"}} << false << true << -1 << QString() << false;
    QTest::newRow("no emulator there")
        << Behaviour{} << true << false << 0
        << QStringLiteral("No catalogue: the emulator cannot be started (No such file or directory).") << false;
}

void TestCatalogues::reads()
{
    QFETCH(Behaviour, behaviour);
    QFETCH(bool, missing);
    QFETCH(bool, cancel);
    QFETCH(int, machines);
    QFETCH(QString, note);
    QFETCH(bool, kept);
    ScratchDir dir;
    Environment environment;
    ownHome(dir, environment);
    FakeMame fake(dir.mkdir("emu"));
    ProcessLimits::current().catalogueBytes = 1 << 20;
    ProcessLimits::current().catalogueMs = 2000;
    const QByteArray hold = fifo(dir.file("hold"));
    QList<QPair<QByteArray, QByteArray>> files{
        {"%S", ListXmlSample::full()},
        {"%C", ListXmlSample::cutInMachine(4)},
        {"%B", larger(3 << 19)},
        {"%U", ListXmlSample::head() + "<machine name=\"../x\"/><machine name=\"fine\"/><machine name=\"a\">"
                   "<rom name=\"/etc/passwd\"/></machine>" + ListXmlSample::tail()}};
    for (auto [what, value] : behaviour) {
        for (const auto &[mark, content] : files)
            if (value == mark) {
                writeFile(dir.file(mark.mid(1)), content);
                value = dir.file(mark.mid(1));
            }
        fake.on("LISTXML", what, value.replace("%H", hold));
    }
    const Catalogues::Request request{missing ? dir.file("none/mame") : fake.program, "0.251 (unknown)", {}, 8};

    Catalogues catalogues;
    QSignalSpy ready(&catalogues, &Catalogues::ready);
    QSignalSpy progress(&catalogues, &Catalogues::progress);
    QVERIFY(!catalogues.cached(request));
    catalogues.ask(request);
    QVERIFY(catalogues.isReading(request.program));
    catalogues.ask(request); // while it reads: nothing more
    if (cancel) {
        // Opening the pipe waits for the emulator to read it: then it is surely running.
        const int running = ::open(hold.constData(), O_WRONLY | O_CLOEXEC);
        catalogues.cancel(request.program);
        QVERIFY(waitReady(ready));
        ::close(running);
    }
    QVERIFY(waitReady(ready));
    QCOMPARE(ready.count(), 1);
    QVERIFY(!catalogues.isReading(request.program));
    QCoreApplication::processEvents(); // the builder is deleted
    QVERIFY(!hasReader(hold));
    QVERIFY(noChildLeft());
    QCOMPARE(fake.allCalls().size(), missing ? 0 : 1);
    QCOMPARE(FileIO::exists(Catalogues::catalogueFile(request.program)), kept);
    QCOMPARE(FileIO::exists(Catalogues::romListFile(request.program)), kept);
    const std::shared_ptr<const Catalogue> catalogue = catalogues.cached(request);
    QCOMPARE(bool(catalogue), !cancel);
    if (cancel)
        return;
    if (machines >= 0)
        QCOMPARE(catalogue->size(), machines);
    QVERIFY2(catalogue->note().startsWith(note), qPrintable(catalogue->note()));
    QCOMPARE(note.isEmpty(), catalogue->note().isEmpty());
    QCOMPARE(catalogue->isComplete(), kept);
    QVERIFY(catalogues.romList(request));
    QCOMPARE(catalogues.romList(request)->size(), catalogue->size());
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.constLast().at(1).toInt(), catalogue->size());
    QCOMPARE(progress.constLast().at(2).toInt(), 8);
    if (!kept)
        return;
    // Another session: the catalogue is read from the cache, the emulator not run.
    Catalogues later;
    QSignalSpy laterReady(&later, &Catalogues::ready);
    later.ask(request);
    QVERIFY(waitReady(laterReady));
    QCOMPARE(fake.allCalls().size(), 1);
    QCOMPARE(later.cached(request)->size(), machines);
    QCOMPARE(later.cached(request)->machine(0).name(), catalogue->machine(0).name());
    QVERIFY(later.romList(request));
}

// A kept catalogue and what makes it old. The emulator is asked again when it must be.
void TestCatalogues::kept_data()
{
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<int>("runs");
    QTest::addColumn<bool>("romList"); // the ROM list is at hand after the change
    QTest::newRow("nothing changed") << QByteArray("none") << 1 << true;
    QTest::newRow("a damaged catalogue file is read again") << QByteArray("damage catalogue") << 2 << true;
    QTest::newRow("a catalogue file of another version is read again") << QByteArray("old format") << 2 << true;
    QTest::newRow("a damaged ROM list leaves the catalogue, not its ROMs") << QByteArray("damage romlist") << 1 << false;
    QTest::newRow("a new emulator") << QByteArray("new emulator") << 2 << true;
    QTest::newRow("another version answer") << QByteArray("version") << 2 << true;
    QTest::newRow("its mame.ini changed") << QByteArray("mame.ini") << 2 << true;
}

void TestCatalogues::kept()
{
    QFETCH(QByteArray, change);
    ScratchDir dir;
    Environment environment;
    ownHome(dir, environment);
    FakeMame fake(dir.mkdir("emu"));
    fake.ownCopy();
    writeFile(dir.file("sample.xml"), ListXmlSample::full());
    fake.on("LISTXML", "STDOUT_FILE", dir.file("sample.xml"));
    const QByteArray ini = dir.file("emu/mame.ini");
    writeFile(ini, "rompath roms\n");
    Catalogues::Request request{fake.program, "0.251 (unknown)", {ini}, 0};
    const auto readOnce = [&] {
        Catalogues catalogues;
        QSignalSpy ready(&catalogues, &Catalogues::ready);
        catalogues.ask(request);
        return waitReady(ready) && catalogues.cached(request) && catalogues.cached(request)->size() == 8
            && bool(catalogues.romList(request));
    };
    QVERIFY(readOnce());
    QCOMPARE(fake.allCalls().size(), 1);

    const QByteArray catalogueFile = Catalogues::catalogueFile(fake.program);
    if (change == "damage catalogue")
        writeFile(catalogueFile, readFile(catalogueFile).left(500));
    else if (change == "old format")
        writeFile(catalogueFile, readFile(catalogueFile).replace(8, 1, "\x07"));
    else if (change == "damage romlist")
        writeFile(Catalogues::romListFile(fake.program), "TRVROMS");
    else if (change == "new emulator")
        fake.newVersion();
    else if (change == "version")
        request.version = "0.252 (unknown)";
    else if (change == "mame.ini")
        writeFile(ini, "rompath other/roms\n");

    Catalogues catalogues;
    QSignalSpy ready(&catalogues, &Catalogues::ready);
    catalogues.ask(request);
    QVERIFY(waitReady(ready));
    QTEST(int(fake.allCalls().size()), "runs");
    QVERIFY(catalogues.cached(request));
    QCOMPARE(catalogues.cached(request)->size(), 8);
    QTEST(bool(catalogues.romList(request)), "romList");
    // Read again, the files are whole: the next session needs no run.
    if (fake.allCalls().size() == 2)
        QVERIFY(readOnce());
    QTEST(int(fake.allCalls().size()), "runs");
}

void TestCatalogues::realEmulator_data()
{
    QTest::addColumn<QList<QByteArray>>("arguments");
    QTest::newRow("pong and pongd") << QList<QByteArray>{"-listxml", "pong", "pongd"};
    QTest::newRow("the whole catalogue (about 15 s)") << QList<QByteArray>{"-listxml"};
}

void TestCatalogues::realEmulator()
{
    QFETCH(QList<QByteArray>, arguments);
    const QByteArray mame = "/usr/games/mame";
    if (!FileIO::isExecutableFile(mame))
        QSKIP("Debian's mame is not installed (/usr/games/mame): the real emulator's catalogue is not read");
    ScratchDir dir;
    Environment environment;
    ownHeadlessHome(dir, environment);
    CatalogueBuilder builder;
    builder.start(mame, arguments, "key");
    waitFor(builder);
    QVERIFY(noChildLeft());
    const Catalogue &c = *builder.result().catalogue;
    QVERIFY2(builder.result().complete, qPrintable(c.note()));
    const int pong = c.indexOf("pong"), pongd = c.indexOf("pongd");
    QVERIFY(pong >= 0 && pongd >= 0);
    QCOMPARE(c.machine(pong).description(), QByteArrayView("Pong (Rev E) [TTL]"));
    QCOMPARE(c.machine(pong).year(), QByteArrayView("1972"));
    QCOMPARE(c.machine(pong).manufacturer(), QByteArrayView("Atari"));
    QVERIFY(c.machine(pong).isGame());
    QVERIFY(c.machine(pongd).cloneOf().isEmpty());
    QCOMPARE(c.machine(pongd).parent(), -1);
    if (arguments.size() > 1) {
        QCOMPARE(c.size(), 11); // with their devices
        return;
    }
    int bios = 0, devices = 0;
    for (int i = 0; i < c.size(); ++i) {
        bios += c.machine(i).isBios();
        devices += c.machine(i).isDevice();
    }
    QCOMPARE(c.size(), 45294);
    QCOMPARE(bios, 74);
    QCOMPARE(devices, 5848);
    QCOMPARE(c.skipped(), 0);
}

QTEST_GUILESS_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
