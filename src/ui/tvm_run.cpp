// Running a configuration: the settings file, the ROM selector and the start of the emulator.
#include "tvm.h"

#include "Unit3.h"
#include "commandline.h"
#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "filelistbox.h"
#include "pathrules.h"

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
    SettingsFile::rewrite(mamecfg, SettingsFile::path(directory, style), style, romPath);
}

void TForm1::preparesettings()
{
    const QByteArray program = emulatorProgram();
    const QByteArray directory = PathRules::directoryPart(program);

    // A bare program name has no directory: the directory error, before any run.
    SettingsFile::Style style = SettingsFile::Style::Cfg;
    if (directory.isEmpty() || SettingsFile::styleIn(directory) != SettingsFile::Style::Cfg) {
        // The emulator writes its new settings file into its working directory: run it in its
        // own directory, as the game runs.
        enterDirectory(directory);
        runEmulatorHidden(program, "-list");
        if (SettingsFile::styleIn(directory) != SettingsFile::Style::Cfg) {
            runEmulatorHidden(program, "-createconfig");
            style = SettingsFile::Style::Ini;
        }
        restoreConfigurationDirectory();
    }

    Config::oldLayoutCheck(dados, m_configurationDirectory);
    rewriterompath(style, directory, dados.at(Config::RomDirectory));
}

void TForm1::launchgame(const QByteArray &game)
{
    // Every line is read before the directory changes: a missing line leaves it unchanged.
    const QByteArray program = emulatorProgram();
    const QList<QByteArray> arguments = CommandLine::arguments(game, dados.at(Config::OptionString));

    enterDirectory(PathRules::directoryPart(program));
    QString reason;
    const bool started = launcher.start(program, arguments, &reason);
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
