// The run pipeline: everything between a configuration's lines and a running game, with no
// window in it. Where the emulator's settings file lies and preparing it, what the emulator knows
// (its vocabulary) and the translation of the configuration's switches into it, and starting the
// game and watching it. The main window, the ROM selector, the quick launch and the command-line
// mode all go through one Launcher.
//
// Processes start with their working directory set; this program's current directory never
// changes. The game runs in the emulator's directory when the user can write there, since the
// emulator writes files such as error.log into its working directory and stops when it cannot;
// otherwise in the directory of its settings file (for Debian's mame, ~/.mame).
#pragma once

#include "catalogues.h"
#include "processlauncher.h"
#include "emulatoranswers.h"
#include "gamelauncher.h"
#include "linebuffer.h"
#include "settingsfile.h"
#include "switches.h"
#include "titles.h"
#include "vocabulary.h"

#include <QByteArray>
#include <QList>
#include <QHash>
#include <QSet>
#include <QObject>
#include <memory>

class QWidget;

class Launcher : public QObject {
    Q_OBJECT
public:
    // `owner` is the window hidden while the emulator makes its settings file (none in the
    // command-line mode); `configurationDirectory` is where configurations lie.
    Launcher(QWidget *owner, const QByteArray &configurationDirectory, QObject *parent = nullptr);
    ~Launcher() override;

    // Runs the emulator hidden and waits for it, to have it write its settings file.
    TExecutor Executor;
    // Starts the games and reports one that fails.
    GameLauncher games;
    // What emulators said of themselves.
    EmulatorAnswers answers;
    // The catalogues of their machines.
    Catalogues catalogues;

    const QByteArray &configurationDirectory() const { return m_configurationDirectory; }

    // The emulator program of configuration lines: line 40, a relative path taken from the
    // configuration directory, a bare name looked up along PATH.
    QByteArray emulatorProgram(const LineBuffer &lines) const;
    // The same for the text of line 40.
    QByteArray resolveProgram(const QByteArray &line40) const;
    // Stops the command with "Cannot start %s: %s" unless `program` is a file that can be run.
    static void checkProgram(const QByteArray &program);

    // Where the settings file of `program` lies: a mame.cfg beside it keeps that style and place;
    // otherwise the mame.ini the emulator reads along its inipath.
    struct SettingsPlace {
        SettingsFile::Style style;
        QByteArray directory;
        // The emulator reads no file this program may change (only a system file): the ROM path
        // goes on its command line, and `directory` is the user's home.
        bool onCommandLine = false;
        QByteArray path() const { return SettingsFile::path(directory, style); }
    };
    SettingsPlace settingsplace(const QByteArray &program);
    // The same from what the emulator said before, without asking; nothing when too little is kept.
    std::optional<SettingsPlace> keptSettingsPlace(const QByteArray &program);
    // Points the ROM path line of `program`'s settings file at `romPath`, replacing the file
    // atomically; a file that would not change is not written.
    void rewriterompath(const QByteArray &program, const SettingsPlace &place, const QByteArray &romPath);
    // Makes sure the settings file of the lines' emulator exists and names their ROM directory
    // (line 52); brings the lines to the current layout first.
    void preparesettings(LineBuffer &lines);

    // The vocabulary of `program`, asked of it (a visible wait) when none is kept. An emulator
    // that ran past the bounds instead of answering is told of once.
    Vocabulary vocabulary(const QByteArray &program);
    // Asks `program` its version in the background, so that a later Run need not wait for it.
    void prefetch(const QByteArray &program);
    // The vocabulary kept for `program`, without asking; nothing when none is kept.
    std::optional<Vocabulary> keptVocabulary(const QByteArray &program);
    // `words` with the emulator's own say of its on/off options, when it has said.
    Vocabulary withSwitches(const QByteArray &program, Vocabulary words);
    // An option string's words for an emulator with `vocabulary` that runs in `workingDirectory`
    // (relative search paths are taken from there).
    static Switches::Translation translate(const QByteArray &optionString, const Vocabulary &vocabulary,
                                           const QByteArray &workingDirectory);

    // The command a game runs with.
    struct Command {
        QByteArray program;
        QByteArray workingDirectory;
        QByteArray game;
        QList<QByteArray> arguments;   // the game (when not empty), then the translated switches
        QList<Switches::Note> notes;   // what the user should know before it runs
        QByteArray romFolder;          // the configuration's ROM folder (empty: none known)
        // The command as one line a POSIX shell would take.
        QByteArray text() const;
    };
    // The command for `game` (may be empty) with the lines' emulator and option string (line 41).
    Command command(const LineBuffer &lines, const QByteArray &game);
    // The command for `game` with `program` and no switches (the quick launch).
    Command command(const QByteArray &program, const QByteArray &game);
    // The command Run would use, without asking the emulator anything: with the vocabulary kept
    // for it, or as written when none is kept (the editor shows it while a configuration changes).
    Command preview(const QByteArray &program, const QByteArray &game, const QByteArray &optionString);
    // The request for `program`'s catalogue, keyed on what this session knows of it.
    Catalogues::Request catalogueRequest(const QByteArray &program);
    // Why the command's game will not run from its ROM folder, by the quick audit against the
    // catalogue at hand; empty when it will, or when no catalogue is at hand.
    QString unplayableReason(const Command &command);
    // Shows the notice when the command has notes (the audit's reason first, then the switches')
    // that the user did not put away for the configuration at `configuration`; false when the
    // user cancelled.
    bool confirm(const Command &command, const QByteArray &configuration);
    // Starts the game and returns at once; "Cannot start %s: %s" when it cannot.
    void launchgame(const Command &command);
    // Starts the game with this program's output and waits for it to end: its exit status, or 128
    // + the signal that ended it, which `endReport` then tells of. A status that cannot be read
    // stops the command.
    int runAndWait(const Command &command, QString *endReport = nullptr);

    // The directory the game runs in.
    QByteArray workingDirectory(const QByteArray &program);
    // The same without asking the emulator anything: from what it said before, else the home
    // directory.
    QByteArray keptWorkingDirectory(const QByteArray &program);

    // The titles of `program`'s systems as kept; when none are kept they are asked for in the
    // background and `titlesArrived` follows. Nothing meanwhile, or for an emulator without a
    // usable answer. The lists show names at once and never wait for titles.
    std::shared_ptr<const Titles> titles(const QByteArray &program);

signals:
    // A started game ended with a status other than 0; `report` says how.
    void gameFailed(const QString &report);
    // The titles of `program`'s systems were asked for and the emulator answered.
    void titlesArrived(const QByteArray &program);

private:
    void runHidden(const QByteArray &program, const QByteArray &switchText, const QByteArray &workingDirectory);

    QByteArray m_configurationDirectory;
    // Titles read from an answer, by program, with the emulator's stamp they belong to.
    struct KeptTitles {
        FileIO::Stamp stamp;
        std::shared_ptr<const Titles> titles;
    };
    QHash<QByteArray, KeptTitles> m_titles;
    QSet<QByteArray> m_toldNoAnswer;
};
