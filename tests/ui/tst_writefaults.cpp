// Every command that writes a file, with the write failing at each of its steps: the previous file
// stays byte for byte (or stays absent), nothing temporary is left beside it, the error box says
// which file could not be made and why, no success is reported, and the next command works.
#include "configeditor.h"
#include "romselector.h"
#include "application.h"
#include "batchfile.h"
#include "fileio.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "guard.h"
#include "pathrules.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "mainwindow.h"
#include "scene.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestUtil;
using FileIO::WriteStep;

namespace {

// One way a file gets written: what it writes, what lies there before, and how to run it.
struct Writer {
    QByteArray target;
    QList<QByteArray> directories;       // where nothing may be left behind, besides the target's
    std::optional<QByteArray> previous;  // the file as it is when the write starts
    std::function<void()> run;
    QByteArray written;                  // the file after a successful run
    QStringList success;                 // the messages of a successful run
    Calls games;                         // the games a successful run starts
    std::function<void()> checkFailed;   // further checks after a failed run
    std::function<void()> checkDone;     // further checks after a successful run
};

Writer editorSave(Scene &s, bool replacing)
{
    const QByteArray name = replacing ? "kept.tvo" : "new";
    Writer w;
    w.target = s.configurationDirectory + (replacing ? "/kept.tvo" : "/new.tvo");
    if (replacing) {
        w.previous = crlf({"the old file"});
        writeFile(w.target, *w.previous);
    }
    // Held by the writer's commands, so that it goes before the main window.
    const auto held = std::make_shared<TForm2>(EditorContext{s.main.configurationDirectory(), std::nullopt, s.main.launcher()}, &s.main);
    TForm2 &editor = *held;
    editor.show();
    editor.config->setText(QString::fromUtf8(name));
    editor.mame->setText(QString::fromUtf8(s.fake.program));
    editor.Edit1->setText(QString::fromUtf8(s.romDirectory));
    w.run = [held, &s, replacing] {
        if (replacing)
            s.modals.answerQuestion(true); // the configuration there is replaced when the user says so
        held->Button27->click();
    };
    QList<QByteArray> lines = configLines(54, {{7, "-scanlines"}, {40, s.fake.program}, {52, s.romDirectory}});
    lines[41] = QByteArray(5, ' ') + "-scanlines" + QByteArray(33, ' ');
    w.written = crlf(lines);
    w.success = QStringList{"File " + QString::fromUtf8(name) + " saved!"};
    w.checkFailed = [&editor] {
        QVERIFY(!editor.saved());
        QVERIFY(editor.isVisible());
    };
    w.checkDone = [&editor] { QVERIFY(editor.saved()); };
    return w;
}

Writer runConfiguration(Scene &s, SettingsFile::Style style, bool linked = false)
{
    s.fake.old(); // keeps its settings file beside itself
    Writer w;
    const QList<QByteArray> settings = numbered(style == SettingsFile::Style::Cfg ? 12 : 9);
    w.target = SettingsFile::path(s.fake.directory, style);
    w.previous = crlf(settings);
    if (linked) {
        // The emulator's file is a link into another directory: the link stays a link.
        const QByteArray shared = s.root.mkdir("shared");
        writeFile(shared + "/mame.cfg", *w.previous);
        if (::symlink("../shared/mame.cfg", w.target.constData()) != 0)
            QTest::qFail("cannot link the settings file", __FILE__, __LINE__);
        w.directories << shared;
        w.checkDone = [target = w.target] {
            struct stat st;
            QVERIFY(::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode));
        };
    } else if (style == SettingsFile::Style::Cfg)
        writeFile(w.target, *w.previous);
    else
        s.fake.writes("CREATECONFIG", "mame.ini", *w.previous); // made afresh by every run
    s.select(s.configuration());
    w.run = [&s] { s.command(&TForm1::RunConfiguration1Click); };
    w.written = crlf(style == SettingsFile::Style::Cfg
                         ? replaced(settings, 11, "rompath = .;ROMS;" + s.romDirectory)
                         : replaced(settings, 6, "rompath ROMS;" + s.romDirectory));
    w.games = Calls{{"pacman", "-cheat"}};
    return w;
}

Writer quickLaunch(Scene &s)
{
    s.fake.old(); // keeps its settings file beside itself
    Writer w;
    w.target = s.fake.directory + "/mame.ini";
    w.previous = crlf({"# core", "rompath $HOME/mame/roms", "x"});
    writeFile(w.target, *w.previous);
    w.run = [&s] {
        s.modals.answerFile(s.fake.program);
        s.modals.answerFile(s.romDirectory + "/pacman.zip");
        s.command(&TForm1::QUICKConfiguration1Click);
    };
    w.written = crlf({"# core", "rompath ROMS;" + s.romDirectory, "x"});
    w.games = Calls{{"pacman"}};
    return w;
}

Writer changeDirectory(Scene &s)
{
    Writer w;
    w.target = s.fake.directory + "/mame.cfg";
    w.previous = crlf(numbered(12));
    writeFile(w.target, *w.previous);
    const QByteArray chosen = s.root.mkdir("chosen");
    s.select(s.configuration());
    s.prepareSelector();
    TForm3 &form = *s.windows.Form3;
    form.show();
    w.run = [&s, &form, chosen] {
        s.modals.answerFolder(chosen);
        form.Button4->click();
    };
    w.written = crlf(replaced(numbered(12), 11, "rompath = .;ROMS;" + chosen));
    w.checkFailed = [&s, &form] { QCOMPARE(form.gamelist->directory(), s.romDirectory); };
    w.checkDone = [&form, chosen] { QCOMPARE(form.gamelist->directory(), chosen); };
    return w;
}

