// Hostile inputs through the commands that read them: emulator settings files, configurations,
// ROM directories and names holding shell text. Each row names the command and what must happen;
// the program survives, shows exactly the expected message, and loses or corrupts nothing on disk.
#include "configeditor.h"
#include "romselector.h"
#include "application.h"
#include "batchfile.h"
#include "errors.h"
#include "fileio.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "guard.h"
#include "pathrules.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "textcodec.h"
#include "mainwindow.h"
#include "scene.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestUtil;

namespace {

// A text with the scene's places filled in: %E the emulator directory, %P the emulator, %R the
// ROM directory, %C the configuration directory.
QString expand(const Scene &s, QString text)
{
    return text.replace("%E", QString::fromUtf8(s.fake.directory))
        .replace("%P", QString::fromUtf8(s.fake.program))
        .replace("%R", QString::fromUtf8(s.romDirectory))
        .replace("%C", QString::fromUtf8(s.configurationDirectory));
}
QByteArray expand(const Scene &s, const QByteArray &text) { return expand(s, QString::fromUtf8(text)).toUtf8(); }

// A literal's bytes, NULs included.
template <qsizetype N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// Lines joined by `lineEnd`, the last one followed by it too.
QByteArray joined(const Lines &lines, const QByteArray &lineEnd)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + lineEnd;
    return out;
}

// Every entry below `directory`, by its path from there.
// Every path below `directory`, but for the program's own cache: what the emulators answered is
// kept there by every run.
QList<QByteArray> tree(const QByteArray &directory, const QByteArray &prefix = {})
{
    QList<QByteArray> out;
    for (const QByteArray &name : entries(directory)) {
        if (prefix + name == "home/.cache/trelvo-mame" || prefix + name == "home/.config/trelvo-mame")
            continue; // the program's own cache and settings
        out << prefix + name;
        struct stat st;
        const QByteArray path = directory + '/' + name;
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            out << tree(path, prefix + name + '/');
    }
    return out;
}

// No command left a file made by shell text anywhere below `directory`.
bool noShellTrace(const QByteArray &directory)
{
    for (const QByteArray &path : tree(directory))
        if (PathRules::namePart(path) == "x")
            return false;
    return true;
}

} // namespace

class TestCraftedInputs : public QObject {
    Q_OBJECT
private slots:
    void settingsFiles_data();
    void settingsFiles();
    void configurations_data();
    void configurations();
    void romDirectories_data();
    void romDirectories();
    void shellText_data();
    void shellText();
};

// ---------------------------------------------------------------------------------------------
// The emulator's settings file: whatever it holds, the rewrite replaces the ROM path line and
// writes every other line back byte for byte (line ends becoming CR LF), or stops and leaves it.

void TestCraftedInputs::settingsFiles_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<Lines>("lines");        // the file's lines ...
    QTest::addColumn<QByteArray>("lineEnd"); // ... each followed by this; "dir" for a directory
    QTest::addColumn<QString>("error");      // "%S" the settings file's path
    QTest::addColumn<int>("romLine");        // the line that takes the ROM path; -1: file unchanged

    Lines hundredThousand = numbered(100000);
    hundredThousand[99990] = "rompath                   $HOME/mame/roms";
    hundredThousand[99995] = "#rompath commented out";
    Lines binary;
    QByteArray all;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != '\n')
            all += char(c);
    binary << "\xEF\xBB\xBF# core" << all << "\xFF\xFE\x80\xC3(invalid UTF-8)" << "rompath\x01not one" << all
           << "" << "rompath\t/old/roms" << all;
    const Lines nuls = {bytes("\0"), bytes("a\0b"), bytes("rompath\0/not/this"), "", bytes("\0\0\0"),
                        bytes("rompath = /old/roms\0tail"), bytes("last\0")};

    struct Content {
        const char *name;
        Lines lines;
        QByteArray lineEnd;
        const char *error;
        int romLine;
    };
    const QList<Content> contents = {
        {"0 lines", {}, "\r\n", "Unable to insert a line.", -1},
        {"5 lines", numbered(5), "\r\n", "Unable to insert a line.", -1},
        {"6 lines", numbered(6), "\n", "", 6},
        {"100,000 lines", hundredThousand, "\n", "", 99990},
        {"100,000 lines without a ROM path line", numbered(100000), "\r\n", "", 6},
        {"binary bytes", binary, "\n", "", 6},
        {"NUL bytes", nuls, "\r\n", "", 5},
        {"lone CR line ends", replaced(numbered(9), 2, "rompath x"), "\r", "", 2},
        {"no line end, a ROM path line", {"rompath /old/roms"}, "", "", 0},
        {"no line end, 1 MB of text", {QByteArray(1 << 20, 'a')}, "", "Unable to insert a line.", -1},
        {"a directory where mame.ini should be", {}, "dir", "Cannot open file %S.", -1},
    };
    for (const Content &c : contents)
        for (const char *command : {"run", "quick launch", "change directory"})
            QTest::addRow("%s, %s", c.name, command) << QString::fromLatin1(command) << c.lines << c.lineEnd
                                                     << QString::fromLatin1(c.error) << c.romLine;
}

