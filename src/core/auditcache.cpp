#include "auditcache.h"

#include "auditcachelayout.h"
#include "fileio.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <algorithm>
#include <zlib.h>

using namespace AuditCacheLayout;

namespace {

// The file is written whole again once its journal would be longer than this or its whole part.
constexpr qint64 JournalLeast = 64 << 10;

RomFolder::Sources sourcesOf(const RomFolder &folder, const QByteArray &set)
{
    const RomFolder::Set *found = folder.find(set);
    return found ? found->sources : RomFolder::Sources();
}

} // namespace

QByteArray AuditCache::keyOf(const Catalogue &catalogue, RomAudit::Depth depth)
{
    QByteArray key = catalogue.key().toByteArray();
    key += '\n' + QByteArray::number(catalogue.buildId()) + '\n';
    key += depth == RomAudit::Depth::Verify ? "verify" : "quick";
    return key;
}

QByteArray AuditCache::fileFor(const QByteArray &directory, const QByteArray &folder, RomAudit::Depth depth)
{
    QByteArray absolute = folder.startsWith('/') ? folder : FileIO::currentDirectory() + '/' + folder;
    while (absolute.size() > 1 && absolute.endsWith('/'))
        absolute.chop(1);
    return directory + '/' + QCryptographicHash::hash(absolute, QCryptographicHash::Sha1).toHex()
        + (depth == RomAudit::Depth::Verify ? ".verify" : ".audit");
}

QList<RomAudit::Verdict> AuditCache::keptVerdicts(const QByteArray &file, const RomFolder &folder,
                                                  const Catalogue &catalogue, RomAudit::Depth depth)
{
    AuditCache cache = read(file, keyOf(catalogue, depth));
    QList<RomAudit::Verdict> verdicts;
    verdicts.reserve(folder.sets().size());
    for (const RomFolder::Set &set : folder.sets())
        if (std::optional<RomAudit::Verdict> v = cache.kept(folder, set))
            verdicts.append(std::move(*v));
    return verdicts;
}

AuditCache AuditCache::read(const QByteArray &path, const QByteArray &key)
{
    const std::optional<FileIO::Stamp> before = FileIO::stamp(path);
    std::optional<QByteArray> bytes = FileIO::read(path, MaxFileBytes);
    const qint64 size = bytes ? bytes->size() : -1;
    AuditCache cache = bytes ? parse(std::move(*bytes), key) : AuditCache(key);
    if (!bytes)
        cache.m_changed = true;
    // Appended to only when it is the file read, as it was read.
    cache.m_path = path;
    cache.m_appendable = cache.m_appendable && bytes && before && FileIO::stamp(path) == before && before->size == size;
    if (before)
        cache.m_stamp = *before;
    return cache;
}

AuditCache AuditCache::fromBytes(QByteArrayView bytes, const QByteArray &key)
{
    return parse(bytes.toByteArray(), key);
}

