#include "romaudit.h"

#include "halves.h"

#include <QCryptographicHash>
#include <QVarLengthArray>
#include <algorithm>
#include <optional>
#include <zlib.h>

namespace {

// Bounds of the walks over a catalogue's links, which a damaged catalogue could make circular.
constexpr int MaxChain = 16;
// A list of sets this long is audited on two threads (auditAll).
constexpr size_t HalvedFrom = 256;
// Games named in a BIOS or device set's summary; the details name them all.
constexpr int UsersInSummary = 5;
// The head of a CHD file: its tag, and for version 5 where the SHA-1 of its data and metadata lies.
constexpr qint64 ChdHeaderBytes = 124;
constexpr int ChdSha1Offset = 84;

bool sameIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString hex8(quint32 crc)
{
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0'));
}

QString str(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

QString files(int n)
{
    return n == 1 ? QStringLiteral("1 ROM file") : QStringLiteral("%1 ROM files").arg(n);
}

quint32 crcOf(QByteArrayView bytes)
{
    return quint32(crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes.data()), uInt(bytes.size())));
}

} // namespace

// What one source of a set holds: an archive's directory, or a directory's files.
struct RomAudit::Contents {
    RomFolder::Kind kind;
    QByteArray path;
    RomArchive::Listing listing; // its fault: why it cannot be read
};

// Where one ROM file was found, and how it was.
struct RomAudit::Finding {
    enum Kind { Missing, Found, Length, Crc, Sha1, Unreadable, SevenZip };
    Kind kind = Missing;
    QByteArray where;   // the set it was found in
    quint64 size = 0;
    quint32 crc = 0;
};

RomAudit::RomAudit(const Catalogue &catalogue, const RomList &roms, const RomFolder &folder, Depth depth)
    : m_catalogue(catalogue), m_roms(roms), m_folder(folder), m_depth(depth)
{
}

RomAudit::~RomAudit() = default;

QList<RomAudit::Verdict> RomAudit::auditAll(const Catalogue &catalogue, const RomList &roms, const RomFolder &folder,
                                            Depth depth, const QList<const RomFolder::Set *> &sets)
{
    QList<Verdict> verdicts(sets.size());
    Verdict *const out = verdicts.data(); // each half writes its own
    Halves::run(size_t(sets.size()), HalvedFrom, [&](size_t from, size_t to) {
        RomAudit audit(catalogue, roms, folder, depth);
        for (size_t i = from; i < to; ++i)
            out[i] = audit.audit(*sets.at(qsizetype(i)));
    });
    return verdicts;
}

QString RomAudit::stateText(State state)
{
    switch (state) {
    case State::Good: return QStringLiteral("good");
    case State::Notes: return QStringLiteral("good, with notes");
    case State::Incomplete: return QStringLiteral("incomplete");
    case State::Wrong: return QStringLiteral("wrong files");
    case State::NeedsDisk: return QStringLiteral("needs a disk");
    case State::NotMachine: return QStringLiteral("not a machine");
    case State::BiosOrDevice: return QStringLiteral("BIOS or device");
    case State::NotAudited: return QStringLiteral("not audited");
    }
    return QString();
}

const RomAudit::Contents &RomAudit::contents(const RomFolder::Source &source)
{
    std::shared_ptr<Contents> &slot = m_contents[source.file];
    if (slot)
        return *slot;
    slot = std::make_shared<Contents>();
    slot->kind = source.kind;
    slot->path = m_folder.pathOf(source);
    if (source.kind == RomFolder::Kind::Zip) {
        if (m_depth == Depth::Verify) {
            m_open = std::make_unique<RomArchive::Archive>(slot->path);
            slot->listing = m_open->listing();
        } else {
            slot->listing = RomArchive::list(slot->path);
        }
    } else if (source.kind == RomFolder::Kind::Directory) {
        bool cut = false;
        for (const FileIO::Entry &entry : FileIO::listEntries(slot->path, RomArchive::MaxEntries, &cut))
            if (!entry.directory)
                slot->listing.add(entry.name, quint64(entry.stamp.size), 0, 0);
        if (cut)
            slot->listing.fault = QStringLiteral("more than %1 files").arg(RomArchive::MaxEntries);
    }
    return *slot;
}