void TestCraftedInputs::settingsFiles()
{
    QFETCH(QString, command);
    QFETCH(Lines, lines);
    QFETCH(QByteArray, lineEnd);
    QFETCH(QString, error);
    QFETCH(int, romLine);
    Scene s;
    s.fake.old(); // keeps its settings file beside itself
    const QByteArray settings = s.fake.directory + "/mame.ini";
    const QByteArray content = joined(lines, lineEnd);
    if (lineEnd == "dir") {
        FileIO::makeDirectories(settings);
        writeFile(settings + "/inside", "kept");
    } else {
        writeFile(settings, content);
    }
    writeFile(s.configurationDirectory + "/test.tvo", crlf(s.configuration()));
    const QList<QByteArray> before = tree(s.root.path());
    const QByteArray chosen = s.root.mkdir("chosen");

    QByteArray romPath;
    if (command == "run") {
        s.selectFile(crlf(s.configuration()));
        s.run();
        romPath = s.romDirectory;
    } else if (command == "quick launch") {
        s.modals.answerFile(s.fake.program);
        s.modals.answerFile(s.romDirectory + "/pacman.zip");
        s.command(&TForm1::QUICKConfiguration1Click);
        romPath = s.romDirectory;
    } else {
        s.selectFile(crlf(s.configuration()));
        s.prepareSelector();
        s.selector.show();
        s.modals.answerFolder(chosen);
        s.selector.Button4->click();
        romPath = chosen;
    }

    error.replace("%S", QString::fromUtf8(settings));
    QCOMPARE(s.modals.errors(), error.isEmpty() ? QStringList() : QStringList{error});
    if (lineEnd == "dir") {
        QVERIFY(FileIO::isDirectory(settings));
        QCOMPARE(readFile(settings + "/inside"), QByteArray("kept"));
    } else if (romLine < 0) {
        QCOMPARE(readFile(settings), content);
    } else {
        // Only the ROM path line changes; every other byte stays, line ends included.
        QCOMPARE(readFile(settings), joined(replaced(lines, romLine, "rompath ROMS;" + romPath), lineEnd));
    }
    // Nothing else appeared or vanished (the chosen folder aside).
    QList<QByteArray> after = tree(s.root.path());
    after.removeOne("chosen");
    QCOMPARE(after, before);
    const bool plays = command != "change directory" && error.isEmpty();
    QCOMPARE(s.games().size(), plays ? 1 : 0);
    if (command == "change directory") {
        QCOMPARE(s.selector.gamelist->directory(), error.isEmpty() ? chosen : s.romDirectory);
        s.selector.Button2->click();
    }
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);
}

// ---------------------------------------------------------------------------------------------
// Configurations of every length and with hostile lines, through selection, Run Configuration,
// Edit configuration and the export. Nothing writes the configuration file.

