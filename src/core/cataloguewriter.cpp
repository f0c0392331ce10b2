#include "cataloguewriter.h"

#include <QHashFunctions>
#include <QRandomGenerator>
#include <algorithm>
#include <cstring>
#include <numeric>

using namespace CatalogueFormat;

namespace {

template <typename T>
void put(QByteArray &out, const T &value)
{
    out.append(reinterpret_cast<const char *>(&value), qsizetype(sizeof value));
}

template <typename T>
void putAll(QByteArray &out, const std::vector<T> &values)
{
    if (!values.empty())
        out.append(reinterpret_cast<const char *>(values.data()), qsizetype(values.size() * sizeof(T)));
}

// The offset the next table starts at, padded to 8 bytes.
quint64 pad(QByteArray &out)
{
    while (out.size() % 8)
        out.append('\0');
    return quint64(out.size());
}

} // namespace

Text CatalogueWriter::Pool::add(QByteArrayView text)
{
    if (text.isEmpty())
        return {};
    if (m_texts.size() * 2 >= m_slots.size())
        grow();
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = qHash(text) & mask;; slot = (slot + 1) & mask) {
        const quint32 entry = m_slots[slot];
        if (entry == 0) {
            const Text t{quint32(m_bytes.size()), quint32(text.size())};
            m_bytes.append(text.data(), text.size());
            m_texts.push_back(t);
            m_slots[slot] = quint32(m_texts.size());
            return t;
        }
        const Text t = m_texts[entry - 1];
        if (view(t) == text)
            return t;
    }
}

void CatalogueWriter::Pool::grow()
{
    std::vector<quint32> table(std::max<size_t>(1024, m_slots.size() * 2), 0);
    const size_t mask = table.size() - 1;
    for (size_t i = 0; i < m_texts.size(); ++i) {
        size_t slot = qHash(view(m_texts[i])) & mask;
        while (table[slot] != 0)
            slot = (slot + 1) & mask;
        table[slot] = quint32(i + 1);
    }
    m_slots = std::move(table);
}

CatalogueWriter::CatalogueWriter()
{
    beginMachine();
}

Text CatalogueWriter::listText(QByteArrayView text)
{
    return m_listPool.add(text);
}

Text CatalogueWriter::romText(QByteArrayView text)
{
    return m_romPool.add(text);
}

void CatalogueWriter::beginMachine()
{
    m_record = Record{};
    m_record.parent = -1;
    m_romMachine = RomMachine{};
    m_mark = {m_features.size(), m_roms.size(), m_disks.size(), m_refs.size(), m_bios.size(),
              m_listPool.bytes().size(), m_romPool.bytes().size()};
}

void CatalogueWriter::addFeature(const Feature &feature)
{
    m_features.push_back(feature);
}

void CatalogueWriter::addRom(const Rom &rom)
{
    m_roms.push_back(rom);
}

void CatalogueWriter::addDisk(const Disk &disk)
{
    m_disks.push_back(disk);
}

void CatalogueWriter::addDeviceRef(Text name)
{
    m_refs.push_back(name);
}

void CatalogueWriter::addBiosSet(const BiosSet &set)
{
    m_bios.push_back(set);
}

qint64 CatalogueWriter::machineBytes() const
{
    return qint64((m_features.size() - m_mark.features) * sizeof(Feature) + (m_roms.size() - m_mark.roms) * sizeof(Rom)
                  + (m_disks.size() - m_mark.disks) * sizeof(Disk) + (m_refs.size() - m_mark.refs) * sizeof(Text)
                  + (m_bios.size() - m_mark.bios) * sizeof(BiosSet))
        + (m_listPool.bytes().size() - m_mark.listPool) + (m_romPool.bytes().size() - m_mark.romPool);
}

void CatalogueWriter::endMachine()
{
    m_record.firstFeature = quint32(m_mark.features);
    m_record.featureCount = quint16(std::min<size_t>(m_features.size() - m_mark.features, 0xffff));
    m_romMachine = {quint32(m_mark.roms), quint32(m_roms.size() - m_mark.roms),
                    quint32(m_mark.disks), quint32(m_disks.size() - m_mark.disks),
                    quint32(m_mark.refs), quint32(m_refs.size() - m_mark.refs),
                    quint32(m_mark.bios), quint32(m_bios.size() - m_mark.bios)};
    m_records.push_back(m_record);
    m_romMachines.push_back(m_romMachine);
    beginMachine();
}

