// The audit in the background: every set's verdict told once, the kept ones in the first batch,
// progress up to the folder's count, and Cancel ending it early.
#include "auditcache.h"
#include "auditrunner.h"
#include "../fakemame/fakemamecontrol.h"
#include "listxmlsample.h"
#include "romforge.h"
#include "testutil.h"

#include <QSignalSpy>
#include <QTest>

using namespace TestUtil;

class TestAuditRunner : public QObject {
    Q_OBJECT
private slots:
    void runs_data();
    void runs();
};

// "runs" is how often the folder is audited with the same kept file; "cancel" cancels the last
// run at once; "kept" is what the last run gives from the kept file; "first" is asked to be
// audited first (the rows in view) as the last run starts, and its sets in the folder not kept
// come right after the kept ones, in that order; "report" makes the sample's puckman a 7z set
// audited by the stand-in emulator, which prints that report: its verdict "state", asked once
// over all the runs when the emulator gave one.
void TestAuditRunner::runs_data()
{
    QTest::addColumn<int>("runs");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QList<QByteArray>>("first");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("state");
    const int good = int(RomAudit::State::Good), incomplete = int(RomAudit::State::Incomplete),
              notAudited = int(RomAudit::State::NotAudited);
    QTest::newRow("first audit: every set audited") << 1 << false << 0 << QList<QByteArray>() << QByteArray() << incomplete;
    QTest::newRow("again: every verdict kept, told at once") << 2 << false << 200 << QList<QByteArray>() << QByteArray() << incomplete;
    QTest::newRow("cancelled: ends, kept ones still told") << 2 << true << 200 << QList<QByteArray>() << QByteArray() << incomplete;
    QTest::newRow("rows in view: audited first, in their order, unknown names passed over")
        << 1 << false << 0 << QList<QByteArray>{"zz150", "nosuch", "zz20", "zz150", "puckman"}
        << QByteArray() << incomplete;
    QTest::newRow("rows in view already kept: nothing audited twice")
        << 2 << false << 200 << QList<QByteArray>{"zz150", "zz20"} << QByteArray() << incomplete;
    QTest::newRow("7z by the emulator: good, kept") << 2 << false << 200 << QList<QByteArray>()
        << QByteArray("romset puckman is good\n") << good;
    QTest::newRow("7z by the emulator: a file missing")
        << 1 << false << 0 << QList<QByteArray>()
        << QByteArray("puckman     : pm1-3.1m (256 bytes) - NOT FOUND\nromset puckman is bad\n") << incomplete;
    QTest::newRow("7z, a report not understood: not kept, asked again")
        << 2 << false << 199 << QList<QByteArray>() << QByteArray("Segmentation fault\n") << notAudited;
}

void TestAuditRunner::runs()
{
    QFETCH(int, runs);
    QFETCH(bool, cancel);
    QFETCH(int, kept);
    QFETCH(QList<QByteArray>, first);
    QFETCH(QByteArray, report);
    QFETCH(int, state);
    const std::optional<RomForge::Read> r =
        RomForge::catalogueOf(ListXmlSample::head() + ListXmlSample::machines() + ListXmlSample::tail());
    QVERIFY(r);
    auto catalogue = std::make_shared<const Catalogue>(r->catalogue);
    auto roms = std::make_shared<const RomList>(r->roms);
    ScratchDir dir, cache;
    // 200 sets: the sample's puckman, the rest unknown to it.
    ScratchDir bin;
    FakeMame mame(bin.path());
    if (report.isEmpty()) {
        QVERIFY(RomForge::writeZip(dir.file("puckman.zip"), {}));
    } else {
        writeFile(dir.file("puckman.7z"), "7z\xbc\xaf\x27\x1c");
        mame.on("VERIFYROMS", "STDOUT", report);
        mame.on("VERIFYROMS", "EXIT", report.contains(" is bad") ? "2" : "0");
    }
    for (int i = 1; i < 200; ++i)
        QVERIFY(RomForge::writeZip(dir.file("zz" + QByteArray::number(i) + ".zip"), {}));
    const QByteArray keptFile = cache.file("sub/kept.audit");
    for (int run = 1; run <= runs; ++run) {
        AuditRunner runner;
        QSignalSpy batches(&runner, &AuditRunner::verdictsReady);
        QSignalSpy ended(&runner, &Waitable::finished);
        if (run == runs && !first.isEmpty())
            runner.prioritise(first);
        runner.start(catalogue, roms, dir.path(), RomAudit::Depth::Quick, keptFile, mame.program);
        const bool cancelled = cancel && run == runs;
        if (cancelled)
            runner.cancel();
        QVERIFY(ended.wait(60000));
        QVERIFY(runner.isFinished());
        if (run < runs)
            continue;
        // The lists' fast load gives the same kept verdicts without the runner.
        if (kept > 0)
            QCOMPARE(AuditCache::keptVerdicts(keptFile, RomFolder::scan(dir.path()), *catalogue, RomAudit::Depth::Quick).size(),
                     qsizetype(kept));
        QCOMPARE(runner.kept(), kept);
        QCOMPARE(runner.total(), 200);
        QVERIFY(runner.done() <= runner.total());
        if (!cancelled)
            QCOMPARE(runner.done(), 200);
        // The kept ones come first, in one batch.
        if (kept > 0)
            QCOMPARE(batches.first().first().value<QList<RomAudit::Verdict>>().size(), kept);
        const auto puckman = std::find_if(runner.verdicts().begin(), runner.verdicts().end(),
                                          [](const RomAudit::Verdict &v) { return v.set == "puckman"; });
        if (!cancelled) {
            QVERIFY(puckman != runner.verdicts().end());
            QCOMPARE(int(puckman->state), state);
        }
        if (!report.isEmpty()) {
            int asked = 0;
            for (const FakeCall &call : mame.allCalls()) {
                QCOMPARE(call.arguments, (QList<QByteArray>{"-verifyroms", "puckman", "-rompath", dir.path()}));
                ++asked;
            }
            QCOMPARE(asked, state == int(RomAudit::State::NotAudited) ? runs : 1);
        }
        QSet<QByteArray> told;
        for (const RomAudit::Verdict &v : runner.verdicts()) {
            QVERIFY2(!told.contains(v.set), v.set.constData());
            told.insert(v.set);
        }
        QCOMPARE(int(told.size()), runner.done());
        QList<QByteArray> expected;
        for (const QByteArray &name : std::as_const(first))
            if (name != "nosuch" && !expected.contains(name))
                expected.append(name);
        if (kept == 0 && !expected.isEmpty()) {
            for (qsizetype i = 0; i < expected.size(); ++i)
                QCOMPARE(runner.verdicts().at(i).set, expected.at(i));
        } else if (!cancelled && (kept == 0 || kept == runner.total())) { // in name order
            QCOMPARE(runner.verdicts().first().set, QByteArray("puckman"));
        }
    }
}

QTEST_GUILESS_MAIN(TestAuditRunner)
#include "tst_auditrunner.moc"
