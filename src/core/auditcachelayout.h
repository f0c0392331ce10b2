// The layout of the file of kept verdicts (AuditCache): its parts written and read back within
// bounds. The whole part is the magic, the layout version, the key, a table of texts, then the
// entries in name order; each journal record its length, CRC-32 and what it does.
#pragma once

#include "auditcache.h"

#include <QtEndian>
#include <vector>
#include <zlib.h>

namespace AuditCacheLayout {

inline constexpr char Magic[8] = {'T', 'V', 'O', 'A', 'U', 'D', 'I', 'T'};
// A journal record: its payload's length and CRC-32, then what it does.
enum class Record : quint8 { Keep = 1, Drop = 2 };
constexpr qint64 RecordHead = 8;

inline quint32 crcOf(QByteArrayView bytes)
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

// The file's bytes read back from `from`; any read past the end or over a bound fails the whole
// reading. Positions are in the whole of `in`.
class Reader {
public:
    explicit Reader(QByteArrayView in, qsizetype from = 0) : m_in(in), m_pos(from) {}
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
    QByteArrayView view(int max = AuditCache::MaxTextBytes)
    {
        const quint32 n = u32();
        if (n > quint32(max) || !need(n))
            return fail(), QByteArrayView();
        const QByteArrayView v = m_in.sliced(m_pos, qsizetype(n));
        m_pos += n;
        return v;
    }
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
// An entry: the set, its state, its summary's and details' places in a table of texts, the
// files it found missing or wrong, and each set it looked in with that set's sources then.
inline void putEntry(Writer &out, const RomAudit::Verdict &v, const QList<AuditCache::Looked> &looked, quint32 summary,
              quint32 details)
{
    out.bytes(v.set);
    out.u8(quint8(v.state));
    out.u32(summary);
    out.u32(details);
    out.u32(quint32(v.problems.size()));
    for (const auto &[name, kind] : v.problems) {
        out.bytes(name);
        out.u8(quint8(kind));
    }
    out.u32(quint32(looked.size()));
    for (const AuditCache::Looked &set : looked) {
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

// Passes over one entry, checking it as this program writes them (`texts` in its table), and
// gives its set; `in` fails on anything else. Nothing is copied.
inline QByteArrayView walkEntry(Reader &in, size_t texts)
{
    const QByteArrayView set = in.view();
    const quint8 state = in.u8();
    if (state > quint8(RomAudit::State::NotAudited) || set.isEmpty() || in.u32() >= texts || in.u32() >= texts)
        in.fail();
    const int problems = in.count(AuditCache::MaxListItems, 5);
    for (int p = 0; p < problems && in.ok(); ++p) {
        in.view();
        if (in.u8() > quint8(RomAudit::Verdict::Problem::Wrong))
            in.fail();
    }
    const int looked = in.count(AuditCache::MaxListItems, 8);
    for (int l = 0; l < looked && in.ok(); ++l) {
        in.view();
        const int sources = in.count(AuditCache::MaxSourcesPerSet, 21);
        for (int s = 0; s < sources && in.ok(); ++s) {
            if (in.u8() > quint8(RomFolder::Kind::SevenZip))
                in.fail();
            in.view();
            in.i64();
            in.i64();
        }
    }
    return set;
}

// A table of texts: their number, then each.
inline bool readTable(Reader &in, std::vector<QByteArrayView> *texts)
{
    const int n = in.count(2 * AuditCache::MaxSets, 4);
    texts->reserve(size_t(n));
    for (int i = 0; i < n && in.ok(); ++i)
        texts->push_back(in.view());
    return in.ok();
}

// The texts of some entries, each once, in the order first named.
class TableWriter {
public:
    quint32 add(const QByteArray &text)
    {
        const auto it = m_index.constFind(text);
        if (it != m_index.constEnd())
            return *it;
        const quint32 index = quint32(m_texts.size());
        m_index.insert(text, index);
        m_texts.append(text);
        return index;
    }
    void put(Writer &out) const
    {
        out.u32(quint32(m_texts.size()));
        for (const QByteArray &text : m_texts)
            out.bytes(text);
    }

private:
    QHash<QByteArray, quint32> m_index;
    QList<QByteArray> m_texts;
};

inline QByteArray record(Record op, const QByteArray &payload)
{
    Writer out;
    out.u32(quint32(payload.size() + 1));
    QByteArray body(1, char(op));
    body += payload;
    out.u32(crcOf(body));
    out.out() += body;
    return std::move(out.out());
}

} // namespace AuditCacheLayout
