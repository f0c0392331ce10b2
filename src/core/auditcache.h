// The verdicts of a ROM folder's audit, kept in a file between sessions: per set, the verdict and
// every source it looked in (each consulted set's archives and directory, by name, size and time
// of last change, or that there was none); per file, the catalogue it was audited against and the
// depth. A kept verdict is used while every source it looked in is as it was; a set whose archive
// was added, replaced or removed, or any set of another catalogue, is audited again.
//
// The file is hostile input: it is read within bounds (its size, the sets, each text and list),
// and one that is damaged, cut, of another layout version, for another catalogue or depth is
// ignored as a whole and replaced.
//
// The file is the verdicts as they were when it was last written whole (in one step,
// FileIO::writeAtomically), then a journal: each later write that changed a few verdicts appends
// them (and the sets dropped) as records, each with its length and CRC-32, and syncs. A record cut
// short or damaged by a crash ends the journal there: what came before is kept, and the next write
// writes the file whole again. So does a write once the journal would outgrow the whole part (and 64 KiB).
#pragma once

#include "romaudit.h"
#include "romfolder.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <optional>

class AuditCache {
public:
    static constexpr quint32 FormatVersion = 2;
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

    // The kept verdicts of `folder`'s sets for `catalogue` and `depth` that are still good by the
    // sets' stamps, from `file` (fileFor), in the folder's order; nothing is audited. For the
    // lists, which show them at once.
    static QList<RomAudit::Verdict> keptVerdicts(const QByteArray &file, const RomFolder &folder,
                                                 const Catalogue &catalogue, RomAudit::Depth depth);

    AuditCache() = default;
    explicit AuditCache(QByteArray key) : m_key(std::move(key)) {}
    // The verdicts kept in `bytes` for `key`; an empty cache for anything else.
    static AuditCache fromBytes(QByteArrayView bytes, const QByteArray &key);
    // The same for the file at `path` (missing, too large or unreadable: empty).
    static AuditCache read(const QByteArray &path, const QByteArray &key);
    QByteArray toBytes() const;
    // Writes the verdicts of the sets asked for since reading (kept() or keep()), which drops
    // those of sets no longer in the folder; false when it cannot. To the file it was read from,
    // unchanged since, it appends the verdicts audited since as a journal record.
    bool write(const QByteArray &path);

    // The kept verdict of the set `name` when every source it looked in is as `folder` has it now.
    std::optional<RomAudit::Verdict> kept(const RomFolder &folder, const QByteArray &name);
    // Keeps `verdict`, with the sources of `folder` it looked in.
    void keep(const RomFolder &folder, const RomAudit::Verdict &verdict);
    // The verdict of `name`: the kept one, else audited now and kept (`*audited` says which).
    RomAudit::Verdict verdict(RomAudit &audit, const RomFolder &folder, const QByteArray &name, bool *audited = nullptr);

    int size() const { return int(m_entries.size()); }
    // Whether the file needs writing: a verdict audited or dropped, or the file was not this one.
    bool changed() const { return m_changed || m_used.size() != m_entries.size(); }

    // One kept verdict with the sources it looked in, as the file holds it.
    struct Looked {
        QByteArray set;
        QList<RomFolder::Source> sources;
    };
    struct Entry {
        RomAudit::Verdict verdict;
        QList<Looked> looked;
    };

private:
    QByteArray m_key;
    QHash<QByteArray, Entry> m_entries;
    bool append(const QByteArray &path);

    QSet<QByteArray> m_used; // the sets asked for since reading: what is written back
    QSet<QByteArray> m_audited; // kept since reading or writing: what a journal record holds
    bool m_changed = false;
    // The file read: where, its stamp then, and whether a record may be appended to it.
    QByteArray m_path;
    FileIO::Stamp m_stamp;
    bool m_appendable = false;
    qint64 m_baseBytes = 0;    // the part written whole
    qint64 m_journalBytes = 0; // the records after it
};
