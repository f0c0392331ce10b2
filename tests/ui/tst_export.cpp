// The quick launch and the export of a starting file, with the stand-in emulator.
#include "application.h"
#include "batchfile.h"
#include "filelistbox.h"
#include "guard.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "mainwindow.h"
#include "scene.h"

#include <QProcess>
#include <QTest>
#include <sys/stat.h>

using namespace TestUtil;

namespace {
// The folder of the games the quick launch picks from: its name holds a blank.
QByteArray games(const Scene &s) { return s.root.mkdir("my games"); }
} // namespace

class TestExport : public QObject {
    Q_OBJECT
private slots:
    void quickLaunchCancels();
    void quickLaunchRuns();
    void quickLaunchWithoutSettingsFile();
    void quickLaunchRefusesLineBreaks();
    void batchFiles_data();
    void batchFiles();
    void exportReplacesAndFailsSafely();
    void exportAfterQuickLaunch();
    void shellScriptRunsTheEmulator();
};

void TestExport::quickLaunchCancels()
{
    Scene s{"emu dir"};
    s.selectFile("held\r\n");
    s.modals.cancelFile();
    s.command(&TForm1::QUICKConfiguration1Click);
    QCOMPARE(s.main.quickLaunchLines().lines(), QList<QByteArray>(52));

    s.modals.answerFile(s.fake.program);
    s.modals.cancelFile();
    s.command(&TForm1::QUICKConfiguration1Click);
    QList<QByteArray> expected(52);
    expected[40] = s.fake.program;
    QCOMPARE(s.main.quickLaunchLines().lines(), expected);
    QCOMPARE(s.main.selectedLines().lines(), QList<QByteArray>{"held"});
    QVERIFY(s.fake.calls().isEmpty());
    QCOMPARE(s.modals.fileRequests.at(0).title, QStringLiteral("Select The MAME file"));
    QCOMPARE(s.modals.fileRequests.at(1).title, QStringLiteral("Select The MAME file"));
    QCOMPARE(s.modals.fileRequests.at(2).title, QStringLiteral("Select The Zip ROM file"));
    QCOMPARE(s.modals.fileRequests.at(2).filter, QStringLiteral("MAME Executable files|*zip|All Files|*.*"));
}

void TestExport::quickLaunchRuns()
{
    Scene s{"emu dir"};
    const QByteArray ini = crlf({"# core", "rompath                   $HOME/mame/roms", "x"});
    const QByteArray settings = s.root.mkdir("home/.mame") + "/mame.ini"; // where 0.251 reads it
    writeFile(settings, ini);
    // A name without extension is the game's name as it is.
    for (const QByteArray archive : {"pacman.zip", "my.game", "galaga"}) {
        s.modals.answerFile(s.fake.program);
        s.modals.answerFile(games(s) + "/" + archive);
        s.command(&TForm1::QUICKConfiguration1Click);
        QCOMPARE(s.main.quickLaunchLines().count(), 53);
        QCOMPARE(s.main.quickLaunchLines().at(1), archive);
        QCOMPARE(s.main.quickLaunchLines().at(52), games(s));
        QCOMPARE(s.main.selectedLines().lines(), QList<QByteArray>()); // the selected configuration's lines stay theirs
    }
    QCOMPARE(s.modals.errors(), QStringList());
    QCOMPARE(readFile(settings), crlf({"# core", "rompath ROMS;" + games(s), "x"}));
    const QList<FakeCall> calls = s.fake.calls();
    // The settings file's place asked once, then the games: no preparatory run.
    QCOMPARE(s.fake.argumentLists(), (QList<QList<QByteArray>>{{"-showconfig"}, {"pacman"}, {"my"}, {"galaga"}}));
    QCOMPARE(calls.at(1).directory, s.fake.directory);
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);
}

void TestExport::quickLaunchRefusesLineBreaks()
{
    // A folder name with a line break would split the ROM path line of the settings file.
    Scene s{"emu dir"};
    writeFile(s.fake.directory + "/mame.ini", crlf({"rompath roms"}));
    const QByteArray odd = s.root.mkdir("two\nlines");
    s.modals.answerFile(s.fake.program);
    s.modals.answerFile(odd + "/pacman.zip");
    s.command(&TForm1::QUICKConfiguration1Click);
    QCOMPARE(s.modals.errors(), QStringList{"Cannot store a text holding a line break: " + QString::fromUtf8(s.root.path())
                                            + "/two\\nlines."});
    QCOMPARE(readFile(s.fake.directory + "/mame.ini"), crlf({"rompath roms"}));
    QVERIFY(s.fake.calls().isEmpty());

    // An archive whose name the emulator would read as an option: refused before anything.
    s.modals.clear();
    s.modals.answerFile(s.fake.program);
    s.modals.answerFile(games(s) + "/-createconfig.zip");
    s.command(&TForm1::QUICKConfiguration1Click);
    QCOMPARE(s.modals.errors(),
             QStringList{"-createconfig cannot be a game name: the emulator would read it as an option."});
    QCOMPARE(readFile(s.fake.directory + "/mame.ini"), crlf({"rompath roms"}));
    QVERIFY(s.fake.calls().isEmpty());
}