Writer batchExport(Scene &s, bool replacing, bool shellScript)
{
    Writer w;
    w.target = s.root.mkdir("exports") + (shellScript ? "/start.sh" : "/start.bat");
    if (replacing) {
        w.previous = QByteArray("previous\r\n");
        writeFile(w.target, *w.previous);
    }
    s.select(s.configuration());
    w.run = [&s, target = w.target, shellScript] {
        s.modals.answerFile(target, shellScript ? 2 : 0);
        s.command(&TForm1::CreateaAutoExcutable1Click);
    };
    const BatchFile::Launch launch{s.fake.program, "pacman.zip", "-cheat "};
    w.written = shellScript ? BatchFile::shellScript(launch) : crlf(BatchFile::batchLines(launch));
    w.success = QStringList{"File created!"};
    return w;
}

} // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT
private slots:
    void failingStep_data();
    void failingStep();
};

void TestWriteFaults::failingStep_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("step");
    const QList<QPair<const char *, WriteStep>> steps = {{"write", WriteStep::Write},
                                                         {"flush", WriteStep::Flush},
                                                         {"commit", WriteStep::Commit}};
    for (const char *path : {"editor save, new file", "editor save, replacing", "run, mame.cfg",
                             "run, mame.cfg through a link", "run, mame.ini",
                             "quick launch", "change directory", "batch export, new file",
                             "batch export, replacing", "shell script export"}) {
        // A file there already is rewritten in place when no temporary file can be made beside
        // it: its row refuses the temporary file and fails the write in place part-way.
        if (QByteArray(path).endsWith("new file"))
            QTest::addRow("%s / temporary file", path) << QString::fromLatin1(path) << int(WriteStep::CreateTemporary);
        else
            QTest::addRow("%s / in place", path) << QString::fromLatin1(path) << int(WriteStep::WriteInPlace);
        for (const auto &[name, step] : steps)
            QTest::addRow("%s / %s", path, name) << QString::fromLatin1(path) << int(step);
    }
}

void TestWriteFaults::failingStep()
{
    QFETCH(QString, path);
    QFETCH(int, step);
    Scene s;
    Writer w;
    if (path.startsWith("editor save"))
        w = editorSave(s, path.endsWith("replacing"));
    else if (path.startsWith("run, mame.cfg"))
        w = runConfiguration(s, SettingsFile::Style::Cfg, path.endsWith("link"));
    else if (path == "run, mame.ini")
        w = runConfiguration(s, SettingsFile::Style::Ini);
    else if (path == "quick launch")
        w = quickLaunch(s);
    else if (path == "change directory")
        w = changeDirectory(s);
    else
        w = batchExport(s, !path.endsWith("new file"), path.startsWith("shell"));

    const QByteArray directory = PathRules::directoryPart(w.target);
    QList<QByteArray> entriesAfter = entries(directory);
    if (w.previous && !entriesAfter.contains(PathRules::namePart(w.target))) {
        entriesAfter << PathRules::namePart(w.target); // made by the emulator within the command
        std::sort(entriesAfter.begin(), entriesAfter.end());
    }
    QList<QList<QByteArray>> otherEntries;
    for (const QByteArray &other : w.directories)
        otherEntries << entries(other);

    QList<WriteStep> reached;
    FileIO::setFaultInjector([&](WriteStep at, const QByteArray &file) {
        if (file != w.target)
            return false;
        reached << at;
        return int(at) == step || (step == int(WriteStep::WriteInPlace) && at == WriteStep::CreateTemporary);
    });
    auto restore = qScopeGuard([] { FileIO::setFaultInjector({}); });
    w.run();
    FileIO::setFaultInjector({});

    QVERIFY(!reached.isEmpty());
    QCOMPARE(int(reached.last()), step);
    QCOMPARE(s.modals.errors(), QStringList{"Cannot create file " + QString::fromUtf8(w.target) + ": Input/output error."});
    QCOMPARE(s.modals.messages(), QStringList());
    QCOMPARE(FileIO::read(w.target), w.previous);
    QCOMPARE(entries(directory), entriesAfter);
    for (qsizetype i = 0; i < w.directories.size(); ++i)
        QCOMPARE(entries(w.directories.at(i)), otherEntries.at(i));
    QCOMPARE(s.games(), Calls());
    QCOMPARE(FileIO::currentDirectory(), s.configurationDirectory);
    if (w.checkFailed)
        w.checkFailed();

    // The program goes on: the same command, without the fault, writes the file.
    s.modals.clear();
    w.run();
    QCOMPARE(s.modals.errors(), QStringList());
    QCOMPARE(s.modals.messages(), w.success);
    QCOMPARE(readFile(w.target), w.written);
    QCOMPARE(s.games(), w.games);
    if (w.checkDone)
        w.checkDone();
    if (s.windows.Form3->isVisible())
        s.windows.Form3->Button2->click();
}

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"
