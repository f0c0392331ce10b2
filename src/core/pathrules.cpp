#include "pathrules.h"

#include "fileio.h"

namespace PathRules {

namespace {

bool isDelimiter(char c, Style style)
{
    return style == Style::Windows ? (c == '\\' || c == ':') : c == '/';
}

bool isSeparator(char c, Style style)
{
    return style == Style::Windows ? c == '\\' : c == '/';
}

// Index of the last separator (or drive colon), -1 when there is none.
qsizetype lastDelimiter(const QByteArray &path, Style style)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (isDelimiter(path.at(i), style))
            return i;
    return -1;
}

} // namespace

QByteArray directoryPart(const QByteArray &path, Style style)
{
    qsizetype i = lastDelimiter(path, style);
    if (i < 0)
        return {};
    // Drop the trailing separator unless it is the root's: the first character, or one that
    // follows a drive colon or another separator.
    if (i > 0 && isSeparator(path.at(i), style) && !isDelimiter(path.at(i - 1), style))
        return path.left(i);
    return path.left(i + 1);
}

QByteArray namePart(const QByteArray &path, Style style)
{
    return path.mid(lastDelimiter(path, style) + 1);
}

QByteArray withoutExtension(const QByteArray &path, Style style)
{
    const qsizetype dot = path.lastIndexOf('.');
    if (dot < 0 || dot < lastDelimiter(path, style))
        return path;
    return path.left(dot);
}

QByteArray extension(const QByteArray &path, Style style)
{
    return path.mid(withoutExtension(path, style).size());
}

QByteArray join(const QByteArray &directory, const QByteArray &name, Style style)
{
    if (!directory.isEmpty() && isDelimiter(directory.back(), style))
        return directory + name;
    const char sep = style == Style::Windows ? '\\' : '/';
    return directory + sep + name;
}

QByteArray shortForm(const QByteArray &path)
{
    return FileIO::exists(path) ? path : QByteArray();
}

} // namespace PathRules
