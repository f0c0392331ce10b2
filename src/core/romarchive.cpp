#include "romarchive.h"

#include <QCryptographicHash>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace RomArchive {

namespace {

QString errorText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

QString zipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = errorText(&error);
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
    listing.names.reserve(qsizetype(count) * 16);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &st) != 0 || !(st.valid & ZIP_STAT_NAME))
            continue;
        const QByteArrayView whole(st.name);
        if (whole.size() > MaxNameBytes || (namesBytes += whole.size()) > MaxNamesBytes) {
            listing.entries.clear();
            listing.names.clear();
            listing.fault = QStringLiteral("entry names longer than this program reads");
            return listing;
        }
        if (whole.endsWith('/'))
            continue; // a directory entry
        // The emulator finds an entry by its last part: "roms/pacman.6e" is "pacman.6e".
        const qsizetype slash = whole.lastIndexOf('/');
        listing.add(whole.sliced(slash + 1), (st.valid & ZIP_STAT_SIZE) ? st.size : 0,
                    (st.valid & ZIP_STAT_CRC) ? st.crc : 0, int(i));
    }
    return listing;
}

// An archive file for libzip as a listing reads it: opened once, its tail (the end record's
// search window, which holds the central directory of all but huge archives) read in one call
// and served from memory, anything before it read where asked. libzip's own file source makes
// several calls more per archive, which over a folder of archives costs more than the reading.
struct TailFile {
    static constexpr qint64 TailBytes = 0xffff + 22 + 20; // the longest comment, end record, zip64 locator
    int fd = -1;
    qint64 size = 0;
    qint64 pos = 0;
    qint64 tailAt = 0;
    QByteArray tail;
    zip_error_t error;

    bool readAt(char *out, qint64 at, qint64 n)
    {
        while (n > 0) {
            const ssize_t got = ::pread(fd, out, size_t(n), off_t(at));
            if (got <= 0) {
                if (got < 0 && errno == EINTR)
                    continue;
                zip_error_set(&error, ZIP_ER_READ, got < 0 ? errno : EIO);
                return false;
            }
            out += got;
            at += got;
            n -= got;
        }
        return true;
    }
};

zip_int64_t tailFileCall(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    TailFile &t = *static_cast<TailFile *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        t.pos = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = qint64(std::min<zip_uint64_t>(length, zip_uint64_t(t.size - t.pos)));
        char *out = static_cast<char *>(data);
        const qint64 before = std::clamp<qint64>(t.tailAt - t.pos, 0, n); // what lies before the tail
        if (before > 0 && !t.readAt(out, t.pos, before))
            return -1;
        if (n > before)
            std::memcpy(out + before, t.tail.constData() + (t.pos + before - t.tailAt), size_t(n - before));
        t.pos += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_ACCEPT_EMPTY:
        return 0; // an empty file is no archive, as libzip's own file source says
    case ZIP_SOURCE_STAT: {
        if (length < sizeof(zip_stat_t)) {
            zip_error_set(&t.error, ZIP_ER_INVAL, 0);
            return -1;
        }
        zip_stat_t *st = static_cast<zip_stat_t *>(data);
        zip_stat_init(st);
        st->size = zip_uint64_t(t.size);
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&t.error, data, length);
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t to = zip_source_seek_compute_offset(zip_uint64_t(t.pos), zip_uint64_t(t.size), data, length, &t.error);
        if (to < 0)
            return -1;
        t.pos = to;
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return t.pos;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                              ZIP_SOURCE_SUPPORTS, ZIP_SOURCE_ACCEPT_EMPTY, -1);
    default:
        zip_error_set(&t.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// The directory of the archive `file` holds (its tail read).
Listing listFrom(TailFile *file)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_function_create(tailFileCall, file, &error);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!archive) {
        const QString text = errorText(&error);
        zip_error_fini(&error);
        if (source)
            zip_source_free(source);
        return Listing::failed(text);
    }
    zip_error_fini(&error);
    Listing listing = listOpen(archive);
    zip_discard(archive); // frees the source too
    return listing;
}

} // namespace

Listing list(const QByteArray &path)
{
    TailFile file;
    zip_error_init(&file.error);
    struct Closer {
        TailFile &f;
        ~Closer()
        {
            if (f.fd >= 0)
                ::close(f.fd);
            zip_error_fini(&f.error);
        }
    } closer{file};
    struct stat st {};
    file.fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0) {
        zip_error_set(&file.error, ZIP_ER_OPEN, errno);
        return Listing::failed(errorText(&file.error));
    }
    file.size = qint64(st.st_size);
    file.tailAt = std::max<qint64>(0, file.size - TailFile::TailBytes);
    file.tail.resize(file.size - file.tailAt);
    if (!file.readAt(file.tail.data(), file.tailAt, file.tail.size()))
        return Listing::failed(errorText(&file.error));
    return listFrom(&file);
}

Listing list(QByteArrayView bytes)
{
    TailFile file; // all of it the tail
    zip_error_init(&file.error);
    file.size = bytes.size();
    file.tail = QByteArray::fromRawData(bytes.data(), bytes.size()); // read within this call only
    Listing listing = listFrom(&file);
    zip_error_fini(&file.error);
    return listing;
}

Archive::Archive(const QByteArray &path) : m_path(path)
{
    int error = 0;
    m_zip = zip_open(path.constData(), ZIP_RDONLY, &error);
    m_listing = m_zip ? listOpen(m_zip) : Listing::failed(zipErrorText(error));
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
