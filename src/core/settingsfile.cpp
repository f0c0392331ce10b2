#include "settingsfile.h"

#include "errors.h"
#include "fileio.h"
#include "pathrules.h"

#include <algorithm>
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
    bool endsInCrLf() const { return m_after - m_end == 2; }

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
    return (style == Style::Cfg ? QByteArrayLiteral("rompath = .;ROMS;") : QByteArrayLiteral("rompath ROMS;"))
        + romPath;
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
    // The same result as splitting the lines, setting the ROM path and joining them again, done
    // on the bytes in one walk over the lines: it finds the line the ROM path goes into and the
    // line ends that are not CR LF; everything between them is copied as it stands.
    struct End {
        qsizetype begin, end, after; // a line's start and end, and the start of the next line
    };
    std::vector<End> otherEnds;
    const int defaultTarget = defaultLine(style);
    qsizetype romPathBegin = -1, romPathAfter = 0;
    qsizetype defaultBegin = text.size(), defaultAfter = text.size();
    int count = 0;
    for (LineScanner lines(text); lines.next(); ++count) {
        if (isRomPathLine(lines.line())) {
            romPathBegin = lines.begin();
            romPathAfter = lines.after();
        }
        if (count == defaultTarget) {
            defaultBegin = lines.begin();
            defaultAfter = lines.after();
        }
        if (!lines.endsInCrLf())
            otherEnds.push_back({lines.begin(), lines.end(), lines.after()});
    }
    if (romPathBegin < 0 && count < defaultTarget)
        Errors::unableToInsert();
    if (romPath.contains('\n') || romPath.contains('\r'))
        Errors::lineBreak(romPath);

    // The line replaced: [begin, after); at the end of the text when the new line is appended.
    const qsizetype begin = romPathBegin >= 0 ? romPathBegin : defaultBegin;
    const qsizetype after = romPathBegin >= 0 ? romPathAfter : defaultAfter;
    const char *data = text.constData();
    QByteArray out;
    out.reserve(text.size() + qsizetype(otherEnds.size()) + romPath.size() + 24);
    qsizetype copied = 0; // the text before this is in `out`
    bool replaced = false;
    const auto replace = [&] {
        out.append(data + copied, begin - copied);
        if (begin == 0 && text.startsWith(Utf8Bom))
            out.append(Utf8Bom); // the first line keeps the file's byte-order mark
        out.append(romPathLine(style, romPath)).append("\r\n", 2);
        copied = after;
        replaced = true;
    };
    for (const End &e : otherEnds) {
        // An appended line waits for the last line's end, which can lie at the end of the text.
        if (!replaced && begin < text.size() && e.end >= begin)
            replace();
        if (e.begin == begin)
            continue; // the end of the replaced line
        out.append(data + copied, e.end - copied).append("\r\n", 2);
        copied = e.after;
    }
    if (!replaced)
        replace(); // the last line, or appended after the whole text
    out.append(data + copied, text.size() - copied);
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
    if (const FileIO::WriteResult written = FileIO::writeAtomically(path, text); !written)
        Errors::cannotCreate(path, written.error);
}

} // namespace SettingsFile
