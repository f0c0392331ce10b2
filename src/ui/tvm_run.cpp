// Running a configuration: the settings file, the ROM selector and the start of the emulator.
#include "tvm.h"

#include "Unit3.h"
#include "commandline.h"
#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "filelistbox.h"
#include "inipath.h"
#include "pathrules.h"
#include "spawnprocess.h"

#include <QDir>
#include <QFile>

QByteArray TForm1::emulatorProgram() const
{
    const QByteArray program = dados.at(Config::Emulator);
    // A relative path names a file from the configuration directory; the emulator runs in its
    // own directory, where that path would name something else.
    if (program.contains('/') && !program.startsWith('/'))
        return PathRules::join(m_configurationDirectory, program);
    return program;
}

QByteArray TForm1::emulatorDirectory() const
{
    return PathRules::directoryPart(emulatorProgram());
}

void TForm1::enterDirectory(const QByteArray &directory) const
{
    if (const int err = FileIO::changeDirectory(directory))
        Errors::ioError(Errors::ioCodeFromErrno(err));
}

void TForm1::runEmulatorHidden(const QByteArray &program, const QByteArray &switchText)
{
    // The program whole and its one switch: a path with blanks never needs splitting.
    Executor.FileName = program;
    Executor.CommandLine = switchText;
    Executor.Execute();
}

void TForm1::rewriterompath(SettingsFile::Style style, const QByteArray &directory, const QByteArray &romPath)
{
    SettingsFile::rewrite(SettingsFile::path(directory, style), style, romPath);
}

QByteArray TForm1::inidirectory(const QByteArray &program)
{
    const QByteArray directory = PathRules::directoryPart(program);
    auto cached = m_inipaths.constFind(program);
    if (cached == m_inipaths.constEnd()) {
        // Asked in the emulator's directory, its working directory when it runs.
        const std::optional<QByteArray> output = Spawn::output(program, {"-showconfig"}, directory);
        cached = m_inipaths.insert(program, output ? IniPath::parse(*output) : std::nullopt);
    }
    if (!*cached)
        return directory;
    return IniPath::location(IniPath::directories(**cached, directory, QFile::encodeName(QDir::homePath())),
                             directory, QFile::encodeName(QDir::homePath()));
}

TForm1::SettingsPlace TForm1::settingsplace(const QByteArray &program)
{
    const QByteArray directory = PathRules::directoryPart(program);
    if (SettingsFile::styleIn(directory) == SettingsFile::Style::Cfg)
        return {SettingsFile::Style::Cfg, directory};
    return {SettingsFile::Style::Ini, inidirectory(program)};
}

void TForm1::preparesettings()
{
    const QByteArray program = emulatorProgram();
    const QByteArray directory = PathRules::directoryPart(program);

    // The emulator writes its new settings files into its working directory. A bare program
    // name has no directory: the directory error, before any run.
    if (directory.isEmpty() || SettingsFile::styleIn(directory) != SettingsFile::Style::Cfg) {
        enterDirectory(directory);
        runEmulatorHidden(program, "-list");
        restoreConfigurationDirectory();
    }
    SettingsPlace place = settingsplace(program);
    if (place.style == SettingsFile::Style::Ini) {
        // The mame.ini the emulator reads, made there by the emulator itself.
        if (!FileIO::makeDirectories(place.directory))
            Errors::cannotCreate(SettingsFile::path(place.directory, place.style));
        enterDirectory(place.directory);
        runEmulatorHidden(program, "-createconfig");
        restoreConfigurationDirectory();
    }

    Config::oldLayoutCheck(dados, m_configurationDirectory);
    rewriterompath(place.style, place.directory, dados.at(Config::RomDirectory));
}

void TForm1::launchgame(const QByteArray &game)
{
    // Every line is read before the directory changes: a missing line leaves it unchanged.
    const QByteArray program = emulatorProgram();
    const QList<QByteArray> arguments = CommandLine::arguments(game, dados.at(Config::OptionString));

    enterDirectory(PathRules::directoryPart(program));
    QString reason;
    const bool started = launcher.start(program, arguments, &reason, game);
    restoreConfigurationDirectory();
    if (!started)
        GameLauncher::cannotStart(program, reason);
}

void TForm1::RunConfiguration1Click()
{
    if (lista->fileName().isEmpty())
        return;
    preparesettings();

    const QByteArray game = dados.at(Config::Game);
    if (!game.isEmpty()) {
        launchgame(PathRules::withoutExtension(game));
        return;
    }
    if (!Form3)
        return;
    Form3->exec();
    if (!Form3->okpressed)
        return;
    launchgame(PathRules::withoutExtension(PathRules::namePart(Form3->gamelist->fileName())));
}
