// What an emulator answered to one question ("-showconfig", "-listfull"), as kept on disk so that
// a later start of this program needs no run. An answer stays good while the emulator's file and
// every file the answer depends on (the mame.ini files along its inipath) keep their stamps.
#pragma once

#include "fileio.h"

#include <QByteArray>
#include <QList>
#include <optional>

namespace AnswerCache {

struct File {
    QByteArray path;
    std::optional<FileIO::Stamp> stamp; // nothing: there was no file
    bool operator==(const File &o) const { return path == o.path && stamp == o.stamp; }
};

struct Entry {
    QByteArray program;          // the emulator's path, as it is run
    FileIO::Stamp programStamp;
    QList<File> files;           // further files the answer depends on
    QByteArray version;          // the emulator's "-version" answer when this one was asked
    int status = -1;             // the run's exit status; -1 when it was cut short or never ran
    QByteArray output;           // what it printed

    // Whether the emulator and every file still have the stamps they had for this answer.
    bool isCurrent() const;
};

// The stamps of `paths` as they are now.
QList<File> stamped(const QList<QByteArray> &paths);

QByteArray serialize(const Entry &entry);
// Nothing when the bytes are no entry (another version's, or damaged).
std::optional<Entry> parse(const QByteArray &bytes);
// The largest entry file read back: an answer's own bound and room for its stamps.
constexpr qint64 MaxFileBytes = qint64(17) << 20;

} // namespace AnswerCache
