#include "settingsfile.h"

#include "errors.h"
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

bool isRomPathLine(QByteArrayView line)
{
    qsizetype i = line.startsWith(Utf8Bom) ? Utf8Bom.size() : 0;
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    if (line.size() - i < Key.size() || line.sliced(i, Key.size()) != QByteArrayView(Key))
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

QByteArray rewritten(const QByteArray &text, Style style, const QByteArray &romPath)
{
    // The same result as splitting the lines, setting the ROM path and joining them again, done
    // on the bytes: the file's lines are spans of its text, copied once into the new text.
    struct Span {
        qsizetype begin, end;
    };
    QList<Span> spans;
    spans.reserve(text.count('\n') + 1);
    const char *data = text.constData();
    qsizetype start = 0, i = 0;
    while (i < text.size()) {
        if (data[i] == '\r' || data[i] == '\n') {
            spans.append({start, i});
            if (data[i] == '\r' && i + 1 < text.size() && data[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        spans.append({start, text.size()});

    int target = defaultLine(style);
    for (qsizetype n = spans.size() - 1; n >= 0; --n) {
        if (isRomPathLine(QByteArrayView(data + spans[n].begin, spans[n].end - spans[n].begin))) {
            target = int(n);
            break;
        }
    }
    if (target > spans.size())
        Errors::unableToInsert();

    if (romPath.contains('\n') || romPath.contains('\r'))
        Errors::lineBreak(romPath);
    QByteArray line = romPathLine(style, romPath);
    QByteArray out;
    out.reserve(text.size() + line.size() + 2 * spans.size() + 5);
    for (qsizetype n = 0; n < spans.size(); ++n) {
        const QByteArrayView current(data + spans[n].begin, spans[n].end - spans[n].begin);
        if (n == target) {
            if (n == 0 && current.startsWith(Utf8Bom))
                out.append(Utf8Bom); // the first line keeps the file's byte-order mark
            out.append(line);
        } else {
            out.append(current);
        }
        out.append("\r\n", 2);
    }
    if (target == spans.size())
        out.append(line).append("\r\n", 2);
    return out;
}

void rewrite(const QByteArray &path, Style style, const QByteArray &romPath)
{
    const std::optional<QByteArray> content = FileIO::read(path);
    if (!content)
        Errors::cannotOpen(path);
    const QByteArray text = rewritten(*content, style, romPath);
    // A file that already reads so is left alone: running the same configuration again writes
    // nothing, keeps the file's time, and works where the file cannot be written.
    if (text == *content)
        return;
    if (!FileIO::writeAtomically(path, text))
        Errors::cannotCreate(path);
}

} // namespace SettingsFile
