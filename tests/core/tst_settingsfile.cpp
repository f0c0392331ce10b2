// The emulator's settings file: which line takes the ROM path, and that nothing else changes.
#include "errors.h"
#include "fileio.h"
#include "linebuffer.h"
#include "settingsfile.h"
#include "settingsoracle.h"
#include "testutil.h"

#include <QTest>

using SettingsFile::Style;
using namespace TestUtil;

Q_DECLARE_METATYPE(Style)
Q_DECLARE_METATYPE(FileIO::WriteStep)

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void romPathLine_data();
    void romPathLine();
    void target_data();
    void target();
    void bytes_data();
    void bytes();
    void tooShort_data();
    void tooShort();
    void rewriteKeepsEveryOtherByte();
    void rewriteNewestEmulatorFile();
    void unchangedFileNotWritten_data();
    void unchangedFileNotWritten();
    void failedWriteKeepsFile_data();
    void failedWriteKeepsFile();
    void missingFile();
    void styleFromDirectory();
};

void TestSettingsFile::romPathLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("expected");
    QTest::newRow("ini, blanks") << QByteArray("rompath                   roms") << true;
    QTest::newRow("cfg, equals spaced") << QByteArray("rompath = .;ROMS;c:\\roms") << true;
    QTest::newRow("equals at once") << QByteArray("rompath=roms") << true;
    QTest::newRow("tab") << QByteArray("rompath\troms") << true;
    QTest::newRow("indented") << QByteArray(" \trompath roms") << true;
    QTest::newRow("after a byte-order mark") << QByteArray("\xEF\xBB\xBFrompath roms") << true;
    QTest::newRow("blank value") << QByteArray("rompath ") << true;
    QTest::newRow("the key alone") << QByteArray("rompath") << false;
    QTest::newRow("longer key") << QByteArray("rompaths roms") << false;
    QTest::newRow("other key") << QByteArray("samplepath rompath") << false;
    QTest::newRow("comment") << QByteArray("#rompath roms") << false;
    QTest::newRow("comment spaced") << QByteArray("# rompath roms") << false;
    QTest::newRow("upper case") << QByteArray("ROMPATH roms") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestSettingsFile::romPathLine()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, expected);
    QCOMPARE(SettingsFile::isRomPathLine(line), expected);
}

void TestSettingsFile::target_data()
{
    QTest::addColumn<Style>("style");
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("romPath");
    QTest::addColumn<QList<QByteArray>>("expected");

    QList<QByteArray> twelve = configLines(12);
    twelve[3] = "keep me";
    QList<QByteArray> twelveDone = twelve;
    twelveDone[11] = "rompath = .;ROMS;/games/roms";
    QTest::newRow("cfg without key: line 11") << Style::Cfg << twelve << QByteArray("/games/roms") << twelveDone;

    QList<QByteArray> seven = configLines(7, {{0, "#"}, {6, "#"}});
    QList<QByteArray> sevenDone = seven;
    sevenDone[6] = "rompath ROMS;/games/roms";
    QTest::newRow("ini without key: line 6") << Style::Ini << seven << QByteArray("/games/roms") << sevenDone;

    QList<QByteArray> exact = configLines(6);
    QList<QByteArray> exactDone = exact;
    exactDone << "rompath ROMS;x";
    QTest::newRow("exactly 6 lines: appended") << Style::Ini << exact << QByteArray("x") << exactDone;

    QList<QByteArray> eleven = configLines(11);
    QList<QByteArray> elevenDone = eleven;
    elevenDone << "rompath = .;ROMS;x";
    QTest::newRow("exactly 11 lines: appended") << Style::Cfg << eleven << QByteArray("x") << elevenDone;

    const QList<QByteArray> current = {"#", "# CORE SEARCH PATH OPTIONS", "#", "homepath                  .",
                                       "rompath                   roms", "hashpath                  hash",
                                       "#", "samplepath                samples"};
    QList<QByteArray> currentDone = current;
    currentDone[4] = "rompath ROMS;/my roms";
    QTest::newRow("current ini: the key's line, not line 6")
        << Style::Ini << current << QByteArray("/my roms") << currentDone;

    const QList<QByteArray> twice = {"rompath a", "x", "rompath=b", "y"};
    QTest::newRow("two keys: the last")
        << Style::Cfg << twice << QByteArray("c")
        << QList<QByteArray>{"rompath a", "x", "rompath = .;ROMS;c", "y"};

    QTest::newRow("short file with a key")
        << Style::Cfg << QList<QByteArray>{"rompath old"} << QByteArray("new")
        << QList<QByteArray>{"rompath = .;ROMS;new"};

    QTest::newRow("key on the first line keeps the byte-order mark")
        << Style::Ini << QList<QByteArray>{"\xEF\xBB\xBFrompath old", "#"} << QByteArray("new")
        << QList<QByteArray>{"\xEF\xBB\xBFrompath ROMS;new", "#"};

    QList<QByteArray> empty = configLines(8);
    QList<QByteArray> emptyDone = empty;
    emptyDone[6] = "rompath ROMS;";
    QTest::newRow("empty ROM directory") << Style::Ini << empty << QByteArray() << emptyDone;
}

