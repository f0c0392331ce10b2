// The real emulator (Debian's "mame" package) with what this program hands it:
//  - the settings file: after the preparation the emulator itself reports the configuration's ROM
//    directory in its ROM path, and the system's file is untouched;
//  - every value of every option control of the editor, saved as the editor saves it and run by
//    "trelvo-mame --run" as a user runs it from a terminal: the switches are translated for the
//    emulator, and "pong", a game that needs no ROM files, starts and ends with status 0;
//  - every example configuration starts its game the same way;
//  - "--print-command" shows the switches in the forms the emulator knows;
//  - the Emulator Options page offers what the emulator lists, and what is set on it runs.
// Skipped, with the reason, where the emulator is not installed. The games run without a window or
// sound (SDL's dummy drivers and "-video none -sound none") for one emulated second.
#include "application.h"
#include "config.h"
#include "fileio.h"
#include "launcher.h"
#include "romselector.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "workstrip.h"
#include "linebuffer.h"
#include "options.h"
#include "scriptedmodals.h"
#include "settingsfile.h"
#include "vocabulary.h"
#include "testutil.h"
#include "../fakemame/fakemamecontrol.h"
#include "mainwindow.h"
#include "configeditor.h"
#include "guard.h"
#include "optionspage.h"
#include "scene.h"
#include "usage.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <map>
#include <memory>

using namespace TestUtil;

namespace {

const QByteArray Emulator = "/usr/games/mame";
const QByteArray SystemSettings = "/etc/mame/mame.ini";

// Appended to every configuration's own switches, after them, so that they win.
const QByteArray Headless = "-video none -sound none -seconds_to_run 1";
const QByteArray Game = "pong";

const QString Examples = QStringLiteral(TESTS_SOURCE_DIR "/../examples");

// The texts of the argument fields while their option is on.
const QList<QPair<QByteArray, QByteArray>> ArgumentTexts = {
    {"resolutione1", "640x480"}, {"gammae", "1.2"},          {"skiplinese", "2"},
    {"skipcolumnse", "2"},       {"centerxe", "0"},          {"centerye", "0"},
    {"audiosampleratee", "22050"}, {"frameskipe", "2"},      {"beame", "2"},
    {"flickere", "0.5"},
};

// The joystick line has the most values of any control: unused, auto detection, and each entry of
// the table. One configuration for each of them.
const int SetCount = 2 + int(Config::Joysticks.size());

// Bounds each run of the program; a safety net for a hung emulator, not a measure of speed.
constexpr int RunLimitMs = 120000;

// How many configurations run at once, the next ones started while an earlier one is waited for.
const int RunsAtOnce = std::clamp(QThread::idealThreadCount() * 2, 2, 8);

// Every control takes one of its values in each configuration: set n chooses button n (modulo the
// group's size) of every radio group, checks every box in odd sets and clears it in even ones, and
// gives the joystick line its n-th value. So every button, both states of every box and every
// joystick entry are in at least one set. Odd sets name the game, even ones leave it to the command.
Options::State optionSet(int n, const QByteArray &emulator, const QByteArray &romDirectory)
{
    using namespace Options;
    State s = State::initial();
    s.setText("config", "set " + QByteArray::number(n));
    s.setText("aboutconfiguration", "Every option value, set " + QByteArray::number(n));
    s.setText("mame", emulator);
    s.setText("Edit1", romDirectory);
    s.setText("extra", Headless);
    for (const RadioGroup &g : RadioGroups)
        if (g.key != JoystickGroup)
            s.select(g.key, n % int(g.buttons.size()));
    for (const Check &c : Checks)
        if (c.name != JoystickCheck)
            s.setChecked(c.name, n % 2 == 1);
    if (n > 0) {
        s.setChecked(JoystickCheck, true);
        s.select(JoystickGroup, n == 1 ? 0 : 1);
        if (n > 1)
            s.setJoystickEntry(n - 2);
    }
    if (s.enabled("selectgamee"))
        s.setText("selectgamee", Game + ".zip");
    for (const auto &[name, text] : ArgumentTexts)
        if (s.enabled(name))
            s.setText(name, text);
    return s;
}

// The environment of the program run as a process: its own home, cache and settings directories,
// SDL without a screen or sound card, and no display at all (the command-line mode needs none).
QProcessEnvironment childEnvironment(const QByteArray &root)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
        const QByteArray directory = root + '/' + QByteArray(name).toLower();
        FileIO::makeDirectories(directory);
        e.insert(QString::fromLatin1(name), QFile::decodeName(directory));
    }
    e.insert(QStringLiteral("SDL_VIDEODRIVER"), QStringLiteral("dummy"));
    e.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        e.remove(QString::fromLatin1(name));
    return e;
}

