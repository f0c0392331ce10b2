#include "fileio.h"
#include "inipath.h"
#include "testutil.h"

#include <QTest>

using TestUtil::ScratchDir;

class TestIniPath : public QObject {
    Q_OBJECT
private slots:
    void parse();
    void directories();
    void location_data();
    void location();
};

void TestIniPath::parse()
{
    const QByteArray output = "#\n# CORE SEARCH PATH OPTIONS\n#\n"
                              "rompath                   $HOME/mame/roms\n"
                              "inipathx                  nope\n"
                              "inipath                   $HOME/.mame;/etc/mame\n";
    QCOMPARE(IniPath::parse(output), std::optional<QByteArray>("$HOME/.mame;/etc/mame"));
    QCOMPARE(IniPath::parse("inipath\t.;ini\r\n"), std::optional<QByteArray>(".;ini"));
    QVERIFY(!IniPath::parse("Unknown option: -showconfig\n").has_value());
    QVERIFY(!IniPath::parse("").has_value());
}

void TestIniPath::directories()
{
    QCOMPARE(IniPath::directories("$HOME/.mame;.;ini;~/x;/etc/mame;\"quoted dir\";;", "/opt/mame", "/home/u"),
             (QList<QByteArray>{"/home/u/.mame", "/opt/mame", "/opt/mame/ini", "/home/u/x", "/etc/mame",
                                "/opt/mame/quoted dir"}));
    QCOMPARE(IniPath::directories(".;../up", "/opt/mame/bin", "/h"),
             (QList<QByteArray>{"/opt/mame/bin", "/opt/mame/up"}));
}

void TestIniPath::location_data()
{
    QTest::addColumn<QByteArray>("inipath");
    QTest::addColumn<QList<QByteArray>>("existing"); // directories holding a mame.ini
    QTest::addColumn<QByteArray>("expected");        // with {H} home, {E} emulator dir, {S} system
    using L = QList<QByteArray>;
    QTest::newRow("debian, nothing yet") << QByteArray("$HOME/.mame;{S}") << L{} << QByteArray("{H}/.mame");
    QTest::newRow("debian, system file only") << QByteArray("$HOME/.mame;{S}") << L{"{S}"} << QByteArray("{H}/.mame");
    QTest::newRow("debian, user file") << QByteArray("$HOME/.mame;{S}") << L{"{H}/.mame", "{S}"}
                                       << QByteArray("{H}/.mame");
    QTest::newRow("upstream, user file wins") << QByteArray("$HOME/.mame;.;ini") << L{"{H}/.mame", "{E}"}
                                              << QByteArray("{H}/.mame");
    QTest::newRow("upstream, beside emulator") << QByteArray("$HOME/.mame;.;ini") << L{"{E}"} << QByteArray("{E}");
    QTest::newRow("upstream, in ini") << QByteArray("$HOME/.mame;.;ini") << L{"{E}/ini"} << QByteArray("{E}/ini");
    QTest::newRow("windows build") << QByteArray(".;ini;ini/presets") << L{} << QByteArray("{E}");
    QTest::newRow("system only path") << QByteArray("{S}") << L{"{S}"} << QByteArray("{E}");
}

void TestIniPath::location()
{
    QFETCH(QByteArray, inipath);
    QFETCH(QList<QByteArray>, existing);
    QFETCH(QByteArray, expected);
    ScratchDir dir;
    const QByteArray home = dir.mkdir("home"), emu = dir.mkdir("emu"), system = dir.mkdir("etc/mame");
    auto expand = [&](QByteArray s) { return s.replace("{H}", home).replace("{E}", emu).replace("{S}", system); };
    for (const QByteArray &d : existing) {
        FileIO::makeDirectories(expand(d));
        TestUtil::writeFile(expand(d) + "/mame.ini", "rompath roms\n");
    }
    const QList<QByteArray> dirs = IniPath::directories(expand(inipath), emu, home);
    QCOMPARE(IniPath::location(dirs, emu, home), expand(expected));
}

QTEST_GUILESS_MAIN(TestIniPath)
#include "tst_inipath.moc"
