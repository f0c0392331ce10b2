// What a ROM audit needs of an emulator's catalogue, kept apart from it so that the game lists
// never load it: for each machine its ROMs, disks, device references and BIOS sets, as its
// "-listxml" answer lists them. Machine numbers are the catalogue's (the same name order); a ROM
// list belongs to the catalogue with the same build id.
//
// Like the catalogue, one byte array checked on load; the texts are views into it.
#pragma once

#include "catalogueformat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

class RomList {
public:
    enum class Dump : quint8 { Good, BadDump, NoDump };
    struct Rom {
        QByteArrayView name;
        QByteArrayView merge;      // the name in the parent's set, when it comes from there
        quint64 size = 0;
        std::optional<quint32> crc;
        QByteArrayView sha1;       // 20 bytes; empty when none is known
        Dump status = Dump::Good;
        bool optional = false;
    };
    struct Disk {
        QByteArrayView name;
        QByteArrayView merge;
        QByteArrayView sha1;
        Dump status = Dump::Good;
        bool optional = false;
    };
    struct BiosSet {
        QByteArrayView name;
        QByteArrayView description;
        bool isDefault = false;
    };

    RomList() = default;
    // The ROM list these bytes hold; nothing when they hold none, or one of another build than
    // the catalogue's (`buildId`, `machineCount`).
    static std::optional<RomList> fromBytes(QByteArray bytes, quint64 buildId, int machineCount);

    int size() const { return m_count; }
    QList<Rom> roms(int machine) const;
    QList<Disk> disks(int machine) const;
    QList<QByteArrayView> deviceRefs(int machine) const;
    QList<BiosSet> biosSets(int machine) const;
    const QByteArray &bytes() const { return m_bytes; }

private:
    CatalogueFormat::RomListHeader header() const;
    CatalogueFormat::RomMachine machine(int index) const;
    QByteArrayView text(CatalogueFormat::Text t) const
    {
        return {m_bytes.constData() + m_poolOffset + t.offset, qsizetype(t.size)};
    }

    QByteArray m_bytes;
    qsizetype m_poolOffset = 0;
    int m_count = 0;
};
