// The ROM audit: whether the emulator will find every file a machine needs in a ROM folder, and
// why not, in words.
//
// A machine's ROM files are looked for where the emulator looks: its own set, then each set along
// its romof chain (its parent, which in a merged folder holds the clones' files too, and its
// BIOS); a device's ROM files in the device's own set, then along the machine's. Inside an archive
// a ROM file is found by its CRC-32 under any entry name, else by its name (and is then wrong);
// in a directory by its name. Split, merged and non-merged folders need no telling apart.
// "nodump" files are never needed, bad dumps count with a note, optional files are noted only.
// A disk (NAME.chd) is looked for in the directory of each set along the chain.
//
// Quick reads only the archives' directories (sizes, CRC-32); a directory set's files are read
// for their CRC-32. Verify reads every file found and checks its SHA-1, and a disk's by its CHD
// version 5 header.
#pragma once

#include "catalogue.h"
#include "romarchive.h"
#include "romfolder.h"
#include "romlist.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class RomAudit {
public:
    enum class Depth : quint8 { Quick, Verify };
    enum class State : quint8 {
        Good,          // everything there (a machine without ROM files too)
        Notes,         // playable, with notes: bad dumps, optional files missing
        Incomplete,    // files missing
        Wrong,         // files there but not right (or an archive that cannot be read)
        NeedsDisk,     // the ROM files are there, a disk is not
        NotMachine,    // no machine of this emulator has the name
        BiosOrDevice,  // a BIOS or device set, the games using it named
        NotAudited,    // a 7z set, left to the emulator
    };
    struct Verdict {
        QByteArray set;    // the machine's name
        State state = State::NotMachine;
        QString summary;   // one line
        QString details;   // the whole reason, a line per file
        // Each file that is missing or wrong, by its name, as the emulator's report lists them.
        enum class Problem : quint8 { Missing, Wrong };
        QList<std::pair<QByteArray, Problem>> problems;
        // The names of the sets looked in (present or not): a change to any of them changes the verdict.
        QList<QByteArray> consulted;
        bool playable() const { return state == State::Good || state == State::Notes; }
        // A game set, which counts for whether the folder is playable.
        bool isGame() const { return state != State::NotMachine && state != State::BiosOrDevice; }
    };

    RomAudit(const Catalogue &catalogue, const RomList &roms, const RomFolder &folder, Depth depth);
    ~RomAudit();

    Verdict audit(const RomFolder::Set &set) { return audit(set.name); }
    // The machine named `name`, whether a set of that name is in the folder or not (the clone of
    // a merged parent has none).
    Verdict audit(const QByteArray &name);
    Depth depth() const { return m_depth; }

    // The verdicts of `sets` (of `folder`), in their order: many of them audited in two halves at
    // once, each half by an audit of its own (and its own reading of a parent both halves need).
    static QList<Verdict> auditAll(const Catalogue &catalogue, const RomList &roms, const RomFolder &folder, Depth depth,
                                   const QList<const RomFolder::Set *> &sets);

    // "good", "incomplete", ...: a state's word for a Status column.
    static QString stateText(State state);

private:
    struct Contents;
    struct Finding;
    const Contents &contents(const RomFolder::Source &source);
    QList<int> chain(int machine) const;
    QString relation(int machine, int owner) const;
    const QList<int> &usersOf(int machine);
    Verdict auditMachine(int machine, const QByteArray &name);
    int deviceIndex(QByteArrayView ref);
    bool hasRoms(int machine);

    const Catalogue &m_catalogue;
    const RomList &m_roms;
    const RomFolder &m_folder;
    Depth m_depth;
    QHash<QByteArray, std::shared_ptr<Contents>> m_contents; // by the source's file name
    // The archive a verification reads from now, open from its listing on while its set's files
    // are read; one at a time.
    std::unique_ptr<RomArchive::Archive> m_open;
    std::vector<QList<int>> m_users; // by machine, the games using it
    bool m_usersBuilt = false;
    // Asked for every machine's devices, each found once: a device's number by its name, and
    // whether it has ROM files (-1: not known yet).
    QHash<QByteArrayView, int> m_deviceIndex;
    std::vector<qint8> m_hasRoms;
    QHash<int, std::pair<QString, QString>> m_goodTexts; // a good set's summary and details, by its number of files
};