// One configuration run by the program, its outputs going to files beside it (so that no pipe
// fills while another run is waited for).
struct Run {
    QByteArray directory;
    QList<QByteArray> lines;
    QProcess process;

    QByteArray errorOutput() const { return readFile(directory + "/stderr"); }
    QByteArray output() const { return readFile(directory + "/stdout"); }
};

// Writes a configuration of `lines` named `fileName` into `directory` (made when missing) and
// starts the program on it with `mode`; the game is given after the file when the configuration
// names none.
std::unique_ptr<Run> startProgram(const QByteArray &directory, const QByteArray &fileName,
                                  const QList<QByteArray> &lines, const char *mode)
{
    auto run = std::make_unique<Run>();
    run->directory = directory;
    run->lines = lines;
    FileIO::makeDirectories(directory);
    const QByteArray file = directory + '/' + fileName;
    writeFile(file, crlf(lines));

    QStringList arguments{QString::fromLatin1(mode), QFile::decodeName(file)};
    if (lines.value(Config::Game).isEmpty())
        arguments << QString::fromLatin1(Game);
    run->process.setProgram(QStringLiteral(TRELVO_PROGRAM));
    run->process.setArguments(arguments);
    run->process.setProcessEnvironment(childEnvironment(directory));
    run->process.setWorkingDirectory(QFile::decodeName(directory));
    run->process.setStandardInputFile(QProcess::nullDevice());
    run->process.setStandardOutputFile(QFile::decodeName(directory + "/stdout"));
    run->process.setStandardErrorFile(QFile::decodeName(directory + "/stderr"));
    run->process.start();
    return run;
}

// The same for the configuration the editor saves from `state`.
std::unique_ptr<Run> startProgram(const QByteArray &directory, const Options::State &state, const char *mode)
{
    return startProgram(directory, Config::fileName(state.text("config")), Options::save(state), mode);
}

// Waits for a run to end; a run past the time limit is ended. Nothing when it ended with status 0,
// else how it ended, having logged the configuration's line 41 and the whole error output (a
// failure's own message is cut short).
QByteArray failureOf(Run &run)
{
    const bool ended = run.process.waitForFinished(RunLimitMs);
    if (!ended)
        run.process.kill();
    run.process.waitForFinished(-1);
    if (ended && run.process.exitStatus() == QProcess::NormalExit && run.process.exitCode() == 0)
        return {};
    qInfo().noquote() << "line 41:" << QString::fromLocal8Bit(run.lines.value(Config::OptionString));
    qInfo().noquote() << "error output:\n" + QString::fromLocal8Bit(run.errorOutput());
    if (!ended)
        return "did not end within the time limit";
    if (run.process.exitStatus() != QProcess::NormalExit)
        return "crashed";
    return "ended with status " + QByteArray::number(run.process.exitCode());
}

// The emulator as a configuration names it: a link in `directory` to the installed one. The game
// runs in its emulator's directory when that can be written, and "-log" writes error.log there; the
// link keeps a run as root from writing into the system's directory.
QByteArray emulatorLink(const QByteArray &directory)
{
    FileIO::makeDirectories(directory);
    const QByteArray link = directory + "/mame";
    if (QFile::link(QFile::decodeName(Emulator), QFile::decodeName(link)))
        return link;
    QTest::qFail("cannot link the emulator", __FILE__, __LINE__);
    return {};
}

QByteArray joystickLine(int set)
{
    const QByteArray line = Options::lineValue(optionSet(set, {}, {}), Options::JoystickLine);
    return line.isEmpty() ? QByteArray("no joystick") : line;
}

} // namespace

class TestRealMame : public QObject {
    Q_OBJECT
private slots:
    void emulatorReadsRewrittenRomPath_data();
    void emulatorReadsRewrittenRomPath();
    void configurationRuns_data();
    void configurationRuns();
    void printedCommandIsTranslated_data();
    void printedCommandIsTranslated();
    void titlesInTheRomSelector();
    void emulatorOptionsPage();
    void cleanupTestCase();

private:
    // A configuration run by configurationRuns: option set `set`, or else the example `example`.
    struct Job {
        int set;
        QString example;
    };
    static QList<Job> jobs();
    void start(int row, const Job &job);

