#include "extracommands.h"
#include "errors.h"
#include "usage.h"
#include "vocabulary.h"

#include "../fakemame/showconfig0251.h"
#include "../fakemame/showusage0251.h"

#include <QTest>

using Options = QMap<QByteArray, QByteArray>;
Q_DECLARE_METATYPE(Options)

namespace {

// The kinds as the page knows them for 0.251: listed in its usage, on/off when -showconfig says 0 or 1
// and the "-noNAME" probe took it (it refuses the two numbers here).
ExtraCommands::Kind kindOf(QByteArrayView name)
{
    static const Usage usage = Usage::fromShowUsage(ShowUsage0251);
    static const Vocabulary words = Vocabulary::fromShowConfig(ShowConfig0251, 0);
    if (!usage.option(name) || !words.value(name))
        return ExtraCommands::Kind::None;
    return words.isSwitch(name) && name != "seconds_to_run" && name != "frameskip" ? ExtraCommands::Kind::OnOff : ExtraCommands::Kind::Value;
}

} // namespace

class TestExtraCommands : public QObject {
    Q_OBJECT
private slots:
    void usage();
    void roundTrip_data();
    void roundTrip();
    void checkValue_data();
    void checkValue();
};

void TestExtraCommands::usage()
{
    const Usage u = Usage::fromShowUsage(ShowUsage0251);
    QCOMPARE(u.options().size(), 270);
    QCOMPARE(u.headings().first(), QByteArray("CORE CONFIGURATION OPTIONS"));
    const Usage::Option *rompath = u.option("rompath");
    QVERIFY(rompath);
    QCOMPARE(rompath->description, QByteArray("path to ROM sets and hard disk images"));
    QCOMPARE(u.headings().at(rompath->heading), QByteArray("CORE SEARCH PATH OPTIONS"));
    QVERIFY(!u.option("rp"));
    QVERIFY(Usage::fromShowUsage("Error: unknown option: -showusage\n").isEmpty());
    // A hostile answer: a line far too long is cut, and the count is bounded.
    const Usage big = Usage::fromShowUsage(QByteArray("-x") + QByteArray(100000, 'a') + "\n"
                                           + QByteArray("-y b\n").repeated(Usage::MaxOptions + 10));
    QCOMPARE(big.options().size(), 2);
    QCOMPARE(big.options().first().name.size(), Usage::MaxLineBytes - 1);
}

void TestExtraCommands::roundTrip_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<Options>("read");      // the page's options as loaded
    QTest::addColumn<QByteArray>("user");   // the Extra Commands field as loaded
    QTest::addColumn<Options>("set");       // the page's options at saving
    QTest::addColumn<QByteArray>("written");
    const Options none;
    // Unchanged: byte for byte, whatever the line holds.
    const QByteArray mixed = "  -bogus 3 \"a b\"\t-rp /roms  -noka -frameskip 2 -scanlines ";
    const Options mixedRead{{"rompath", "/roms"}, {"keepaspect", "0"}, {"frameskip", "2"}};
    QTest::newRow("unknown words, quotes, aliases, -no, blanks") << mixed << mixedRead
        << QByteArray("-bogus 3 \"a b\" -scanlines") << mixedRead << mixed;
    QTest::newRow("empty") << QByteArray() << none << QByteArray() << none << QByteArray();
    QTest::newRow("an option twice: the second is the user's")
        << QByteArray("-w -window") << Options{{"window", "1"}} << QByteArray("-window") << Options{{"window", "1"}}
        << QByteArray("-w -window");
    QTest::newRow("a value option without its value is the user's")
        << QByteArray("-video -w") << Options{{"window", "1"}} << QByteArray("-video")
        << Options{{"window", "1"}} << QByteArray("-video -w");
    QTest::newRow("a value option twice: the second, with its value, is the user's")
        << QByteArray("-sp a -samplepath b -w") << Options{{"samplepath", "a"}, {"window", "1"}}
        << QByteArray("-samplepath b") << Options{{"samplepath", "c"}} << QByteArray("-samplepath c -samplepath b");
    QTest::newRow("a quoted value is the user's: the page could not write it back")
        << QByteArray("-sp \"snaps\" -w") << Options{{"window", "1"}} << QByteArray("-sp \"snaps\"")
        << Options{{"window", "1"}} << QByteArray("-sp \"snaps\" -w");
    // Changes: in place, removed, appended.
    QTest::newRow("changed in place") << QByteArray("x -rp /a y") << Options{{"rompath", "/a"}} << QByteArray("x y")
        << Options{{"rompath", "/b"}} << QByteArray("x -rompath /b y");
    QTest::newRow("on turned off") << QByteArray("-w") << Options{{"window", "1"}} << QByteArray()
        << Options{{"window", "0"}} << QByteArray("-nowindow");
    QTest::newRow("cleared, with its blanks") << QByteArray("x  -w  y") << Options{{"window", "1"}} << QByteArray("x y")
        << none << QByteArray("x  y");
    QTest::newRow("cleared last") << QByteArray("x -w") << Options{{"window", "1"}} << QByteArray("x")
        << none << QByteArray("x");
    QTest::newRow("appended") << QByteArray("x") << none << QByteArray("x")
        << Options{{"bgfx_screen_chains", "crt-geom"}, {"autoframeskip", "1"}}
        << QByteArray("x -autoframeskip -bgfx_screen_chains crt-geom");
}

void TestExtraCommands::roundTrip()
{
    QFETCH(QByteArray, line);
    QFETCH(Options, read);
    QFETCH(QByteArray, user);
    QFETCH(Options, set);
    QFETCH(QByteArray, written);
    const ExtraCommands::Line loaded = ExtraCommands::read(line, kindOf);
    QCOMPARE(loaded.options(), read);
    QCOMPARE(loaded.userText(), user);
    QCOMPARE(ExtraCommands::write(loaded, user, set, kindOf), written);
    // New text of the user's comes first, the page's options after it.
    QCOMPARE(ExtraCommands::write(loaded, "new", read, kindOf).startsWith("new"), true);
}

void TestExtraCommands::checkValue_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plain") << QByteArray("crt-geom") << false;
    QTest::newRow("path") << QByteArray("/a/b;$HOME/c") << false;
    QTest::newRow("blank") << QByteArray("a b") << true;
    QTest::newRow("tab") << QByteArray("a\tb") << true;
    QTest::newRow("quote") << QByteArray("\"a\"") << true;
}

void TestExtraCommands::checkValue()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, refused);
    try {
        ExtraCommands::checkValue("artpath", value);
        QVERIFY(!refused);
    } catch (const CommandError &e) {
        QVERIFY(refused);
        QVERIFY(e.message().contains("-artpath"));
    }
}

QTEST_GUILESS_MAIN(TestExtraCommands)
#include "tst_extracommands.moc"
