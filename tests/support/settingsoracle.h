// The ROM path rewrite done the plain way: the file split into lines, the target line replaced
// in the list, the lines joined again. The byte walk of SettingsFile::rewritten must give exactly
// what this gives; the tests and the fuzz target hold it to that.
#pragma once

#include "linebuffer.h"
#include "settingsfile.h"

namespace SettingsOracle {

// Points the ROM path line of a settings file's lines at `romPath`; every other line stays as it
// is. With exactly as many lines as the target line number the new line is appended; with fewer
// it throws "Unable to insert a line" and the lines are left as they were.
inline void setRomPath(LineBuffer &lines, SettingsFile::Style style, const QByteArray &romPath)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    const int n = SettingsFile::targetLine(lines.lines(), style);
    QByteArray text = SettingsFile::romPathLine(style, romPath);
    if (n == 0 && n < lines.count() && lines.at(0).startsWith(utf8Bom))
        text.prepend(utf8Bom);
    lines.replace(n, text);
}

} // namespace SettingsOracle