// The machine and the sets along its romof chain, nearest first.
QList<int> RomAudit::chain(int machine) const
{
    QList<int> out{machine};
    while (out.size() < MaxChain) {
        const int next = m_catalogue.indexOf(m_catalogue.machine(out.last()).romOf());
        if (next < 0 || out.contains(next))
            break;
        out.append(next);
    }
    return out;
}

// How `owner` stands to `machine`: "the parent puckman", "the BIOS neogeo", "the device namco".
QString RomAudit::relation(int machine, int owner) const
{
    const Catalogue::Machine m = m_catalogue.machine(machine);
    const Catalogue::Machine o = m_catalogue.machine(owner);
    if (o.isBios())
        return QStringLiteral("the BIOS %1").arg(str(o.name()));
    if (o.isDevice())
        return QStringLiteral("the device %1").arg(str(o.name()));
    if (m.cloneOf() == o.name())
        return QStringLiteral("the parent %1").arg(str(o.name()));
    return QStringLiteral("the set %1").arg(str(o.name()));
}

// The games that use a BIOS (along their romof chain) or a device (among their device_refs).
const QList<int> &RomAudit::usersOf(int machine)
{
    if (!m_usersBuilt) {
        m_usersBuilt = true;
        m_users.resize(size_t(m_catalogue.size()));
        const bool withRefs = m_roms.size() == m_catalogue.size();
        for (int i = 0; i < m_catalogue.size(); ++i) {
            const Catalogue::Machine m = m_catalogue.machine(i);
            if (!m.isGame())
                continue;
            QVarLengthArray<int, 32> seen;
            auto see = [&](int used) {
                if (std::find(seen.begin(), seen.end(), used) == seen.end())
                    seen.append(used);
            };
            if (!m.romOf().isEmpty())
                for (int link : chain(i))
                    if (link != i && m_catalogue.machine(link).isBios())
                        see(link);
            if (withRefs)
                for (QByteArrayView ref : m_roms.deviceRefs(i))
                    if (const int d = deviceIndex(ref); d >= 0)
                        see(d);
            for (int used : std::as_const(seen))
                m_users[size_t(used)].append(i);
        }
    }
    return m_users[size_t(machine)];
}

RomAudit::Verdict RomAudit::audit(const QByteArray &name)
{
    Verdict verdict;
    verdict.set = name;
    verdict.consulted = {name};
    const int machine = m_catalogue.indexOf(name);
    if (machine < 0) {
        verdict.state = State::NotMachine;
        verdict.summary = QStringLiteral("not a machine of this emulator");
        verdict.details = QStringLiteral("No machine of this emulator is named %1.").arg(str(name));
        return verdict;
    }
    const Catalogue::Machine m = m_catalogue.machine(machine);
    if (!m.isBios() && !m.isDevice())
        return auditMachine(machine, name);

    // A BIOS or device set: the games using it, and whether it is whole itself.
    Verdict own = auditMachine(machine, name);
    const QList<int> &users = usersOf(machine);
    const QString kind = m.isBios() ? QStringLiteral("BIOS") : QStringLiteral("device");
    QStringList named;
    for (qsizetype i = 0; i < users.size() && i < UsersInSummary; ++i)
        named.append(str(m_catalogue.machine(users.at(i)).name()));
    QString usedBy = users.isEmpty() ? QStringLiteral("used by no game")
        : QStringLiteral("used by %1 %2: %3%4")
              .arg(users.size())
              .arg(users.size() == 1 ? QStringLiteral("game") : QStringLiteral("games"), named.join(QStringLiteral(", ")),
                   users.size() > UsersInSummary ? QStringLiteral(", ...") : QString());
    verdict = own;
    verdict.state = State::BiosOrDevice;
    verdict.summary = QStringLiteral("%1 set, %2; %3").arg(kind, usedBy, own.summary);
    QByteArray all;
    for (int user : users) {
        if (!all.isEmpty())
            all.append(", ");
        all.append(m_catalogue.machine(user).name());
    }
    verdict.details = QStringLiteral("%1.\nUsed by %2.\n%3")
                          .arg(verdict.summary, users.isEmpty() ? QStringLiteral("no game") : str(all),
                               own.details);
    return verdict;
}

