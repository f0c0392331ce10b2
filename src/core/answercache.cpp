#include "answercache.h"

namespace AnswerCache {

namespace {

const QByteArray Magic = "trelvo-answer 2\n";

QByteArray stampText(const std::optional<FileIO::Stamp> &stamp)
{
    if (!stamp)
        return "-";
    return QByteArray::number(stamp->size) + ' ' + QByteArray::number(stamp->modifiedNs);
}

bool parseStamp(const QByteArray &text, std::optional<FileIO::Stamp> *stamp)
{
    if (text == "-") {
        stamp->reset();
        return true;
    }
    const QList<QByteArray> parts = text.split(' ');
    bool ok1 = false, ok2 = false;
    if (parts.size() == 2)
        *stamp = FileIO::Stamp{parts[0].toLongLong(&ok1), parts[1].toLongLong(&ok2)};
    return ok1 && ok2;
}

// Reads "key rest\n" at `pos`; false when the line is not there.
bool takeLine(const QByteArray &bytes, qsizetype &pos, const char *key, QByteArray *rest)
{
    const qsizetype end = bytes.indexOf('\n', pos);
    if (end < 0)
        return false;
    const QByteArray line = bytes.mid(pos, end - pos);
    const QByteArray prefix = QByteArray(key) + ' ';
    if (!line.startsWith(prefix))
        return false;
    *rest = line.mid(prefix.size());
    pos = end + 1;
    return true;
}

} // namespace

bool Entry::isCurrent() const
{
    if (FileIO::stamp(program) != std::optional<FileIO::Stamp>(programStamp))
        return false;
    for (const File &f : files)
        if (FileIO::stamp(f.path) != f.stamp)
            return false;
    return true;
}

QList<File> stamped(const QList<QByteArray> &paths)
{
    QList<File> files;
    for (const QByteArray &path : paths)
        files.append({path, FileIO::stamp(path)});
    return files;
}

QByteArray serialize(const Entry &entry)
{
    QByteArray out = Magic;
    out += "program " + entry.program.toHex() + '\n';
    out += "stamp " + stampText(entry.programStamp) + '\n';
    for (const File &f : entry.files)
        out += "file " + f.path.toHex() + ' ' + stampText(f.stamp) + '\n';
    out += "version " + entry.version.toHex() + '\n';
    out += "status " + QByteArray::number(entry.status) + '\n';
    out += "output " + QByteArray::number(entry.output.size()) + '\n';
    out += entry.output;
    return out;
}

std::optional<Entry> parse(const QByteArray &bytes)
{
    if (!bytes.startsWith(Magic))
        return std::nullopt;
    qsizetype pos = Magic.size();
    Entry entry;
    QByteArray text;
    std::optional<FileIO::Stamp> stamp;
    if (!takeLine(bytes, pos, "program", &text))
        return std::nullopt;
    entry.program = QByteArray::fromHex(text);
    if (!takeLine(bytes, pos, "stamp", &text) || !parseStamp(text, &stamp) || !stamp)
        return std::nullopt;
    entry.programStamp = *stamp;
    while (takeLine(bytes, pos, "file", &text)) {
        const qsizetype blank = text.indexOf(' ');
        if (blank < 0 || !parseStamp(text.mid(blank + 1), &stamp))
            return std::nullopt;
        entry.files.append({QByteArray::fromHex(text.left(blank)), stamp});
    }
    bool ok = false;
    if (!takeLine(bytes, pos, "version", &text))
        return std::nullopt;
    entry.version = QByteArray::fromHex(text);
    if (!takeLine(bytes, pos, "status", &text))
        return std::nullopt;
    entry.status = text.toInt(&ok);
    if (!ok || !takeLine(bytes, pos, "output", &text))
        return std::nullopt;
    const qsizetype length = text.toLongLong(&ok);
    if (!ok || length < 0 || bytes.size() - pos != length)
        return std::nullopt;
    entry.output = bytes.mid(pos);
    return entry;
}

} // namespace AnswerCache
