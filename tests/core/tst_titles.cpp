// The titles an emulator gives its systems, read from its "-listfull" answer.
#include "titles.h"

#include <QTest>

class TestTitles : public QObject {
    Q_OBJECT
private slots:
    void titles_data();
    void titles();
};

void TestTitles::titles_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<QByteArray>("title");
    const QByteArray listing = "Name:             Description:\n"
                               "cc10              \"Chess Challenger \"10\" (model CCX, rev. B)\"\n"
                               "pacman            \"Pac-Man (Midway)\"\r\n"
                               "elan_eu3a05commonsys \"Elan EU3A05/EU3A14 Common System\"\n"
                               "jojo              \"JoJo\xE2\x80\x99s Venture\"\n"
                               "notitle\n"
                               "pong              \"Pong (Rev E) [TTL]\"";
    QTest::newRow("a title") << listing << 0 << QByteArray("pacman.zip") << QByteArray("Pac-Man (Midway)");
    QTest::newRow("inner quotes kept") << listing << 0 << QByteArray("cc10.zip")
                                       << QByteArray("Chess Challenger \"10\" (model CCX, rev. B)");
    QTest::newRow("a name longer than its column") << listing << 0 << QByteArray("elan_eu3a05commonsys.zip")
                                                   << QByteArray("Elan EU3A05/EU3A14 Common System");
    QTest::newRow("UTF-8 kept") << listing << 0 << QByteArray("jojo.zip") << QByteArray("JoJo\xE2\x80\x99s Venture");
    QTest::newRow("the last line without its end") << listing << 0 << QByteArray("pong.zip")
                                                   << QByteArray("Pong (Rev E) [TTL]");
    QTest::newRow("archive in capitals") << listing << 0 << QByteArray("PACMAN.ZIP") << QByteArray("Pac-Man (Midway)");
    QTest::newRow("archive without extension") << listing << 0 << QByteArray("pacman") << QByteArray("Pac-Man (Midway)");
    QTest::newRow("unknown archive") << listing << 0 << QByteArray("mspacmab.zip") << QByteArray();
    QTest::newRow("the header is no system") << listing << 0 << QByteArray("Name:.zip") << QByteArray();
    QTest::newRow("a failed run: no titles") << listing << 2 << QByteArray("pacman.zip") << QByteArray();
    QTest::newRow("no header: no titles") << listing.mid(listing.indexOf('\n') + 1) << 0 << QByteArray("pacman.zip")
                                          << QByteArray();
    QTest::newRow("an old emulator's error") << QByteArray("Unknown command: -listfull\n") << 0
                                             << QByteArray("pacman.zip") << QByteArray();
}

void TestTitles::titles()
{
    QFETCH(QByteArray, output);
    QFETCH(int, status);
    QFETCH(QByteArray, archive);
    const Titles titles = Titles::fromListFull(output, status);
    QTEST(titles.titleOfArchive(archive).toByteArray(), "title");
}

QTEST_GUILESS_MAIN(TestTitles)
#include "tst_titles.moc"
