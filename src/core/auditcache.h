// The verdicts of a ROM folder's audit, kept in a file between sessions: per set, the verdict and
// every source it looked in (each consulted set's archives and directory, by name, size and time
// of last change, or that there was none); per file, the catalogue it was audited against and the
// depth. A kept verdict is used while every source it looked in is as it was; a set whose archive
// was added, replaced or removed, or any set of another catalogue, is audited again.
//
// The file is hostile input: it is read within bounds (its size, the sets, each text and list),
// and one that is damaged, cut, of another layout version (an older one too), for another
// catalogue or depth is ignored as a whole and replaced.
//
// Reading it is cheap for the lists: each verdict's texts are kept once in a table (most sets
// share theirs) and decoded only when a verdict is asked for; the verdicts read are looked up in
// the file's bytes, which are checked whole once and not copied.
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
#include <utility>
#include <vector>

class AuditCache {
public:
    static constexpr quint32 FormatVersion = 3;
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
    std::optional<RomAudit::Verdict> kept(const RomFolder &folder, const QByteArray &name) { return kept(folder, name, nullptr); }
    // The same for a set of `folder`, which need not be looked for in it.
    std::optional<RomAudit::Verdict> kept(const RomFolder &folder, const RomFolder::Set &set) { return kept(folder, set.name, &set); }
    // Keeps `verdict`, with the sources of `folder` it looked in.
    void keep(const RomFolder &folder, const RomAudit::Verdict &verdict);
    // The verdict of `name`: the kept one, else audited now and kept (`*audited` says which).
    RomAudit::Verdict verdict(RomAudit &audit, const RomFolder &folder, const QByteArray &name, bool *audited = nullptr)
    {
        return verdict(audit, folder, name, nullptr, audited);
    }
    RomAudit::Verdict verdict(RomAudit &audit, const RomFolder &folder, const RomFolder::Set &set, bool *audited = nullptr)
    {
        return verdict(audit, folder, set.name, &set, audited);
    }

    int size() const { return int(m_live + m_fresh.size()); }
    // Whether the file needs writing: a verdict audited or dropped, or the file was not this one.
    bool changed() const { return m_changed || m_usedSlots != m_live; }

    // One kept verdict with the sources it looked in.
    struct Looked {
        QByteArray set;
        RomFolder::Sources sources;
    };
    struct Entry {
        RomAudit::Verdict verdict;
        QList<Looked> looked;
    };

private:
    // A verdict as the file holds it: where it starts in m_bytes, the table of texts it names.
    struct Slot {
        QByteArrayView set;
        qsizetype offset = 0;
        int table = 0;
        bool used = false; // asked for since reading: what is written back
        bool gone = false; // dropped, or its set kept again since
    };
    // The texts of the file's whole part or of one journal record, each decoded once when asked.
    struct Table {
        std::vector<QByteArrayView> texts;
        std::vector<std::optional<QString>> decoded;
    };

    static AuditCache parse(QByteArray bytes, const QByteArray &key);
    // `own`: the folder's set of that name, when the caller has it.
    std::optional<RomAudit::Verdict> kept(const RomFolder &folder, const QByteArray &name, const RomFolder::Set *own);
    RomAudit::Verdict verdict(RomAudit &audit, const RomFolder &folder, const QByteArray &name, const RomFolder::Set *own,
                              bool *audited);
    const QString &text(int table, quint32 index);
    Entry entryAt(const Slot &slot, std::pair<QByteArray, QByteArray> *texts) const;
    Slot *slotOf(QByteArrayView set);
    void forget(Slot *slot);
    bool append(const QByteArray &path);

    QByteArray m_key;
    QByteArray m_bytes;                   // the file read, which the slots and tables point into
    std::vector<Table> m_tables;
    // The verdicts read: the whole part's in name order, the journal's over them.
    std::vector<Slot> m_base;
    QHash<QByteArrayView, Slot> m_journal;
    size_t m_next = 0;          // where the next set is looked for first: the lists ask in order
    qsizetype m_live = 0;       // the slots not gone
    qsizetype m_usedSlots = 0;
    QHash<QByteArray, Entry> m_fresh;     // the verdicts kept since reading
    QSet<QByteArray> m_audited;           // kept since reading or writing: what a journal record holds
    bool m_changed = false;
    // The file read: where, its stamp then, and whether a record may be appended to it.
    QByteArray m_path;
    FileIO::Stamp m_stamp;
    bool m_appendable = false;
    qint64 m_baseBytes = 0;    // the part written whole
    qint64 m_journalBytes = 0; // the records after it
};