void CatalogueWriter::dropMachine()
{
    m_features.resize(m_mark.features);
    m_roms.resize(m_mark.roms);
    m_disks.resize(m_mark.disks);
    m_refs.resize(m_mark.refs);
    m_bios.resize(m_mark.bios);
    beginMachine();
}

bool CatalogueWriter::full() const
{
    // Offsets are 32 bits: the pools stay well below.
    return m_records.size() >= size_t(MaxMachines) || m_listPool.bytes().size() >= MaxPoolBytes
        || m_romPool.bytes().size() >= MaxPoolBytes || m_roms.size() >= 0xffff0000u || m_refs.size() >= 0xffff0000u;
}

CatalogueWriter::Images CatalogueWriter::finish(const QByteArray &key, const QString &note, bool complete, int skipped)
{
    // Name order; the first of equal names stays, the later ones are left out.
    std::vector<quint32> order(m_records.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [this](quint32 a, quint32 b) {
        return m_listPool.view(m_records[a].name) < m_listPool.view(m_records[b].name);
    });
    order.erase(std::unique(order.begin(), order.end(),
                            [this](quint32 a, quint32 b) {
                                return m_listPool.view(m_records[a].name) == m_listPool.view(m_records[b].name);
                            }),
                order.end());
    const int duplicates = int(m_records.size() - order.size());
    std::vector<Record> records;
    std::vector<RomMachine> romMachines;
    records.reserve(order.size());
    romMachines.reserve(order.size());
    for (quint32 i : order) {
        records.push_back(m_records[i]);
        romMachines.push_back(m_romMachines[i]);
    }
    for (Record &r : records) {
        r.parent = -1;
        if (r.cloneOf.size == 0)
            continue;
        const QByteArrayView parent = m_listPool.view(r.cloneOf);
        const auto found = std::lower_bound(records.begin(), records.end(), parent, [this](const Record &x, QByteArrayView name) {
            return m_listPool.view(x.name) < name;
        });
        if (found != records.end() && m_listPool.view(found->name) == parent)
            r.parent = qint32(found - records.begin());
    }

    CatalogueHeader h{};
    std::memcpy(h.magic, CatalogueMagic, sizeof h.magic);
    h.version = Version;
    h.headerSize = sizeof(CatalogueHeader);
    h.recordSize = sizeof(Record);
    h.machineCount = quint32(records.size());
    h.featureSize = sizeof(Feature);
    h.featureCount = quint32(m_features.size());
    h.key = m_listPool.add(key);
    h.note = m_listPool.add(note.toUtf8());
    h.buildId = QRandomGenerator::global()->generate64();
    h.skipped = quint32(std::max(0, skipped) + duplicates);
    h.flags = complete ? CatalogueComplete : 0;
    Images images;
    QByteArray &list = images.catalogue;
    list.reserve(qsizetype(sizeof h + records.size() * sizeof(Record) + m_features.size() * sizeof(Feature))
                 + m_listPool.bytes().size() + 32);
    put(list, h);
    h.recordsOffset = pad(list);
    putAll(list, records);
    h.featuresOffset = pad(list);
    putAll(list, m_features);
    h.poolOffset = pad(list);
    h.poolSize = quint64(m_listPool.bytes().size());
    list += m_listPool.bytes();
    std::memcpy(list.data(), &h, sizeof h);

    RomListHeader r{};
    std::memcpy(r.magic, RomListMagic, sizeof r.magic);
    r.version = Version;
    r.headerSize = sizeof(RomListHeader);
    r.machineSize = sizeof(RomMachine);
    r.romSize = sizeof(Rom);
    r.diskSize = sizeof(Disk);
    r.biosSetSize = sizeof(BiosSet);
    r.machineCount = quint32(romMachines.size());
    r.romCount = quint32(m_roms.size());
    r.diskCount = quint32(m_disks.size());
    r.deviceRefCount = quint32(m_refs.size());
    r.biosSetCount = quint32(m_bios.size());
    r.buildId = h.buildId;
    QByteArray &roms = images.romList;
    put(roms, r);
    r.machinesOffset = pad(roms);
    putAll(roms, romMachines);
    r.romsOffset = pad(roms);
    putAll(roms, m_roms);
    r.disksOffset = pad(roms);
    putAll(roms, m_disks);
    r.deviceRefsOffset = pad(roms);
    putAll(roms, m_refs);
    r.biosSetsOffset = pad(roms);
    putAll(roms, m_bios);
    r.poolOffset = pad(roms);
    r.poolSize = quint64(m_romPool.bytes().size());
    roms += m_romPool.bytes();
    std::memcpy(roms.data(), &r, sizeof r);
    return images;
}
