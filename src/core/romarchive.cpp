#include "romarchive.h"

#include <QCryptographicHash>
#include <zip.h>

namespace RomArchive {

namespace {

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

Listing listOpen(zip_t *archive)
{
    Listing listing;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || count > MaxEntries) {
        listing.fault = QStringLiteral("more than %1 entries").arg(MaxEntries);
        return listing;
    }
    qint64 namesBytes = 0;
    listing.entries.reserve(qsizetype(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            continue;
        const QByteArrayView whole(st.name);
        if (whole.size() > MaxNameBytes || (namesBytes += whole.size()) > MaxNamesBytes) {
            listing.entries.clear();
            listing.fault = QStringLiteral("entry names longer than this program reads");
            return listing;
        }
        if (whole.endsWith('/'))
            continue; // a directory entry
        // The emulator finds an entry by its last part: "roms/pacman.6e" is "pacman.6e".
        const qsizetype slash = whole.lastIndexOf('/');
        Entry entry;
        entry.name = whole.sliced(slash + 1).toByteArray();
        entry.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        entry.crc = (st.valid & ZIP_STAT_CRC) ? st.crc : 0;
        entry.index = int(i);
        listing.entries.append(std::move(entry));
    }
    return listing;
}

} // namespace

Listing list(const QByteArray &path)
{
    return Archive(path).listing();
}

Listing list(QByteArrayView bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return {{}, QStringLiteral("out of memory")};
    }
    zip_t *archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive) {
        const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        zip_source_free(source);
        return {{}, text};
    }
    zip_error_fini(&error);
    Listing listing = listOpen(archive);
    zip_discard(archive); // frees the source too
    return listing;
}

Archive::Archive(const QByteArray &path) : m_path(path)
{
    int error = 0;
    m_zip = zip_open(path.constData(), ZIP_RDONLY, &error);
    m_listing = m_zip ? listOpen(m_zip) : Listing{{}, zipErrorText(error)};
}

Archive::~Archive()
{
    if (m_zip)
        zip_discard(m_zip);
}

std::optional<QByteArray> Archive::sha1(int index, quint64 size)
{
    if (!m_zip || size > MaxEntryBytes)
        return std::nullopt;
    zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file)
        return std::nullopt;
    if (m_buffer.isEmpty())
        m_buffer.resize(1 << 16);
    QCryptographicHash sha1(QCryptographicHash::Sha1);
    quint64 total = 0;
    zip_int64_t n = 0;
    // One byte more than the entry should hold is asked for, so a longer stream shows; the read
    // at its end fails when its bytes do not have their CRC-32.
    while (total <= size && (n = zip_fread(file, m_buffer.data(), zip_uint64_t(m_buffer.size()))) > 0) {
        total += quint64(n);
        sha1.addData(QByteArrayView(m_buffer.constData(), qsizetype(n)));
    }
    zip_fclose(file);
    if (n < 0 || total != size)
        return std::nullopt;
    return sha1.result();
}

} // namespace RomArchive
