#include "auditcache.h"

#include "fileio.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

namespace {

constexpr char Magic[8] = {'T', 'V', 'O', 'A', 'U', 'D', 'I', 'T'};
// A journal record: its payload's length and CRC-32, then what it does.
enum class Record : quint8 { Keep = 1, Drop = 2 };
constexpr qint64 RecordHead = 8;
// The file is written whole again once its journal would be longer than this or its whole part.
constexpr qint64 JournalLeast = 64 << 10;

quint32 crcOf(QByteArrayView bytes)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes.data()), uInt(bytes.size())));
}

// The file's bytes as they are built.
class Writer {
public:
    void u8(quint8 v) { m_out.append(char(v)); }
    void u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_out.append(b, 4);
    }
    void i64(qint64 v)
    {
        char b[8];
        qToLittleEndian(v, b);
        m_out.append(b, 8);
    }
    void bytes(QByteArrayView v)
    {
        u32(quint32(v.size()));
        m_out.append(v.data(), v.size());
    }
    void text(const QString &v) { bytes(v.toUtf8()); }
    QByteArray &out() { return m_out; }

private:
    QByteArray m_out;
};

// The file's bytes read back; any read past the end or over a bound fails the whole reading.
class Reader {
public:
    explicit Reader(QByteArrayView in) : m_in(in) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_in.size(); }
    quint8 u8()
    {
        if (!need(1))
            return 0;
        return quint8(m_in.at(m_pos++));
    }
    quint32 u32()
    {
        if (!need(4))
            return 0;
        const quint32 v = qFromLittleEndian<quint32>(m_in.data() + m_pos);
        m_pos += 4;
        return v;
    }
    qint64 i64()
    {
        if (!need(8))
            return 0;
        const qint64 v = qFromLittleEndian<qint64>(m_in.data() + m_pos);
        m_pos += 8;
        return v;
    }
    QByteArray bytes(int max = AuditCache::MaxTextBytes)
    {
        const quint32 n = u32();
        if (n > quint32(max) || !need(n))
            return fail(), QByteArray();
        QByteArray v(m_in.data() + m_pos, qsizetype(n));
        m_pos += n;
        return v;
    }
    QString text() { return QString::fromUtf8(bytes()); }
    // A count of at most `max` things, each at least `least` bytes long in what is left.
    int count(int max, int least)
    {
        const quint32 n = u32();
        if (n > quint32(max) || (m_ok && qint64(n) * least > m_in.size() - m_pos))
            return fail(), 0;
        return int(n);
    }
    void fail() { m_ok = false; }
    qsizetype pos() const { return m_pos; }
    QByteArrayView rest() const { return m_in.sliced(m_pos); }

private:
    bool need(qint64 n)
    {
        if (m_ok && n <= m_in.size() - m_pos)
            return true;
        m_ok = false;
        return false;
    }
    QByteArrayView m_in;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

QList<RomFolder::Source> sourcesOf(const RomFolder &folder, const QByteArray &set)
{
    const RomFolder::Set *found = folder.find(set);
    return found ? found->sources : QList<RomFolder::Source>();
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
        if (std::optional<RomAudit::Verdict> v = cache.kept(folder, set.name))
            verdicts.append(std::move(*v));
    return verdicts;
}

AuditCache AuditCache::read(const QByteArray &path, const QByteArray &key)
{
    const std::optional<FileIO::Stamp> before = FileIO::stamp(path);
    const std::optional<QByteArray> bytes = FileIO::read(path, MaxFileBytes);
    AuditCache cache = bytes ? fromBytes(*bytes, key) : AuditCache(key);
    if (!bytes)
        cache.m_changed = true;
    // Appended to only when it is the file read, as it was read.
    cache.m_path = path;
    cache.m_appendable = cache.m_appendable && bytes && before && FileIO::stamp(path) == before
        && before->size == bytes->size();
    if (before)
        cache.m_stamp = *before;
    return cache;
}

