#include "inipath.h"

#include "fileio.h"
#include "pathrules.h"
#include "vocabulary.h"

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
        return Vocabulary::unquoted(line.mid(7));
    }
    return std::nullopt;
}

std::optional<QByteArray> valueIn(const QByteArray &iniText, const QByteArray &name)
{
    std::optional<QByteArray> value;
    for (QByteArray line : iniText.split('\n')) {
        line = line.trimmed();
        if (!line.startsWith(name) || line.size() == name.size() || !isBlank(line.at(name.size())))
            continue;
        QByteArray rest = line.mid(name.size()).trimmed();
        if (rest.startsWith('"')) {
            const qsizetype close = rest.indexOf('"', 1);
            rest = close < 0 ? rest.mid(1) : rest.mid(1, close - 1);
        } else if (const qsizetype comment = rest.indexOf('#'); comment >= 0) {
            rest = rest.left(comment).trimmed();
        }
        value = rest;
    }
    return value;
}

QList<QByteArray> directories(const QByteArray &inipath, const QByteArray &emulatorDirectory,
                              const QByteArray &home)
{
    QList<QByteArray> out;
    for (QByteArray entry : Vocabulary::unquoted(inipath).split(';')) {
        entry = entry.trimmed();
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

Reading reading(const QByteArray &builtInInipath, const QByteArray &emulatorDirectory, const QByteArray &home)
{
    // A mame.ini larger than this is no settings file the emulator wrote.
    constexpr qint64 IniLimit = 16 << 20;
    Reading r;
    QByteArray inipath = builtInInipath;
    bool found = false;
    for (const QByteArray &d : directories(builtInInipath, emulatorDirectory, home)) {
        const QByteArray file = PathRules::join(d, "mame.ini");
        r.files.append(file);
        if (found || !FileIO::isFile(file))
            continue;
        found = true;
        if (const std::optional<QByteArray> text = FileIO::read(file, IniLimit))
            inipath = valueIn(*text, "inipath").value_or(inipath);
    }
    r.searched = directories(inipath, emulatorDirectory, home);
    for (const QByteArray &d : r.searched) {
        const QByteArray file = PathRules::join(d, "mame.ini");
        if (!r.files.contains(file))
            r.files.append(file);
    }
    return r;
}

Place place(const QList<QByteArray> &directories, const QByteArray &emulatorDirectory, const QByteArray &home)
{
    auto ours = [&](const QByteArray &d) { return isUnder(d, home) || isUnder(d, emulatorDirectory); };
    QByteArray firstOurs;
    for (const QByteArray &d : directories) {
        if (FileIO::isFile(PathRules::join(d, "mame.ini"))) {
            if (ours(d))
                return {Place::Kind::Existing, d};
            break; // a system file: read unless a file of ours comes before it
        }
        if (firstOurs.isEmpty() && ours(d))
            firstOurs = d;
    }
    if (!firstOurs.isEmpty())
        return {Place::Kind::Create, firstOurs};
    return {Place::Kind::CommandLine, home};
}

} // namespace IniPath