void TestSettingsFile::target()
{
    QFETCH(Style, style);
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, romPath);
    QFETCH(QList<QByteArray>, expected);
    QCOMPARE(SettingsOracle::rewritten(LineBuffer::join(lines), style, romPath), LineBuffer::join(expected));
    // The program's rewrite, on the bytes, gives what the lines give.
    QCOMPARE(SettingsFile::rewritten(LineBuffer::join(lines), style, romPath), LineBuffer::join(expected));
}

void TestSettingsFile::bytes_data()
{
    QTest::addColumn<Style>("style");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("romPath");
    QTest::addColumn<QByteArray>("expected"); // or the message of the refusal
    const QByteArray lf = "#\n# CORE SEARCH PATH OPTIONS\n#\nhomepath .\nrompath roms\nhashpath hash\n";
    QTest::newRow("LF file stays LF") << Style::Ini << lf << QByteArray("/r")
        << QByteArray("#\n# CORE SEARCH PATH OPTIONS\n#\nhomepath .\nrompath ROMS;/r\nhashpath hash\n");
    QTest::newRow("the line keeps its lone CR") << Style::Ini << QByteArray("a\r\nrompath x\rb\n") << QByteArray("/r")
        << QByteArray("a\r\nrompath ROMS;/r\rb\n");
    QTest::newRow("appended with the first line end") << Style::Ini << QByteArray("1\n2\r\n3\n4\n5\n6")
        << QByteArray("/r") << QByteArray("1\n2\r\n3\n4\n5\n6\nrompath ROMS;/r\n");
    QTest::newRow("last line without end replaced: stays without") << Style::Ini << QByteArray("#\r\nrompath old")
        << QByteArray("/r") << QByteArray("#\r\nrompath ROMS;/r");
    QTest::newRow("a # is quoted") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/tmp/roms #2")
        << QByteArray("rompath \"ROMS;/tmp/roms #2\"\n");
    QTest::newRow("a blank at the end is quoted") << Style::Cfg << QByteArray("rompath x\n") << QByteArray("/r ")
        << QByteArray("rompath = \".;ROMS;/r \"\n");
    QTest::newRow("a blank inside is not") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/my roms")
        << QByteArray("rompath ROMS;/my roms\n");
    QTest::newRow("a $ before a name is refused") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/tmp/$HOME/x")
        << QByteArray("/tmp/$HOME/x cannot be a ROM folder for the emulator: it holds \"$H\", which the emulator "
                      "expands as a variable.");
    QTest::newRow("${ is refused") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/a${b}")
        << QByteArray("/a${b} cannot be a ROM folder for the emulator: it holds \"${\", which the emulator "
                      "expands as a variable.");
    QTest::newRow("a lone $ is taken") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/a$/b$")
        << QByteArray("rompath ROMS;/a$/b$\n");
    QTest::newRow("; is refused") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/tmp/a;b")
        << QByteArray("/tmp/a;b cannot be a ROM folder for the emulator: it holds \";\", which the emulator reads "
                      "as the end of one folder.");
    QTest::newRow("a quote is refused") << Style::Cfg << QByteArray("rompath x\n") << QByteArray("/a\"b")
        << QByteArray("/a\"b cannot be a ROM folder for the emulator: it holds a double quote (\"), which the "
                      "emulator reads as the end of the value.");
    QTest::newRow("a tab is refused") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/a\tb")
        << QByteArray("/a\tb cannot be a ROM folder for the emulator: it holds a control character (0x09).");
    QTest::newRow("a line break is refused") << Style::Ini << QByteArray("rompath x\n") << QByteArray("/a\nb")
        << QByteArray("Cannot store a text holding a line break: /a\\nb");
}

