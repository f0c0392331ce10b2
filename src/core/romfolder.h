// The sets of a ROM folder as the emulator finds them: an archive named after a machine
// ("pacman.zip", "Pacman.7z", any letter case) or a directory of that name. One machine's name may
// have several sources (a directory holding its disks beside its archive); they are looked in as
// the emulator looks, the directory first, then the .zip, then the .7z.
//
// At most MaxEntries entries of the folder are looked at; cut() tells when there were more.
#pragma once

#include "fileio.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QVarLengthArray>

class RomFolder {
public:
    static constexpr int MaxEntries = 1000000;

    enum class Kind : quint8 { Directory, Zip, SevenZip };
    struct Source {
        Kind kind;
        QByteArray file;      // the entry's name in the folder, as it is on disk
        FileIO::Stamp stamp;
        bool operator==(const Source &o) const { return kind == o.kind && file == o.file && stamp == o.stamp; }
    };
    // A set's sources: nearly always one, held in place.
    using Sources = QVarLengthArray<Source, 1>;
    struct Set {
        QByteArray name;      // in lower case, as machines are named
        Sources sources;
    };

    RomFolder() = default;
    // The sets of `folder`, read now; none when it cannot be read.
    static RomFolder scan(const QByteArray &folder);

    const QByteArray &path() const { return m_path; }
    bool readable() const { return m_readable; }
    bool cut() const { return m_cut; }
    // In name order.
    const QList<Set> &sets() const { return m_sets; }
    // The set named `name` (a machine's name); null for none.
    const Set *find(QByteArrayView name) const;
    QByteArray pathOf(const Source &source) const { return m_path + '/' + source.file; }

    static QString kindText(Kind kind);

private:
    QByteArray m_path;
    QList<Set> m_sets;
    bool m_readable = false;
    bool m_cut = false;
};
