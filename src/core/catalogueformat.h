// The layout of the catalogue files in the cache directory, shared by the writer and the readers.
// Two files per emulator: the catalogue the game lists load (a header, one fixed-size record per
// machine in name order, the feature notes, and a pool of the texts they point into), and the
// ROM list a ROM audit loads (the same machines' ROMs, disks, device references and BIOS sets).
//
// Numbers are this machine's own (little-endian on every platform this program is built for); a
// file from elsewhere fails the checks of its header. Every offset is from the start of the file,
// every text an offset and a size into the file's pool. Nothing in a file is trusted: the readers
// bound every offset and count before they hand out a view.
#pragma once

#include <QtGlobal>

namespace CatalogueFormat {

constexpr char CatalogueMagic[8] = {'T', 'R', 'V', 'C', 'A', 'T', 'L', '\x1a'};
constexpr char RomListMagic[8] = {'T', 'R', 'V', 'R', 'O', 'M', 'S', '\x1a'};
// Raised with every change of the layout below or of what a field means.
constexpr quint32 Version = 1;

struct Text {
    quint32 offset = 0; // into the pool
    quint32 size = 0;
};

struct CatalogueHeader {
    char magic[8];
    quint32 version;
    quint32 headerSize;   // sizeof(CatalogueHeader)
    quint32 recordSize;   // sizeof(Record)
    quint32 machineCount;
    quint32 featureSize;  // sizeof(Feature)
    quint32 featureCount;
    quint64 recordsOffset;
    quint64 featuresOffset;
    quint64 poolOffset;
    quint64 poolSize;
    Text key;             // what the catalogue was read for: the emulator, its stamps, its version
    Text note;            // UTF-8: why the catalogue is incomplete, or what was left out
    quint64 buildId;      // the same in the ROM list read in the same run
    quint32 skipped;      // machines left out (unusable names, over a bound)
    quint32 flags;        // CatalogueComplete
};
constexpr quint32 CatalogueComplete = 1; // the emulator listed everything and ended with 0

// Record::flags
enum : quint8 { IsBios = 1, IsDevice = 2, Runnable = 4, IsMechanical = 8, NeedsDisk = 16 };

struct Record {
    Text name, description, year, manufacturer, cloneOf, romOf, sampleOf, sourceFile;
    Text controls;          // the control types, in the order listed, ", " between them
    qint32 parent;          // the record of cloneOf; -1 for none, or one not in the catalogue
    quint32 firstFeature;
    quint16 featureCount;
    quint16 rotate;         // 0, 90, 180 or 270
    quint8 flags;
    quint8 status;          // Catalogue::Status
    quint8 emulation;       // Catalogue::Status
    quint8 screen;          // Catalogue::Screen
    quint8 screens;         // displays listed, at most 255
    quint8 players;         // at most 255
    quint8 buttons;         // the most buttons of any control, at most 255
    quint8 reserved[5];
};

struct Feature {
    Text type;
    quint8 status;   // Catalogue::FeatureState
    quint8 overall;  // Catalogue::FeatureState
    quint8 reserved[2];
};

struct RomListHeader {
    char magic[8];
    quint32 version;
    quint32 headerSize;
    quint32 machineSize, romSize, diskSize, biosSetSize;
    quint32 machineCount, romCount, diskCount, deviceRefCount, biosSetCount;
    quint32 reserved;
    quint64 machinesOffset, romsOffset, disksOffset, deviceRefsOffset, biosSetsOffset;
    quint64 poolOffset, poolSize;
    quint64 buildId;
};

// One per record of the catalogue, in the same order.
struct RomMachine {
    quint32 firstRom, romCount, firstDisk, diskCount, firstDeviceRef, deviceRefCount, firstBiosSet, biosSetCount;
};

// Rom::flags and Disk::flags
enum : quint8 { HasCrc = 1, HasSha1 = 2, Optional = 4 };

struct Rom {
    Text name, merge;
    quint64 size;
    quint32 crc;
    quint8 sha1[20];
    quint8 flags;
    quint8 status; // RomList::Dump
    quint8 reserved[6];
};

struct Disk {
    Text name, merge;
    quint8 sha1[20];
    quint8 flags;
    quint8 status;
    quint8 reserved[2];
};

// A device reference is a Text.

struct BiosSet {
    Text name, description;
    quint8 isDefault;
    quint8 reserved[3];
};

// Whether `count` elements of `elementSize` bytes from `offset` lie within `total` bytes.
inline bool fits(quint64 offset, quint64 count, quint64 elementSize, quint64 total)
{
    return offset <= total && count <= (total - offset) / elementSize;
}
// Whether a text lies within a pool of `poolSize` bytes.
inline bool fits(Text t, quint64 poolSize)
{
    return t.offset <= poolSize && t.size <= poolSize - t.offset;
}

static_assert(sizeof(CatalogueHeader) == 96 && sizeof(Record) == 96 && sizeof(Feature) == 12);
static_assert(sizeof(RomListHeader) == 120 && sizeof(RomMachine) == 32 && sizeof(Rom) == 56
              && sizeof(Disk) == 40 && sizeof(BiosSet) == 20);

} // namespace CatalogueFormat
