// The verdicts of a ROM folder's audit, kept in a file between sessions: per set, the verdict and
// every source it looked in (each consulted set's archives and directory, by name, size and time
// of last change, or that there was none); per file, the catalogue it was audited against and the
// depth. A kept verdict is used while every source it looked in is as it was; a set whose archive
// was added, replaced or removed, or any set of another catalogue, is audited again.
//
// The file is hostile input: it is read within bounds (its size, the sets, each text and list),
// and one that is damaged, cut, of another layout version, for another catalogue or depth is
// ignored as a whole and replaced. It is written in one step (FileIO::writeAtomically).
#pragma once

#include "romaudit.h"
#include "romfolder.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <optional>

class AuditCache {
public:
    static constexpr quint32 FormatVersion = 1;
    static constexpr qint64 MaxFileBytes = qint64(1) << 30;
    static constexpr int MaxSets = RomFolder::MaxEntries;
    static constexpr int MaxTextBytes = 1 << 20;
    static constexpr int MaxListItems = 1 << 16;
    static constexpr int MaxSourcesPerSet = 16;

    // What a kept verdict is good for: the catalogue (its key and build id) and the depth.
    static QByteArray keyOf(const Catalogue &catalogue, RomAudit::Depth depth);
    // The file, in `directory`, that keeps the verdicts of the ROM folder at `folder`
    // (made absolute against the current directory).
    static QByteArray fileFor(const QByteArray &directory, const QByteArray &folder, RomAudit::Depth depth);

    AuditCache() = default;
    explicit AuditCache(QByteArray key) : m_key(std::move(key)) {}
    // The verdicts kept in `bytes` for `key`; an empty cache for anything else.
    static AuditCache fromBytes(QByteArrayView bytes, const QByteArray &key);
    // The same for the file at `path` (missing, too large or unreadable: empty).
    static AuditCache read(const QByteArray &path, const QByteArray &key);
    QByteArray toBytes() const;
    // Writes the verdicts of the sets asked for since reading (kept() or keep()), which drops
    // those of sets no longer in the folder; false when it cannot.
    bool write(const QByteArray &path) const;

    // The kept verdict of the set `name` when every source it looked in is as `folder` has it now.
    std::optional<RomAudit::Verdict> kept(const RomFolder &folder, const QByteArray &name);
    // Keeps `verdict`, with the sources of `folder` it looked in.
    void keep(const RomFolder &folder, const RomAudit::Verdict &verdict);
    // The verdict of `name`: the kept one, else audited now and kept (`*audited` says which).
    RomAudit::Verdict verdict(RomAudit &audit, const RomFolder &folder, const QByteArray &name, bool *audited = nullptr);

    int size() const { return int(m_entries.size()); }
    // Whether the file needs writing: a verdict audited or dropped, or the file was not this one.
    bool changed() const { return m_changed || m_used.size() != m_entries.size(); }

private:
    struct Looked {
        QByteArray set;
        QList<RomFolder::Source> sources;
    };
    struct Entry {
        RomAudit::Verdict verdict;
        QList<Looked> looked;
    };
    QByteArray m_key;
    QHash<QByteArray, Entry> m_entries;
    QSet<QByteArray> m_used; // the sets asked for since reading: what is written back
    bool m_changed = false;
};
