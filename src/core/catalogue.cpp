#include "catalogue.h"

#include "pathrules.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

using namespace CatalogueFormat;

namespace {

template <typename T>
T at(const char *bytes, quint64 offset)
{
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
}

template <typename T>
T at(const QByteArray &bytes, quint64 offset)
{
    return at<T>(bytes.constData(), offset);
}

int compare(QByteArrayView a, QByteArrayView b)
{
    const int c = std::memcmp(a.data(), b.data(), size_t(std::min(a.size(), b.size())));
    return c != 0 ? c : a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

QByteArray stampText(const std::optional<FileIO::Stamp> &stamp)
{
    if (!stamp)
        return "-";
    return QByteArray::number(stamp->size) + ' ' + QByteArray::number(stamp->modifiedNs);
}

} // namespace

std::optional<Catalogue> Catalogue::fromBytes(QByteArray bytes)
{
    const quint64 total = quint64(bytes.size());
    if (total < sizeof(CatalogueHeader))
        return std::nullopt;
    const auto h = at<CatalogueHeader>(bytes, 0);
    if (std::memcmp(h.magic, CatalogueMagic, sizeof h.magic) != 0 || h.version != Version
        || h.headerSize != sizeof(CatalogueHeader) || h.recordSize != sizeof(Record)
        || h.featureSize != sizeof(CatalogueFormat::Feature) || h.machineCount > quint32(INT_MAX))
        return std::nullopt;
    if (!fits(h.recordsOffset, h.machineCount, sizeof(Record), total)
        || !fits(h.featuresOffset, h.featureCount, sizeof(CatalogueFormat::Feature), total) || !fits(h.poolOffset, h.poolSize, 1, total)
        || !fits(h.key, h.poolSize) || !fits(h.note, h.poolSize))
        return std::nullopt;

    Catalogue catalogue;
    catalogue.m_bytes = std::move(bytes);
    catalogue.m_poolOffset = qsizetype(h.poolOffset);
    const QByteArray &b = catalogue.m_bytes;
    const quint8 lastStatus = quint8(Status::Preliminary), lastState = quint8(FeatureState::Unemulated);
    for (quint32 i = 0; i < h.featureCount; ++i) {
        const auto f = at<CatalogueFormat::Feature>(b, h.featuresOffset + quint64(i) * sizeof(CatalogueFormat::Feature));
        if (!fits(f.type, h.poolSize) || f.status > lastState || f.overall > lastState)
            return std::nullopt;
    }
    // Every record, with as few branches as may be: a catalogue of 45,000 is checked in about
    // the time its bytes take to read.
    const quint64 pool = h.poolSize;
    const auto end = [](Text t) { return quint64(t.offset) + t.size; };
    const char *records = b.constData() + h.recordsOffset;
    const char *names = b.constData() + h.poolOffset;
    bool bad = false;
    Text previous{};
    // The record's fields read one by one: a copy of the whole record costs more than the checks.
    static_assert(offsetof(Record, name) == 0 && offsetof(Record, controls) == 8 * sizeof(Text));
    for (quint32 i = 0; i < h.machineCount && !bad; ++i) {
        const char *r = records + quint64(i) * sizeof(Record);
        quint64 last = 0;
        for (size_t t = 0; t < 9; ++t)
            last = std::max(last, end(at<Text>(r, t * sizeof(Text))));
        const Text name = at<Text>(r, offsetof(Record, name));
        const auto parent = at<qint32>(r, offsetof(Record, parent));
        const auto firstFeature = at<quint32>(r, offsetof(Record, firstFeature));
        const auto featureCount = at<quint16>(r, offsetof(Record, featureCount));
        const auto status = at<quint8>(r, offsetof(Record, status));
        const auto emulation = at<quint8>(r, offsetof(Record, emulation));
        const auto screen = at<quint8>(r, offsetof(Record, screen));
        bad = (last > pool) | (parent < -1) | (parent >= qint32(h.machineCount))
            | (quint64(firstFeature) + featureCount > h.featureCount) | (status > lastStatus) | (emulation > lastStatus)
            | (screen > quint8(Screen::Unknown)) | (name.size == 0);
        // Names unique and in order, or a search would miss them.
        if (!bad && i > 0)
            bad = compare({names + previous.offset, qsizetype(previous.size)}, {names + name.offset, qsizetype(name.size)}) >= 0;
        previous = name;
    }
    if (bad)
        return std::nullopt;
    catalogue.m_count = int(h.machineCount);
    return catalogue;
}

CatalogueHeader Catalogue::header() const
{
    return at<CatalogueHeader>(m_bytes, 0);
}

Record Catalogue::record(int index) const
{
    Q_ASSERT(index >= 0 && index < m_count);
    return at<Record>(m_bytes, header().recordsOffset + quint64(index) * sizeof(Record));
}

Catalogue::Machine Catalogue::machine(int index) const
{
    return Machine(this, record(index));
}

QList<Catalogue::Feature> Catalogue::Machine::features() const
{
    QList<Feature> features;
    const CatalogueHeader h = m_catalogue->header();
    for (quint32 i = 0; i < m_record.featureCount; ++i) {
        const auto f = at<CatalogueFormat::Feature>(
            m_catalogue->m_bytes, h.featuresOffset + quint64(m_record.firstFeature + i) * sizeof(CatalogueFormat::Feature));
        features.append({text(f.type), FeatureState(f.status), FeatureState(f.overall)});
    }
    return features;
}

int Catalogue::indexOf(QByteArrayView name) const
{
    if (m_count == 0)
        return -1;
    const quint64 records = header().recordsOffset;
    int low = 0, high = m_count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        const auto t = at<Text>(m_bytes, records + quint64(middle) * sizeof(Record)); // the name comes first
        const int c = compare(text(t), name);
        if (c == 0)
            return middle;
        if (c < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return -1;
}

int Catalogue::indexOfArchive(QByteArrayView archive) const
{
    qsizetype dot = archive.size();
    while (dot > 0 && archive[dot - 1] != '.' && archive[dot - 1] != '/')
        --dot;
    const qsizetype length = dot > 0 && archive[dot - 1] == '.' ? dot - 1 : archive.size();
    // Machine names are lower case; archives copied from elsewhere may not be.
    char lowered[64];
    if (length <= 0 || length > qsizetype(sizeof lowered))
        return -1;
    for (qsizetype i = 0; i < length; ++i)
        lowered[i] = PathRules::lowerAscii(archive[i]);
    return indexOf(QByteArrayView(lowered, length));
}

bool Catalogue::isComplete() const
{
    return !m_bytes.isEmpty() && (header().flags & CatalogueComplete);
}

QString Catalogue::note() const
{
    return m_bytes.isEmpty() ? QString() : QString::fromUtf8(text(header().note));
}

int Catalogue::skipped() const
{
    return m_bytes.isEmpty() ? 0 : int(std::min<quint32>(header().skipped, INT_MAX));
}

QByteArrayView Catalogue::key() const
{
    return m_bytes.isEmpty() ? QByteArrayView() : text(header().key);
}

quint64 Catalogue::buildId() const
{
    return m_bytes.isEmpty() ? 0 : header().buildId;
}

QByteArray Catalogue::key(const QByteArray &program, const std::optional<FileIO::Stamp> &programStamp,
                          const QList<AnswerCache::File> &files, const QByteArray &version)
{
    QByteArray key = "program " + program.toHex() + "\nstamp " + stampText(programStamp) + '\n';
    for (const AnswerCache::File &f : files)
        key += "file " + f.path.toHex() + ' ' + stampText(f.stamp) + '\n';
    key += "version " + version.toHex() + '\n';
    return key;
}