AuditCache AuditCache::parse(QByteArray bytes, const QByteArray &key)
{
    AuditCache empty(key);
    empty.m_changed = true;
    if (bytes.size() < qsizetype(sizeof Magic) || QByteArrayView(bytes.data(), sizeof Magic) != QByteArrayView(Magic, sizeof Magic))
        return empty;
    AuditCache cache(key);
    cache.m_bytes = std::move(bytes);
    const QByteArrayView all(cache.m_bytes);
    Reader in(all, sizeof Magic);
    if (in.u32() != FormatVersion || in.view() != key) // an older layout too: audited again
        return empty;
    cache.m_tables.emplace_back();
    if (!readTable(in, &cache.m_tables.back().texts))
        return empty;
    const size_t texts = cache.m_tables.back().texts.size();
    const int sets = in.count(MaxSets, 22);
    cache.m_base.reserve(size_t(sets));
    for (int i = 0; i < sets && in.ok(); ++i) {
        const qsizetype offset = in.pos();
        const QByteArrayView set = walkEntry(in, texts);
        if (in.ok() && (cache.m_base.empty() || cache.m_base.back().set < set))
            cache.m_base.push_back({set, offset, 0, false, false});
        else
            in.fail(); // a set twice, or out of order, is no file this program wrote
    }
    if (!in.ok())
        return empty;
    cache.m_live = qsizetype(cache.m_base.size());
    cache.m_baseBytes = in.pos();
    // The journal, up to its end or the first record that is not whole.
    cache.m_appendable = true;
    for (qsizetype at = in.pos(); at < all.size();) {
        const QByteArrayView rest = all.sliced(at);
        const quint32 length = rest.size() >= RecordHead ? qFromLittleEndian<quint32>(rest.data()) : 0;
        if (length < 1 || length > rest.size() - RecordHead
            || qFromLittleEndian<quint32>(rest.data() + 4) != crcOf(rest.sliced(RecordHead, length))) {
            cache.m_appendable = false;
            cache.m_changed = true;
            break;
        }
        Reader body(all.first(at + RecordHead + length), at + RecordHead + 1);
        const Record op = Record(quint8(rest.at(RecordHead)));
        if (op == Record::Keep) {
            Table table;
            if (readTable(body, &table.texts)) {
                const qsizetype offset = body.pos();
                const QByteArrayView set = walkEntry(body, table.texts.size());
                if (body.ok() && body.atEnd()) {
                    if (Slot *old = cache.slotOf(set))
                        cache.forget(old);
                    cache.m_journal.insert(set, {set, offset, int(cache.m_tables.size()), false, false});
                    ++cache.m_live;
                    cache.m_tables.push_back(std::move(table));
                } else {
                    body.fail();
                }
            }
        } else if (op == Record::Drop) {
            const QByteArrayView set = body.view();
            if (Slot *old = body.ok() && body.atEnd() ? cache.slotOf(set) : nullptr)
                cache.forget(old);
        } else {
            body.fail();
        }
        if (!body.ok() || cache.m_live > MaxSets) { // a whole record this program did not write
            cache.m_appendable = false;
            cache.m_changed = true;
            break;
        }
        cache.m_journalBytes += RecordHead + length;
        at += RecordHead + length;
    }
    for (Table &table : cache.m_tables)
        table.decoded.resize(table.texts.size());
    return cache;
}

// The verdict read for `set`, not gone; null for none.
AuditCache::Slot *AuditCache::slotOf(QByteArrayView set)
{
    if (!m_journal.isEmpty())
        if (const auto it = m_journal.find(set); it != m_journal.end())
            return &*it;
    Slot *found = nullptr;
    if (m_next < m_base.size() && m_base[m_next].set == set) {
        found = &m_base[m_next];
    } else {
        const auto it = std::lower_bound(m_base.begin(), m_base.end(), set,
                                         [](const Slot &slot, QByteArrayView s) { return slot.set < s; });
        if (it != m_base.end() && it->set == set)
            found = &*it;
    }
    if (!found || found->gone)
        return nullptr;
    m_next = size_t(found - m_base.data()) + 1;
    return found;
}

// Drops the verdict of `slot` (from slotOf), which no longer counts.
void AuditCache::forget(Slot *slot)
{
    m_usedSlots -= slot->used ? 1 : 0;
    --m_live;
    if (slot >= m_base.data() && slot < m_base.data() + m_base.size())
        slot->gone = true;
    else
        m_journal.remove(slot->set);
}

const QString &AuditCache::text(int table, quint32 index)
{
    Table &t = m_tables[size_t(table)];
    std::optional<QString> &decoded = t.decoded[index];
    if (!decoded)
        decoded = QString::fromUtf8(t.texts[index]);
    return *decoded;
}

// The whole entry of `slot`, and its texts as the file has them; for writing it again.
AuditCache::Entry AuditCache::entryAt(const Slot &slot, std::pair<QByteArray, QByteArray> *texts) const
{
    Reader in(m_bytes, slot.offset);
    Entry entry;
    RomAudit::Verdict &v = entry.verdict;
    v.set = in.view().toByteArray();
    v.state = RomAudit::State(in.u8());
    const Table &table = m_tables[size_t(slot.table)];
    texts->first = table.texts[in.u32()].toByteArray();
    texts->second = table.texts[in.u32()].toByteArray();
    for (int p = 0, n = int(in.u32()); p < n; ++p) {
        QByteArray name = in.view().toByteArray();
        v.problems.append({std::move(name), RomAudit::Verdict::Problem(in.u8())});
    }
    for (int l = 0, n = int(in.u32()); l < n; ++l) {
        Looked set{in.view().toByteArray(), {}};
        for (int s = 0, m = int(in.u32()); s < m; ++s) {
            RomFolder::Source source;
            source.kind = RomFolder::Kind(in.u8());
            source.file = in.view().toByteArray();
            source.stamp.size = in.i64();
            source.stamp.modifiedNs = in.i64();
            set.sources.append(std::move(source));
        }
        v.consulted.append(set.set);
        entry.looked.append(std::move(set));
    }
    return entry;
}

