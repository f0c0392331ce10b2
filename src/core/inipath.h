// Where the emulator reads its mame.ini. Current emulators do not look beside their executable:
// they look along their "inipath" twice. The first time along the inipath built into them
// ("-noreadconfig -showconfig" prints it), where the first mame.ini found may set another
// inipath; the second time along that one, and the first mame.ini found then has the last word.
// A mame.ini named by an inipath set in the second file is never read. This works out which file
// a configuration's ROM path has to go into.
#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace IniPath {

// The value of the "inipath" line of the emulator's "-showconfig" output; nothing when the
// output has no such line (older emulators, or a program that is no emulator).
std::optional<QByteArray> parse(const QByteArray &showconfigOutput);
// The value the emulator takes for `name` from the text of a mame.ini: the last line naming it,
// its double quotes taken off, a "#" outside them starting a comment; nothing without such a line.
std::optional<QByteArray> valueIn(const QByteArray &iniText, const QByteArray &name);

// The inipath's entries as directories: the value unquoted as a whole, then split at ";";
// "$HOME" and a leading "~" expanded, a relative entry taken from the emulator directory (the
// emulator's working directory).
QList<QByteArray> directories(const QByteArray &inipath, const QByteArray &emulatorDirectory,
                              const QByteArray &home);

// What the emulator reads, worked out from the files as they are now.
struct Reading {
    QList<QByteArray> searched; // the inipath of the second look, as directories
    QList<QByteArray> files;    // every mame.ini whose presence or text decides what is read
};
Reading reading(const QByteArray &builtInInipath, const QByteArray &emulatorDirectory, const QByteArray &home);

// Where the ROM path goes, along the directories the emulator searches the second time:
//  - Existing: the first mame.ini found lies under the user's home or the emulator directory;
//  - Create: there is none, or the first one is a system file such as /etc/mame/mame.ini, which
//    is never changed, and an entry under the home or the emulator directory comes before it:
//    a mame.ini made there is read first;
//  - CommandLine: no file this program may change is read, so the ROM path has to go on the
//    emulator's command line.
struct Place {
    enum class Kind { Existing, Create, CommandLine } kind;
    QByteArray directory; // the directory of the file; for CommandLine the home
};
Place place(const QList<QByteArray> &directories, const QByteArray &emulatorDirectory, const QByteArray &home);

} // namespace IniPath
