// The quick launch and the export of a file that starts the emulator without this program.
#include "mainwindow.h"

#include "batchfile.h"
#include "commandline.h"
#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "filters.h"
#include "modals.h"
#include "pathrules.h"
#include "textcodec.h"

namespace {

const FileDialogRequest OpenDialog{FileDialogRequest::Mode::Open, QStringLiteral("Select The MAME file"),
                                   Filters::MameExecutable, 0, {}};
const FileDialogRequest zipdialog{FileDialogRequest::Mode::Open, QStringLiteral("Select The Zip ROM file"),
                                  QStringLiteral("MAME Executable files|*zip|All Files|*.*"), 0, {}};
// It asks before replacing a file that exists, as save dialogs do.
const FileDialogRequest SaveDialog1{FileDialogRequest::Mode::Save, QString(),
                                    QString::fromLatin1(BatchFile::SaveFilter), 0, {}, true};

} // namespace

void TForm1::QUICKConfiguration1Click()
{
    const std::optional<FileDialogResult> emulator = Modals::current().file(OpenDialog);
    if (!emulator)
        return;
    dados2.replace(Config::Emulator, emulator->path);
    const std::optional<FileDialogResult> archive = Modals::current().file(zipdialog);
    if (!archive)
        return;
    CommandLine::checkGame(PathRules::withoutExtension(PathRules::namePart(archive->path)));
    dados2.replace(Config::RomDirectory, PathRules::directoryPart(archive->path));
    dados2.replace(Config::Game, PathRules::namePart(archive->path));

    // The quick launch runs on its own lines: the selected configuration's stay as they are, so
    // that Run and Export go on using them. No emulator run makes a settings file here: the one
    // there is gets the ROM path.
    const QByteArray program = m_launcher.emulatorProgram(dados2);
    Launcher::checkProgram(program);
    m_launcher.rewriterompath(program, m_launcher.settingsplace(program), dados2.at(Config::RomDirectory));
    const Launcher::Command command = m_launcher.command(dados2, PathRules::withoutExtension(dados2.at(Config::Game)));
    // A game the audit says will not run is told of first; the quick launch keeps no notices.
    if (m_launcher.confirm(command, {}))
        m_launcher.launchgame(command);
}

void TForm1::CreateaAutoExcutable1Click()
{
    // Emptied at every export, a configuration selected or not: lines left from an earlier export
    // (or the buffer's first "Memo2") would otherwise stand in front of the new file.
    Memo2.clear();
    if (!readSelectedAgain())
        return;
    const std::optional<FileDialogResult> chosen = Modals::current().file(SaveDialog1);
    if (!chosen)
        return;
    const QByteArray path = BatchFile::withDefaultExtension(chosen->path, chosen->filterIndex);
    // Line 1 first, as the file's first choice depends on it: a configuration too short for it
    // stops with line 1 in the message.
    const QByteArray game = dados.at(Config::Game);
    // The file would start the emulator with it as an option.
    CommandLine::checkGame(PathRules::withoutExtension(game));
    const BatchFile::Launch launch{dados.at(Config::Emulator), game, dados.at(Config::OptionString)};
    if (BatchFile::isShellScript(path)) {
        // A batch file does not run here: a shell script does the same, with the switches the
        // emulator it names takes and the paths this program itself would run.
        const QByteArray program = m_launcher.emulatorProgram(dados);
        const Launcher::Command command = m_launcher.command(dados, {});
        const BatchFile::Launch translated{program, game, command.arguments.join(' ')};
        const QByteArray script = BatchFile::shellScript(translated, command.workingDirectory);
        if (const FileIO::WriteResult written = FileIO::writeAtomically(path, script, true); !written)
            Errors::cannotCreate(path, written.error);
    } else {
        for (const QByteArray &line : BatchFile::batchLines(launch))
            Memo2.append(line);
        Memo2.save(path);
    }
    Modals::current().message(QStringLiteral("File created!"));
}
