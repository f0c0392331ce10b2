#include "romfolder.h"

#include <QString>
#include <algorithm>

namespace {

QByteArray lower(QByteArrayView bytes)
{
    QByteArray out = bytes.toByteArray();
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

} // namespace

RomFolder RomFolder::scan(const QByteArray &folder)
{
    RomFolder result;
    result.m_path = folder;
    while (result.m_path.size() > 1 && result.m_path.endsWith('/'))
        result.m_path.chop(1);
    result.m_readable = FileIO::isDirectory(folder);
    const QList<FileIO::Entry> entries = FileIO::listEntries(result.m_path, MaxEntries, &result.m_cut);
    struct Named {
        QByteArray name;
        Source source;
    };
    std::vector<Named> named;
    named.reserve(size_t(entries.size()));
    for (const FileIO::Entry &entry : entries) {
        if (entry.directory) {
            named.push_back({lower(entry.name), {Kind::Directory, entry.name, entry.stamp}});
            continue;
        }
        const QByteArray name = lower(entry.name);
        if (name.endsWith(".zip") && name.size() > 4)
            named.push_back({name.chopped(4), {Kind::Zip, entry.name, entry.stamp}});
        else if (name.endsWith(".7z") && name.size() > 3)
            named.push_back({name.chopped(3), {Kind::SevenZip, entry.name, entry.stamp}});
    }
    // By name, then in the emulator's order of looking; a name spelt in two cases keeps both.
    std::sort(named.begin(), named.end(), [](const Named &a, const Named &b) {
        if (a.name != b.name)
            return a.name < b.name;
        if (a.source.kind != b.source.kind)
            return a.source.kind < b.source.kind;
        return a.source.file < b.source.file;
    });
    for (Named &n : named) {
        if (result.m_sets.isEmpty() || result.m_sets.last().name != n.name)
            result.m_sets.append({n.name, {}});
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
