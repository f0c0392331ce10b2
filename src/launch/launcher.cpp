#include "launcher.h"

#include "commandline.h"
#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "inipath.h"
#include "modals.h"
#include "noticememory.h"
#include "pathrules.h"
#include "processlimits.h"
#include "romaudit.h"
#include "romfolder.h"
#include "spawnprocess.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/wait.h>

namespace {

QByteArray home()
{
    return QFile::encodeName(QDir::homePath());
}

// A bare program name along PATH; the name itself when nothing is found. Only the absolute
// directories of PATH count: an empty or relative entry would take the program from the current
// directory, which a configuration folder from elsewhere could fill.
QByteArray alongPath(const QByteArray &name)
{
    for (const QByteArray &directory : qgetenv("PATH").split(':')) {
        if (!directory.startsWith('/'))
            continue;
        const QByteArray candidate = PathRules::join(directory, name);
        if (FileIO::isExecutableFile(candidate))
            return candidate;
    }
    return name;
}

} // namespace

Launcher::Launcher(QWidget *owner, const QByteArray &configurationDirectory, QObject *parent)
    : QObject(parent), Executor(owner), m_configurationDirectory(configurationDirectory)
{
    Executor.Visibility = TMyVisibility::HIDE;
    connect(&games, &GameLauncher::gameFailed, this, &Launcher::gameFailed);
    connect(&answers, &EmulatorAnswers::answered, this,
            [this](const QByteArray &program, EmulatorAnswers::Question question) {
                if (question == EmulatorAnswers::Question::ListFull)
                    emit titlesArrived(program);
            });
}

Launcher::~Launcher() = default;

QByteArray Launcher::emulatorProgram(const LineBuffer &lines) const
{
    return resolveProgram(lines.at(Config::Emulator));
}

QByteArray Launcher::resolveProgram(const QByteArray &program) const
{
    if (program.isEmpty() || program.startsWith('/'))
        return program;
    // A relative path names a file from the configuration directory; the emulator runs in its
    // own directory, where that path would name something else.
    if (program.contains('/'))
        return PathRules::join(m_configurationDirectory, program);
    return alongPath(program);
}

void Launcher::checkProgram(const QByteArray &program)
{
    int error = 0;
    // A bare name is one that PATH did not hold: nothing of that name in the current directory runs.
    if (!program.contains('/') || !FileIO::exists(program))
        error = ENOENT;
    else if (FileIO::isDirectory(program))
        error = EISDIR;
    else if (!FileIO::isExecutableFile(program))
        error = EACCES;
    if (error)
        GameLauncher::cannotStart(program, QString::fromLocal8Bit(std::strerror(error)));
}

Vocabulary Launcher::vocabulary(const QByteArray &program)
{
    const std::optional<AnswerCache::Entry> answer = answers.ask(program, EmulatorAnswers::Question::ShowConfig);
    if (!answer)
        throw CommandStopped();
    if (answers.ranPastBounds(program, EmulatorAnswers::Question::ShowConfig) && !m_toldNoAnswer.contains(program)) {
        m_toldNoAnswer.insert(program);
        const ProcessLimits::Values &v = ProcessLimits::current();
        Modals::current().message(
            QStringLiteral("%1 gave no answer to -showconfig within %2 s and %3 KiB: until it does, the "
                           "configuration's switches go to it as written.")
                .arg(Errors::pathText(program), QString::number((v.vocabularyMs + 999) / 1000),
                     QString::number(v.vocabularyBytes / 1024)));
    }
    return withSwitches(program, Vocabulary::fromShowConfig(answer->output, answer->status));
}

Vocabulary Launcher::withSwitches(const QByteArray &program, Vocabulary words)
{
    if (const std::optional<AnswerCache::Entry> probe = answers.cached(program, EmulatorAnswers::Question::Switches))
        if (probe->status == 0)
            words.setSwitches(probe->output);
    return words;
}