void TestSettingsFile::bytes()
{
    QFETCH(Style, style);
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, romPath);
    QFETCH(QByteArray, expected);
    std::optional<QByteArray> oracle;
    try {
        oracle = SettingsOracle::rewritten(before, style, romPath);
    } catch (const CommandError &) {
    }
    try {
        const QByteArray text = SettingsFile::rewritten(before, style, romPath);
        QCOMPARE(text, expected);
        QCOMPARE(oracle, std::optional<QByteArray>(text));
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QString::fromUtf8(expected));
        QVERIFY(!oracle);
    }
}

void TestSettingsFile::tooShort_data()
{
    QTest::addColumn<Style>("style");
    QTest::addColumn<int>("count");
    QTest::newRow("cfg of 10 lines") << Style::Cfg << 10;
    QTest::newRow("ini of 5 lines") << Style::Ini << 5;
    QTest::newRow("empty ini") << Style::Ini << 0;
}

void TestSettingsFile::tooShort()
{
    QFETCH(Style, style);
    QFETCH(int, count);
    ScratchDir dir;
    const QByteArray path = SettingsFile::path(dir.path(), style);
    const QByteArray before = crlf(configLines(count));
    writeFile(path, before);
    try {
        SettingsFile::rewrite(path, style, "/roms");
        QFAIL("no error");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QStringLiteral("Unable to insert a line"));
    }
    QCOMPARE(readFile(path), before);
}

void TestSettingsFile::rewriteKeepsEveryOtherByte()
{
    ScratchDir dir;
    const QByteArray path = SettingsFile::path(dir.path(), Style::Cfg);
    // Mixed line ends, a NUL inside a line, Latin-1 bytes, trailing blanks, no final line end.
    QByteArray original = QByteArrayLiteral("\xEF\xBB\xBF[config]\r\nline\0with nul\nlone cr\r");
    original += "caf\xE9  \n\n";
    for (int i = 5; i < 11; ++i)
        original += "l" + QByteArray::number(i) + "\r\n";
    original += "rompath = .;ROMS;C:\\OLD\r\nlast without end";
    writeFile(path, original);

    SettingsFile::rewrite(path, Style::Cfg, "/new roms");

    QByteArray expected = original;
    expected.replace("rompath = .;ROMS;C:\\OLD", "rompath = .;ROMS;/new roms");
    QCOMPARE(readFile(path), expected);
    QCOMPARE(entries(dir.path()), QList<QByteArray>{"mame.cfg"});
}

void TestSettingsFile::rewriteNewestEmulatorFile()
{
    // The start of a settings file written by a current emulator: the key sits on line 10.
    ScratchDir dir;
    const QByteArray path = SettingsFile::path(dir.path(), Style::Ini);
    const QList<QByteArray> lines = {
        "\xEF\xBB\xBF#", "# CORE CONFIGURATION OPTIONS", "#", "readconfig                1",
        "writeconfig               0", "", "#", "# CORE SEARCH PATH OPTIONS", "#",
        "homepath                  .",
        "rompath                   $HOME/mame/roms;/usr/share/games/mame/roms",
        "hashpath                  /usr/share/games/mame/hash"};
    QByteArray content;
    for (const QByteArray &l : lines)
        content += l + '\n';
    writeFile(path, content);

    SettingsFile::rewrite(path, Style::Ini, "/home/me/roms");
    QList<QByteArray> expected = lines;
    expected[10] = "rompath ROMS;/home/me/roms";
    QByteArray lf;
    for (const QByteArray &l : expected)
        lf += l + '\n';
    QCOMPARE(readFile(path), lf);
}