void TestCraftedInputs::configurations_data()
{
    QTest::addColumn<int>("count");          // lines kept of the usual configuration
    QTest::addColumn<int>("huge");           // a line made 10 MB long; -1 none
    QTest::addColumn<int>("nul");            // a line holding a NUL byte; -1 none
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("error");      // %P the emulator program
    QTest::addColumn<QByteArray>("romPath"); // run: the ROM path written ("" none); edit: Edit1 (%E, %R)

    struct Variant {
        const char *name;
        int count, huge, nul;
        QByteArray lineEnd;
        const char *select, *run, *edit, *exported;
        QByteArray romPath;
    };
    const char *ok = "";
    const char *line52 = "List index out of bounds (52)";
    const char *line40 = "List index out of bounds (40)";
    const QList<Variant> variants = {
        {"0 lines", 0, -1, -1, "\r\n", "List index out of bounds (0)", line40, line52, "List index out of bounds (1)", ""},
        {"1 line", 1, -1, -1, "\r\n", ok, line40, line52, "List index out of bounds (1)", ""},
        {"41 lines", 41, -1, -1, "\r\n", ok, line52, line52, "List index out of bounds (41)", ""},
        {"51 lines", 51, -1, -1, "\r\n", ok, line52, line52, ok, ""},
        {"52 lines", 52, -1, -1, "\r\n", ok, ok, ok, ok, "%E"},
        {"53 lines", 53, -1, -1, "\r\n", ok, ok, ok, ok, "%R"},
        {"lone CR line ends", 54, -1, -1, "\r", ok, ok, ok, ok, "%R"},
        {"NUL byte in line 30", 54, -1, 30, "\r\n", ok, line40, line52, line40, ""},
        {"10 MB description", 54, 0, -1, "\r\n", ok, ok, ok, ok, "%R"},
        {"10 MB option string", 54, 41, -1, "\r\n", ok, "Cannot start %P: Argument list too long.", ok, ok, "%R"},
    };
    for (const Variant &v : variants) {
        const QList<QPair<const char *, const char *>> commands = {
            {"selection", v.select}, {"run", v.run}, {"edit", v.edit}, {"export", v.exported}};
        for (const auto &[command, error] : commands)
            QTest::addRow("%s, %s", v.name, command)
                << v.count << v.huge << v.nul << v.lineEnd << QString::fromLatin1(command)
                << QString::fromLatin1(error) << v.romPath;
    }
}

void TestCraftedInputs::configurations()
{
    QFETCH(int, count);
    QFETCH(int, huge);
    QFETCH(int, nul);
    QFETCH(QByteArray, lineEnd);
    QFETCH(QString, command);
    QFETCH(QString, error);
    QFETCH(QByteArray, romPath);
    Scene s;
    const Lines settings = numbered(12);
    writeFile(s.fake.directory + "/mame.cfg", crlf(settings));

    // The configuration as written, and the lines it loads as.
    Lines lines = s.configuration().mid(0, count);
    if (huge >= 0)
        lines[huge] = QByteArray(10 << 20, huge == 0 ? 'd' : 'o');
    Lines loaded = lines;
    if (nul >= 0) {
        lines[nul] = QByteArray("ab\0cd", 5);
        loaded = lines.mid(0, nul) << "ab";
    }
    const QByteArray content = joined(lines, lineEnd);
    s.selectFile(content);
    const QStringList selectionErrors = s.modals.errors();
    s.modals.clear();
    const QList<QByteArray> before = tree(s.root.path());

    const QByteArray exported = s.root.file("start.bat");
    bool opened = false;
    if (command == "selection") {
        QCOMPARE(selectionErrors, error.isEmpty() ? QStringList() : QStringList{error});
        QCOMPARE(s.main.selectedLines().lines(), loaded);
        // A description is shown by its start.
        QCOMPARE(s.main.statusText(),
                 loaded.isEmpty() ? QString() : TextCodec::decode(loaded.at(0).left(4096)));
    } else if (command == "run") {
        s.run();
    } else if (command == "edit") {
        opened = s.edit([&](TForm2 &editor) {
            QCOMPARE(editor.fieldBytes("aboutconfiguration"), loaded.at(0));
            QCOMPARE(editor.fieldBytes("mame"), loaded.at(40));
            QCOMPARE(editor.fieldBytes("Edit1"), expand(s, romPath));
            QCOMPARE(editor.Autoselect->isChecked(), count != 53);
        });
    } else {
        s.modals.answerFile(exported);
        s.command(&TForm1::CreateaAutoExcutable1Click);
    }

    if (command != "selection")
        QCOMPARE(s.modals.errors(), error.isEmpty() ? QStringList() : QStringList{expand(s, error)});
    // The configuration file is never written by these commands.
    QCOMPARE(readFile(s.configurationDirectory + "/test.tvo"), content);
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);

    QList<QByteArray> after = tree(s.root.path());
    if (command == "run") {
        const QByteArray written = expand(s, romPath);
        QCOMPARE(readFile(s.fake.directory + "/mame.cfg"),
                 crlf(romPath.isEmpty() ? settings : replaced(settings, 11, "rompath = .;ROMS;" + written)));
        QCOMPARE(s.games(), error.isEmpty() ? (Calls{{"pacman", "-cheat"}}) : Calls());
    } else {
        QCOMPARE(readFile(s.fake.directory + "/mame.cfg"), crlf(settings));
        QCOMPARE(s.games(), Calls()); // (the editor may ask the emulator for its vocabulary)
    }
    if (command == "edit")
        QCOMPARE(opened, error.isEmpty());
    if (command == "export" && error.isEmpty()) {
        QCOMPARE(s.modals.messages(), QStringList{"File created!"});
        QCOMPARE(readFile(exported), crlf(BatchFile::batchLines({loaded.at(40), loaded.at(1), loaded.at(41)})));
        after.removeOne("start.bat");
    } else {
        QCOMPARE(s.modals.messages(), QStringList());
    }
    QCOMPARE(after, before);
}

