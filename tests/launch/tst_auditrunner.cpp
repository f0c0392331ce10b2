// The audit in the background: every set's verdict told once, the kept ones in the first batch,
// progress up to the folder's count, and Cancel ending it early.
#include "auditcache.h"
#include "auditrunner.h"
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
// run at once; "kept" is what the last run gives from the kept file.
void TestAuditRunner::runs_data()
{
    QTest::addColumn<int>("runs");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("kept");
    QTest::newRow("first audit: every set audited") << 1 << false << 0;
    QTest::newRow("again: every verdict kept, told at once") << 2 << false << 200;
    QTest::newRow("cancelled: ends, kept ones still told") << 2 << true << 200;
}

void TestAuditRunner::runs()
{
    QFETCH(int, runs);
    QFETCH(bool, cancel);
    QFETCH(int, kept);
    const std::optional<RomForge::Read> r =
        RomForge::catalogueOf(ListXmlSample::head() + ListXmlSample::machines() + ListXmlSample::tail());
    QVERIFY(r);
    auto catalogue = std::make_shared<const Catalogue>(r->catalogue);
    auto roms = std::make_shared<const RomList>(r->roms);
    ScratchDir dir, cache;
    // 200 sets: the sample's puckman, the rest unknown to it.
    QVERIFY(RomForge::writeZip(dir.file("puckman.zip"), {}));
    for (int i = 1; i < 200; ++i)
        QVERIFY(RomForge::writeZip(dir.file("zz" + QByteArray::number(i) + ".zip"), {}));
    const QByteArray keptFile = cache.file("sub/kept.audit");
    for (int run = 1; run <= runs; ++run) {
        AuditRunner runner;
        QSignalSpy batches(&runner, &AuditRunner::verdictsReady);
        QSignalSpy ended(&runner, &Waitable::finished);
        runner.start(catalogue, roms, dir.path(), RomAudit::Depth::Quick, keptFile);
        const bool cancelled = cancel && run == runs;
        if (cancelled)
            runner.cancel();
        QVERIFY(ended.wait(60000));
        QVERIFY(runner.isFinished());
        if (run < runs)
            continue;
        QCOMPARE(runner.kept(), kept);
        QCOMPARE(runner.total(), 200);
        QVERIFY(runner.done() <= runner.total());
        if (!cancelled)
            QCOMPARE(runner.done(), 200);
        // The kept ones come first, in one batch.
        if (kept > 0)
            QCOMPARE(batches.first().first().value<QList<RomAudit::Verdict>>().size(), kept);
        QSet<QByteArray> told;
        for (const RomAudit::Verdict &v : runner.verdicts()) {
            QVERIFY2(!told.contains(v.set), v.set.constData());
            told.insert(v.set);
        }
        QCOMPARE(int(told.size()), runner.done());
        if (!cancelled)
            QCOMPARE(runner.verdicts().first().set, QByteArray("puckman"));
    }
}

QTEST_GUILESS_MAIN(TestAuditRunner)
#include "tst_auditrunner.moc"