int RomAudit::deviceIndex(QByteArrayView ref)
{
    const auto it = m_deviceIndex.constFind(ref);
    if (it != m_deviceIndex.constEnd())
        return *it;
    const int index = m_catalogue.indexOf(ref);
    m_deviceIndex.insert(ref, index);
    return index;
}

bool RomAudit::hasRoms(int machine)
{
    if (m_hasRoms.empty())
        m_hasRoms.assign(size_t(m_catalogue.size()), -1);
    qint8 &known = m_hasRoms[size_t(machine)];
    if (known < 0)
        known = m_roms.roms(machine).isEmpty() ? 0 : 1;
    return known == 1;
}

RomAudit::Verdict RomAudit::auditMachine(int machine, const QByteArray &name)
{
    Verdict verdict;
    verdict.set = name;
    const QList<int> path = chain(machine);
    bool sevenZip = false;
    QStringList unreadable;

    // The sets looked in, each found once: its name, the folder's set of it, its sources' contents
    // as they are read, and whether it was looked in.
    struct Place {
        int machine;
        QByteArray name;
        const RomFolder::Set *set;
        QVarLengthArray<const Contents *, 1> read;
        bool consulted = false;
    };
    QVarLengthArray<Place, 8> known;
    auto placeOf = [&](int place) -> Place & {
        for (Place &p : known)
            if (p.machine == place)
                return p;
        QByteArray setName = place == machine ? name : m_catalogue.machine(place).name().toByteArray();
        const RomFolder::Set *set = m_folder.find(setName);
        known.append({place, std::move(setName), set, {}, false});
        if (set)
            known.last().read.resize(set->sources.size(), nullptr);
        return known.last();
    };

    // Looks for one ROM file along `places`, nearest first.
    auto look = [&](const RomList::Rom &rom, const QList<int> &places) {
        Finding finding;
        for (int placeIndex : places) {
            Place &place = placeOf(placeIndex);
            place.consulted = true;
            const RomFolder::Set *set = place.set;
            if (!set)
                continue;
            const QByteArray &setName = place.name;
            for (qsizetype s = 0; s < set->sources.size(); ++s) {
                const RomFolder::Source &source = set->sources.at(s);
                if (source.kind == RomFolder::Kind::SevenZip) {
                    sevenZip = true;
                    continue;
                }
                if (!place.read[s])
                    place.read[s] = &contents(source);
                const Contents &c = *place.read[s];
                if (!c.listing.ok()) {
                    const QString text = QStringLiteral("%1 cannot be read: %2").arg(str(source.file), c.listing.fault);
                    if (!unreadable.contains(text))
                        unreadable.append(text);
                    continue;
                }
                const RomArchive::Entry *entry = nullptr;
                if (c.kind == RomFolder::Kind::Zip && rom.crc)
                    for (const RomArchive::Entry &e : c.listing.entries)
                        if (e.crc == *rom.crc) {
                            entry = &e;
                            break;
                        }
                if (!entry)
                    for (const RomArchive::Entry &e : c.listing.entries)
                        if (c.kind == RomFolder::Kind::Zip ? sameIgnoringCase(c.listing.nameOf(e), rom.name)
                                                           : c.listing.nameOf(e) == rom.name) {
                            entry = &e;
                            break;
                        }
                if (!entry)
                    continue;
                finding.where = setName;
                finding.size = entry->size;
                finding.crc = entry->crc;
                if (entry->size != rom.size) {
                    finding.kind = Finding::Length;
                    return finding;
                }
                std::optional<QByteArray> bytes; // a directory's file, read once
                if (c.kind == RomFolder::Kind::Directory) {
                    bytes = FileIO::read(c.path + '/' + c.listing.nameOf(*entry).toByteArray(), qint64(rom.size));
                    if (!bytes || quint64(bytes->size()) != rom.size) {
                        finding.kind = Finding::Unreadable;
                        return finding;
                    }
                    finding.crc = crcOf(*bytes);
                }
                if (rom.crc && finding.crc != *rom.crc) {
                    finding.kind = Finding::Crc;
                    return finding;
                }
                finding.kind = Finding::Found;
                if (m_depth == Depth::Verify && !rom.sha1.isEmpty()) {
                    QByteArray sha1;
                    if (bytes) {
                        sha1 = QCryptographicHash::hash(*bytes, QCryptographicHash::Sha1);
                    } else {
                        if (!m_open || m_open->path() != c.path)
                            m_open = std::make_unique<RomArchive::Archive>(c.path);
                        // An entry whose bytes do not have the CRC-32 of its directory cannot be read.
                        const std::optional<QByteArray> d = m_open->sha1(entry->index, rom.size);
                        if (!d) {
                            finding.kind = Finding::Unreadable;
                            return finding;
                        }
                        sha1 = *d;
                    }
                    if (sha1 != rom.sha1)
                        finding.kind = Finding::Sha1;
                }
                return finding;
            }
        }
        return finding;
    };

    // Where a ROM file the machine misses belongs: the farthest set along its chain that lists
    // the same file (a clone's file kept by its parent, a BIOS file), else its own.
    auto ownerOf = [&](const RomList::Rom &rom) {
        for (qsizetype i = path.size() - 1; i > 0; --i)
            for (const RomList::Rom &other : m_roms.roms(path.at(i)))
                if (other.size == rom.size && (rom.crc ? other.crc == rom.crc : other.name == rom.name))
                    return path.at(i);
        return machine;
    };

    struct Problem {
        QString text;
        int owner;
    };
    int required = 0;
    QList<Problem> missing;
    QStringList wrong, notes;
    auto judge = [&](const RomList::Rom &rom, const QList<int> &places, int owner) {
        if (rom.status == RomList::Dump::NoDump)
            return;
        if (!rom.optional)
            ++required;
        const Finding f = look(rom, places);
        if (f.kind == Finding::Found && rom.status != RomList::Dump::BadDump)
            return;
        const QString romName = str(rom.name);
        if (f.kind != Finding::Found && !(rom.optional && f.kind == Finding::Missing))
            verdict.problems.append({rom.name.toByteArray(), f.kind == Finding::Missing ? Verdict::Problem::Missing
                                                                                       : Verdict::Problem::Wrong});
        switch (f.kind) {
        case Finding::Missing:
        case Finding::SevenZip:
            if (rom.optional)
                notes.append(QStringLiteral("%1: optional, not there").arg(romName));
            else
                missing.append({QStringLiteral("%1 (%2 bytes)").arg(romName).arg(rom.size), owner < 0 ? ownerOf(rom) : owner});
            return;
        case Finding::Found:
            if (rom.status == RomList::Dump::BadDump)
                notes.append(QStringLiteral("%1: a bad dump (the only one known)").arg(romName));
            return;
        case Finding::Length:
            wrong.append(QStringLiteral("%1: %2 bytes, expected %3").arg(romName).arg(f.size).arg(rom.size));
            return;
        case Finding::Crc:
            wrong.append(QStringLiteral("%1: CRC %2, expected %3").arg(romName, hex8(f.crc), hex8(rom.crc.value_or(0))));
            return;
        case Finding::Sha1:
            wrong.append(QStringLiteral("%1: SHA-1 differs").arg(romName));
            return;
        case Finding::Unreadable:
            wrong.append(QStringLiteral("%1: cannot be read in %2").arg(romName, str(f.where)));
            return;
        }
    };

    for (const RomList::Rom &rom : m_roms.roms(machine))
        judge(rom, path, -1);
    // The devices' own files: in the device's set, then along the machine's.
    QVarLengthArray<int, 32> devices;
    for (QByteArrayView ref : m_roms.deviceRefs(machine)) {
        const int device = deviceIndex(ref);
        if (device < 0 || device == machine || std::find(devices.begin(), devices.end(), device) != devices.end())
            continue;
        devices.append(device);
        if (!hasRoms(device))
            continue;
        const QList<RomList::Rom> deviceRoms = m_roms.roms(device);
        const QList<int> places = QList<int>{device} + path;
        for (const RomList::Rom &rom : deviceRoms)
            judge(rom, places, device);
    }

    // Disks: NAME.chd in the directory of each set along the chain.
    QStringList disksMissing;
    for (const RomList::Disk &disk : m_roms.disks(machine)) {
        if (disk.status == RomList::Dump::NoDump)
            continue;
        const QByteArray file = disk.name.toByteArray() + ".chd";
        QByteArray found;
        for (int placeIndex : path) {
            Place &place = placeOf(placeIndex);
            place.consulted = true;
            if (const RomFolder::Set *set = place.set)
                for (const RomFolder::Source &source : set->sources)
                    if (found.isEmpty() && source.kind == RomFolder::Kind::Directory
                        && FileIO::isFile(m_folder.pathOf(source) + '/' + file))
                        found = m_folder.pathOf(source) + '/' + file;
        }
        if (found.isEmpty()) {
            (disk.optional ? notes : disksMissing)
                .append(QStringLiteral("%1 (%2 in the directory %3)").arg(str(disk.name), str(file), str(name)));
            continue;
        }
        if (m_depth != Depth::Verify || disk.sha1.isEmpty())
            continue;
        const std::optional<QByteArray> head = FileIO::readHead(found, ChdHeaderBytes);
        if (!head || head->size() < ChdHeaderBytes || !head->startsWith("MComprHD"))
            wrong.append(QStringLiteral("%1: not a CHD file").arg(str(file)));
        else if (quint8(head->at(15)) != 5)
            notes.append(QStringLiteral("%1: a CHD of version %2, whose SHA-1 was not checked").arg(str(file)).arg(quint8(head->at(15))));
        else if (head->mid(ChdSha1Offset, 20) != disk.sha1)
            wrong.append(QStringLiteral("%1: SHA-1 differs").arg(str(file)));
    }

    for (const Place &place : known)
        if (place.consulted)
            verdict.consulted.append(place.name);
    std::sort(verdict.consulted.begin(), verdict.consulted.end());
    if (!verdict.consulted.contains(name))
        verdict.consulted.prepend(name);
    const QString depthLine = m_depth == Depth::Quick
        ? QStringLiteral("Checked by size and CRC-32 from the archives' directories; SHA-1 not checked (Verify reads the files).")
        : QStringLiteral("Checked by reading every file: size, CRC-32 and SHA-1.");
    QStringList details;
    auto finish = [&](State state, const QString &summary) {
        verdict.state = state;
        verdict.summary = summary;
        details.prepend(summary.at(0).toUpper() + summary.mid(1) + QLatin1Char('.'));
        for (const QString &text : std::as_const(unreadable))
            details.append(text);
        if (!notes.isEmpty())
            details.append(QStringLiteral("Notes: ") + notes.join(QStringLiteral("; ")));
        details.append(depthLine);
        verdict.details = details.join(QLatin1Char('\n'));
        return verdict;
    };

    if (sevenZip && (!missing.isEmpty() || !wrong.isEmpty()))
        return finish(State::NotAudited, QStringLiteral("not audited (7z)"));
    if (!missing.isEmpty()) {
        // Grouped by the set each file belongs to, its own first.
        QList<int> owners;
        for (const Problem &p : std::as_const(missing))
            if (!owners.contains(p.owner))
                owners.append(p.owner);
        std::stable_sort(owners.begin(), owners.end(), [&](int a, int b) { return (a == machine) > (b == machine); });
        QStringList parts;
        for (int owner : std::as_const(owners)) {
            QStringList names;
            for (const Problem &p : std::as_const(missing))
                if (p.owner == owner)
                    names.append(p.text);
            const bool there = owner == machine || m_folder.find(m_catalogue.machine(owner).name());
            const QString who = relation(machine, owner);
            if (owner == machine)
                parts.append(QStringLiteral("%1 of its own").arg(names.size()));
            else if (there)
                parts.append(QStringLiteral("%1 %2 to %3, which lacks %4").arg(names.size())
                                 .arg(names.size() == 1 ? QStringLiteral("belongs") : QStringLiteral("belong"), who,
                                      names.size() == 1 ? QStringLiteral("it") : QStringLiteral("them")));
            else
                parts.append(QStringLiteral("%1 %2 to %3, which is not in the folder").arg(names.size())
                                 .arg(names.size() == 1 ? QStringLiteral("belongs") : QStringLiteral("belong"), who));
            details.append(QStringLiteral("Not found (%1): %2").arg(owner == machine ? QStringLiteral("its own") : who,
                                                                     names.join(QStringLiteral(", "))));
        }
        for (const QString &w : std::as_const(wrong))
            details.append(w);
        for (const QString &d : std::as_const(disksMissing))
            details.append(QStringLiteral("Disk not found: ") + d);
        // A game whose only missing files are its BIOS's, with no BIOS set at all.
        if (owners.size() == 1 && owners.first() != machine && m_catalogue.machine(owners.first()).isBios()
            && !m_folder.find(m_catalogue.machine(owners.first()).name()) && wrong.isEmpty())
            return finish(State::Incomplete, QStringLiteral("needs the BIOS %1 (not in the folder)")
                                                 .arg(str(m_catalogue.machine(owners.first()).name())));
        QString summary = QStringLiteral("%1 of %2 missing: %3").arg(missing.size()).arg(files(required), parts.join(QStringLiteral(", ")));
        if (!wrong.isEmpty())
            summary += QStringLiteral("; %1 wrong").arg(wrong.size());
        if (!unreadable.isEmpty())
            return finish(State::Wrong, unreadable.first() + QStringLiteral("; ") + summary);
        return finish(State::Incomplete, summary);
    }
    if (!wrong.isEmpty()) {
        details = wrong;
        for (const QString &d : std::as_const(disksMissing))
            details.append(QStringLiteral("Disk not found: ") + d);
        return finish(State::Wrong, wrong.size() == 1 ? wrong.first()
                                                      : QStringLiteral("%1 wrong files: %2").arg(wrong.size()).arg(wrong.join(QStringLiteral("; "))));
    }
    if (!unreadable.isEmpty())
        return finish(State::Wrong, unreadable.first());
    if (!disksMissing.isEmpty()) {
        for (const QString &d : std::as_const(disksMissing))
            details.append(QStringLiteral("Disk not found: ") + d);
        return finish(State::NeedsDisk, QStringLiteral("needs the disk %1").arg(disksMissing.join(QStringLiteral(", "))));
    }
    if (!notes.isEmpty())
        return finish(State::Notes, QStringLiteral("good, with notes: %1").arg(notes.join(QStringLiteral("; "))));
    if (required == 0 && m_roms.disks(machine).isEmpty())
        return finish(State::Good, QStringLiteral("good: needs no ROM files (the emulator says \"best available\")"));
    // Most sets are good: their texts are made once for each number of files, and shared.
    std::pair<QString, QString> &good = m_goodTexts[required];
    if (good.first.isEmpty()) {
        finish(State::Good, QStringLiteral("good: all %1 there").arg(files(required)));
        good = {verdict.summary, verdict.details};
    }
    verdict.state = State::Good;
    verdict.summary = good.first;
    verdict.details = good.second;
    return verdict;
}
