// Where a game's snapshot is: the emulator's snapshot directories (its "snapshot_directory"
// setting, a ';'-separated list of folders) and, in each in turn, NAME.png, NAME/0000.png, the
// newest PNG in NAME/, or NAME.png inside that folder's snap.zip. Machine names are hostile input:
// one that could reach outside a folder is never looked for. Reads are bounded.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class Snapshots {
public:
    // The most a picture file (or zip member) may hold to be read.
    static constexpr qint64 MaxPictureBytes = qint64(16) << 20;
    // The most entries of a NAME/ folder looked at for its newest PNG.
    static constexpr int MaxFolderEntries = 4096;

    // The folders of a snapshot_directory value, in order, each once: `$NAME` and `${NAME}`
    // expanded from `environment` (unset: empty), a leading `~` to $HOME, and relative ones taken
    // from `workingDirectory`. Empty pieces are left out.
    static QList<QByteArray> folders(const QByteArray &snapshotDirectory, const QByteArray &workingDirectory,
                                     const std::function<QByteArray(QByteArrayView)> &environment);
    // The process's own environment, for folders().
    static QByteArray processEnvironment(QByteArrayView name);

    struct Picture {
        QByteArray file;   // the PNG, or the zip holding it
        QByteArray entry;  // non-empty: the member of the zip `file`
        bool operator==(const Picture &o) const { return file == o.file && entry == o.entry; }
    };
    // Whether `machine` may be looked for at all: not empty, no '/', '\\', NUL or "..", not hidden.
    static bool isSafeName(QByteArrayView machine);
    // The first picture of `machine` along `folders`; nothing when there is none or the name is refused.
    static std::optional<Picture> find(const QList<QByteArray> &folders, const QByteArray &machine);
    // The picture's bytes, at most `limit` of them; empty when it cannot be read or holds more.
    static QByteArray read(const Picture &picture, qint64 limit = MaxPictureBytes);
    // What the user is told when there is no picture: where one was looked for.
    static QString whereLooked(const QList<QByteArray> &folders, const QByteArray &machine);
};