void Launcher::prefetch(const QByteArray &program)
{
    if (FileIO::isExecutableFile(program))
        answers.askInBackground(program, EmulatorAnswers::Question::Version);
}

std::optional<Vocabulary> Launcher::keptVocabulary(const QByteArray &program)
{
    const std::optional<AnswerCache::Entry> answer = answers.cached(program, EmulatorAnswers::Question::ShowConfig);
    if (!answer)
        return std::nullopt;
    return withSwitches(program, Vocabulary::fromShowConfig(answer->output, answer->status));
}

Switches::Translation Launcher::translate(const QByteArray &optionString, const Vocabulary &vocabulary,
                                          const QByteArray &workingDirectory)
{
    return Switches::translate(optionString, vocabulary, [&](const QByteArray &pathOption, const QByteArray &fileName) {
        const std::optional<QByteArray> path = vocabulary.value(pathOption);
        if (!path)
            return false;
        for (const QByteArray &d : IniPath::directories(*path, workingDirectory, home()))
            if (FileIO::isFile(PathRules::join(d, fileName)))
                return true;
        return false;
    });
}

std::optional<Launcher::SettingsPlace> Launcher::keptSettingsPlace(const QByteArray &program)
{
    const QByteArray directory = PathRules::directoryPart(program);
    if (SettingsFile::styleIn(directory) == SettingsFile::Style::Cfg)
        return SettingsPlace{SettingsFile::Style::Cfg, directory};
    const std::optional<QByteArray> inipath = answers.builtInInipath(program);
    if (!inipath) {
        // An emulator that names no inipath keeps its mame.ini beside itself.
        if (!answers.cached(program, EmulatorAnswers::Question::ShowConfig))
            return std::nullopt;
        return SettingsPlace{SettingsFile::Style::Ini, directory};
    }
    const IniPath::Reading reading = IniPath::reading(*inipath, directory, home());
    const IniPath::Place place = IniPath::place(reading.searched, directory, home());
    return SettingsPlace{SettingsFile::Style::Ini, place.directory, place.kind == IniPath::Place::Kind::CommandLine};
}

Launcher::SettingsPlace Launcher::settingsplace(const QByteArray &program)
{
    // A mame.cfg beside the emulator says where the ROM path goes: nothing to ask.
    if (SettingsFile::styleIn(PathRules::directoryPart(program)) != SettingsFile::Style::Cfg)
        vocabulary(program);
    return keptSettingsPlace(program).value_or(
        SettingsPlace{SettingsFile::Style::Ini, PathRules::directoryPart(program)});
}

void Launcher::rewriterompath(const QByteArray &program, const SettingsPlace &place, const QByteArray &romPath)
{
    if (place.onCommandLine)
        return; // the emulator reads no file of ours: the ROM path goes on its command line
    const QByteArray path = place.path();
    const std::optional<FileIO::Stamp> before = FileIO::stamp(path);
    SettingsFile::rewrite(path, place.style, romPath);
    // The ROM path is no part of what the emulator said of itself: its answers stay good.
    answers.wroteFile(program, path, before);
}

void Launcher::runHidden(const QByteArray &program, const QByteArray &switchText, const QByteArray &workingDirectory)
{
    // The program whole and its one switch: a path with blanks never needs splitting.
    Executor.FileName = program;
    Executor.CommandLine = switchText;
    Executor.WorkingDirectory = workingDirectory;
    Executor.TimeoutMs = ProcessLimits::current().preparatoryMs;
    Executor.Execute();
    switch (Executor.LastOutcome) {
    case TExecutor::Outcome::Cancelled:
        throw CommandStopped();
    case TExecutor::Outcome::TimedOut:
        throw CommandError(QStringLiteral("%1 %2 did not finish within %3 s and was ended")
                               .arg(Errors::pathText(program), QString::fromUtf8(switchText),
                                    QString::number((Executor.TimeoutMs + 999) / 1000)));
    default:
        break;
    }
}

