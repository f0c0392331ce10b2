// The emulator's command line, as the program starts it: the emulator path whole as the program,
// then the game as one argument (left out when empty), then the words of the option string.
// Nothing of it ever passes through a shell.
#pragma once

#include <QByteArray>
#include <QList>

namespace CommandLine {

// Whether the emulator takes `game` as a game's name: not when it begins with "-" (the emulator
// reads that as an option: "-createconfig" would rewrite the user's mame.ini), nor when it holds a
// blank or a control character (a name the emulator cannot take as one word, nor a batch file).
// The empty name stands for no game and passes.
bool isGameName(const QByteArray &game);
// Stops the command with "%s cannot be a game name: the emulator would read it as an option."
// unless isGameName(game). Every way to a game's start goes through here before anything runs or
// is written.
void checkGame(const QByteArray &game);

// The words of an option string, separated by blanks or tabs, empty words dropped.
QList<QByteArray> words(const QByteArray &optionString);

// The arguments after the program: the game (when not empty) and the option string's words.
QList<QByteArray> arguments(const QByteArray &game, const QByteArray &optionString);

// The command line as one text, for display and batch files: emulator, blank, game, blank, options.
QByteArray joined(const QByteArray &emulator, const QByteArray &game, const QByteArray &optionString);

// Words as a POSIX sh command line, joined by one blank: a word of only [A-Za-z0-9_@%+=:,./-]
// stays bare, every other word (the empty one too) is single-quoted. A first word that sh would
// read as a keyword or an assignment is quoted as well.
QByteArray shellQuoted(const QList<QByteArray> &words);

} // namespace CommandLine
