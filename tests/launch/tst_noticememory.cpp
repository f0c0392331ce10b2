// The notices put away: kept by configuration and notes, and dropped once their configuration
// has gone, at most once a day.
#include "appinfo.h"
#include "fileio.h"
#include "noticememory.h"
#include "testutil.h"

#include <QSettings>
#include <QTest>

using namespace TestUtil;

class TestNoticeMemory : public QObject {
    Q_OBJECT
private slots:
    void prunedOnceADay_data();
    void prunedOnceADay();
};

void TestNoticeMemory::prunedOnceADay_data()
{
    QTest::addColumn<int>("hoursLater"); // when the configuration has gone and prune is asked again
    QTest::addColumn<bool>("dropped");
    QTest::newRow("the same day: kept") << 23 << false;
    QTest::newRow("a day later: dropped") << 24 << true;
    QTest::newRow("the clock put back: dropped") << -1 << true;
}

void TestNoticeMemory::prunedOnceADay()
{
    QFETCH(int, hoursLater);
    QFETCH(bool, dropped);
    ScratchDir root;
    Environment environment;
    ownHome(root, environment);
    const QByteArray kept = root.file("kept.tvo"), gone = root.file("gone.tvo");
    writeFile(kept, "x");
    writeFile(gone, "x");
    const QDateTime now = QDateTime::currentDateTimeUtc();
    NoticeMemory::prune(now);
    NoticeMemory::putAway(kept, "-depth 16: has no counterpart");
    NoticeMemory::putAway(gone, "-depth 16: has no counterpart");
    NoticeMemory::putAway(gone, "-ntsc: has no counterpart");
    // One put away before notices held their configuration: it stays.
    QSettings(AppInfo::settingsFile(), QSettings::IniFormat).setValue("notices/0123abcd", true);
    QVERIFY(!NoticeMemory::isPutAway(kept, "-ntsc: has no counterpart")); // new notes ask again

    QVERIFY(FileIO::remove(gone));
    NoticeMemory::prune(now.addSecs(hoursLater * 3600));
    QCOMPARE(NoticeMemory::isPutAway(gone, "-depth 16: has no counterpart"), !dropped);
    QCOMPARE(NoticeMemory::isPutAway(gone, "-ntsc: has no counterpart"), !dropped);
    QVERIFY(NoticeMemory::isPutAway(kept, "-depth 16: has no counterpart"));
    QSettings settings(AppInfo::settingsFile(), QSettings::IniFormat);
    QVERIFY(settings.contains("notices/0123abcd"));
    QCOMPARE(settings.allKeys().size(), dropped ? 3 : 5); // the time of the last pruning among them
}

QTEST_MAIN(TestNoticeMemory)
#include "tst_noticememory.moc"