// ---------------------------------------------------------------------------------------------
// A ROM directory holding what no archive list should offer, and names that are no valid UTF-8
// or hold a line break: the ROM selector passes a picked name on byte for byte (one with a line
// break is listed but refused as a game name); the editor keeps it byte for byte in the
// configuration, or does not offer it when a line cannot hold it.

void TestCraftedInputs::romDirectories_data()
{
    QTest::addColumn<QString>("list");      // "ROM selector" or "editor"
    QTest::addColumn<QByteArray>("pick");
    QTest::addColumn<QList<QByteArray>>("listed");
    const QByteArray lineBreak = "new\nline.zip", latin1 = "\xE9t\xE9.zip", invalid = "\xFF\xFE\x80.zip";
    const QList<QByteArray> all = {lineBreak, "pacman.zip", latin1, invalid};
    const QList<QByteArray> singleLine = {"pacman.zip", latin1, invalid};
    QTest::newRow("ROM selector, a name with a line break") << "ROM selector" << lineBreak << all;
    QTest::newRow("ROM selector, Latin-1 name") << "ROM selector" << latin1 << all;
    QTest::newRow("ROM selector, invalid UTF-8 name") << "ROM selector" << invalid << all;
    QTest::newRow("editor, Latin-1 name") << "editor" << latin1 << singleLine;
    QTest::newRow("editor, invalid UTF-8 name") << "editor" << invalid << singleLine;
}

