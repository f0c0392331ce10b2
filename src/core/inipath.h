// Where the emulator reads its mame.ini. Current emulators do not look beside their executable:
// they read mame.ini along their "inipath", which "-showconfig" prints, and the first file found
// wins. This works out which file a configuration's ROM path has to go into.
#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace IniPath {

// The value of the "inipath" line of the emulator's "-showconfig" output; nothing when the
// output has no such line (older emulators, or a program that is no emulator).
std::optional<QByteArray> parse(const QByteArray &showconfigOutput);

// The inipath's entries as directories: "$HOME" and a leading "~" expanded, a relative entry
// taken from the emulator directory (the emulator's working directory).
QList<QByteArray> directories(const QByteArray &inipath, const QByteArray &emulatorDirectory,
                              const QByteArray &home);

// The directory whose mame.ini the program rewrites:
//  - the directory of the first mame.ini found along the path, when it lies under the user's
//    home or the emulator directory;
//  - otherwise (none found, or the first found is a system file such as /etc/mame/mame.ini,
//    which is never changed) the first entry under the home or the emulator directory;
//  - the emulator directory when no entry qualifies.
QByteArray location(const QList<QByteArray> &directories, const QByteArray &emulatorDirectory,
                    const QByteArray &home);

} // namespace IniPath