    std::unique_ptr<ScratchDir> m_root;
    std::map<int, std::unique_ptr<Run>> m_runs; // started ahead of their rows, by row
};

void TestRealMame::emulatorReadsRewrittenRomPath_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("a blank") << QByteArray("my roms");
    QTest::newRow("a # (written in quotes)") << QByteArray("roms #2");
    QTest::newRow("a blank at the end (written in quotes)") << QByteArray("roms ");
}

void TestRealMame::emulatorReadsRewrittenRomPath()
{
    QFETCH(QByteArray, folder);
    if (!FileIO::isFile(Emulator))
        QSKIP("the emulator is not installed (Debian package \"mame\")");

    ScratchDir root;
    Environment environment;
    ownHeadlessHome(root, environment);
    const QByteArray systemBefore = readFile(SystemSettings);

    const QByteArray configurationDirectory = root.mkdir("configs");
    const QByteArray romDirectory = root.mkdir(folder);
    const QByteArray program = Emulator;

    {
        CurrentDir current(configurationDirectory);
        ScriptedModals modals;
        ApplicationWindows windows;
        TForm1 &main = *windows.Form1;
        LineBuffer lines(configLines(54, {{40, program}, {52, romDirectory}}));
        main.launcher().preparesettings(lines);
        // Only the waits for the emulator's answers, no message and no error.
        QCOMPARE(modals.shown.size(), modals.waits().size());
        QCOMPARE(FileIO::currentDirectory(), configurationDirectory);

        // From the window, as a user runs it: the notice of what changes answered with Run, and
        // the game ends by itself without a report of failure.
        writeFile(configurationDirectory + "/pong.tvo",
                  crlf(configLines(54, {{1, "pong.zip"}, {40, program},
                                        {41, "-cheat -depth 16 -joy standard -scanlines " + Headless + ' '},
                                        {52, romDirectory}})));
        main.lista->reload();
        main.lista->setItemIndex(0);
        modals.clear();
        modals.answerNotice(true);
        {
            ExitWatch watch;
            main.RunConfiguration1->trigger();
            watch.wait();
        }
        QCoreApplication::processEvents(); // a failure would be reported now
        QCOMPARE(modals.texts(ScriptedModals::Kind::Notice).size(), 1);
        QCOMPARE(modals.errors(), QStringList());
    }

    const QByteArray settings = root.path() + "/home/.mame/mame.ini";
    QVERIFY2(FileIO::isFile(settings), "no settings file where the emulator reads it");
    const QList<QByteArray> lines = LineBuffer::split(readFile(settings), LineBuffer::Nul::Kept);
    QVERIFY(lines.contains(SettingsFile::romPathLine(SettingsFile::Style::Ini, romDirectory)));

    QProcess mame;
    mame.setProgram(QFile::decodeName(Emulator));
    mame.setArguments({QStringLiteral("-showconfig")});
    mame.setWorkingDirectory(QFile::decodeName(root.path()));
    mame.setStandardInputFile(QProcess::nullDevice());
    mame.start();
    QVERIFY(mame.waitForFinished(-1));
    QCOMPARE(mame.exitStatus(), QProcess::NormalExit);
    QByteArray reported;
    for (const QByteArray &line : mame.readAllStandardOutput().split('\n'))
        if (line.startsWith("rompath "))
            reported = line.mid(8).trimmed();
    // What the emulator read back is the folder, whole.
    QCOMPARE(Vocabulary::unquoted(reported), "ROMS;" + romDirectory);

    QCOMPARE(readFile(SystemSettings), systemBefore);
}

QList<TestRealMame::Job> TestRealMame::jobs()
{
    QList<Job> jobs;
    for (int n = 0; n < SetCount; ++n)
        jobs << Job{n, {}};
    for (const QString &name : QDir(Examples + QStringLiteral("/configurations")).entryList({QStringLiteral("*.tvo")}, QDir::Files))
        jobs << Job{-1, name};
    return jobs;
}