QByteArray AuditCache::toBytes() const
{
    // The verdicts asked for since reading, in name order, and their texts once each.
    struct Item {
        Entry entry;
        std::pair<QByteArray, QByteArray> texts;
    };
    std::vector<Item> items;
    items.reserve(size_t(m_usedSlots + m_fresh.size()));
    auto add = [&](const Slot &slot) {
        if (slot.used && !slot.gone) {
            items.emplace_back();
            items.back().entry = entryAt(slot, &items.back().texts);
        }
    };
    for (const Slot &slot : m_base)
        add(slot);
    for (const Slot &slot : m_journal)
        add(slot);
    for (const Entry &entry : m_fresh)
        items.push_back({entry, {entry.verdict.summary.toUtf8(), entry.verdict.details.toUtf8()}});
    std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) { return a.entry.verdict.set < b.entry.verdict.set; });
    TableWriter table;
    std::vector<std::pair<quint32, quint32>> places;
    places.reserve(items.size());
    for (const Item &item : items)
        places.push_back({table.add(item.texts.first), table.add(item.texts.second)});

    Writer out;
    out.out().append(Magic, sizeof Magic);
    out.u32(FormatVersion);
    out.bytes(m_key);
    table.put(out);
    out.u32(quint32(items.size()));
    for (size_t i = 0; i < items.size(); ++i)
        putEntry(out, items[i].entry.verdict, items[i].entry.looked, places[i].first, places[i].second);
    return std::move(out.out());
}

bool AuditCache::write(const QByteArray &path)
{
    if (append(path))
        return true;
    QByteArray bytes = toBytes();
    if (!FileIO::writeAtomically(path, bytes))
        return false;
    // What is in the file now, every verdict of it asked for, is what the next write may append to.
    AuditCache written = parse(std::move(bytes), m_key);
    for (Slot &slot : written.m_base)
        slot.used = true;
    written.m_usedSlots = written.m_live;
    const std::optional<FileIO::Stamp> now = FileIO::stamp(path);
    written.m_path = path;
    written.m_stamp = now.value_or(FileIO::Stamp{});
    written.m_appendable = bool(now);
    written.m_changed = false;
    *this = std::move(written);
    return true;
}

// The verdicts audited and the sets dropped since the file was read, appended to it as one
// record each and synced; false when that cannot be done and the file is to be written whole.
bool AuditCache::append(const QByteArray &path)
{
    if (!m_appendable || path != m_path || FileIO::stamp(path) != std::optional<FileIO::Stamp>(m_stamp))
        return false;
    QByteArray records;
    QList<QByteArrayView> dropped;
    auto drop = [&](const Slot &slot) {
        if (slot.used || slot.gone)
            return;
        Writer name;
        name.bytes(slot.set);
        records += record(Record::Drop, name.out());
        dropped.append(slot.set);
    };
    for (const Slot &slot : m_base)
        drop(slot);
    for (const Slot &slot : m_journal)
        drop(slot);
    for (const QByteArray &set : std::as_const(m_audited)) {
        const auto it = m_fresh.constFind(set);
        if (it == m_fresh.constEnd())
            continue;
        TableWriter table;
        const quint32 summary = table.add(it->verdict.summary.toUtf8());
        const quint32 details = table.add(it->verdict.details.toUtf8());
        Writer entry;
        table.put(entry);
        putEntry(entry, it->verdict, it->looked, summary, details);
        records += record(Record::Keep, entry.out());
    }
    if (m_journalBytes + records.size() > std::max(m_baseBytes, JournalLeast))
        return false; // time the file was written whole again
    if (records.isEmpty())
        return true;
    const bool ok = FileIO::appendSynced(path, records);
    if (!ok) {
        // A record not all written is not read back; the file is written whole at once.
        return false;
    }
    for (const QByteArrayView set : std::as_const(dropped))
        if (Slot *slot = slotOf(set))
            forget(slot);
    m_journalBytes += records.size();
    m_stamp = FileIO::stamp(path).value_or(FileIO::Stamp{});
    m_audited.clear();
    m_changed = false;
    return true;
}