void Launcher::preparesettings(LineBuffer &lines)
{
    const QByteArray program = emulatorProgram(lines);
    checkProgram(program);
    {
        // A ROM folder the emulator would misread is refused before anything runs or is written.
        LineBuffer upgraded = lines;
        Config::oldLayoutCheck(upgraded, m_configurationDirectory);
        SettingsFile::checkRomPath(upgraded.at(Config::RomDirectory));
    }
    const QByteArray directory = PathRules::directoryPart(program);
    const Vocabulary words = vocabulary(program);

    // An emulator that lists its options reads mame.ini: "-list" only ever made the old ones
    // write their mame.cfg.
    if (!words.isKnown() && SettingsFile::styleIn(directory) != SettingsFile::Style::Cfg)
        runHidden(program, "-list", directory);
    const SettingsPlace place = settingsplace(program);
    // An emulator that lists its options would rewrite the user's own mame.ini on every run:
    // it is asked to make one only when there is none.
    if (place.style == SettingsFile::Style::Ini && !place.onCommandLine
        && (!words.isKnown() || !FileIO::isFile(place.path()))) {
        // The mame.ini the emulator reads, made there by the emulator itself.
        if (!FileIO::makeDirectories(place.directory))
            Errors::cannotCreate(place.path());
        const std::optional<FileIO::Stamp> before = FileIO::stamp(place.path());
        runHidden(program, "-createconfig", place.directory);
        answers.wroteFile(program, place.path(), before);
    }

    Config::oldLayoutCheck(lines, m_configurationDirectory);
    rewriterompath(program, place, lines.at(Config::RomDirectory));
}

QByteArray Launcher::workingDirectory(const QByteArray &program)
{
    const QByteArray directory = PathRules::directoryPart(program);
    if (FileIO::canWriteIn(directory))
        return directory;
    return settingsplace(program).directory;
}

QByteArray Launcher::keptWorkingDirectory(const QByteArray &program)
{
    const QByteArray directory = PathRules::directoryPart(program);
    if (FileIO::canWriteIn(directory))
        return directory;
    const std::optional<SettingsPlace> place = keptSettingsPlace(program);
    return place ? place->directory : qgetenv("HOME");
}

Launcher::Command Launcher::command(const LineBuffer &lines, const QByteArray &game)
{
    // Every line is read first: a missing line stops the command before anything runs.
    const QByteArray optionString = lines.at(Config::OptionString);
    Command c = command(emulatorProgram(lines), game);
    const Switches::Translation translation = translate(optionString, vocabulary(c.program), c.workingDirectory);
    c.arguments.append(translation.arguments);
    c.notes = translation.notes;
    if (lines.count() > Config::RomDirectory)
        c.romFolder = lines.at(Config::RomDirectory);
    // No settings file of ours is read: the ROM folder goes on the command line.
    if (settingsplace(c.program).onCommandLine && lines.count() > Config::RomDirectory) {
        SettingsFile::checkRomPath(lines.at(Config::RomDirectory));
        c.arguments << "-rompath" << lines.at(Config::RomDirectory);
    }
    return c;
}

Launcher::Command Launcher::preview(const QByteArray &program, const QByteArray &game, const QByteArray &optionString)
{
    Command c;
    c.program = program;
    c.game = game;
    // Where Run would start it, judged from what is kept.
    c.workingDirectory = PathRules::directoryPart(program);
    const std::optional<SettingsPlace> place = keptSettingsPlace(program);
    if (!FileIO::canWriteIn(c.workingDirectory) && place)
        c.workingDirectory = place->directory;
    if (!game.isEmpty())
        c.arguments.append(game);
    const Switches::Translation translation =
        translate(optionString, keptVocabulary(program).value_or(Vocabulary()), c.workingDirectory);
    c.arguments.append(translation.arguments);
    c.notes = translation.notes;
    return c;
}

