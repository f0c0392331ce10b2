// Files that start the emulator with a configuration without this program: a batch file for the
// old platform's command interpreter, and a POSIX shell script for this one.
#pragma once

#include <QByteArray>
#include <QList>

namespace BatchFile {

// What the exported file starts: line 40 (emulator), line 1 (game archive, may be empty) and
// line 41 (option string) of the configuration.
struct Launch {
    QByteArray emulator;
    QByteArray gameArchive;
    QByteArray optionString;
};

// The batch file's lines (each to be followed by CR LF): eleven without a game, six with one.
QList<QByteArray> batchLines(const Launch &launch);

// A POSIX sh script doing the same (LF line ends), every path, the game and each word of the
// option string quoted on its own, so that nothing in them is interpreted by the shell.
// It runs the emulator in `workingDirectory`, or in the emulator's own directory when that is empty.
QByteArray shellScript(const Launch &launch, const QByteArray &workingDirectory = {});

// Quotes a text for sh: the text between single quotes, each single quote written as '\''.
QByteArray shellQuote(const QByteArray &text);

// The save dialog's filters, and the extension a name typed without one gets for each filter.
inline const char *const SaveFilter = "BAT Files|*.bat|ALL Files|*.*|Shell Scripts|*.sh";
QByteArray withDefaultExtension(const QByteArray &path, int filterIndex);
// Whether a chosen name asks for the shell script.
bool isShellScript(const QByteArray &path);

} // namespace BatchFile
