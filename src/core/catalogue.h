// An emulator's catalogue of the machines it emulates, as the game lists show it: for each
// machine its name, title, year, maker, parent, driver status, the features it emulates badly or
// not at all, players and controls, screen, and whether it needs a disk. Read from the emulator's
// "-listxml" answer (ListXmlReader) and kept in the cache directory (catalogueformat.h).
//
// The catalogue is one byte array, the cache file's bytes as they were read: loading is one
// read and a check of every offset and count, and the machines stay in the array. Every text is
// a view into it, UTF-8 (the entities of the answer decoded), valid while the catalogue lives.
// Machines are in name order, so a name is found by a binary search.
#pragma once

#include "answercache.h"
#include "catalogueformat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

class Catalogue {
public:
    enum class Status : quint8 { Unknown, Good, Imperfect, Preliminary };
    enum class Screen : quint8 { None, Raster, Vector, Lcd, Svg, Unknown };
    enum class FeatureState : quint8 { None, Imperfect, Unemulated };
    // A part of the machine that is emulated badly or not at all ("sound", "protection", ...):
    // `status` for the machine itself, `overall` for it with the devices in it.
    struct Feature {
        QByteArrayView type;
        FeatureState status;
        FeatureState overall;
    };

    class Machine {
    public:
        QByteArrayView name() const { return text(m_record.name); }
        QByteArrayView description() const { return text(m_record.description); } // the title
        QByteArrayView year() const { return text(m_record.year); }                // "1980", "198?"
        QByteArrayView manufacturer() const { return text(m_record.manufacturer); }
        QByteArrayView cloneOf() const { return text(m_record.cloneOf); }
        QByteArrayView romOf() const { return text(m_record.romOf); }
        QByteArrayView sampleOf() const { return text(m_record.sampleOf); }
        QByteArrayView sourceFile() const { return text(m_record.sourceFile); }
        // The control types, as the emulator names them, in its order: "joy, dial".
        QByteArrayView controls() const { return text(m_record.controls); }
        // The index of the parent (cloneOf) in the catalogue; -1 for none or one not listed.
        int parent() const { return m_record.parent; }
        bool isBios() const { return m_record.flags & CatalogueFormat::IsBios; }
        bool isDevice() const { return m_record.flags & CatalogueFormat::IsDevice; }
        bool isRunnable() const { return m_record.flags & CatalogueFormat::Runnable; }
        bool isMechanical() const { return m_record.flags & CatalogueFormat::IsMechanical; }
        // A disk image (CHD) that is not optional is among its files.
        bool needsDisk() const { return m_record.flags & CatalogueFormat::NeedsDisk; }
        // What a game list shows: neither a BIOS nor a device, and runnable.
        bool isGame() const { return !isBios() && !isDevice() && isRunnable(); }
        Status status() const { return Status(m_record.status); }    // the driver's overall status
        Status emulation() const { return Status(m_record.emulation); }
        Screen screen() const { return Screen(m_record.screen); }    // the first display's
        int rotate() const { return m_record.rotate; }
        int screens() const { return m_record.screens; }
        int players() const { return m_record.players; }
        int buttons() const { return m_record.buttons; }
        QList<Feature> features() const;

    private:
        friend class Catalogue;
        Machine(const Catalogue *catalogue, const CatalogueFormat::Record &record)
            : m_catalogue(catalogue), m_record(record) {}
        QByteArrayView text(CatalogueFormat::Text t) const { return m_catalogue->text(t); }
        const Catalogue *m_catalogue;
        CatalogueFormat::Record m_record;
    };

    // No catalogue.
    Catalogue() = default;
    // The catalogue these bytes hold (a cache file's, or a writer's); nothing when they hold
    // none: too short, another layout version, or any offset or count out of bounds.
    static std::optional<Catalogue> fromBytes(QByteArray bytes);

    bool isEmpty() const { return m_count == 0; }
    int size() const { return m_count; }
    // The machine at `index` (0 <= index < size()), in name order.
    Machine machine(int index) const;
    // The index of the machine named `name`; -1 when there is none.
    int indexOf(QByteArrayView name) const;
    // The index of the machine a game archive names ("pacman.zip", "Galaga.ZIP": the name
    // without its extension, in any letter case); -1 when there is none.
    int indexOfArchive(QByteArrayView archive) const;

    // Whether the emulator listed everything and ended well; else note() says what happened.
    bool isComplete() const;
    // A short text for the user: why the catalogue is incomplete or missing, what was left out;
    // empty for a complete one.
    QString note() const;
    // Machines of the answer that were left out (unusable names, over a bound).
    int skipped() const;
    // What the catalogue was read for (key()); the ROM list read with it has the same build id.
    QByteArrayView key() const;
    quint64 buildId() const;
    // The bytes, as kept on disk.
    const QByteArray &bytes() const { return m_bytes; }

    // The key of a catalogue read from `program` with the stamp it had when the run started,
    // while `files` (the mame.ini files along its inipath) had theirs, and the emulator's
    // "-version" answer, taken as it is.
    static QByteArray key(const QByteArray &program, const std::optional<FileIO::Stamp> &programStamp,
                          const QList<AnswerCache::File> &files, const QByteArray &version);

private:
    CatalogueFormat::Record record(int index) const;
    QByteArrayView text(CatalogueFormat::Text t) const
    {
        return {m_bytes.constData() + m_poolOffset + t.offset, qsizetype(t.size)};
    }
    CatalogueFormat::CatalogueHeader header() const;

    QByteArray m_bytes;
    qsizetype m_poolOffset = 0;
    int m_count = 0;
};
