// The file system, on byte paths: every name the system holds is usable, valid UTF-8 or not.
// This is the one unit that talks to the operating system's file calls.
#pragma once

#include <QByteArray>
#include <QList>
#include <cerrno>
#include <functional>
#include <optional>

struct stat;

namespace FileIO {

bool exists(const QByteArray &path);          // anything at the path (links followed)
bool isFile(const QByteArray &path);          // a file that is not a directory (links followed)
bool isDirectory(const QByteArray &path);     // a directory (links followed)

// What tells a file's version apart: its size and its time of last change. Two equal stamps mean
// the file was, as far as anyone can tell cheaply, not changed.
struct Stamp {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool operator==(const Stamp &o) const { return size == o.size && modifiedNs == o.modifiedNs; }
    bool operator!=(const Stamp &o) const { return !(*this == o); }
};
// The stamp of what is at the path (links followed); nothing when there is nothing.
std::optional<Stamp> stamp(const QByteArray &path);
// The stamp a stat of the file found.
Stamp stampOf(const struct ::stat &st);

// A plain file (links followed) that its mode lets someone run.
bool isExecutableFile(const QByteArray &path);
// Whether this user may make files in `directory` (writes fail through the fault seam for the
// target `directory` at WriteStep::CreateTemporary, as a write there would).
bool canWriteIn(const QByteArray &directory);

// The whole content of a plain file, or nothing when it cannot be read (missing, a directory,
// a named pipe or device, refused).
std::optional<QByteArray> read(const QByteArray &path);
// The same for a file of at most `limit` bytes: a larger one is not read at all.
std::optional<QByteArray> read(const QByteArray &path, qint64 limit);

// The first `bytes` bytes of a plain file (fewer when it is shorter); nothing when it cannot be read.
std::optional<QByteArray> readHead(const QByteArray &path, qint64 bytes);

// The steps of a write, in order. A fault injected at a step makes the write fail there.
// WriteInPlace is reached only when no temporary file can be made (CreateTemporary failed) and
// the file is rewritten where it is; a fault there strikes after part of the new bytes is written.
enum class WriteStep { CreateTemporary, Write, Flush, Commit, WriteInPlace, Remove };
// An injector's answer: no fault, or a fault with the error number the failed step reports.
// Injectors answering yes or no get EIO, a plausible reason for any step.
struct Fault {
    int error = 0;
    Fault(bool fails) : error(fails ? EIO : 0) {}
    Fault(int) = delete; // an error number is given through withError, never read as yes or no
    static Fault withError(int error)
    {
        Fault f(true);
        f.error = error;
        return f;
    }
};
using FaultInjector = std::function<Fault(WriteStep step, const QByteArray &target)>;
// Installs a fault injector (tests); returns the previous one. An empty one injects nothing.
FaultInjector setFaultInjector(FaultInjector injector);

// What a write came to: true on success, else the system's error number of the failure.
struct WriteResult {
    int error = 0;
    explicit operator bool() const { return error == 0; }
};

// Replaces the file at `path` with `content` atomically: the bytes go to a temporary file beside
// the target, which then takes the target's place. A failure at any step leaves the previous file
// byte for byte (or still absent) and no temporary file behind. A symbolic link stays a link and
// its target is replaced; an existing file keeps its permissions.
// A file whose mode lets nobody write it is read-only for every user, root included: it is left
// as it is and the write fails with EACCES.
// A writable file in a directory that takes no new file is rewritten in place: its old bytes are
// kept in memory and written back when the new ones cannot all be written.
// With `executable`, the file may also be run by whoever may read it.
// Not QSaveFile: byte paths that need not be UTF-8, the tests' fault seam, links kept, read-only files refused.
WriteResult writeAtomically(const QByteArray &path, const QByteArray &content, bool executable = false);
// Appends `content` to the existing file at `path` and flushes it to the disk (fdatasync); false
// when any of it may not be there. Faults are injected at the Write and Flush steps.
bool appendSynced(const QByteArray &path, const QByteArray &content);

// Removes a file (not a directory); true when it is gone, else false with errno set (also by the
// fault seam's Remove step).
bool remove(const QByteArray &path);

// The process's current directory, and its change; the change returns the system's error number
// (0 on success).
QByteArray currentDirectory();
int changeDirectory(const QByteArray &path);
// Makes a directory and its missing parents; true when it exists afterwards, else errno says why.
bool makeDirectories(const QByteArray &path);

// Glob match of a file name against a mask made of literal bytes, "*" and "?", ignoring ASCII case.
bool matchesMask(const QByteArray &name, const QByteArray &mask);

// The names of the plain files of one directory that match `mask`: no directories, no dangling
// links, and hidden files ("." first) only with Hidden::Listed; sorted by name ignoring ASCII
// case (bytes break ties). A directory
// that cannot be read gives an empty list. `mask` may hold several masks, split by ";"
// ("*.zip;*.7z"). With `directories`, the names of the directories (links followed) that are not
// hidden are put there too, in the same order.
enum class Hidden { Left, Listed };
QList<QByteArray> listFiles(const QByteArray &directory, const QByteArray &mask, Hidden hidden = Hidden::Left,
                            QList<QByteArray> *directories = nullptr);

// The entries of one directory with their stamps, unsorted, hidden ones left out, at most
// `limit` of them (`*cut` tells whether more were there): plain files and directories, links
// followed, nothing else.
struct Entry {
    QByteArray name;
    bool directory = false;
    Stamp stamp;
};
QList<Entry> listEntries(const QByteArray &directory, int limit, bool *cut = nullptr);

// The name of the subdirectory of `directory` that reads `name` in any letter case, as it is on
// disk: `name` itself when that spelling exists, else the first match in byte order; empty when none.
QByteArray findSubdirectory(const QByteArray &directory, const QByteArray &name);

} // namespace FileIO
