#include "romfolder.h"

#include "halves.h"
#include "pathrules.h"

#include <QString>
#include <QtEndian>
#include <cstring>
#include <algorithm>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A folder with fewer entries is stat'ed, and its sets made, on one thread; a larger one on two,
// each half of it.
constexpr size_t SplitAt = 1024;

using PathRules::lowerAscii;

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

// The entries of a folder that may be sets: their names one after another in `names` (each
// ended by a NUL, for the stats), then each entry's place there and what its stat found.
struct Listing {
    struct Entry {
        quint32 at;
        quint32 size;
        RomFolder::Kind kind;
        bool keep;
        FileIO::Stamp stamp;
    };
    std::vector<char> names;
    std::vector<Entry> entries;

    QByteArrayView nameOf(const Entry &e) const { return QByteArrayView(names.data() + e.at, e.size); }
};

void statAll(int dirFd, Listing *listing, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i) {
        Listing::Entry &e = listing->entries[i];
        const QByteArrayView file = listing->nameOf(e);
        struct stat st;
        if (::fstatat(dirFd, file.data(), &st, 0) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            e.kind = RomFolder::Kind::Directory;
        else if (S_ISREG(st.st_mode) && endsIgnoringCase(file, ".zip"))
            e.kind = RomFolder::Kind::Zip;
        else if (S_ISREG(st.st_mode) && endsIgnoringCase(file, ".7z"))
            e.kind = RomFolder::Kind::SevenZip;
        else
            continue;
        e.keep = true;
        e.stamp = FileIO::stampOf(st);
    }
}

// The entries of `folder` that may be sets (their names, then one stat each, the folder open
// once), at most `limit` of them; `*cut` when there were more.
Listing listSets(const QByteArray &folder, int limit, bool *cut)
{
    Listing listing;
    *cut = false;
    if (folder.isEmpty() || folder.indexOf('\0') >= 0)
        return listing;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return listing;
    listing.names.reserve(1 << 16);
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
        if (listing.entries.size() >= size_t(limit)) {
            *cut = true;
            break;
        }
        const size_t at = listing.names.size();
        listing.names.insert(listing.names.end(), name, name + view.size() + 1);
        listing.entries.push_back({quint32(at), quint32(view.size()), RomFolder::Kind::Directory, false, {}});
    }
    const int dirFd = ::dirfd(dir);
    // The stats are most of a large folder's time.
    Halves::run(listing.entries.size(), SplitAt, [&](size_t from, size_t to) { statAll(dirFd, &listing, from, to); });
    ::closedir(dir);
    return listing;
}

// Compares the names in lower case, as unsigned bytes.
int compareLowered(QByteArrayView a, QByteArrayView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const uchar x = uchar(lowerAscii(a[i])), y = uchar(lowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace

RomFolder RomFolder::scan(const QByteArray &folder)
{
    RomFolder result;
    result.m_path = folder;
    while (result.m_path.size() > 1 && result.m_path.endsWith('/'))
        result.m_path.chop(1);
    result.m_readable = FileIO::isDirectory(folder);
    const Listing listing = listSets(result.m_path, MaxEntries, &result.m_cut);
    // By name, then in the emulator's order of looking; a name spelt in two cases keeps both.
    // Sorted by the names' first 16 bytes in lower case held beside each other, the whole names
    // looked at only when those are alike and one is longer; the sets' own strings are then made
    // in name order.
    struct Key {
        quint64 head[2];
        quint32 size;  // of the set's name: the entry's without its ending
        quint32 entry;
    };
    std::vector<Key> keys;
    keys.reserve(listing.entries.size());
    for (size_t i = 0; i < listing.entries.size(); ++i) {
        const Listing::Entry &e = listing.entries[i];
        if (!e.keep)
            continue;
        const quint32 suffix = e.kind == Kind::Zip ? 4 : e.kind == Kind::SevenZip ? 3 : 0;
        unsigned char b[16] = {};
        const char *name = listing.names.data() + e.at;
        for (quint32 c = 0; c < std::min<quint32>(e.size - suffix, 16); ++c)
            b[c] = uchar(lowerAscii(name[c]));
        keys.push_back({{qFromBigEndian<quint64>(b), qFromBigEndian<quint64>(b + 8)}, e.size - suffix, quint32(i)});
    }
    const auto nameOf = [&](const Key &k) { return listing.nameOf(listing.entries[k.entry]).first(k.size); };
    // Whether two keys name one set; `order` < 0, 0 or > 0 as their names go.
    const auto orderOf = [&](const Key &x, const Key &y) {
        if (x.head[0] != y.head[0])
            return x.head[0] < y.head[0] ? -1 : 1;
        if (x.head[1] != y.head[1])
            return x.head[1] < y.head[1] ? -1 : 1;
        if (x.size <= 16 || y.size <= 16) // one is all in its head: the shorter goes first
            return x.size == y.size ? 0 : x.size < y.size ? -1 : 1;
        return compareLowered(nameOf(x), nameOf(y));
    };
    std::sort(keys.begin(), keys.end(), [&](const Key &x, const Key &y) {
        if (const int order = orderOf(x, y))
            return order < 0;
        const Listing::Entry &a = listing.entries[x.entry], &b = listing.entries[y.entry];
        if (a.kind != b.kind)
            return a.kind < b.kind;
        return listing.nameOf(a) < listing.nameOf(b);
    });
    // Where each set's keys begin; the sets' strings are then made in two halves at once.
    std::vector<size_t> starts;
    starts.reserve(keys.size() + 1);
    for (size_t k = 0; k < keys.size(); ++k)
        if (k == 0 || orderOf(keys[k - 1], keys[k]) != 0)
            starts.push_back(k);
    const size_t sets = starts.size();
    starts.push_back(keys.size());
    result.m_sets.resize(qsizetype(sets));
    Set *const made = result.m_sets.data();
    Halves::run(sets, SplitAt, [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            made[i].name = lower(nameOf(keys[starts[i]]));
            for (size_t k = starts[i]; k < starts[i + 1]; ++k) {
                const Listing::Entry &e = listing.entries[keys[k].entry];
                made[i].sources.append({e.kind, listing.nameOf(e).toByteArray(), e.stamp});
            }
        }
    });
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
