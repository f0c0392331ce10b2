// ROM files made for the audit's tests: random bytes of a given size whose CRC-32 is a given one,
// written into zip archives, and catalogues read from "-listxml" text.
//
// CRC-32 is affine over GF(2): flipping one bit of the last four bytes flips a fixed set of bits
// of the result, whatever the bytes before. So the 32 bits of the last four bytes that give a
// wanted CRC solve a 32 x 32 linear system.
#pragma once

#include "catalogue.h"
#include "cataloguewriter.h"
#include "listxml.h"
#include "romlist.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <array>
#include <optional>
#include <zip.h>
#include <zlib.h>

namespace RomForge {

inline quint32 crcOf(const QByteArray &bytes, quint32 start = 0)
{
    return quint32(crc32(start, reinterpret_cast<const Bytef *>(bytes.constData()), uInt(bytes.size())));
}

// `size` random bytes (from `seed`) with CRC-32 `crc`; at least 4 bytes.
inline QByteArray withCrc(qint64 size, quint32 crc, quint32 seed)
{
    Q_ASSERT(size >= 4);
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &c : bytes)
        c = char(random.generate() & 0xff);
    const quint32 prefix = crcOf(bytes.first(size - 4));
    auto tail = [&](quint32 value) {
        QByteArray t(4, '\0');
        for (int i = 0; i < 4; ++i)
            t[i] = char((value >> (8 * i)) & 0xff);
        return t;
    };
    const quint32 base = crcOf(tail(0), prefix);
    // Column i: what bit i of the tail does to the result.
    std::array<quint32, 32> column{};
    for (int i = 0; i < 32; ++i)
        column[i] = crcOf(tail(quint32(1) << i), prefix) ^ base;
    // Gaussian elimination on rows (result bit r): solve sum x_i column_i = crc ^ base.
    std::array<quint64, 32> rows{}; // bits 0..31 the coefficients, bit 32 the right side
    const quint32 want = crc ^ base;
    for (int r = 0; r < 32; ++r) {
        quint64 row = 0;
        for (int i = 0; i < 32; ++i)
            if (column[i] >> r & 1)
                row |= quint64(1) << i;
        rows[r] = row | (quint64(want >> r & 1) << 32);
    }
    for (int c = 0, r0 = 0; c < 32; ++c) {
        int pivot = r0;
        while (pivot < 32 && !(rows[pivot] >> c & 1))
            ++pivot;
        Q_ASSERT(pivot < 32);
        std::swap(rows[pivot], rows[r0]);
        for (int r = 0; r < 32; ++r)
            if (r != r0 && (rows[r] >> c & 1))
                rows[r] ^= rows[r0];
        ++r0;
    }
    quint32 x = 0;
    for (int r = 0; r < 32; ++r)
        if (rows[r] >> 32 & 1)
            x |= quint32(1) << r; // row r has its pivot in column r
    bytes.replace(size - 4, 4, tail(x));
    Q_ASSERT(crcOf(bytes) == crc);
    return bytes;
}

struct File {
    QByteArray name;
    QByteArray bytes;
};

// Writes a zip archive holding `files`, stored (their data as it is); false when it cannot.
inline bool writeZip(const QByteArray &path, const QList<File> &files)
{
    if (files.isEmpty()) { // libzip writes no empty archive: its end record alone
        QFile out(QString::fromLocal8Bit(path));
        return out.open(QIODevice::WriteOnly) && out.write(QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0')) == 22;
    }
    int error = 0;
    zip_t *archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const File &file : files) {
        zip_source_t *source = zip_source_buffer(archive, file.bytes.constData(), zip_uint64_t(file.bytes.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, file.name.constData(), source, ZIP_FL_ENC_RAW) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    return zip_close(archive) == 0; // the data is read here, so `files` lives until now
}

struct Read {
    Catalogue catalogue;
    RomList roms;
};

// The catalogue and ROM list of a "-listxml" answer, read for `key`.
inline std::optional<Read> catalogueOf(const QByteArray &listXml, const QByteArray &key = "test")
{
    CatalogueWriter writer;
    ListXmlReader reader(writer);
    reader.feed(listXml);
    reader.finish(true);
    const CatalogueWriter::Images images = writer.finish(key, QString(), true, 0);
    std::optional<Catalogue> catalogue = Catalogue::fromBytes(images.catalogue);
    if (!catalogue)
        return std::nullopt;
    std::optional<RomList> roms = RomList::fromBytes(images.romList, catalogue->buildId(), catalogue->size());
    if (!roms)
        return std::nullopt;
    return Read{std::move(*catalogue), std::move(*roms)};
}

} // namespace RomForge