void TestRealMame::start(int row, const Job &job)
{
    if (!m_root)
        m_root = std::make_unique<ScratchDir>();
    const QByteArray directory = m_root->mkdir("run" + QByteArray::number(row));
    const QByteArray roms = m_root->mkdir("run" + QByteArray::number(row) + "/roms");
    if (job.set >= 0) {
        const Options::State state = optionSet(job.set, emulatorLink(directory + "/emulator"), roms);
        m_runs[row] = startProgram(directory, state, "--run");
        return;
    }
    // An example as tools/run.sh starts it: a copy whose ROM folder is the copy's (empty archives
    // named after the games); here with the headless switches after the configuration's own.
    const QString from = Examples + QStringLiteral("/roms/");
    for (const QString &archive : QDir(from).entryList(QDir::Files))
        QFile::copy(from + archive, QFile::decodeName(roms + '/') + archive);
    QList<QByteArray> lines = LineBuffer::split(readFile(QFile::encodeName(Examples + QStringLiteral("/configurations/") + job.example)));
    if (lines.size() == Config::LineCount)
        lines[Config::RomDirectory] = roms;
    if (lines.size() > Config::OptionString)
        lines[Config::OptionString] += Headless;
    m_runs[row] = startProgram(directory, QFile::encodeName(job.example), lines, "--run");
}

void TestRealMame::configurationRuns_data()
{
    QTest::addColumn<int>("row");
    const QList<Job> all = jobs();
    for (int i = 0; i < all.size(); ++i) {
        if (all.at(i).set >= 0)
            QTest::addRow("set %d, %s", all.at(i).set, joystickLine(all.at(i).set).constData()) << i;
        else
            QTest::addRow("example %s", qPrintable(all.at(i).example)) << i;
    }
}

void TestRealMame::configurationRuns()
{
    if (!FileIO::isFile(Emulator))
        QSKIP("the emulator is not installed (Debian package \"mame\")");
    QFETCH(int, row);

    const QList<Job> all = jobs();
    for (int i = row; i < std::min(int(all.size()), row + RunsAtOnce); ++i)
        if (!m_runs.count(i))
            start(i, all.at(i));
    const std::unique_ptr<Run> run = std::move(m_runs[row]);
    m_runs.erase(row);
    const QByteArray failure = failureOf(*run);
    QVERIFY2(failure.isEmpty(), failure.constData());
    if (all.at(row).set < 0) {
        QVERIFY(run->lines.size() == Config::LineCount || run->lines.size() == Config::OldLineCount);
        QCOMPARE(run->lines.at(Config::Emulator), Emulator);
    }
}

void TestRealMame::printedCommandIsTranslated_data()
{
    QTest::addColumn<QByteArray>("control"); // a radio button or a check box, chosen or set
    QTest::addColumn<QByteArray>("text");    // its companion field's text
    QTest::addColumn<QByteArray>("printed"); // in the command
    QTest::addColumn<QByteArray>("written"); // not in it: the old form
    QTest::addColumn<QByteArray>("notes");   // the error output

    // The artpath holds scanlines.png and the ctrlrpath hotrod.cfg: no notes for them.
    QTest::newRow("scanlines") << QByteArray("scanlines0") << QByteArray() << QByteArray(" -effect scanlines ")
                               << QByteArray("-scanlines") << QByteArray();
    QTest::newRow("no scanlines") << QByteArray("scanlines1") << QByteArray() << QByteArray(" -effect none ")
                                  << QByteArray("-noscanlines") << QByteArray();
    QTest::newRow("sample rate") << QByteArray("audiosamplerate") << QByteArray("22050")
                                 << QByteArray(" -samplerate 22050 ") << QByteArray(" -sr ") << QByteArray();
    QTest::newRow("beam") << QByteArray("beam") << QByteArray("2")
                          << QByteArray(" -beam_width_min 2 -beam_width_max 2 ") << QByteArray(" -beam ") << QByteArray();
    QTest::newRow("hot rod") << QByteArray("hotrod1") << QByteArray() << QByteArray(" -ctrlr hotrod ")
                             << QByteArray(" -hotrod ") << QByteArray();
    QTest::newRow("no sound card") << QByteArray("soundcard1") << QByteArray() << QByteArray(" -sound none ")
                                   << QByteArray("-soundcard") << QByteArray();
    QTest::newRow("joystick") << QByteArray("joystick") << QByteArray() << QByteArray(" -joystick ")
                              << QByteArray(" -joy ") << QByteArray();
    QTest::newRow("colour depth") << QByteArray("colors2") << QByteArray() << QByteArray(" -effect scanlines ")
                                  << QByteArray("-depth") << QByteArray("-depth 16: has no counterpart in this emulator\n");
}

