#include "romfolder.h"

#include <QString>
#include <QtEndian>
#include <cstring>
#include <algorithm>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A folder with fewer entries is stat'ed on one thread; a larger one on two, each half of it.
constexpr size_t SplitAt = 4096;

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

QByteArray lower(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = lowerAscii(bytes[i]);
    return out;
}

bool endsIgnoringCase(QByteArrayView name, QByteArrayView suffix)
{
    if (name.size() <= suffix.size())
        return false;
    for (qsizetype i = 0; i < suffix.size(); ++i)
        if (lowerAscii(name[name.size() - suffix.size() + i]) != suffix[i])
            return false;
    return true;
}

// One entry of the folder that may be a set, stat'ed: a directory, a .zip or a .7z.
struct Listed {
    QByteArray file;
    RomFolder::Kind kind = RomFolder::Kind::Directory;
    bool keep = false;
    FileIO::Stamp stamp;
};

void statAll(int dirFd, Listed *begin, Listed *end)
{
    for (Listed *l = begin; l != end; ++l) {
        struct stat st;
        if (::fstatat(dirFd, l->file.constData(), &st, 0) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            l->kind = RomFolder::Kind::Directory;
        else if (S_ISREG(st.st_mode) && endsIgnoringCase(l->file, ".zip"))
            l->kind = RomFolder::Kind::Zip;
        else if (S_ISREG(st.st_mode) && endsIgnoringCase(l->file, ".7z"))
            l->kind = RomFolder::Kind::SevenZip;
        else
            continue;
        l->keep = true;
        l->stamp = {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
}

// The entries of `folder` that may be sets (their names, then one stat each, the folder open
// once), at most `limit` of them; `*cut` when there were more.
std::vector<Listed> listSets(const QByteArray &folder, int limit, bool *cut)
{
    std::vector<Listed> listed;
    *cut = false;
    if (folder.isEmpty() || folder.indexOf('\0') >= 0)
        return listed;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return listed;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.')
            continue;
        // A plain file is a set only by its ending; anything else may be a directory or a link to one.
        const QByteArrayView view(name);
        if (entry->d_type == DT_REG && !endsIgnoringCase(view, ".zip") && !endsIgnoringCase(view, ".7z"))
            continue;
        if (entry->d_type != DT_REG && entry->d_type != DT_DIR && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
            continue;
        if (listed.size() >= size_t(limit)) {
            *cut = true;
            break;
        }
        listed.push_back({QByteArray(view.data(), view.size()), RomFolder::Kind::Directory, false, {}});
    }
    const int dirFd = ::dirfd(dir);
    Listed *first = listed.data(), *last = listed.data() + listed.size();
    if (listed.size() < SplitAt) {
        statAll(dirFd, first, last);
    } else {
        // The stats are most of a large folder's time: half of them on a second thread.
        Listed *middle = first + listed.size() / 2;
        std::optional<std::thread> other;
        try {
            other.emplace(statAll, dirFd, middle, last);
        } catch (const std::system_error &) {
            statAll(dirFd, middle, last);
        }
        statAll(dirFd, first, middle);
        if (other)
            other->join();
    }
    ::closedir(dir);
    return listed;
}

} // namespace

RomFolder RomFolder::scan(const QByteArray &folder)
{
    RomFolder result;
    result.m_path = folder;
    while (result.m_path.size() > 1 && result.m_path.endsWith('/'))
        result.m_path.chop(1);
    result.m_readable = FileIO::isDirectory(folder);
    std::vector<Listed> listed = listSets(result.m_path, MaxEntries, &result.m_cut);
    struct Named {
        QByteArray name;
        Source source;
    };
    std::vector<Named> named;
    named.reserve(listed.size());
    for (Listed &l : listed) {
        if (!l.keep)
            continue;
        const qsizetype suffix = l.kind == Kind::Zip ? 4 : l.kind == Kind::SevenZip ? 3 : 0;
        named.push_back({lower(QByteArrayView(l.file).chopped(suffix)), {l.kind, std::move(l.file), l.stamp}});
    }
    listed = {};
    // By name, then in the emulator's order of looking; a name spelt in two cases keeps both.
    // Sorted by the names' first 16 bytes held beside each other, the whole names looked at only
    // when those are alike: the names themselves lie all over the heap.
    struct Key {
        quint64 head[2];
        quint32 index;
    };
    std::vector<Key> keys(named.size());
    for (size_t i = 0; i < named.size(); ++i) {
        unsigned char b[16] = {};
        std::memcpy(b, named[i].name.constData(), size_t(std::min<qsizetype>(named[i].name.size(), 16)));
        keys[i] = {{qFromBigEndian<quint64>(b), qFromBigEndian<quint64>(b + 8)}, quint32(i)};
    }
    std::sort(keys.begin(), keys.end(), [&](const Key &x, const Key &y) {
        if (x.head[0] != y.head[0])
            return x.head[0] < y.head[0];
        if (x.head[1] != y.head[1])
            return x.head[1] < y.head[1];
        const Named &a = named[x.index], &b = named[y.index];
        if (const int order = a.name.compare(b.name))
            return order < 0;
        if (a.source.kind != b.source.kind)
            return a.source.kind < b.source.kind;
        return a.source.file < b.source.file;
    });
    result.m_sets.reserve(qsizetype(named.size()));
    for (const Key &key : keys) {
        Named &n = named[key.index];
        if (result.m_sets.isEmpty() || result.m_sets.last().name != n.name)
            result.m_sets.append({std::move(n.name), {}});
        result.m_sets.last().sources.append(std::move(n.source));
    }
    return result;
}

const RomFolder::Set *RomFolder::find(QByteArrayView name) const
{
    const auto it = std::lower_bound(m_sets.begin(), m_sets.end(), name,
                                     [](const Set &set, QByteArrayView n) { return QByteArrayView(set.name) < n; });
    return it != m_sets.end() && QByteArrayView(it->name) == name ? &*it : nullptr;
}

QString RomFolder::kindText(Kind kind)
{
    switch (kind) {
    case Kind::Directory: return QStringLiteral("directory");
    case Kind::Zip: return QStringLiteral("zip");
    case Kind::SevenZip: return QStringLiteral("7z");
    }
    return QString();
}
