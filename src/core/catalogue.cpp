#include "catalogue.h"

#include <climits>
#include <cstring>

using namespace CatalogueFormat;

namespace {

template <typename T>
T at(const QByteArray &bytes, quint64 offset)
{
    T value;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

bool fitsInRange(quint8 value, quint8 last)
{
    return value <= last;
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
        if (!fits(f.type, h.poolSize) || !fitsInRange(f.status, lastState) || !fitsInRange(f.overall, lastState))
            return std::nullopt;
    }
    QByteArrayView previous;
    for (quint32 i = 0; i < h.machineCount; ++i) {
        const auto r = at<Record>(b, h.recordsOffset + quint64(i) * sizeof(Record));
        for (const Text &t : {r.name, r.description, r.year, r.manufacturer, r.cloneOf, r.romOf, r.sampleOf,
                              r.sourceFile, r.controls})
            if (!fits(t, h.poolSize))
                return std::nullopt;
        if (r.parent < -1 || r.parent >= qint32(h.machineCount)
            || !fits(quint64(r.firstFeature), r.featureCount, 1, h.featureCount)
            || !fitsInRange(r.status, lastStatus) || !fitsInRange(r.emulation, lastStatus)
            || !fitsInRange(r.screen, quint8(Screen::Unknown)))
            return std::nullopt;
        // Names unique and in order, or a search would miss them.
        const QByteArrayView name = catalogue.text(r.name);
        if (name.isEmpty() || (i > 0 && compare(previous, name) >= 0))
            return std::nullopt;
        previous = name;
    }
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
    for (qsizetype i = 0; i < length; ++i) {
        const char c = archive[i];
        lowered[i] = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    }
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