void TestCraftedInputs::romDirectories()
{
    QFETCH(QString, list);
    QFETCH(QByteArray, pick);
    QFETCH(QList<QByteArray>, listed);
    Scene s;
    FileIO::makeDirectories(s.romDirectory + "/x.zip");
    QVERIFY(::symlink("gone", (s.romDirectory + "/dangling.zip").constData()) == 0);
    for (const QByteArray &name : {QByteArray("pacman.zip"), QByteArray("new\nline.zip"),
                                   QByteArray("\xE9t\xE9.zip"), QByteArray("\xFF\xFE\x80.zip")})
        writeFile(s.romDirectory + "/" + name, "PK");
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));

    if (list == "ROM selector") {
        Lines lines = s.configuration();
        lines[1].clear();
        s.selectFile(crlf(lines));
        const QList<QByteArray> before = tree(s.root.path());
        QList<QByteArray> shown;
        whenShown<TForm3>([&](TForm3 &selector) { shown = selector.gamelist->names(); });
        s.run(pick);
        QCOMPARE(shown, listed);
        const QByteArray game = PathRules::withoutExtension(pick);
        if (pick.contains('\n')) {
            // Listed, but no name a game can have: nothing runs it.
            QCOMPARE(s.modals.errors(), QStringList{Errors::pathText(game) + " cannot be a game name: the emulator "
                                                                              "would read it as an option."});
            QVERIFY(!readFile(s.fake.log).contains("\t-cheat\n"));
            return;
        }
        QCOMPARE(s.modals.errors(), QStringList());
        // The name goes to the emulator as one argument, byte for byte.
        // (besides the emulator's answers, asked meanwhile: its version, its built-in settings,
        // -showconfig, -listfull for the titles, -listxml for the catalogue)
        QVERIFY(readFile(s.fake.log).contains('\n' + s.fake.directory + '\t' + game + "\t-cheat\n"));
        const QByteArray log = readFile(s.fake.log);
        QCOMPARE(log.count('\n') - log.count("\t-listxml\n"), 5 + game.count('\n'));
        QCOMPARE(readFile(s.fake.directory + "/mame.cfg"),
                 crlf(replaced(numbered(12), 11, "rompath = .;ROMS;" + s.romDirectory)));
        QCOMPARE(tree(s.root.path()), before);
        return;
    }

    TForm2 editor({s.main.configurationDirectory(), std::nullopt, s.main.launcher()}, &s.main);
    editor.show();
    editor.radioButton("selectgame1")->click();
    editor.setFieldBytes("Edit1", s.romDirectory);
    editor.Button2->click();
    QCOMPARE(editor.gamelist->names(), listed);
    editor.gamelist->setItemIndex(int(editor.gamelist->names().indexOf(pick)));
    editor.Button4->click();
    QCOMPARE(editor.selectgamee->text(), TextCodec::decode(pick));
    QCOMPARE(editor.fieldBytes("selectgamee"), pick);
    editor.config->setText("picked");
    editor.mame->setText(QString::fromUtf8(s.fake.program));
    editor.Button27->click();
    QCOMPARE(s.modals.errors(), QStringList());
    const Lines saved = LineBuffer::split(readFile(s.configurationDirectory + "/picked.tvo"));
    QCOMPARE(saved.size(), 54);
    QCOMPARE(saved.at(1), pick);
    QCOMPARE(saved.at(52), s.romDirectory);
}

// ---------------------------------------------------------------------------------------------
// Names and paths holding shell text are passed on literally: as arguments, as settings lines,
// and quoted in an exported script. No file "x" ever appears.

void TestCraftedInputs::shellText_data()
{
    QTest::addColumn<QString>("where");
    QTest::addRow("run: game") << "game";
    QTest::addRow("run: option string") << "options";
    QTest::addRow("run: emulator path, preparatory runs") << "emulator";
    QTest::addRow("run: emulator path not valid UTF-8, preparatory runs") << "emulator bytes";
    QTest::addRow("run: ROM directory") << "rom directory";
    QTest::addRow("run: configuration file name") << "file name";
    QTest::addRow("ROM selector: archive") << "archive";
    QTest::addRow("ROM selector: Change Directory") << "change directory";
    QTest::addRow("quick launch") << "quick launch";
    QTest::addRow("shell script export") << "script";
}