namespace {

void putEntry(Writer &out, const AuditCache::Entry &entry)
{
    const RomAudit::Verdict &v = entry.verdict;
    out.bytes(v.set);
    out.u8(quint8(v.state));
    out.text(v.summary);
    out.text(v.details);
    out.u32(quint32(v.problems.size()));
    for (const auto &[name, kind] : v.problems) {
        out.bytes(name);
        out.u8(quint8(kind));
    }
    out.u32(quint32(entry.looked.size()));
    for (const AuditCache::Looked &set : entry.looked) {
        out.bytes(set.set);
        out.u32(quint32(set.sources.size()));
        for (const RomFolder::Source &source : set.sources) {
            out.u8(quint8(source.kind));
            out.bytes(source.file);
            out.i64(source.stamp.size);
            out.i64(source.stamp.modifiedNs);
        }
    }
}

// One entry read back; `in` fails on anything this program did not write.
AuditCache::Entry takeEntry(Reader &in)
{
    AuditCache::Entry entry;
    RomAudit::Verdict &v = entry.verdict;
    v.set = in.bytes();
    const quint8 state = in.u8();
    if (state > quint8(RomAudit::State::NotAudited) || v.set.isEmpty())
        in.fail();
    v.state = RomAudit::State(state);
    v.summary = in.text();
    v.details = in.text();
    const int problems = in.count(AuditCache::MaxListItems, 5);
    for (int p = 0; p < problems && in.ok(); ++p) {
        QByteArray name = in.bytes();
        const quint8 kind = in.u8();
        if (kind > quint8(RomAudit::Verdict::Problem::Wrong))
            in.fail();
        v.problems.append({std::move(name), RomAudit::Verdict::Problem(kind)});
    }
    const int looked = in.count(AuditCache::MaxListItems, 8);
    for (int l = 0; l < looked && in.ok(); ++l) {
        AuditCache::Looked set;
        set.set = in.bytes();
        const int sources = in.count(AuditCache::MaxSourcesPerSet, 21);
        for (int s = 0; s < sources && in.ok(); ++s) {
            RomFolder::Source source;
            const quint8 kind = in.u8();
            if (kind > quint8(RomFolder::Kind::SevenZip))
                in.fail();
            source.kind = RomFolder::Kind(kind);
            source.file = in.bytes();
            source.stamp.size = in.i64();
            source.stamp.modifiedNs = in.i64();
            set.sources.append(std::move(source));
        }
        v.consulted.append(set.set);
        entry.looked.append(std::move(set));
    }
    return entry;
}

QByteArray record(Record op, const QByteArray &payload)
{
    Writer out;
    out.u32(quint32(payload.size() + 1));
    QByteArray body(1, char(op));
    body += payload;
    out.u32(crcOf(body));
    out.out() += body;
    return std::move(out.out());
}

} // namespace

AuditCache AuditCache::fromBytes(QByteArrayView bytes, const QByteArray &key)
{
    AuditCache empty(key);
    empty.m_changed = true;
    if (bytes.size() < qsizetype(sizeof Magic) || QByteArrayView(bytes.data(), sizeof Magic) != QByteArrayView(Magic, sizeof Magic))
        return empty;
    Reader in(bytes.sliced(sizeof Magic));
    if (in.u32() != FormatVersion || in.bytes() != key)
        return empty;
    AuditCache cache(key);
    const int sets = in.count(MaxSets, 16);
    cache.m_entries.reserve(sets);
    for (int i = 0; i < sets && in.ok(); ++i) {
        Entry entry = takeEntry(in);
        if (in.ok() && !cache.m_entries.contains(entry.verdict.set))
            cache.m_entries.insert(entry.verdict.set, std::move(entry));
        else
            in.fail(); // a set twice is no file this program wrote
    }
    if (!in.ok())
        return empty;
    cache.m_baseBytes = qint64(sizeof Magic) + in.pos();
    // The journal, up to its end or the first record that is not whole.
    cache.m_appendable = true;
    while (!in.atEnd()) {
        const QByteArrayView rest = in.rest();
        const quint32 length = rest.size() >= RecordHead ? qFromLittleEndian<quint32>(rest.data()) : 0;
        if (length < 1 || length > rest.size() - RecordHead
            || qFromLittleEndian<quint32>(rest.data() + 4) != crcOf(rest.sliced(RecordHead, length))) {
            cache.m_appendable = false;
            cache.m_changed = true;
            break;
        }
        Reader body(rest.sliced(RecordHead + 1, length - 1));
        const Record op = Record(quint8(rest.at(RecordHead)));
        if (op == Record::Keep) {
            Entry entry = takeEntry(body);
            if (body.ok() && body.atEnd())
                cache.m_entries.insert(entry.verdict.set, std::move(entry));
            else
                body.fail();
        } else if (op == Record::Drop) {
            const QByteArray name = body.bytes();
            if (body.ok() && body.atEnd())
                cache.m_entries.remove(name);
        } else {
            body.fail();
        }
        if (!body.ok() || cache.m_entries.size() > MaxSets) { // a whole record this program did not write
            cache.m_appendable = false;
            cache.m_changed = true;
            break;
        }
        cache.m_journalBytes += RecordHead + length;
        in = Reader(in.rest().sliced(RecordHead + length));
    }
    return cache;
}