void TestSettingsFile::unchangedFileNotWritten_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("written");
    const QList<QByteArray> lines = replaced(numbered(9), 4, "rompath ROMS;/roms");
    QTest::newRow("already as it would be written") << crlf(lines) << false;
    QTest::newRow("same path, LF line ends") << lines.join('\n') + '\n' << false;
    QTest::newRow("same path, no final line end") << crlf(lines).chopped(2) << false;
    QTest::newRow("other path") << crlf(replaced(numbered(9), 4, "rompath ROMS;/old")) << true;
}

void TestSettingsFile::unchangedFileNotWritten()
{
    // Every write fails: a file that needs no change must not need one.
    QFETCH(QByteArray, content);
    QFETCH(bool, written);
    ScratchDir dir;
    const QByteArray path = SettingsFile::path(dir.path(), Style::Ini);
    writeFile(path, content);
    const auto previous = FileIO::setFaultInjector([](FileIO::WriteStep, const QByteArray &) { return true; });
    bool failed = false;
    try {
        SettingsFile::rewrite(path, Style::Ini, "/roms");
    } catch (const CommandError &) {
        failed = true;
    }
    FileIO::setFaultInjector(previous);
    QCOMPARE(failed, written);
    QCOMPARE(readFile(path), content);
}

void TestSettingsFile::failedWriteKeepsFile_data()
{
    QTest::addColumn<FileIO::WriteStep>("step");
    QTest::newRow("in place, the temporary refused") << FileIO::WriteStep::WriteInPlace;
    QTest::newRow("write") << FileIO::WriteStep::Write;
    QTest::newRow("commit") << FileIO::WriteStep::Commit;
}

void TestSettingsFile::failedWriteKeepsFile()
{
    QFETCH(FileIO::WriteStep, step);
    ScratchDir dir;
    const QByteArray path = SettingsFile::path(dir.path(), Style::Ini);
    const QByteArray before = crlf(configLines(9, {{4, "rompath old"}}));
    writeFile(path, before);
    const auto previous = FileIO::setFaultInjector([step](FileIO::WriteStep s, const QByteArray &) {
        return s == step || (step == FileIO::WriteStep::WriteInPlace && s == FileIO::WriteStep::CreateTemporary);
    });
    QString message;
    try {
        SettingsFile::rewrite(path, Style::Ini, "/new");
    } catch (const CommandError &e) {
        message = e.message();
    }
    FileIO::setFaultInjector(previous);
    QCOMPARE(message, "Cannot create file " + QString::fromUtf8(path) + ": Input/output error");
    QCOMPARE(readFile(path), before);
    QCOMPARE(entries(dir.path()), QList<QByteArray>{"mame.ini"});
}

void TestSettingsFile::missingFile()
{
    ScratchDir dir;
    const QByteArray path = SettingsFile::path(dir.path(), Style::Ini);
    try {
        SettingsFile::rewrite(path, Style::Ini, "/new");
        QFAIL("no error");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QStringLiteral("Cannot open file ") + QString::fromUtf8(path));
    }
    QVERIFY(!FileIO::exists(path));
}

void TestSettingsFile::styleFromDirectory()
{
    ScratchDir dir;
    QCOMPARE(SettingsFile::styleIn(dir.path()), Style::Ini);
    dir.mkdir("mame.cfg"); // a directory of that name is no settings file
    QCOMPARE(SettingsFile::styleIn(dir.path()), Style::Ini);
    ScratchDir other;
    writeFile(other.file("mame.cfg"), "x\r\n");
    QCOMPARE(SettingsFile::styleIn(other.path()), Style::Cfg);
    QCOMPARE(SettingsFile::path(other.path(), Style::Cfg), other.file("mame.cfg"));
    QCOMPARE(SettingsFile::path("/", Style::Ini), QByteArray("/mame.ini"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