void TestRealMame::printedCommandIsTranslated()
{
    if (!FileIO::isFile(Emulator))
        QSKIP("the emulator is not installed (Debian package \"mame\")");
    QFETCH(QByteArray, control);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, printed);
    QFETCH(QByteArray, written);
    QFETCH(QByteArray, notes);

    ScratchDir root;
    Options::State state = optionSet(0, Emulator, root.mkdir("roms"));
    int button = 0;
    if (const Options::RadioGroup *group = Options::groupOfButton(control, &button)) {
        state.select(group->key, button);
    } else {
        QVERIFY(Options::check(control));
        state.setChecked(control, true);
        if (const char *field = Options::check(control)->field; *field)
            state.setText(field, text);
    }
    const std::unique_ptr<Run> run = startProgram(root.path(), state, "--print-command");
    QVERIFY(run->process.waitForFinished(RunLimitMs));
    QCOMPARE(run->process.exitCode(), 0);

    const QByteArray output = run->output();
    QVERIFY2(output.startsWith(Emulator + ' ' + Game + ' ') && output.endsWith(Headless + '\n')
                 && output.count('\n') == 1,
             output.constData());
    QVERIFY2(output.contains(printed), output.constData());
    QVERIFY2(!output.contains(written), output.constData());
    QCOMPARE(run->errorOutput(), notes);
}

// The real "-listfull" answer: the ROM selector shows the emulator's title beside its archive; then
// the real catalogue fills in year, maker and parent, and the audit what will run.
void TestRealMame::titlesInTheRomSelector()
{
    if (!FileIO::isFile(Emulator))
        QSKIP("the emulator is not installed (Debian package \"mame\")");
    ScratchDir root;
    Environment environment;
    ownHome(root, environment);
    const QByteArray roms = root.mkdir("roms");
    writeFile(roms + "/pacman.zip", "PK");
    QVERIFY(FileIO::makeDirectories(roms + "/pong")); // a set that is a folder, of a machine without ROMs
    CurrentDir current(root.mkdir("configs"));
    ScriptedModals modals;
    ApplicationWindows windows;
    TForm3 &selector = *windows.Form3;
    selector.setSource({roms, Emulator, root.path() + "/configs"});
    QSignalSpy arrived(&windows.Form1->launcher(), &Launcher::titlesArrived);
    selector.show();
    QVERIFY(arrived.wait(60000));
    QCOMPARE(selector.gamelist->model()->index(0, GameListModel::Title).data().toString(),
             QStringLiteral("Pac-Man (Midway)"));
    QVERIFY(selector.work->isVisible()); // the catalogue being read, with Cancel
    QSignalSpy audited(selector.gamelist->model(), &QAbstractItemModel::dataChanged);
    QTRY_VERIFY_WITH_TIMEOUT(selector.gamelist->names().contains("pong"), 180000);
    const auto cell = [&](const QByteArray &set, int column) {
        return selector.gamelist->model()->index(int(selector.gamelist->names().indexOf(set)), column).data().toString();
    };
    QCOMPARE(cell("pacman.zip", GameListModel::Year), QStringLiteral("1980"));
    QCOMPARE(cell("pacman.zip", GameListModel::Manufacturer), QStringLiteral("Namco (Midway license)"));
    QCOMPARE(cell("pacman.zip", GameListModel::Parent), QStringLiteral("puckman"));
    QCOMPARE(cell("pong", GameListModel::Title), QStringLiteral("Pong (Rev E) [TTL]"));
    QTRY_COMPARE_WITH_TIMEOUT(cell("pong", GameListModel::Status), RomAudit::stateText(RomAudit::State::Good), 60000);
    QTRY_COMPARE_WITH_TIMEOUT(cell("pacman.zip", GameListModel::Status), RomAudit::stateText(RomAudit::State::Wrong), 60000);
    QTRY_VERIFY(!selector.work->isVisible());
    selector.Button2->click();
}

