#include "vocabulary.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isOnOff(const QByteArray &value)
{
    return value == "0" || value == "1";
}

} // namespace

Vocabulary Vocabulary::fromShowConfig(const QByteArray &output, int exitStatus)
{
    Vocabulary v;
    bool rompath = false;
    for (QByteArray line : output.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        qsizetype start = 0;
        while (start < line.size() && isBlank(line.at(start)))
            ++start;
        if (start == line.size() || line.at(start) == '#')
            continue;
        qsizetype end = start;
        while (end < line.size() && !isBlank(line.at(end)))
            ++end;
        const QByteArray name = line.mid(start, end - start);
        // The first line of a name counts, as the emulator reads its own settings.
        if (!v.m_values.contains(name)) {
            const QByteArray value = unquoted(QByteArrayView(line).sliced(end));
            if (isOnOff(value))
                v.m_candidates << name;
            v.m_values.insert(name, value);
        }
        // A bare "rompath" is a word of some other text, not a listed option.
        if (name == "rompath" && end < line.size())
            rompath = true;
    }
    v.m_known = exitStatus == 0 && rompath;
    return v;
}

bool Vocabulary::takes(QByteArrayView word) const
{
    if (!m_known)
        return true;
    if (word.size() < 2 || word.front() != '-')
        return false;
    const QByteArrayView name = word.sliced(1);
    if (m_values.contains(name.toByteArray()))
        return true;
    return name.startsWith("no") && isSwitch(name.sliced(2));
}

void Vocabulary::setSwitches(const QByteArray &names)
{
    m_switches.clear();
    for (const QByteArray &name : names.split('\n'))
        if (!name.isEmpty())
            m_switches.insert(name);
    m_switchesKnown = true;
}

bool Vocabulary::isSwitch(QByteArrayView name) const
{
    if (m_switchesKnown) {
        const QByteArray key = name.toByteArray();
        return m_switches.contains(key) && m_values.contains(key);
    }
    const auto it = m_values.constFind(name.toByteArray());
    return it != m_values.constEnd() && isOnOff(*it);
}

std::optional<QByteArray> Vocabulary::value(QByteArrayView name) const
{
    const auto it = m_values.constFind(name.toByteArray());
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

QByteArray Vocabulary::unquoted(QByteArrayView text)
{
    text = text.trimmed();
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.sliced(1, text.size() - 2);
    return text.toByteArray();
}