std::optional<RomAudit::Verdict> AuditCache::kept(const RomFolder &folder, const QByteArray &name, const RomFolder::Set *own)
{
    if (const auto fresh = m_fresh.constFind(name); fresh != m_fresh.constEnd()) {
        for (const Looked &set : fresh->looked) {
            const RomFolder::Set *now = folder.find(set.set);
            if (now ? now->sources != set.sources : !set.sources.isEmpty())
                return std::nullopt;
        }
        return fresh->verdict;
    }
    Slot *const it = slotOf(name);
    if (!it)
        return std::nullopt;
    // Read where it lies, its sources compared as they are read (the entry was checked whole).
    Reader in(m_bytes, it->offset);
    RomAudit::Verdict v;
    in.view();
    v.set = name;
    v.state = RomAudit::State(in.u8());
    const quint32 summary = in.u32(), details = in.u32();
    const int problems = int(in.u32());
    if (problems > 0)
        v.problems.reserve(problems);
    for (int p = 0; p < problems; ++p) {
        QByteArray file = in.view().toByteArray();
        v.problems.append({std::move(file), RomAudit::Verdict::Problem(in.u8())});
    }
    const int looked = int(in.u32());
    v.consulted.reserve(looked);
    for (int l = 0; l < looked; ++l) {
        const QByteArrayView set = in.view();
        const RomFolder::Set *now = own && own->name == set ? own : folder.find(set);
        const int sources = int(in.u32());
        if (now ? now->sources.size() != sources : sources != 0)
            return std::nullopt;
        for (int s = 0; s < sources; ++s) {
            const RomFolder::Source &source = now->sources.at(s);
            const RomFolder::Kind kind = RomFolder::Kind(in.u8());
            const QByteArrayView file = in.view();
            const qint64 size = in.i64();
            if (source.kind != kind || source.file != file || source.stamp != FileIO::Stamp{size, in.i64()})
                return std::nullopt;
        }
        v.consulted.append(now ? now->name : set.toByteArray());
    }
    v.summary = text(it->table, summary);
    v.details = text(it->table, details);
    if (!it->used) {
        it->used = true;
        ++m_usedSlots;
    }
    return v;
}

void AuditCache::keep(const RomFolder &folder, const RomAudit::Verdict &verdict)
{
    // A verdict whose texts or lists are over the file's bounds is not kept: it would make the
    // whole file unreadable.
    if (verdict.set.isEmpty() || verdict.summary.size() * 3 > MaxTextBytes || verdict.details.size() * 3 > MaxTextBytes
        || verdict.problems.size() > MaxListItems || verdict.consulted.size() > MaxListItems)
        return;
    Entry entry{verdict, {}};
    for (const QByteArray &set : verdict.consulted) {
        RomFolder::Sources sources = sourcesOf(folder, set);
        if (sources.size() > MaxSourcesPerSet)
            return;
        entry.looked.append({set, std::move(sources)});
    }
    if (Slot *old = slotOf(verdict.set))
        forget(old);
    m_fresh.insert(verdict.set, std::move(entry));
    m_audited.insert(verdict.set);
    m_changed = true;
}

RomAudit::Verdict AuditCache::verdict(RomAudit &audit, const RomFolder &folder, const QByteArray &name,
                                      const RomFolder::Set *own, bool *audited)
{
    if (std::optional<RomAudit::Verdict> v = kept(folder, name, own)) {
        if (audited)
            *audited = false;
        return std::move(*v);
    }
    RomAudit::Verdict v = audit.audit(name);
    keep(folder, v);
    if (audited)
        *audited = true;
    return v;
}
