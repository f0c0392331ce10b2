#include "auditcache.h"

#include "fileio.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace {

constexpr char Magic[8] = {'T', 'V', 'O', 'A', 'U', 'D', 'I', 'T'};

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

AuditCache AuditCache::read(const QByteArray &path, const QByteArray &key)
{
    const std::optional<QByteArray> bytes = FileIO::read(path, MaxFileBytes);
    AuditCache cache = bytes ? fromBytes(*bytes, key) : AuditCache(key);
    if (!bytes)
        cache.m_changed = true;
    return cache;
}

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
        Entry entry;
        RomAudit::Verdict &v = entry.verdict;
        v.set = in.bytes();
        const quint8 state = in.u8();
        if (state > quint8(RomAudit::State::NotAudited) || v.set.isEmpty())
            in.fail();
        v.state = RomAudit::State(state);
        v.summary = in.text();
        v.details = in.text();
        const int problems = in.count(MaxListItems, 5);
        for (int p = 0; p < problems && in.ok(); ++p) {
            QByteArray name = in.bytes();
            const quint8 kind = in.u8();
            if (kind > quint8(RomAudit::Verdict::Problem::Wrong))
                in.fail();
            v.problems.append({std::move(name), RomAudit::Verdict::Problem(kind)});
        }
        const int looked = in.count(MaxListItems, 8);
        for (int l = 0; l < looked && in.ok(); ++l) {
            Looked set;
            set.set = in.bytes();
            const int sources = in.count(MaxSourcesPerSet, 21);
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
        if (in.ok() && !cache.m_entries.contains(v.set))
            cache.m_entries.insert(v.set, std::move(entry));
        else
            in.fail(); // a set twice is no file this program wrote
    }
    if (!in.ok() || !in.atEnd())
        return empty;
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
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        if (!m_used.contains(it.key()))
            continue;
        const RomAudit::Verdict &v = it->verdict;
        out.bytes(v.set);
        out.u8(quint8(v.state));
        out.text(v.summary);
        out.text(v.details);
        out.u32(quint32(v.problems.size()));
        for (const auto &[name, kind] : v.problems) {
            out.bytes(name);
            out.u8(quint8(kind));
        }
        out.u32(quint32(it->looked.size()));
        for (const Looked &set : it->looked) {
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
    return std::move(out.out());
}

bool AuditCache::write(const QByteArray &path) const
{
    return bool(FileIO::writeAtomically(path, toBytes()));
}

std::optional<RomAudit::Verdict> AuditCache::kept(const RomFolder &folder, const QByteArray &name)
{
    const auto it = m_entries.constFind(name);
    if (it == m_entries.constEnd())
        return std::nullopt;
    for (const Looked &set : it->looked)
        if (sourcesOf(folder, set.set) != set.sources)
            return std::nullopt;
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
