#include "fileio.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileIO {

namespace {

FaultInjector &faultInjector()
{
    static FaultInjector injector;
    return injector;
}

// The error number a fault injected at `step` makes the step report; 0 for none.
int injected(WriteStep step, const QByteArray &target)
{
    const FaultInjector &f = faultInjector();
    return f ? f(step, target).error : 0;
}

bool statPath(const QByteArray &path, struct stat &st)
{
    return !path.isEmpty() && path.indexOf('\0') < 0 && ::stat(path.constData(), &st) == 0;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// Writes every byte at `offset`, or at the file's own position when `offset` is -1.
bool writeAll(int fd, const char *data, qsizetype size, off_t offset = -1)
{
    while (size > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, data, size_t(size)) : ::pwrite(fd, data, size_t(size), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
        if (offset >= 0)
            offset += n;
    }
    return true;
}

std::optional<QByteArray> readAllFrom(int fd)
{
    QByteArray content;
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            return content;
        content.append(buffer, n);
        offset += n;
    }
}

// Rewrites the plain file `target` where it stands, for a directory that takes no temporary
// file. Its old bytes are read first, through the same descriptor, and written back when the new
// ones cannot all be written, so a failure leaves the file as it was (unless restoring fails too,
// which nothing can help). Returns 0 or the error number of the failure.
int writeInPlace(const QByteArray &target, const QByteArray &path, const QByteArray &content,
                 mode_t mode)
{
    const int fd = ::open(target.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return errno;
    struct stat st;
    std::optional<QByteArray> old;
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL; // replaced by something else since it was looked at
    else if (!(old = readAllFrom(fd)) || ((st.st_mode & 07777) != mode && ::fchmod(fd, mode) != 0))
        error = errno;
    if (error) {
        ::close(fd);
        return error;
    }
    const mode_t oldMode = st.st_mode & 07777;
    auto restore = [&](int error) {
        if (::ftruncate(fd, 0) == 0 && writeAll(fd, old->constData(), old->size(), 0))
            ::fsync(fd);
        if (mode != oldMode)
            ::fchmod(fd, oldMode);
        ::close(fd);
        return error;
    };
    if (::ftruncate(fd, 0) != 0)
        return restore(errno);
    // Written in two halves, so that a fault injected between them leaves a half-written file,
    // as a full disk would.
    const qsizetype half = content.size() / 2;
    if (!writeAll(fd, content.constData(), half, 0))
        return restore(errno);
    if (const int error = injected(WriteStep::WriteInPlace, path))
        return restore(error);
    if (!writeAll(fd, content.constData() + half, content.size() - half, off_t(half)) || ::fsync(fd) != 0)
        return restore(errno);
    // Flushed already: the bytes are on the disk, whatever close says.
    ::close(fd);
    return 0;
}

// The file a write to `path` really replaces: the final target of a chain of symbolic links.
QByteArray resolveLinks(const QByteArray &path)
{
    QByteArray current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.constData(), target.data(), size_t(target.size()));
        if (n < 0)
            return current;
        target.truncate(n);
        if (target.startsWith('/')) {
            current = target;
        } else {
            const qsizetype slash = current.lastIndexOf('/');
            current = (slash < 0 ? QByteArray() : current.left(slash + 1)) + target;
        }
    }
    return current;
}

} // namespace

bool exists(const QByteArray &path)
{
    struct stat st;
    return statPath(path, st);
}

bool isFile(const QByteArray &path)
{
    struct stat st;
    return statPath(path, st) && !S_ISDIR(st.st_mode);
}