void TestExport::quickLaunchWithoutSettingsFile()
{
    Scene s{"emu dir"};
    s.modals.answerFile(s.fake.program);
    s.modals.answerFile(games(s) + "/pacman.zip");
    s.command(&TForm1::QUICKConfiguration1Click);
    QCOMPARE(s.modals.errors(), QStringList{"Cannot open file " + QString::fromUtf8(s.home) + "/.mame/mame.ini."});
    QCOMPARE(s.main.quickLaunchLines().at(1), QByteArray("pacman.zip")); // its own lines, filled already
    QVERIFY(s.main.selectedLines().isEmpty());
    QCOMPARE(s.fake.argumentLists(), QList<QList<QByteArray>>{{"-showconfig"}});
}

void TestExport::batchFiles_data()
{
    QTest::addColumn<QByteArray>("game");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("with game, extension added") << QByteArray("pacman.zip") << QByteArray("start") << QByteArray("start.BAT");
    QTest::newRow("without game, own extension") << QByteArray() << QByteArray("all.cmd") << QByteArray("all.cmd");
}

void TestExport::batchFiles()
{
    QFETCH(QByteArray, game);
    QFETCH(QByteArray, typed);
    QFETCH(QByteArray, written);
    Scene s{"emu dir"};
    const QList<QByteArray> lines = configLines(54, {{1, game}, {40, "C:\\MAME.EXE"}, {41, " -cheat "}});
    s.select(lines);
    s.modals.answerFile(s.root.file(typed));
    s.command(&TForm1::CreateaAutoExcutable1Click);
    QCOMPARE(s.modals.messages(), QStringList{"File created!"});
    QCOMPARE(s.modals.fileRequests.at(0).filter, QStringLiteral("BAT Files|*.bat|ALL Files|*.*|Shell Scripts|*.sh"));
    QVERIFY(s.modals.fileRequests.at(0).confirmOverwrite); // the dialog asks before replacing a file
    const QByteArray expected = crlf(BatchFile::batchLines({"C:\\MAME.EXE", game, " -cheat "}));
    QCOMPARE(readFile(s.root.file(written)), expected);
    QCOMPARE(s.main.exportLines().lines(), BatchFile::batchLines({"C:\\MAME.EXE", game, " -cheat "}));
    QVERIFY(expected.contains(game.isEmpty() ? "\r\ncd C:\\\r\n" : "\r\ncd C:\\\r\nC:\\MAME.EXE pacman  -cheat \r\n"));
}

void TestExport::exportReplacesAndFailsSafely()
{
    Scene s{"emu dir"};
    s.select(configLines(54, {{40, "/usr/games/mame"}}));
    const QByteArray target = s.root.file("start.bat");
    writeFile(target, "previous");
    s.main.lista->setItemIndex(-1); // the buffer is emptied even with nothing selected

    auto previous = FileIO::setFaultInjector([](FileIO::WriteStep step, const QByteArray &) {
        return step == FileIO::WriteStep::Commit;
    });
    s.modals.answerFile(target);
    s.command(&TForm1::CreateaAutoExcutable1Click);
    FileIO::setFaultInjector(previous);
    QCOMPARE(s.modals.errors(), QStringList{"Cannot create file " + QString::fromUtf8(target) + ": Input/output error."});
    QCOMPARE(s.modals.messages(), QStringList());
    QCOMPARE(readFile(target), QByteArray("previous"));

    s.modals.answerFile(target);
    s.command(&TForm1::CreateaAutoExcutable1Click);
    QCOMPARE(s.modals.messages(), QStringList{"File created!"});
    QVERIFY(readFile(target).startsWith("@echo off\r\n")); // replaced without a question, nothing stale

    s.modals.cancelFile();
    s.command(&TForm1::CreateaAutoExcutable1Click);
    QVERIFY(s.main.exportLines().isEmpty());

    s.selectFile(crlf({"a", "b"}), "short.tvo");
    s.modals.answerFile(s.root.file("short.bat"));
    s.command(&TForm1::CreateaAutoExcutable1Click);
    QCOMPARE(s.modals.errors().last(), QStringLiteral("List index out of bounds (40)"));
    QVERIFY(!FileIO::exists(s.root.file("short.bat")));

    // Neither file starts the emulator with a game it would read as an option.
    s.select(configLines(54, {{1, "-help.zip"}, {40, "/usr/games/mame"}}));
    for (const QByteArray name : {"help.bat", "help.sh"}) {
        s.modals.answerFile(s.root.file(name), name.endsWith(".sh") ? 2 : 0);
        s.command(&TForm1::CreateaAutoExcutable1Click);
        QCOMPARE(s.modals.errors().last(),
                 QStringLiteral("-help cannot be a game name: the emulator would read it as an option."));
        QVERIFY(!FileIO::exists(s.root.file(name)));
    }
}

