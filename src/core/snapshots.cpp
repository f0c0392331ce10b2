#include "snapshots.h"

#include "fileio.h"

#include <QFile>
#include <memory>
#include <zip.h>

namespace {

bool isNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// `$NAME` and `${NAME}` expanded; a '$' that starts no name stays as it is, as does an unclosed "${".
QByteArray expandVariables(const QByteArray &text, const std::function<QByteArray(QByteArrayView)> &environment)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] != '$') {
            out += text[i++];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '{') {
            const qsizetype close = text.indexOf('}', i + 2);
            if (close < 0) {
                out += text.mid(i);
                break;
            }
            out += environment(QByteArrayView(text).sliced(i + 2, close - i - 2));
            i = close + 1;
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() && isNameChar(text[end]))
            ++end;
        if (end == i + 1) {
            out += '$';
            ++i;
            continue;
        }
        out += environment(QByteArrayView(text).sliced(i + 1, end - i - 1));
        i = end;
    }
    return out;
}

QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

bool isPng(const QByteArray &name)
{
    return name.size() > 4 && name.right(4).toLower() == ".png";
}

// The newest PNG directly in `directory` (ties: the last name in byte order, as the emulator
// numbers its snapshots upwards); empty when there is none.
QByteArray newestPng(const QByteArray &directory)
{
    QByteArray best;
    qint64 bestTime = 0;
    for (const FileIO::Entry &e : FileIO::listEntries(directory, Snapshots::MaxFolderEntries)) {
        if (e.directory || !isPng(e.name))
            continue;
        if (best.isEmpty() || e.stamp.modifiedNs > bestTime || (e.stamp.modifiedNs == bestTime && e.name > best)) {
            best = e.name;
            bestTime = e.stamp.modifiedNs;
        }
    }
    return best.isEmpty() ? best : joined(directory, best);
}

struct ZipCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

ZipHandle openZip(const QByteArray &path)
{
    int error = 0;
    return ZipHandle(zip_open(path.constData(), ZIP_RDONLY, &error));
}

} // namespace

QByteArray Snapshots::processEnvironment(QByteArrayView name)
{
    return qgetenv(name.toByteArray().constData());
}

QList<QByteArray> Snapshots::folders(const QByteArray &snapshotDirectory, const QByteArray &workingDirectory,
                                     const std::function<QByteArray(QByteArrayView)> &environment)
{
    QList<QByteArray> out;
    for (const QByteArray &piece : snapshotDirectory.split(';')) {
        QByteArray path = expandVariables(piece.trimmed(), environment);
        if (path.startsWith('~') && (path.size() == 1 || path[1] == '/'))
            path = environment("HOME") + path.mid(1);
        if (path.isEmpty())
            continue;
        if (!path.startsWith('/'))
            path = workingDirectory.isEmpty() ? path : joined(workingDirectory, path);
        while (path.size() > 1 && path.endsWith('/'))
            path.chop(1);
        if (!out.contains(path))
            out.append(path);
    }
    return out;
}

bool Snapshots::isSafeName(QByteArrayView machine)
{
    return !machine.isEmpty() && machine.size() <= 255 && machine[0] != '.' && !machine.contains('/')
        && !machine.contains('\\') && !machine.contains('\0') && !machine.contains(QByteArrayView(".."));
}

std::optional<Snapshots::Picture> Snapshots::find(const QList<QByteArray> &folders, const QByteArray &machine)
{
    if (!isSafeName(machine))
        return std::nullopt;
    const QByteArray png = machine + ".png";
    for (const QByteArray &folder : folders) {
        if (const QByteArray file = joined(folder, png); FileIO::isFile(file))
            return Picture{file, {}};
        const QByteArray own = joined(folder, machine);
        if (FileIO::isDirectory(own)) {
            if (const QByteArray first = own + "/0000.png"; FileIO::isFile(first))
                return Picture{first, {}};
            if (const QByteArray newest = newestPng(own); !newest.isEmpty())
                return Picture{newest, {}};
        }
        const QByteArray zipPath = joined(folder, "snap.zip");
        if (!FileIO::isFile(zipPath))
            continue;
        if (const ZipHandle zip = openZip(zipPath); zip && zip_name_locate(zip.get(), png.constData(), ZIP_FL_ENC_RAW) >= 0)
            return Picture{zipPath, png};
    }
    return std::nullopt;
}

QByteArray Snapshots::read(const Picture &picture, qint64 limit)
{
    if (picture.entry.isEmpty())
        return FileIO::read(picture.file, limit).value_or(QByteArray());
    const ZipHandle zip = openZip(picture.file);
    if (!zip)
        return {};
    const zip_int64_t index = zip_name_locate(zip.get(), picture.entry.constData(), ZIP_FL_ENC_RAW);
    zip_stat_t st;
    zip_stat_init(&st);
    if (index < 0 || zip_stat_index(zip.get(), zip_uint64_t(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)
        || st.size > zip_uint64_t(limit))
        return {};
    zip_file_t *member = zip_fopen_index(zip.get(), zip_uint64_t(index), 0);
    if (!member)
        return {};
    QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t got = zip_fread(member, bytes.data(), st.size);
    zip_fclose(member);
    return got == zip_int64_t(st.size) ? bytes : QByteArray();
}

QString Snapshots::whereLooked(const QList<QByteArray> &folders, const QByteArray &machine)
{
    if (!isSafeName(machine))
        return QStringLiteral("No snapshot: \"%1\" cannot be a snapshot's name.").arg(QString::fromUtf8(machine.left(80)));
    if (folders.isEmpty())
        return QStringLiteral("No snapshot: the emulator names no snapshot folder.");
    QStringList where;
    for (const QByteArray &f : folders)
        where << QFile::decodeName(f);
    return QStringLiteral("No snapshot: looked for %1.png in %2").arg(QString::fromUtf8(machine), where.join(QStringLiteral(", ")));
}
