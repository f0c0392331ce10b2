#include "settingsfile.h"

#include "errors.h"
#include "fileio.h"
#include "pathrules.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace SettingsFile {

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Key("rompath");

// Walks the lines of a text: each ends at CR LF, a lone CR, a lone LF or the end of the text.
class LineScanner {
public:
    explicit LineScanner(const QByteArray &text)
        : m_data(text.constData()), m_size(text.size())
    {
    }
    // Moves to the next line; false after the last one.
    bool next()
    {
        if (m_after >= m_size)
            return false;
        m_begin = m_after;
        m_end = std::min(find('\r', m_cr), find('\n', m_lf));
        m_after = m_end;
        if (m_end < m_size)
            m_after += m_data[m_end] == '\r' && m_end + 1 < m_size && m_data[m_end + 1] == '\n' ? 2 : 1;
        return true;
    }
    qsizetype begin() const { return m_begin; }
    qsizetype end() const { return m_end; }
    qsizetype after() const { return m_after; } // the start of the next line
    QByteArrayView line() const { return QByteArrayView(m_data + m_begin, m_end - m_begin); }

private:
    // The first `c` at or after the line's start, remembered until the walk passes it.
    qsizetype find(char c, qsizetype &cached)
    {
        if (cached < m_begin) {
            const void *hit = std::memchr(m_data + m_begin, c, size_t(m_size - m_begin));
            cached = hit ? static_cast<const char *>(hit) - m_data : m_size;
        }
        return cached;
    }

    const char *m_data;
    qsizetype m_size;
    qsizetype m_begin = 0, m_end = 0, m_after = 0;
    qsizetype m_cr = -1, m_lf = -1;
};

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
    QByteArray value = (style == Style::Cfg ? QByteArrayLiteral(".;ROMS;") : QByteArrayLiteral("ROMS;")) + romPath;
    // The emulator reads "#" as the start of a comment and drops blanks at a value's ends, unless
    // the value stands in double quotes.
    if (value.contains('#') || (!romPath.isEmpty() && (isBlank(romPath.front()) || isBlank(romPath.back()))))
        value = '"' + value + '"';
    return (style == Style::Cfg ? QByteArrayLiteral("rompath = ") : QByteArrayLiteral("rompath ")) + value;
}

void checkRomPath(const QByteArray &romPath)
{
    if (romPath.contains('\n') || romPath.contains('\r'))
        Errors::lineBreak(romPath);
    for (qsizetype i = 0; i < romPath.size(); ++i) {
        const char c = romPath.at(i);
        const char next = i + 1 < romPath.size() ? romPath.at(i + 1) : '\0';
        const bool variable = c == '$' && (std::isalnum(static_cast<unsigned char>(next)) || next == '_' || next == '{');
        if (c == ';')
            Errors::romFolder(romPath, QStringLiteral("\";\", which the emulator reads as the end of one folder"));
        if (c == '"')
            Errors::romFolder(romPath, QStringLiteral("a double quote (\"), which the emulator reads as the end of the value"));
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            Errors::romFolder(romPath, QStringLiteral("a control character (0x%1)")
                                           .arg(int(static_cast<unsigned char>(c)), 2, 16, QLatin1Char('0')));
        if (variable)
            Errors::romFolder(romPath, QStringLiteral("\"$%1\", which the emulator expands as a variable")
                                           .arg(QLatin1Char(next)));
    }
}

bool isRomPathLine(QByteArrayView line)
{
    qsizetype i = 0;
    if (line.size() >= Utf8Bom.size() && std::memcmp(line.data(), Utf8Bom.constData(), size_t(Utf8Bom.size())) == 0)
        i = Utf8Bom.size();
    while (i < line.size() && isBlank(line.at(i)))
        ++i;
    // Most lines fail at their first letter: no call is made for them.
    if (line.size() - i < Key.size() || line.at(i) != Key.front()
        || std::memcmp(line.data() + i, Key.constData(), size_t(Key.size())) != 0)
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

QByteArray rewritten(const QByteArray &text, Style style, const QByteArray &romPath)
{
    // One walk over the lines finds the line the ROM path goes into; every other byte is copied
    // as it stands, line ends included.
    struct Line {
        qsizetype begin = -1, end = 0;
    };
    Line romPathLine_, defaultLine_;
    const int defaultTarget = defaultLine(style);
    QByteArray firstEnd;
    bool lastEnded = true; // whether the text's last line has a line end
    int count = 0;
    for (LineScanner lines(text); lines.next(); ++count) {
        if (isRomPathLine(lines.line()))
            romPathLine_ = {lines.begin(), lines.end()};
        if (count == defaultTarget)
            defaultLine_ = {lines.begin(), lines.end()};
        if (firstEnd.isEmpty() && lines.after() > lines.end())
            firstEnd = text.mid(lines.end(), lines.after() - lines.end());
        lastEnded = lines.after() > lines.end();
    }
    if (romPathLine_.begin < 0 && count < defaultTarget)
        Errors::unableToInsert();
    checkRomPath(romPath);

    const Line target = romPathLine_.begin >= 0 ? romPathLine_ : defaultLine_;
    const QByteArray line = romPathLine(style, romPath);
    QByteArray out;
    out.reserve(text.size() + line.size() + 8);
    if (target.begin >= 0) {
        // The line is replaced; its line end stays.
        out.append(text.constData(), target.begin);
        if (target.begin == 0 && text.startsWith(Utf8Bom))
            out.append(Utf8Bom); // the first line keeps the file's byte-order mark
        out.append(line).append(text.constData() + target.end, text.size() - target.end);
        return out;
    }
    // Appended after the last line, with the file's own line end (LF in a file that has none).
    if (firstEnd.isEmpty())
        firstEnd = "\n";
    out.append(text);
    if (!lastEnded)
        out.append(firstEnd);
    return out.append(line).append(firstEnd);
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
    if (const FileIO::WriteResult written = FileIO::writeAtomically(path, text); !written)
        Errors::cannotCreate(path, written.error);
}

} // namespace SettingsFile
