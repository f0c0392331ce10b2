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
    QCOMPARE(IniPath::directories("$HOME/.mame;.;ini;~/x;/etc/mame;;", "/opt/mame", "/home/u"),
             (QList<QByteArray>{"/home/u/.mame", "/opt/mame", "/opt/mame/ini", "/home/u/x", "/etc/mame"}));
    // A value with a blank, as 0.251 prints it: the whole value stands in quotes.
    QCOMPARE(IniPath::directories("\"/a b;/usr/share/games/mame/ctrlr\"", "/opt/mame", "/h"),
             (QList<QByteArray>{"/a b", "/usr/share/games/mame/ctrlr"}));
    QCOMPARE(IniPath::parse("inipath                   \"/a b;/etc/mame\"\n"), std::optional<QByteArray>("/a b;/etc/mame"));
    QCOMPARE(IniPath::valueIn("inipath /one\n# inipath /no\ninipath \"/two #2\" # comment\n", "inipath"),
             std::optional<QByteArray>("/two #2"));
    QCOMPARE(IniPath::valueIn("inipath /one # comment\n", "inipath"), std::optional<QByteArray>("/one"));
    QVERIFY(!IniPath::valueIn("inipathx /one\n", "inipath"));
    QCOMPARE(IniPath::directories(".;../up", "/opt/mame/bin", "/h"),
             (QList<QByteArray>{"/opt/mame/bin", "/opt/mame/up"}));
}

void TestIniPath::location_data()
{
    QTest::addColumn<QByteArray>("inipath");           // built into the emulator
    QTest::addColumn<QList<QByteArray>>("existing"); // directories holding a mame.ini, "dir=text"
    QTest::addColumn<QByteArray>("expected");        // with {H} home, {E} emulator dir, {S} system
    QTest::addColumn<int>("kind");
    using L = QList<QByteArray>;
    const int existing = int(IniPath::Place::Kind::Existing), create = int(IniPath::Place::Kind::Create),
              commandLine = int(IniPath::Place::Kind::CommandLine);
    QTest::newRow("debian, nothing yet") << QByteArray("$HOME/.mame;{S}") << L{} << QByteArray("{H}/.mame") << create;
    QTest::newRow("debian, system file only") << QByteArray("$HOME/.mame;{S}") << L{"{S}"} << QByteArray("{H}/.mame")
                                              << create;
    QTest::newRow("debian, user file") << QByteArray("$HOME/.mame;{S}") << L{"{H}/.mame", "{S}"}
                                       << QByteArray("{H}/.mame") << existing;
    QTest::newRow("upstream, user file wins") << QByteArray("$HOME/.mame;.;ini") << L{"{H}/.mame", "{E}"}
                                              << QByteArray("{H}/.mame") << existing;
    QTest::newRow("upstream, beside emulator") << QByteArray("$HOME/.mame;.;ini") << L{"{E}"} << QByteArray("{E}")
                                               << existing;
    QTest::newRow("upstream, in ini") << QByteArray("$HOME/.mame;.;ini") << L{"{E}/ini"} << QByteArray("{E}/ini")
                                      << existing;
    QTest::newRow("windows build") << QByteArray(".;ini;ini/presets") << L{} << QByteArray("{E}") << create;
    QTest::newRow("system only path") << QByteArray("{S}") << L{"{S}"} << QByteArray("{H}") << commandLine;
    QTest::newRow("system file before the user's") << QByteArray("{S};$HOME/.mame") << L{"{S}", "{H}/.mame"}
                                                   << QByteArray("{H}") << commandLine;
    // Debian's mame: built in is /etc/mame, whose mame.ini sets the inipath the second look takes.
    QTest::newRow("built-in system file sets the inipath") << QByteArray("{S}") << L{"{S}=inipath $HOME/.mame;{S}\n"}
                                                           << QByteArray("{H}/.mame") << create;
    QTest::newRow("the second look finds the user's") << QByteArray("{S}")
        << L{"{S}=inipath $HOME/.mame;{S}\n", "{H}/.mame=rompath x\n"} << QByteArray("{H}/.mame") << existing;
    QTest::newRow("an inipath in the second file is not followed") << QByteArray("{S}")
        << L{"{S}=inipath $HOME/.mame;{S}\n", "{H}/.mame=inipath {E}\n", "{E}"} << QByteArray("{H}/.mame") << existing;
    QTest::newRow("a mame.ini in the working directory is not read") << QByteArray("{S}")
        << L{"{S}=inipath \"$HOME/.mame;{S}\"\n", "{E}"} << QByteArray("{H}/.mame") << create;
}

void TestIniPath::location()
{
    QFETCH(QByteArray, inipath);
    QFETCH(QList<QByteArray>, existing);
    QFETCH(QByteArray, expected);
    QFETCH(int, kind);
    ScratchDir dir;
    const QByteArray home = dir.mkdir("home"), emu = dir.mkdir("emu"), system = dir.mkdir("etc/mame");
    auto expand = [&](QByteArray s) { return s.replace("{H}", home).replace("{E}", emu).replace("{S}", system); };
    for (const QByteArray &d : existing) {
        const qsizetype eq = d.indexOf('=');
        const QByteArray where = expand(d.left(eq < 0 ? d.size() : eq));
        FileIO::makeDirectories(where);
        TestUtil::writeFile(where + "/mame.ini", eq < 0 ? QByteArray("rompath roms\n") : expand(d.mid(eq + 1)));
    }
    const IniPath::Reading reading = IniPath::reading(expand(inipath), emu, home);
    const IniPath::Place place = IniPath::place(reading.searched, emu, home);
    QCOMPARE(place.directory, expand(expected));
    QCOMPARE(int(place.kind), kind);
    // Every file the answer depends on is watched, the second look's included.
    for (const QByteArray &d : reading.searched)
        QVERIFY(reading.files.contains(d + "/mame.ini"));
}

QTEST_GUILESS_MAIN(TestIniPath)
#include "tst_inipath.moc"
