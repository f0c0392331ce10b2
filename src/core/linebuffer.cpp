#include "linebuffer.h"

#include "errors.h"
#include "fileio.h"

const QByteArray &LineBuffer::at(int n) const
{
    if (n < 0 || n >= m_lines.size())
        Errors::indexOutOfBounds(n);
    return m_lines.at(n);
}

namespace {
void checkSingleLine(const QByteArray &text)
{
    if (text.contains('\n') || text.contains('\r'))
        Errors::lineBreak(text);
}
} // namespace

void LineBuffer::append(const QByteArray &text)
{
    checkSingleLine(text);
    m_lines.append(text);
}

void LineBuffer::replace(int n, const QByteArray &text)
{
    checkSingleLine(text);
    if (n < 0 || n > m_lines.size())
        Errors::unableToInsert();
    if (n < m_lines.size())
        m_lines[n] = text;
    else
        m_lines.append(text);
}

QList<QByteArray> LineBuffer::split(const QByteArray &text, Nul nul)
{
    qsizetype end = text.size();
    if (nul == Nul::EndsText) {
        const qsizetype zero = text.indexOf('\0');
        if (zero >= 0)
            end = zero;
    }
    QList<QByteArray> lines;
    const char *data = text.constData();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const char c = data[i];
        if (c == '\r' || c == '\n') {
            lines.append(QByteArray(data + start, i - start));
            if (c == '\r' && i + 1 < end && data[i + 1] == '\n')
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < end)
        lines.append(QByteArray(data + start, end - start));
    return lines;
}

QByteArray LineBuffer::join(const QList<QByteArray> &lines)
{
    qsizetype size = 0;
    for (const QByteArray &line : lines)
        size += line.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const QByteArray &line : lines) {
        out.append(line);
        out.append("\r\n", 2);
    }
    return out;
}

void LineBuffer::load(const QByteArray &path, Nul nul)
{
    const std::optional<QByteArray> content = FileIO::read(path);
    if (!content)
        Errors::cannotOpen(path);
    m_lines = split(*content, nul);
}

void LineBuffer::save(const QByteArray &path) const
{
    if (const FileIO::WriteResult written = FileIO::writeAtomically(path, join(m_lines)); !written)
        Errors::cannotCreate(path, written.error);
}
