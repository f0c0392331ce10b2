#include "settingsfile.h"

#include "fileio.h"
#include "pathrules.h"

namespace SettingsFile {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Key("rompath");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

QByteArray fileName(Style style)
{
    return style == Style::Cfg ? QByteArrayLiteral("mame.cfg") : QByteArrayLiteral("mame.ini");
}

QByteArray path(const QByteArray &emulatorDirectory, Style style)
{
    if (emulatorDirectory.isEmpty())
        return fileName(style); // no directory: the current one
    return PathRules::join(emulatorDirectory, fileName(style));
}

Style styleIn(const QByteArray &emulatorDirectory)
{
    return FileIO::isFile(path(emulatorDirectory, Style::Cfg)) ? Style::Cfg : Style::Ini;
}

int defaultLine(Style style)
{
    return style == Style::Cfg ? 11 : 6;
}

QByteArray romPathLine(Style style, const QByteArray &romPath)
{
    return (style == Style::Cfg ? QByteArrayLiteral("rompath = .;ROMS;") : QByteArrayLiteral("rompath ROMS;"))
        + romPath;
}

bool isRomPathLine(const QByteArray &line)
{
    qsizetype i = line.startsWith(Utf8Bom) ? Utf8Bom.size() : 0;
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    if (line.mid(i, Key.size()) != Key)
        return false;
    i += Key.size();
    return i < line.size() && (isBlank(line.at(i)) || line.at(i) == '=');
}

int targetLine(const QList<QByteArray> &lines, Style style)
{
    for (qsizetype n = lines.size() - 1; n >= 0; --n)
        if (isRomPathLine(lines.at(n)))
            return int(n);
    return defaultLine(style);
}

void setRomPath(LineBuffer &lines, Style style, const QByteArray &romPath)
{
    const int n = targetLine(lines.lines(), style);
    QByteArray text = romPathLine(style, romPath);
    // The first line keeps the file's byte-order mark.
    if (n == 0 && n < lines.count() && lines.at(0).startsWith(Utf8Bom))
        text.prepend(Utf8Bom);
    lines.replace(n, text);
}

void load(LineBuffer &lines, const QByteArray &path)
{
    lines.load(path, LineBuffer::Nul::Kept);
}

void rewrite(LineBuffer &lines, const QByteArray &path, Style style, const QByteArray &romPath)
{
    load(lines, path);
    setRomPath(lines, style, romPath);
    lines.save(path);
}

} // namespace SettingsFile
