#include "usage.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

} // namespace

Usage Usage::fromShowUsage(const QByteArray &output)
{
    Usage u;
    // A heading stands between two "#" lines; an option line starts with "-" and a letter.
    bool afterHash = false;
    qsizetype at = 0;
    while (at < output.size() && u.m_options.size() < MaxOptions) {
        qsizetype end = output.indexOf('\n', at);
        if (end < 0)
            end = output.size();
        const QByteArray line = output.mid(at, qMin<qsizetype>(end - at, MaxLineBytes)).trimmed();
        at = end + 1;
        if (line.startsWith('#')) {
            const QByteArray title = line.mid(1).trimmed();
            if (afterHash && !title.isEmpty()) {
                u.m_headings << title;
                afterHash = false;
            } else {
                afterHash = title.isEmpty();
            }
            continue;
        }
        afterHash = false;
        if (line.size() < 2 || line[0] != '-' || !std::isalpha(static_cast<unsigned char>(line[1])))
            continue;
        qsizetype nameEnd = 1;
        while (nameEnd < line.size() && !isBlank(line[nameEnd]))
            ++nameEnd;
        QByteArray name = line.mid(1, nameEnd - 1);
        if (u.m_index.contains(name))
            continue;
        if (u.m_headings.isEmpty())
            u.m_headings << QByteArray("OPTIONS");
        u.m_index.insert(name, int(u.m_options.size()));
        u.m_options.append({name, line.mid(nameEnd).trimmed(), int(u.m_headings.size() - 1)});
    }
    if (u.m_options.isEmpty())
        return {};
    return u;
}

const Usage::Option *Usage::option(QByteArrayView name) const
{
    const auto it = m_index.constFind(name.toByteArray());
    return it == m_index.constEnd() ? nullptr : &m_options.at(*it);
}

namespace {

// "a, b or c", "a|b|c": two or more words of letters, digits, "_" and "-", and nothing else.
bool isWordList(QByteArray text)
{
    text.replace(" or ", ",").replace('|', ',');
    const QList<QByteArray> words = text.split(',');
    if (words.size() < 2)
        return false;
    for (const QByteArray &w : words) {
        const QByteArray word = w.trimmed();
        if (word.isEmpty() || !std::isalpha(static_cast<unsigned char>(word[0])))
            return false;
        for (const char c : word)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-')
                return false;
    }
    return true;
}

} // namespace

bool Usage::offersChoice(QByteArrayView description)
{
    const QByteArray d = description.toByteArray();
    const qsizetype open = d.indexOf('(');
    const qsizetype close = open < 0 ? -1 : d.indexOf(')', open);
    if (close > open && isWordList(d.mid(open + 1, close - open - 1)))
        return true;
    const qsizetype colon = d.lastIndexOf(": ");
    return colon >= 0 && isWordList(d.mid(colon + 2));
}
