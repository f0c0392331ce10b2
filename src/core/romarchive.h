// A ROM archive (.zip) as the audit reads it, through libzip: its directory (each entry's name,
// size and CRC-32, from the central directory, nothing decompressed) and, for a verification,
// its entries' SHA-1s from their bytes as they stream out, the archive opened once for all.
//
// Archives are hostile input. A directory with more than MaxEntries entries, a name longer than
// MaxNameBytes, or names longer than MaxNamesBytes together is refused as a whole; an entry that
// claims more than MaxEntryBytes is listed (it can only be wrong) and never read.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

struct zip;

namespace RomArchive {

constexpr int MaxEntries = 65536;
constexpr int MaxNameBytes = 4096;
constexpr qint64 MaxNamesBytes = qint64(16) << 20;
constexpr quint64 MaxEntryBytes = quint64(4) << 30;

struct Entry {
    // Its name (as stored, without any directory part the archive gives it) in the listing's names.
    quint32 nameAt = 0;
    quint32 nameSize = 0;
    quint64 size = 0;
    quint32 crc = 0;
    int index = 0;     // libzip's, to read it
};

struct Listing {
    QByteArray names;  // every entry's name, one after another: one block, not one each
    QList<Entry> entries;
    QString fault;     // why the archive cannot be read; empty when it can
    bool ok() const { return fault.isEmpty(); }
    static Listing failed(QString why)
    {
        Listing listing;
        listing.fault = std::move(why);
        return listing;
    }
    QByteArrayView nameOf(const Entry &entry) const { return QByteArrayView(names).sliced(entry.nameAt, entry.nameSize); }
    void add(QByteArrayView name, quint64 size, quint32 crc, int index)
    {
        entries.append({quint32(names.size()), quint32(name.size()), size, crc, index});
        names.append(name.data(), name.size());
    }
};

// The directory of the archive at `path`.
Listing list(const QByteArray &path);
// The same for an archive held in memory (the fuzz target's way in).
Listing list(QByteArrayView bytes);

// An archive held open: its directory, then any of its entries read.
class Archive {
public:
    explicit Archive(const QByteArray &path);
    ~Archive();
    Archive(const Archive &) = delete;
    Archive &operator=(const Archive &) = delete;

    const QByteArray &path() const { return m_path; }
    const Listing &listing() const { return m_listing; }
    // The SHA-1 (20 bytes) of entry `index`, read to its end; nothing when it cannot be read,
    // gives another number of bytes than `size`, or its bytes do not have the CRC-32 the archive
    // gives them (libzip checks it as the entry ends).
    std::optional<QByteArray> sha1(int index, quint64 size);

private:
    QByteArray m_path;
    ::zip *m_zip = nullptr;
    Listing m_listing;
    QByteArray m_buffer;
};

} // namespace RomArchive
