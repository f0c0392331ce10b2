#include "romlist.h"

#include <cstddef>
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

// The SHA-1 of the entry at `offset`, in the bytes themselves.
template <typename T>
QByteArrayView sha1Of(const QByteArray &bytes, quint64 offset, quint8 flags)
{
    return flags & HasSha1 ? QByteArrayView(bytes.constData() + offset + offsetof(T, sha1), 20) : QByteArrayView();
}

} // namespace

std::optional<RomList> RomList::fromBytes(QByteArray bytes, quint64 buildId, int machineCount)
{
    const quint64 total = quint64(bytes.size());
    if (total < sizeof(RomListHeader))
        return std::nullopt;
    const auto h = at<RomListHeader>(bytes, 0);
    if (std::memcmp(h.magic, RomListMagic, sizeof h.magic) != 0 || h.version != Version
        || h.headerSize != sizeof(RomListHeader) || h.machineSize != sizeof(RomMachine) || h.romSize != sizeof(CatalogueFormat::Rom)
        || h.diskSize != sizeof(CatalogueFormat::Disk) || h.biosSetSize != sizeof(CatalogueFormat::BiosSet) || h.buildId != buildId
        || machineCount < 0 || h.machineCount != quint32(machineCount))
        return std::nullopt;
    if (!fits(h.machinesOffset, h.machineCount, sizeof(RomMachine), total)
        || !fits(h.romsOffset, h.romCount, sizeof(CatalogueFormat::Rom), total) || !fits(h.disksOffset, h.diskCount, sizeof(CatalogueFormat::Disk), total)
        || !fits(h.deviceRefsOffset, h.deviceRefCount, sizeof(Text), total)
        || !fits(h.biosSetsOffset, h.biosSetCount, sizeof(CatalogueFormat::BiosSet), total) || !fits(h.poolOffset, h.poolSize, 1, total))
        return std::nullopt;
    for (quint32 i = 0; i < h.machineCount; ++i) {
        const auto m = at<RomMachine>(bytes, h.machinesOffset + quint64(i) * sizeof(RomMachine));
        if (!fits(m.firstRom, m.romCount, 1, h.romCount) || !fits(m.firstDisk, m.diskCount, 1, h.diskCount)
            || !fits(m.firstDeviceRef, m.deviceRefCount, 1, h.deviceRefCount)
            || !fits(m.firstBiosSet, m.biosSetCount, 1, h.biosSetCount))
            return std::nullopt;
    }
    const quint8 lastDump = quint8(Dump::NoDump);
    for (quint32 i = 0; i < h.romCount; ++i) {
        const auto r = at<CatalogueFormat::Rom>(bytes, h.romsOffset + quint64(i) * sizeof(CatalogueFormat::Rom));
        if (!fits(r.name, h.poolSize) || !fits(r.merge, h.poolSize) || r.status > lastDump)
            return std::nullopt;
    }
    for (quint32 i = 0; i < h.diskCount; ++i) {
        const auto d = at<CatalogueFormat::Disk>(bytes, h.disksOffset + quint64(i) * sizeof(CatalogueFormat::Disk));
        if (!fits(d.name, h.poolSize) || !fits(d.merge, h.poolSize) || d.status > lastDump)
            return std::nullopt;
    }
    for (quint32 i = 0; i < h.deviceRefCount; ++i)
        if (!fits(at<Text>(bytes, h.deviceRefsOffset + quint64(i) * sizeof(Text)), h.poolSize))
            return std::nullopt;
    for (quint32 i = 0; i < h.biosSetCount; ++i) {
        const auto s = at<CatalogueFormat::BiosSet>(bytes, h.biosSetsOffset + quint64(i) * sizeof(CatalogueFormat::BiosSet));
        if (!fits(s.name, h.poolSize) || !fits(s.description, h.poolSize))
            return std::nullopt;
    }
    RomList list;
    list.m_bytes = std::move(bytes);
    list.m_poolOffset = qsizetype(h.poolOffset);
    list.m_count = machineCount;
    return list;
}

RomListHeader RomList::header() const
{
    return at<RomListHeader>(m_bytes, 0);
}

RomMachine RomList::machine(int index) const
{
    Q_ASSERT(index >= 0 && index < m_count);
    return at<RomMachine>(m_bytes, header().machinesOffset + quint64(index) * sizeof(RomMachine));
}

QList<RomList::Rom> RomList::roms(int index) const
{
    const RomMachine m = machine(index);
    const quint64 base = header().romsOffset;
    QList<Rom> roms;
    roms.reserve(qsizetype(m.romCount));
    for (quint32 i = 0; i < m.romCount; ++i) {
        const quint64 offset = base + quint64(m.firstRom + i) * sizeof(CatalogueFormat::Rom);
        const auto r = at<CatalogueFormat::Rom>(m_bytes, offset);
        roms.append({text(r.name), text(r.merge), r.size,
                     r.flags & HasCrc ? std::optional<quint32>(r.crc) : std::nullopt,
                     sha1Of<CatalogueFormat::Rom>(m_bytes, offset, r.flags),
                     Dump(r.status), bool(r.flags & Optional)});
    }
    return roms;
}

QList<RomList::Disk> RomList::disks(int index) const
{
    const RomMachine m = machine(index);
    const quint64 base = header().disksOffset;
    QList<Disk> disks;
    for (quint32 i = 0; i < m.diskCount; ++i) {
        const quint64 offset = base + quint64(m.firstDisk + i) * sizeof(CatalogueFormat::Disk);
        const auto d = at<CatalogueFormat::Disk>(m_bytes, offset);
        disks.append({text(d.name), text(d.merge), sha1Of<CatalogueFormat::Disk>(m_bytes, offset, d.flags), Dump(d.status),
                      bool(d.flags & Optional)});
    }
    return disks;
}

QList<QByteArrayView> RomList::deviceRefs(int index) const
{
    const RomMachine m = machine(index);
    const quint64 base = header().deviceRefsOffset;
    QList<QByteArrayView> refs;
    for (quint32 i = 0; i < m.deviceRefCount; ++i)
        refs.append(text(at<Text>(m_bytes, base + quint64(m.firstDeviceRef + i) * sizeof(Text))));
    return refs;
}

QList<RomList::BiosSet> RomList::biosSets(int index) const
{
    const RomMachine m = machine(index);
    const quint64 base = header().biosSetsOffset;
    QList<BiosSet> sets;
    for (quint32 i = 0; i < m.biosSetCount; ++i) {
        const auto s = at<CatalogueFormat::BiosSet>(m_bytes, base + quint64(m.firstBiosSet + i) * sizeof(CatalogueFormat::BiosSet));
        sets.append({text(s.name), text(s.description), s.isDefault != 0});
    }
    return sets;
}
