// Builds the two images of catalogueformat.h, machine by machine as a reader hands them over:
// the catalogue the lists load and the ROM list of the audit. Texts go into pools as they come,
// each text once (a maker, a year, a device's name are shared by thousands of machines); a
// machine that is left out half-way takes back what it added to the tables (its texts stay in
// the pools, which its share of the answer's bound already bounds).
//
// The catalogue comes out in name order; a name listed twice keeps its first machine.
#pragma once

#include "catalogueformat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

class CatalogueWriter {
public:
    // Past these the writer is full(): no answer of a real emulator comes near them.
    static constexpr int MaxMachines = 250000;
    static constexpr qint64 MaxPoolBytes = qint64(1) << 30;

    CatalogueWriter();

    // Texts for the catalogue's records and features, and for the ROM list.
    CatalogueFormat::Text listText(QByteArrayView text);
    CatalogueFormat::Text romText(QByteArrayView text);

    // The machine being read: its record (its feature range is the writer's), then its tables.
    void beginMachine();
    CatalogueFormat::Record &record() { return m_record; }
    void addFeature(const CatalogueFormat::Feature &feature);
    void addRom(const CatalogueFormat::Rom &rom);
    void addDisk(const CatalogueFormat::Disk &disk);
    void addDeviceRef(CatalogueFormat::Text name);
    void addBiosSet(const CatalogueFormat::BiosSet &set);
    // Bytes the machine being read added so far, to its tables and the pools.
    qint64 machineBytes() const;
    void endMachine();   // kept
    void dropMachine();  // left out

    int machines() const { return int(m_records.size()); }
    // Over a bound: nothing more should be added.
    bool full() const;

    struct Images {
        QByteArray catalogue;
        QByteArray romList;
    };
    // The images, with the key they were read for, a note for the user and the number of machines
    // left out; `complete` when the emulator listed everything.
    Images finish(const QByteArray &key, const QString &note, bool complete, int skipped);

private:
    // A pool of texts, each stored once.
    class Pool {
    public:
        CatalogueFormat::Text add(QByteArrayView text);
        const QByteArray &bytes() const { return m_bytes; }
        QByteArrayView view(CatalogueFormat::Text t) const { return {m_bytes.constData() + t.offset, qsizetype(t.size)}; }

    private:
        void grow();
        QByteArray m_bytes;
        std::vector<CatalogueFormat::Text> m_texts;
        std::vector<quint32> m_slots; // 1 + index into m_texts; 0 for an empty slot
    };

    // Where the machine being read began in each table, to take it back.
    struct Mark {
        size_t features, roms, disks, refs, bios;
        qint64 listPool, romPool;
    };

    Pool m_listPool, m_romPool;
    CatalogueFormat::Record m_record{};
    CatalogueFormat::RomMachine m_romMachine{};
    Mark m_mark{};
    std::vector<CatalogueFormat::Record> m_records;
    std::vector<CatalogueFormat::RomMachine> m_romMachines;
    std::vector<CatalogueFormat::Feature> m_features;
    std::vector<CatalogueFormat::Rom> m_roms;
    std::vector<CatalogueFormat::Disk> m_disks;
    std::vector<CatalogueFormat::Text> m_refs;
    std::vector<CatalogueFormat::BiosSet> m_bios;
};
