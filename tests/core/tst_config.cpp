#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "testutil.h"

#include <QTest>

using TestUtil::ScratchDir;

class TestConfig : public QObject {
    Q_OBJECT
private slots:
    void optionString();
    void fileName_data();
    void fileName();
    void joystickTable();
    void romsLookupIgnoresCase();
    void oldLayoutCheck_data();
    void oldLayoutCheck();
    void tooShortForLine52();
};

void TestConfig::optionString()
{
    // All defaults: only line 7 is set.
    QList<QByteArray> lines(Config::LineCount);
    lines[7] = "-scanlines";
    const QByteArray defaults = Config::optionString(lines);
    QCOMPARE(defaults, QByteArray(5, ' ') + "-scanlines" + QByteArray(33, ' '));
    QCOMPARE(defaults.size(), 48);
    QCOMPARE(defaults.count(' '), 38);

    lines[3] = "-resolution 640x480";
    lines[Config::Game] = "pacman.zip";       // never part of it
    lines[Config::Emulator] = "/usr/games/mame";
    lines[Config::Extra] = "-extra 1";        // last, before the final blank
    const QByteArray s = Config::optionString(lines);
    QCOMPARE(s, " -resolution 640x480    -scanlines" + QByteArray(32, ' ') + "-extra 1 ");
}

void TestConfig::fileName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("plain") << QByteArray("arcade") << QByteArray("arcade.tvo");
    QTest::newRow("with extension") << QByteArray("arcade.tvo") << QByteArray("arcade.tvo");
    QTest::newRow("capital extension") << QByteArray("arcade.TVO") << QByteArray("arcade.TVO");
    QTest::newRow("other extension") << QByteArray("v1.2") << QByteArray("v1.2.tvo");
    QTest::newRow("only the extension") << QByteArray(".tvo") << QByteArray(".tvo");
}

void TestConfig::fileName()
{
    QFETCH(QByteArray, name);
    QTEST(Config::fileName(name), "file");
}

void TestConfig::joystickTable()
{
    QCOMPARE(int(Config::Joysticks.size()), 21);
    QCOMPARE(Config::joystickIndex("-joy standard"), 0);
    QCOMPARE(Config::joystickIndex("-joy wingwarrior"), 7);
    QCOMPARE(Config::joystickIndex("-joy n64lpt3"), 20);
    QCOMPARE(Config::joystickIndex("-joy auto"), -1);
    QCOMPARE(Config::joystickIndex("-joy Standard"), -1);
}

void TestConfig::romsLookupIgnoresCase()
{
    ScratchDir dir;
    const QByteArray a = dir.mkdir("a"), b = dir.mkdir("b"), c = dir.mkdir("c");
    FileIO::makeDirectories(a + "/ROMS");
    FileIO::makeDirectories(b + "/Roms");
    FileIO::makeDirectories(b + "/roms");
    FileIO::makeDirectories(c + "/rOmS");
    FileIO::makeDirectories(c + "/ROms");
    TestUtil::writeFile(c + "/roms", "a file, not a directory");
    bool found = false;
    QCOMPARE(Config::romsOrSelf(a, &found), a + "/ROMS");
    QVERIFY(found);
    QCOMPARE(Config::romsOrSelf(b), b + "/roms");      // the usual spelling wins
    QCOMPARE(Config::romsOrSelf(c), c + "/ROms");      // else the first in byte order
    QCOMPARE(Config::romsOrSelf(dir.path(), &found), dir.path());
    QVERIFY(!found);
    QCOMPARE(FileIO::findSubdirectory(a, "ROMS"), QByteArray("ROMS"));
    QCOMPARE(FileIO::findSubdirectory(b, "ROMS"), QByteArray("Roms"));
}

void TestConfig::oldLayoutCheck_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("line52");
    QTest::addColumn<QByteArray>("emulatorDir"); // "" none, "dir" exists, "dir+roms" with roms
    QTest::addColumn<bool>("configRoms");
    QTest::addColumn<QByteArray>("expect52");     // "{E}", "{E}/roms", "{C}", "{C}/roms" or a literal
    QTest::addColumn<QByteArray>("expect53");
    QTest::addColumn<int>("expectCount");
    QTest::newRow("52, emulator roms") << 52 << QByteArray() << QByteArray("dir+roms") << false
                                       << QByteArray("{E}/roms") << QByteArray("") << 54;
    QTest::newRow("52, emulator dir only") << 52 << QByteArray() << QByteArray("dir") << true
                                           << QByteArray("{E}") << QByteArray("") << 54;
    QTest::newRow("52, no emulator dir, config roms") << 52 << QByteArray() << QByteArray() << true
                                                      << QByteArray("{C}/roms") << QByteArray("sim") << 54;
    QTest::newRow("52, nothing") << 52 << QByteArray() << QByteArray() << false
                                 << QByteArray("{C}") << QByteArray("sim") << 54;
    QTest::newRow("53 lines: marker reads as sim") << 53 << QByteArray("/roms/here") << QByteArray("dir")
                                                   << false << QByteArray("/roms/here") << QByteArray("old") << 54;
    QTest::newRow("54 lines unchanged") << 54 << QByteArray("/roms/here") << QByteArray("dir+roms") << false
                                        << QByteArray("/roms/here") << QByteArray("") << 55;
    QTest::newRow("54 lines reading old") << 54 << QByteArray("old") << QByteArray("dir+roms") << false
                                          << QByteArray("{E}/roms") << QByteArray("") << 56;
}

void TestConfig::oldLayoutCheck()
{
    QFETCH(int, count);
    QFETCH(QByteArray, line52);
    QFETCH(QByteArray, emulatorDir);
    QFETCH(bool, configRoms);
    QFETCH(QByteArray, expect52);
    QFETCH(QByteArray, expect53);
    QFETCH(int, expectCount);

    ScratchDir dir;
    const QByteArray configDir = dir.mkdir("configs");
    if (configRoms)
        FileIO::makeDirectories(configDir + "/roms");
    QByteArray emulator = dir.file("mame-dir");
    if (!emulatorDir.isEmpty())
        FileIO::makeDirectories(emulator);
    if (emulatorDir == "dir+roms")
        FileIO::makeDirectories(emulator + "/roms");

    QList<QByteArray> lines(count);
    lines[Config::Emulator] = emulator + "/mame";
    if (count > 52)
        lines[52] = line52;
    LineBuffer held(lines);
    Config::oldLayoutCheck(held, configDir);

    expect52.replace("{E}", emulator).replace("{C}", configDir);
    QCOMPARE(held.count(), expectCount);
    QCOMPARE(held.at(Config::RomDirectory), expect52);
    QCOMPARE(held.at(Config::RomSelection), expect53);
    QCOMPARE(held.at(Config::Emulator), emulator + "/mame");
}

void TestConfig::tooShortForLine52()
{
    for (int count : {0, 1, 41, 51}) {
        QVERIFY(!Config::hasLayout(count));
        LineBuffer held{QList<QByteArray>(count)};
        try {
            Config::oldLayoutCheck(held, "/");
            QFAIL("a short configuration passed the check");
        } catch (const CommandError &e) {
            QCOMPARE(e.message(), QStringLiteral("List index out of bounds (52)"));
        }
    }
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
