// Path rules on byte strings. The native style is the running platform's; the Windows style
// (separator "\" and ":" after a drive letter) serves configurations written on the old platform.
#pragma once

#include <QByteArray>

namespace PathRules {

enum class Style { Posix, Windows };

#ifdef _WIN32
constexpr Style Native = Style::Windows;
constexpr char Separator = '\\';
#else
constexpr Style Native = Style::Posix;
constexpr char Separator = '/';
#endif

// Everything before the last separator; a root ("/", "C:\", "\") keeps its separator.
// C:\MAME\MAME.EXE gives C:\MAME, C:\MAME.EXE gives C:\, /opt/mame/mame gives /opt/mame,
// /mame gives /, a bare name gives the empty text.
QByteArray directoryPart(const QByteArray &path, Style style = Native);
// Everything after the last separator.
QByteArray namePart(const QByteArray &path, Style style = Native);
// The text up to the last "." when that dot lies in the name part; otherwise unchanged.
QByteArray withoutExtension(const QByteArray &path, Style style = Native);
// The extension, dot included, or empty (same rule as withoutExtension).
QByteArray extension(const QByteArray &path, Style style = Native);
// A directory followed by a name, with exactly one separator between them.
QByteArray join(const QByteArray &directory, const QByteArray &name, Style style = Native);
// An ASCII capital in lower case, any other byte as it is: the case machine and file names ignore.
constexpr char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
// The short form of an existing path: off Windows the path itself; empty when the path does not exist.
QByteArray shortForm(const QByteArray &path);

} // namespace PathRules
