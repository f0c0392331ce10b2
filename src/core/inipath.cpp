#include "inipath.h"

#include "fileio.h"
#include "pathrules.h"

namespace IniPath {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Removes "." segments, empty segments and ".." with what precedes it, textually.
QByteArray normalised(const QByteArray &path)
{
    QList<QByteArray> out;
    for (const QByteArray &segment : path.split('/')) {
        if (segment.isEmpty() || segment == ".")
            continue;
        if (segment == ".." && !out.isEmpty() && out.last() != "..")
            out.removeLast();
        else
            out.append(segment);
    }
    return (path.startsWith('/') ? "/" : "") + out.join('/');
}

bool isUnder(const QByteArray &path, const QByteArray &directory)
{
    if (directory.isEmpty())
        return false;
    const QByteArray p = normalised(path), d = normalised(directory);
    return p == d || p.startsWith(d.endsWith('/') ? d : d + '/');
}

} // namespace

std::optional<QByteArray> parse(const QByteArray &showconfigOutput)
{
    for (const QByteArray &line : showconfigOutput.split('\n')) {
        if (!line.startsWith("inipath") || line.size() == 7 || !isBlank(line.at(7)))
            continue;
        return line.mid(7).trimmed();
    }
    return std::nullopt;
}

QList<QByteArray> directories(const QByteArray &inipath, const QByteArray &emulatorDirectory,
                              const QByteArray &home)
{
    QList<QByteArray> out;
    for (QByteArray entry : inipath.split(';')) {
        entry = entry.trimmed();
        if (entry.size() >= 2 && entry.startsWith('"') && entry.endsWith('"'))
            entry = entry.mid(1, entry.size() - 2);
        if (entry.isEmpty())
            continue;
        entry.replace("$HOME", home);
        if (entry == "~" || entry.startsWith("~/"))
            entry = home + entry.mid(1);
        if (!entry.startsWith('/'))
            entry = PathRules::join(emulatorDirectory.isEmpty() ? QByteArray(".") : emulatorDirectory, entry);
        out.append(normalised(entry));
    }
    return out;
}

QByteArray location(const QList<QByteArray> &directories, const QByteArray &emulatorDirectory,
                    const QByteArray &home)
{
    auto ours = [&](const QByteArray &d) { return isUnder(d, home) || isUnder(d, emulatorDirectory); };
    for (const QByteArray &d : directories) {
        if (FileIO::isFile(PathRules::join(d, "mame.ini"))) {
            if (ours(d))
                return d;
            break;
        }
    }
    for (const QByteArray &d : directories)
        if (ours(d))
            return d;
    return emulatorDirectory;
}

} // namespace IniPath
