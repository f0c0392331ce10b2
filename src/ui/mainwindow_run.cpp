// Running a configuration: the settings file, the ROM selector and the start of the emulator,
// each step done by the launcher on the current lines.
#include "mainwindow.h"

#include "romselector.h"
#include "commandline.h"
#include "config.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "modals.h"
#include "pathrules.h"
#include "textcodec.h"

void TForm1::preparesettings()
{
    m_launcher.preparesettings(dados);
}

void TForm1::launchgame(const QByteArray &game)
{
    // A second copy of a game this program started and that still runs is seldom meant (a
    // double click too many): Enter answers no.
    if (m_launcher.games.isRunning(game)
        && !Modals::current().questionDefaultNo(
            QStringLiteral("%1 is still running. Start another?").arg(TextCodec::decode(game))))
        return;
    const Launcher::Command command = m_launcher.command(dados, game);
    if (m_launcher.confirm(command, lista->fileName()))
        m_launcher.launchgame(command);
}

void TForm1::RunConfiguration1Click()
{
    if (lista->fileName().isEmpty() || !readSelectedAgain())
        return;
    // A game that line 1 names is judged before the settings file is touched.
    if (dados.count() > Config::Game)
        CommandLine::checkGame(PathRules::withoutExtension(dados.at(Config::Game)));
    preparesettings();

    const QByteArray game = dados.at(Config::Game);
    if (!game.isEmpty()) {
        launchgame(PathRules::withoutExtension(game));
        return;
    }
    if (!Form3)
        return;
    // Preparing the settings file brought the lines to the current layout: line 52 is there.
    Form3->setSource({dados.at(Config::RomDirectory), m_launcher.emulatorProgram(dados), m_configurationDirectory});
    Form3->exec();
    if (!Form3->okpressed)
        return;
    launchgame(PathRules::withoutExtension(PathRules::namePart(Form3->gamelist->fileName())));
}