// The Emulator Options page for the real emulator: it offers only what the emulator lists, a
// check only where it takes "-noNAME"; a configuration set on it runs "pong"; a value with a blank
// is refused; and the check reports what the emulator says in its own words.
void TestRealMame::emulatorOptionsPage()
{
    if (!FileIO::isFile(Emulator))
        QSKIP("the emulator is not installed (Debian package \"mame\")");
    ScratchDir root;
    Environment environment;
    ownHeadlessHome(root, environment);
    const QByteArray directory = root.mkdir("configs");
    const QByteArray program = emulatorLink(root.path() + "/emulator");
    const QByteArray file = directory + "/pong.tvo";
    writeFile(file, crlf(configLines(54, {{0, "options"}, {1, "pong.zip"}, {40, program}, {52, root.mkdir("roms")}})));

    QProcess usage;
    usage.start(QFile::decodeName(Emulator), {QStringLiteral("-showusage")});
    QVERIFY(usage.waitForFinished(-1));
    const Usage listed = Usage::fromShowUsage(usage.readAllStandardOutput());
    auto takesNo = [](const QString &name) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QFile::decodeName(Emulator), {QStringLiteral("-no") + name, QStringLiteral("-showconfig")});
        return p.waitForFinished(-1) && p.exitCode() == 0;
    };

    CurrentDir current(directory);
    ScriptedModals modals;
    ApplicationWindows windows;
    TForm1 &main = *windows.Form1;
    QSignalSpy answered(&main.launcher().answers, &EmulatorAnswers::answered);
    main.lista->reload();
    main.lista->setItemIndex(0);
    bool opened = false;
    whenShown<TForm2>([&](TForm2 &editor) {
        opened = true;
        QVERIFY(waitForAnswer(answered, EmulatorAnswers::Question::Switches));
        QVERIFY(waitForAnswer(answered, EmulatorAnswers::Question::ShowUsage));
        editor.TabbedNotebook1->setCurrentIndex(6);
        auto *page = editor.findChild<OptionsPage *>(QStringLiteral("EmulatorOptions"));
        QVERIFY(page && page->isBuilt());
        int offered = 0;
        for (QWidget *w : page->findChildren<QWidget *>()) {
            if (!qobject_cast<QCheckBox *>(w) && !qobject_cast<QLineEdit *>(w))
                continue;
            if (w == page->findField())
                continue;
            ++offered;
            QVERIFY2(listed.option(w->objectName().toUtf8()), qPrintable(w->objectName()));
        }
        QVERIFY2(offered > 200, qPrintable(QString::number(offered)));
        for (const char *name : {"autoframeskip", "window", "frameskip", "seconds_to_run", "prescale"}) {
            const bool isCheck = page->findChild<QCheckBox *>(QLatin1String(name)) != nullptr;
            QCOMPARE(isCheck, takesNo(QLatin1String(name)));
        }
        auto field = [&](const char *name) { return page->findChild<QLineEdit *>(QLatin1String(name)); };
        auto check = [&](QByteArray extra, const char *option, const QString &said) {
            editor.extra->setText(QString::fromUtf8(extra));
            page->checkButton()->click();
            QTRY_VERIFY_WITH_TIMEOUT(!page->verdict()->isHidden(), 60000);
            const QString text = *option ? page->noteOf(option) : page->verdict()->text();
            QVERIFY2(text.contains(said), qPrintable(text));
        };
        check("-bogus", "", QStringLiteral("Error: unknown option: -bogus"));
        field("prescale")->setText(QStringLiteral("99"));
        check("", "prescale", QStringLiteral("Out-of-range integer value for prescale: \"99\" (must be between 1 "
                                             "and 8, inclusive); reverting to 1"));
        // A boolean, numbers, a path and choices, as a user sets them.
        page->findChild<QCheckBox *>(QStringLiteral("autoframeskip"))->setCheckState(Qt::Checked);
        field("prescale")->setText(QStringLiteral("2"));
        field("seconds_to_run")->setText(QStringLiteral("1"));
        field("video")->setText(QStringLiteral("none"));
        field("sound")->setText(QStringLiteral("none"));
        field("snapshot_directory")->setText(QStringLiteral("my snaps"));
        editor.Button27->click();
        QCOMPARE(modals.errors().size(), 1);
        QVERIFY(modals.errors().first().contains(QLatin1String("-snapshot_directory")));
        field("snapshot_directory")->setText(QFile::decodeName(root.path() + "/snaps"));
        check("", "", QStringLiteral("The emulator takes every option as set."));
        editor.Button27->click();
        editor.close();
    });
    runCommand([&] { main.ImportConfiguration1Click(); });
    QVERIFY(opened);
    QCOMPARE(modals.errors().size(), 1); // the refused blank only
    const QList<QByteArray> lines = LineBuffer::split(readFile(file));
    QVERIFY2(lines.value(Config::Extra).contains("-autoframeskip"), lines.value(Config::Extra).constData());
    const std::unique_ptr<Run> run = startProgram(root.path() + "/run", "pong.tvo", lines, "--run");
    const QByteArray failure = failureOf(*run);
    QVERIFY2(failure.isEmpty(), failure.constData());
}

void TestRealMame::cleanupTestCase()
{
    for (const auto &[row, run] : m_runs) {
        run->process.kill();
        run->process.waitForFinished(-1);
    }
}

QTEST_MAIN(TestRealMame)
#include "tst_realmame.moc"