QByteArray AuditCache::toBytes() const
{
    Writer out;
    out.out().append(Magic, sizeof Magic);
    out.u32(FormatVersion);
    out.bytes(m_key);
    int written = 0;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        written += m_used.contains(it.key()) ? 1 : 0;
    out.u32(quint32(written));
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it)
        if (m_used.contains(it.key()))
            putEntry(out, *it);
    return std::move(out.out());
}

bool AuditCache::write(const QByteArray &path)
{
    if (append(path))
        return true;
    const QByteArray bytes = toBytes();
    if (!FileIO::writeAtomically(path, bytes))
        return false;
    // What is in the file now is what the next write may append to.
    for (auto it = m_entries.begin(); it != m_entries.end();)
        it = m_used.contains(it.key()) ? std::next(it) : m_entries.erase(it);
    const std::optional<FileIO::Stamp> now = FileIO::stamp(path);
    m_path = path;
    m_stamp = now.value_or(FileIO::Stamp{});
    m_appendable = bool(now);
    m_baseBytes = bytes.size();
    m_journalBytes = 0;
    m_audited.clear();
    m_changed = false;
    return true;
}

// The verdicts audited and the sets dropped since the file was read, appended to it as one
// record and synced; false when that cannot be done and the file is to be written whole.
bool AuditCache::append(const QByteArray &path)
{
    if (!m_appendable || path != m_path || FileIO::stamp(path) != std::optional<FileIO::Stamp>(m_stamp))
        return false;
    QByteArray records;
    QList<QByteArray> dropped;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (!m_used.contains(it.key())) {
            Writer name;
            name.bytes(it.key());
            records += record(Record::Drop, name.out());
            dropped.append(it.key());
        } else if (m_audited.contains(it.key())) {
            Writer entry;
            putEntry(entry, *it);
            records += record(Record::Keep, entry.out());
        }
    }
    if (m_journalBytes + records.size() > std::max(m_baseBytes, JournalLeast))
        return false; // time the file was written whole again
    if (records.isEmpty())
        return true;
    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    qint64 done = 0;
    while (done < records.size()) {
        const ssize_t n = ::write(fd, records.constData() + done, size_t(records.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool ok = done == records.size() && ::fdatasync(fd) == 0;
    ::close(fd);
    if (!ok) {
        // A record not all written is not read back; the file is written whole at once.
        return false;
    }
    for (const QByteArray &name : std::as_const(dropped))
        m_entries.remove(name);
    m_journalBytes += records.size();
    m_stamp = FileIO::stamp(path).value_or(FileIO::Stamp{});
    m_audited.clear();
    m_changed = false;
    return true;
}

std::optional<RomAudit::Verdict> AuditCache::kept(const RomFolder &folder, const QByteArray &name)
{
    const auto it = m_entries.constFind(name);
    if (it == m_entries.constEnd())
        return std::nullopt;
    for (const Looked &set : it->looked) {
        const RomFolder::Set *now = folder.find(set.set);
        if (now ? now->sources != set.sources : !set.sources.isEmpty())
            return std::nullopt;
    }
    m_used.insert(name);
    return it->verdict;
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
        QList<RomFolder::Source> sources = sourcesOf(folder, set);
        if (sources.size() > MaxSourcesPerSet)
            return;
        entry.looked.append({set, std::move(sources)});
    }
    m_entries.insert(verdict.set, std::move(entry));
    m_used.insert(verdict.set);
    m_audited.insert(verdict.set);
    m_changed = true;
}

RomAudit::Verdict AuditCache::verdict(RomAudit &audit, const RomFolder &folder, const QByteArray &name, bool *audited)
{
    if (std::optional<RomAudit::Verdict> v = kept(folder, name)) {
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
