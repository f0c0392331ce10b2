// The emulator's own settings file, beside its executable: "mame.cfg" (the older emulators) or
// "mame.ini". The file belongs to the emulator; this program only points its ROM path line at a
// ROM directory and writes every other line back as it found it.
#pragma once

#include <QByteArray>
#include <QList>

namespace SettingsFile {

enum class Style { Cfg, Ini };

// "mame.cfg" or "mame.ini".
QByteArray fileName(Style style);
// The settings file of the given style in an emulator directory (the current one when empty).
QByteArray path(const QByteArray &emulatorDirectory, Style style);
// Cfg when a "mame.cfg" lies in the emulator directory, else Ini.
Style styleIn(const QByteArray &emulatorDirectory);

// The line that takes the ROM path when the file has no ROM path line: 11 of "mame.cfg",
// 6 of "mame.ini".
int defaultLine(Style style);
// The new ROM path line: "rompath = .;ROMS;" (cfg) or "rompath ROMS;" (ini), then the path
// text unchanged; the whole value in double quotes when it holds a "#" or the path begins or
// ends with a blank, so that the emulator reads it back as it was written.
QByteArray romPathLine(Style style, const QByteArray &romPath);
// Stops the command unless the emulator can read `romPath` back from its settings file as one
// folder: a line break, a ";" (which separates folders), a double quote, another control
// character, or a "$" that starts a variable name ("$HOME", "${X}") is refused, naming it.
void checkRomPath(const QByteArray &romPath);

// A ROM path line: its first word is "rompath", followed by a blank, a tab or "=". Blanks and
// tabs before the word, and a UTF-8 byte-order mark at the start of the file, do not count.
bool isRomPathLine(QByteArrayView line);
// The line the ROM path goes into: the last ROM path line, which is the one the emulator
// uses; when there is none, the default line of the style.
int targetLine(const QList<QByteArray> &lines, Style style);

// The text of a settings file with its ROM path line pointed at `romPath`: every other line's
// bytes as they are (a NUL included), each line keeping its own line end. The new line takes the
// target line's place and line end (after the file's UTF-8 byte-order mark on the first line), or
// follows the last line when the file has exactly as many lines as the target's number, ending
// in the file's first line end (LF when it has none), as does a last line that had none;
// "Unable to insert a line" when it has fewer. A ROM path checkRomPath refuses is refused.
QByteArray rewritten(const QByteArray &text, Style style, const QByteArray &romPath);
// The whole rewrite: read, rewritten, and replace the file atomically; a file that would not
// change is not written. A failure leaves the file as it was: "Cannot open file %s",
// "Unable to insert a line" or "Cannot create file %s: %s" (the system's reason).
void rewrite(const QByteArray &path, Style style, const QByteArray &romPath);

} // namespace SettingsFile