std::shared_ptr<const Titles> Launcher::titles(const QByteArray &program)
{
    const std::optional<AnswerCache::Entry> answer = answers.cached(program, EmulatorAnswers::Question::ListFull);
    if (!answer) {
        m_titles.remove(program);
        if (program.contains('/') && FileIO::isExecutableFile(program))
            answers.askInBackground(program, EmulatorAnswers::Question::ListFull);
        return nullptr;
    }
    KeptTitles &kept = m_titles[program];
    if (!kept.titles || kept.stamp != answer->programStamp)
        kept = {answer->programStamp, std::make_shared<const Titles>(Titles::fromListFull(answer->output, answer->status))};
    return kept.titles;
}

Launcher::Command Launcher::command(const QByteArray &program, const QByteArray &game)
{
    CommandLine::checkGame(game);
    Command c;
    c.program = program;
    c.game = game;
    c.workingDirectory = workingDirectory(program);
    if (!game.isEmpty())
        c.arguments.append(game);
    return c;
}

QByteArray Launcher::Command::text() const
{
    return CommandLine::shellQuoted(QList<QByteArray>{program} + arguments);
}

Catalogues::Request Launcher::catalogueRequest(const QByteArray &program)
{
    const std::optional<AnswerCache::Entry> version = answers.cached(program, EmulatorAnswers::Question::Version);
    return {program, version ? version->output : QByteArray(), {}, 0};
}

QString Launcher::unplayableReason(const Command &command)
{
    if (command.game.isEmpty() || command.romFolder.isEmpty() || !FileIO::isDirectory(command.romFolder))
        return {};
    const Catalogues::ForAudit at = catalogues.forAudit(catalogueRequest(command.program));
    if (!at)
        return {};
    const RomFolder folder = RomFolder::scan(command.romFolder);
    RomAudit audit(*at.catalogue, *at.roms, folder, RomAudit::Depth::Quick);
    const RomAudit::Verdict verdict = audit.audit(command.game);
    if (verdict.playable() || verdict.state == RomAudit::State::BiosOrDevice)
        return {};
    return QStringLiteral("%1 may not run from %2: %3")
        .arg(TextCodec::decode(command.game), Errors::pathText(command.romFolder), verdict.summary);
}

bool Launcher::confirm(const Command &command, const QByteArray &configuration)
{
    QString notes = Switches::describe(command.notes);
    if (const QString reason = unplayableReason(command); !reason.isEmpty())
        notes = notes.isEmpty() ? reason : reason + QLatin1Char('\n') + notes;
    if (notes.isEmpty())
        return true;
    if (NoticeMemory::isPutAway(configuration, notes))
        return true;
    const NoticeAnswer answer = Modals::current().notice({notes, Errors::pathText(command.text())});
    if (answer.run && answer.dontAskAgain)
        NoticeMemory::putAway(configuration, notes);
    return answer.run;
}

void Launcher::launchgame(const Command &command)
{
    QString reason;
    if (!games.start(command.program, command.arguments, command.workingDirectory, &reason, command.game))
        GameLauncher::cannotStart(command.program, reason);
}

int Launcher::runAndWait(const Command &command, QString *endReport)
{
    Spawn::Options options;
    options.workingDirectory = command.workingDirectory;
    const Spawn::Started started = Spawn::start(command.program, command.arguments, options);
    if (started.pid < 0)
        GameLauncher::cannotStart(command.program, QString::fromLocal8Bit(std::strerror(started.error)));
    int status = 0;
    pid_t collected;
    while ((collected = ::waitpid(started.pid, &status, 0)) < 0 && errno == EINTR) {
    }
    const QByteArray game = command.game.isEmpty() ? command.program : command.game;
    // A status that cannot be read (SIGCHLD ignored: the system collected the game) is no success.
    if (collected != started.pid)
        throw CommandError(GameLauncher::endingReport(game, -1, {}));
    if (WIFSIGNALED(status)) {
        if (endReport)
            *endReport = GameLauncher::endingReport(game, 128 + WTERMSIG(status), {}, WTERMSIG(status));
        return 128 + WTERMSIG(status);
    }
    return WEXITSTATUS(status);
}
