#include "titles.h"

#include "pathrules.h"

#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view view(QByteArrayView v)
{
    return {v.data(), size_t(v.size())};
}

} // namespace

Titles Titles::fromListFull(QByteArray output, int exitStatus)
{
    Titles titles;
    if (exitStatus != 0 || !output.startsWith("Name:"))
        return titles;
    titles.m_text = std::move(output);
    const char *p = titles.m_text.constData();
    const char *const end = p + titles.m_text.size();
    titles.m_titles.reserve(size_t(titles.m_text.size() / 48));
    // The header line first.
    p = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
    while (p && ++p < end) {
        const char *lineEnd = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *stop = lineEnd ? lineEnd : end;
        if (stop > p && stop[-1] == '\r')
            --stop;
        const char *name = p;
        while (p < stop && !isBlank(*p))
            ++p;
        const char *nameEnd = p;
        while (p < stop && isBlank(*p))
            ++p;
        const char *title = p, *titleEnd = stop;
        while (titleEnd > title && isBlank(titleEnd[-1]))
            --titleEnd;
        if (titleEnd > title && *title == '"')
            ++title;
        if (titleEnd > title && titleEnd[-1] == '"')
            --titleEnd;
        if (nameEnd > name)
            titles.m_titles.emplace(std::string_view(name, size_t(nameEnd - name)),
                                    std::string_view(title, size_t(titleEnd - title)));
        p = lineEnd;
    }
    return titles;
}

QByteArrayView Titles::title(QByteArrayView name) const
{
    const auto found = m_titles.find(view(name));
    return found == m_titles.end() ? QByteArrayView() : QByteArrayView(found->second.data(), qsizetype(found->second.size()));
}

QByteArrayView Titles::titleOfArchive(QByteArrayView archive) const
{
    if (m_titles.empty())
        return {};
    qsizetype dot = archive.size();
    while (dot > 0 && archive[dot - 1] != '.' && archive[dot - 1] != '/')
        --dot;
    const qsizetype length = dot > 0 && archive[dot - 1] == '.' ? dot - 1 : archive.size();
    // System names are lower case; archives copied from elsewhere may not be.
    char lowered[64];
    if (length <= 0 || length > qsizetype(sizeof lowered))
        return {};
    for (qsizetype i = 0; i < length; ++i)
        lowered[i] = PathRules::lowerAscii(archive[i]);
    return title(QByteArrayView(lowered, length));
}