void TestCraftedInputs::shellText()
{
    QFETCH(QString, where);
    const QByteArray shell = "$(touch x);'q'\"`touch x`\"&&touch x|";
    // A ROM folder holds no ";", '"' or "$NAME", which the emulator would misread (and refuses).
    const QByteArray folderShell = "'q'`touch x`&&touch x|$(";
    // A game's name holds no blank: its shell text says the same with ${IFS}.
    const QByteArray game = QByteArray(shell).replace(" ", "${IFS}");
    Scene s;
    s.fake.old(); // takes any word, so that each reaches it as written
    // A stand-in emulator whose directory and name hold shell text too.
    const QByteArray oddDirectory = s.root.path() + "/emu " + shell;
    const QByteArray oddProgram = s.fake.link(oddDirectory, "mame" + shell);
    writeFile(s.fake.directory + "/mame.cfg", crlf(numbered(12)));
    writeFile(oddDirectory + "/mame.ini", crlf(numbered(8)));
    Lines lines = s.configuration();
    QByteArray name = "test.tvo";
    Calls calls;
    QByteArray directory = s.fake.directory;  // where the calls run
    QByteArray settings = s.fake.directory + "/mame.cfg";
    QByteArray settingsLine = "rompath = .;ROMS;" + s.romDirectory;
    int settingsIndex = 11;

    if (where == "game") {
        lines[1] = game + "b.zip";
        calls = {{game + "b", "-cheat"}};
    } else if (where == "options") {
        lines[41] = "-x $(touch x) ';' \"a b\" `touch x` ";
        calls = {{"pacman", "-x", "$(touch", "x)", "';'", "\"a", "b\"", "`touch", "x`"}};
    } else if (where == "emulator") {
        lines[40] = oddProgram;
        s.fake.writes("CREATECONFIG", "mame.ini", crlf(numbered(8)));
        calls = {{"-list"}, {"-createconfig"}, {"pacman", "-cheat"}};
        directory = oddDirectory;
        settings = oddDirectory + "/mame.ini";
        settingsLine = "rompath ROMS;" + s.romDirectory;
        settingsIndex = 6;
    } else if (where == "emulator bytes") {
        directory = s.root.path() + "/emu \xFF\xE9";
        lines[40] = s.fake.link(directory, "mame\x80");
        s.fake.writes("CREATECONFIG", "mame.ini", crlf(numbered(8)));
        calls = {{"-list"}, {"-createconfig"}, {"pacman", "-cheat"}};
        settings = directory + "/mame.ini";
        settingsLine = "rompath ROMS;" + s.romDirectory;
        settingsIndex = 6;
    } else if (where == "rom directory") {
        lines[52] = s.root.mkdir("roms " + folderShell);
        settingsLine = "rompath = .;ROMS;" + lines[52];
        calls = {{"pacman", "-cheat"}};
    } else if (where == "file name") {
        name = shell + ".tvo";
        calls = {{"pacman", "-cheat"}};
    } else if (where == "archive") {
        lines[1].clear();
        writeFile(s.romDirectory + "/" + game + ".zip", "PK");
        calls = {{game, "-cheat"}};
    } else if (where == "change directory") {
        const QByteArray chosen = s.root.mkdir("games " + folderShell);
        s.selectFile(crlf(lines));
        s.prepareSelector();
        s.selector.show();
        s.modals.answerFolder(chosen);
        s.selector.Button4->click();
        s.selector.Button2->click();
        settingsLine = "rompath = .;ROMS;" + chosen;
    } else if (where == "quick launch") {
        const QByteArray games = s.root.mkdir("games " + folderShell);
        s.modals.answerFile(oddProgram);
        s.modals.answerFile(games + "/" + game + ".zip");
        s.command(&TForm1::QUICKConfiguration1Click);
        calls = {{game}};
        directory = oddDirectory;
        settings = oddDirectory + "/mame.ini";
        settingsLine = "rompath ROMS;" + games;
        settingsIndex = 6;
    } else if (where == "script") {
        lines[1] = game + ".zip";
        lines[40] = oddProgram;
        lines[41] = "-x ;touch${IFS}x;$(touch${IFS}x) ";
        s.selectFile(crlf(lines));
        s.modals.answerFile(s.root.file("start " + shell), 2);
        s.command(&TForm1::CreateaAutoExcutable1Click);
        QCOMPARE(s.modals.messages(), QStringList{"File created!"});
        QProcess p;
        p.setWorkingDirectory(QString::fromUtf8(s.root.path()));
        p.start(QString::fromUtf8(s.root.file("start " + shell + ".sh")), {});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        calls = {{game, "-x", ";touch${IFS}x;$(touch${IFS}x)"}};
        directory = oddDirectory;
        settings = oddDirectory + "/mame.ini";
        settingsLine = "n6";
        settingsIndex = 6;
    }
    if (where != "change directory" && where != "quick launch" && where != "script") {
        s.selectFile(crlf(lines), name);
        s.run(game + ".zip");
    }

    QCOMPARE(s.modals.errors(), QStringList());
    if (where != "change directory") // (its mame.cfg says where the ROM path goes: nothing to ask)
        calls.prepend({"-showconfig"}); // every other command asks the emulator what it knows, first
    Calls made = s.fake.argumentLists();
    made.removeAll(QList<QByteArray>{"-listfull"}); // the selector's titles, asked in the background
    QCOMPARE(made, calls);
    for (const FakeCall &call : s.fake.calls())
        QCOMPARE(call.directory, directory);
    const int settingsCount = settingsIndex == 11 ? 12 : 8;
    QCOMPARE(readFile(settings), crlf(replaced(numbered(settingsCount), settingsIndex, settingsLine)));
    QVERIFY(noShellTrace(s.root.path()));
}

QTEST_MAIN(TestCraftedInputs)
#include "tst_craftedinputs.moc"
