// The emulator's command line, as the program starts it: the emulator path whole as the program,
// then the game as one argument (left out when empty), then the words of the option string.
// Nothing of it ever passes through a shell.
#pragma once

#include <QByteArray>
#include <QList>

namespace CommandLine {

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