bool isDirectory(const QByteArray &path)
{
    struct stat st;
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

std::optional<Stamp> stamp(const QByteArray &path)
{
    struct stat st;
    if (!statPath(path, st))
        return std::nullopt;
    return stampOf(st);
}

Stamp stampOf(const struct ::stat &st)
{
    return Stamp{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool isExecutableFile(const QByteArray &path)
{
    struct stat st;
    return statPath(path, st) && S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH));
}

bool canWriteIn(const QByteArray &directory)
{
    return isDirectory(directory) && injected(WriteStep::CreateTemporary, directory) == 0
        && ::access(directory.constData(), W_OK | X_OK) == 0;
}

std::optional<QByteArray> readHead(const QByteArray &path, qint64 bytes)
{
    if (path.isEmpty() || path.indexOf('\0') >= 0 || bytes < 0)
        return std::nullopt;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray content(qsizetype(std::min<qint64>(bytes, st.st_size)), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < content.size()) {
        const ssize_t n = ::read(fd, content.data() + got, size_t(content.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    content.truncate(got);
    return content;
}

std::optional<QByteArray> read(const QByteArray &path, qint64 limit)
{
    if (path.isEmpty() || path.indexOf('\0') >= 0)
        return std::nullopt;
    // Opened without waiting: a named pipe would otherwise hold the program until someone
    // writes to it. Only plain files are read.
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    if (st.st_size > limit) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray content;
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        content.reserve(qsizetype(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        if (content.size() + n > limit) { // it grew while being read
            ::close(fd);
            return std::nullopt;
        }
        content.append(buffer, n);
    }
    ::close(fd);
    return content;
}

std::optional<QByteArray> read(const QByteArray &path)
{
    return read(path, std::numeric_limits<qsizetype>::max());
}

FaultInjector setFaultInjector(FaultInjector injector)
{
    FaultInjector previous = std::move(faultInjector());
    faultInjector() = std::move(injector);
    return previous;
}

bool appendSynced(const QByteArray &path, const QByteArray &content)
{
    if (injected(WriteStep::Write, path))
        return false;
    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = writeAll(fd, content.constData(), content.size()) && !injected(WriteStep::Flush, path)
                    && ::fdatasync(fd) == 0;
    ::close(fd);
    return ok;
}

WriteResult writeAtomically(const QByteArray &path, const QByteArray &content, bool executable)
{
    if (path.isEmpty())
        return {ENOENT};
    if (path.indexOf('\0') >= 0)
        return {EINVAL};
    if (isDirectory(path))
        return {EISDIR};
    const QByteArray target = resolveLinks(path);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray directory = slash < 0 ? QByteArray(".") : target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);

    // New files get the usual permissions (0666 less the umask); existing files keep theirs.
    mode_t mode;
    struct stat st;
    const bool existing = ::stat(target.constData(), &st) == 0;
    if (existing) {
        // No write bit for anyone marks a file read-only, as the old platform's attribute did;
        // root, whom the system would let write it, is refused here.
        if ((st.st_mode & 0222) == 0)
            return {EACCES};
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (executable)
        mode |= (mode & 0444) >> 2;

    QByteArray temporary = (slash < 0 ? QByteArray() : directory) + '.' + name + ".XXXXXX";
    const int fault = injected(WriteStep::CreateTemporary, path);
    const int fd = fault ? -1 : ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = fault ? fault : errno;
        // A directory that refuses new files can still hold a file that may be written.
        const bool refused = fault || error == EACCES || error == EPERM || error == EROFS;
        if (refused && existing && S_ISREG(st.st_mode))
            return {writeInPlace(target, path, content, mode)};
        return {error};
    }
    auto fail = [&](int error) -> WriteResult {
        ::close(fd);
        ::unlink(temporary.constData());
        return {error};
    };
    if (::fchmod(fd, mode) != 0)
        return fail(errno);
    if (const int error = injected(WriteStep::Write, path))
        return fail(error);
    if (!writeAll(fd, content.constData(), content.size()))
        return fail(errno);
    if (const int error = injected(WriteStep::Flush, path))
        return fail(error);
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return {error};
    }
    int error = injected(WriteStep::Commit, path);
    if (!error && ::rename(temporary.constData(), target.constData()) != 0)
        error = errno;
    if (error)
        ::unlink(temporary.constData());
    return {error};
}

bool remove(const QByteArray &path)
{
    if (path.isEmpty() || isDirectory(path)) {
        errno = EISDIR;
        return false;
    }
    if (const int error = injected(WriteStep::Remove, path)) {
        errno = error;
        return false;
    }
    return ::unlink(path.constData()) == 0;
}

QByteArray currentDirectory()
{
    QByteArray buffer(PATH_MAX, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), size_t(buffer.size())))
            return QByteArray(buffer.constData());
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

int changeDirectory(const QByteArray &path)
{
    if (path.isEmpty())
        return ENOENT;
    if (path.indexOf('\0') >= 0)
        return EINVAL;
    return ::chdir(path.constData()) == 0 ? 0 : errno;
}

bool makeDirectories(const QByteArray &path)
{
    if (path.isEmpty() || isDirectory(path))
        return !path.isEmpty();
    const qsizetype slash = path.lastIndexOf('/', path.endsWith('/') ? path.size() - 2 : -1);
    if (slash > 0 && !makeDirectories(path.left(slash)))
        return false;
    if (::mkdir(path.constData(), 0777) == 0)
        return true;
    const int error = errno;
    if (isDirectory(path))
        return true;
    errno = error; // mkdir's reason, not the check's
    return false;
}

bool matchesMask(const QByteArray &name, const QByteArray &mask)
{
    // Iterative glob with one backtrack point: linear for the masks in use ("*.zip").
    qsizetype n = 0, m = 0, star = -1, mark = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || lowerAscii(mask[m]) == lowerAscii(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            star = m++;
            mark = n;
        } else if (star >= 0) {
            m = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

QList<Entry> listEntries(const QByteArray &directory, int limit, bool *cut)
{
    QList<Entry> entries;
    if (cut)
        *cut = false;
    if (directory.isEmpty() || directory.indexOf('\0') >= 0)
        return entries;
    DIR *dir = ::opendir(directory.constData());
    if (!dir)
        return entries;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.')
            continue;
        struct stat st;
        if (::fstatat(dirFd, name, &st, 0) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
            continue;
        if (entries.size() >= limit) {
            if (cut)
                *cut = true;
            break;
        }
        entries.append({QByteArray(name), S_ISDIR(st.st_mode), stampOf(st)});
    }
    ::closedir(dir);
    return entries;
}

namespace {

bool lessIgnoringCase(const QByteArray &a, const QByteArray &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char x = lowerAscii(a[i]), y = lowerAscii(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace

QList<QByteArray> listFiles(const QByteArray &directory, const QByteArray &mask, Hidden hidden,
                            QList<QByteArray> *directories)
{
    QList<QByteArray> names;
    if (directories)
        directories->clear();
    if (directory.isEmpty() || directory.indexOf('\0') >= 0)
        return names;
    DIR *dir = ::opendir(directory.constData());
    if (!dir)
        return names;
    const QList<QByteArray> masks = mask.split(';');
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (hidden == Hidden::Left || name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue; // ".", "..", and hidden files unless asked for
        const QByteArray bytes(name);
        const bool matches = std::any_of(masks.begin(), masks.end(), [&](const QByteArray &m) { return matchesMask(bytes, m); });
        if (!matches && !directories)
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat st;
            type = ::fstatat(dirFd, name, &st, 0) != 0 ? DT_UNKNOWN
                : S_ISREG(st.st_mode)                 ? DT_REG
                : S_ISDIR(st.st_mode)                 ? DT_DIR
                                                      : DT_UNKNOWN;
        }
        if (type == DT_REG && matches)
            names.append(bytes);
        else if (type == DT_DIR && directories)
            directories->append(bytes);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), lessIgnoringCase);
    if (directories)
        std::sort(directories->begin(), directories->end(), lessIgnoringCase);
    return names;
}

QByteArray findSubdirectory(const QByteArray &directory, const QByteArray &name)
{
    const QByteArray base = directory.isEmpty() ? QByteArray("/") : directory;
    const QByteArray sep = base.endsWith('/') ? QByteArray() : QByteArray("/");
    if (isDirectory(base + sep + name))
        return name;
    QByteArray found;
    DIR *dir = ::opendir(base.constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray candidate(entry->d_name);
        if (candidate.size() != name.size() || candidate.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if ((found.isEmpty() || candidate < found) && isDirectory(base + sep + candidate))
            found = candidate;
    }
    ::closedir(dir);
    return found;
}

} // namespace FileIO