void TestExport::exportAfterQuickLaunch()
{
    // The quick launch leaves the selected configuration's lines alone: the export writes those.
    Scene s{"emu dir"};
    writeFile(s.fake.directory + "/mame.cfg", crlf(QList<QByteArray>(12)));
    s.select(s.configuration("pacman.zip"));
    s.modals.answerFile(s.fake.program);
    s.modals.answerFile(games(s) + "/galaga.zip");
    s.command(&TForm1::QUICKConfiguration1Click);
    s.modals.answerFile(s.root.file("quick.bat"));
    s.command(&TForm1::CreateaAutoExcutable1Click);
    QCOMPARE(s.modals.errors(), QStringList());
    QCOMPARE(LineBuffer::split(readFile(s.fake.directory + "/mame.cfg")).value(11), "rompath = .;ROMS;" + games(s));
    QCOMPARE(LineBuffer::split(readFile(s.root.file("quick.bat"))).value(5), s.fake.program + " pacman -cheat ");
}

void TestExport::shellScriptRunsTheEmulator()
{
    Scene s{"emu dir"};
    // The game name would run a command if a shell ever read it as code.
    const QByteArray game = "$(touch${IFS}pwned).zip";
    s.select(configLines(54, {{1, game}, {40, s.fake.program}, {41, "  -joy standard  "}}));
    s.modals.answerFile(s.root.file("start"), 2);
    s.command(&TForm1::CreateaAutoExcutable1Click);
    const QByteArray script = s.root.file("start.sh");
    struct stat st;
    QVERIFY(::stat(script.constData(), &st) == 0 && (st.st_mode & S_IXUSR));

    QProcess p;
    p.setWorkingDirectory(QString::fromUtf8(s.root.path()));
    p.start(QString::fromUtf8(script), {});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    // Asked for its vocabulary while the script was written; then the game, in the switch it takes.
    const QList<FakeCall> calls = s.fake.calls();
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls.at(0).arguments, QList<QByteArray>{"-showconfig"});
    QCOMPARE(calls.at(1).directory, s.fake.directory);
    QCOMPARE(calls.at(1).arguments, (QList<QByteArray>{"$(touch${IFS}pwned)", "-joystick"}));
    QVERIFY(!FileIO::exists(s.root.file("pwned")) && !FileIO::exists(s.fake.directory + "/pwned"));

    // Without a game the script wants one.
    s.select(configLines(54, {{40, s.fake.program}}));
    s.modals.answerFile(script, 2);
    s.command(&TForm1::CreateaAutoExcutable1Click);
    p.start(QString::fromUtf8(script), {});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY(p.exitCode() != 0);
    QVERIFY(p.readAllStandardOutput().contains("TYPE THE NAME OF THE GAME AFTER THE NAME OF THE FILE"));
    p.start(QString::fromUtf8(script), {QStringLiteral("my game")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(s.fake.calls().last().arguments, QList<QByteArray>{"my game"});

    // An emulator named from the configuration directory: the script names it as this program
    // runs it, so it works from anywhere.
    s.select(configLines(54, {{1, "galaga.zip"}, {40, "../emu dir/mame"}}));
    s.modals.answerFile(script, 2);
    s.command(&TForm1::CreateaAutoExcutable1Click);
    p.setWorkingDirectory(QStringLiteral("/"));
    p.start(QString::fromUtf8(script), {});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(s.fake.calls().last().arguments, QList<QByteArray>{"galaga"});
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
