#include "bench_audit.h"

#include "auditcache.h"
#include "cataloguebuilder.h"
#include "fileio.h"
#include "romaudit.h"
#include "romfolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Archives = 40000;

void le16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void le32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// A zip archive whose directory lists `roms` with their expected sizes and CRC-32s, each entry's
// data an empty deflate stream: what a quick audit reads is all there, in a few bytes.
QByteArray claimingZip(const QList<RomList::Rom> &roms, quint32 salt)
{
    QByteArray local, central;
    quint16 count = 0;
    for (const RomList::Rom &rom : roms) {
        if (!rom.crc || count == 0xffff)
            continue;
        const QByteArray name = rom.name.toByteArray();
        const quint32 crc = *rom.crc ^ salt;
        auto header = [&](QByteArray &out) {
            le16(out, 20);   // version needed
            le16(out, 0);    // flags
            le16(out, 8);    // deflated
            le16(out, 0);    // time
            le16(out, 0x21); // date: 1980-01-01
            le32(out, crc);
            le32(out, 2);
            le32(out, quint32(rom.size));
            le16(out, quint16(name.size()));
            le16(out, 0);    // extra
        };
        const quint32 offset = quint32(local.size());
        le32(local, 0x04034b50);
        header(local);
        local += name;
        local.append("\x03\x00", 2);
        le32(central, 0x02014b50);
        le16(central, 20);   // made by
        header(central);
        le16(central, 0);    // comment
        le16(central, 0);    // disk
        le16(central, 0);    // internal attributes
        le32(central, 0);    // external attributes
        le32(central, offset);
        central += name;
        ++count;
    }
    QByteArray out = local + central;
    le32(out, 0x06054b50);
    le16(out, 0);
    le16(out, 0);
    le16(out, count);
    le16(out, count);
    le32(out, quint32(central.size()));
    le32(out, quint32(local.size()));
    le16(out, 0);
    return out;
}

// What any reader of the archives must do at least: open each, read its tail (the end record and
// the central directory; these archives are smaller than the tail a reader looks in), close it.
void bareDirectories(const QByteArray &folder, const QList<QByteArray> &names)
{
    std::vector<char> buffer(65536 + 22);
    for (const QByteArray &name : names) {
        const QByteArray path = folder + '/' + name;
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0)
            std::abort();
        const off_t tail = std::min<off_t>(st.st_size, off_t(buffer.size()));
        if (::pread(fd, buffer.data(), size_t(tail), st.st_size - tail) != tail)
            std::abort();
        ::close(fd);
    }
}

// One audit of the folder as --audit makes it: scan, kept verdicts, the rest audited, kept file written.
int auditWithKept(const Catalogue &catalogue, const RomList &roms, const QByteArray &folderPath, const QByteArray &keptFile)
{
    const RomFolder folder = RomFolder::scan(folderPath);
    RomAudit audit(catalogue, roms, folder, RomAudit::Depth::Quick);
    AuditCache kept = AuditCache::read(keptFile, AuditCache::keyOf(catalogue, RomAudit::Depth::Quick));
    int audited = 0;
    for (const RomFolder::Set &set : folder.sets()) {
        bool fresh = false;
        kept.verdict(audit, folder, set.name, &fresh);
        audited += fresh ? 1 : 0;
    }
    if (kept.changed())
        kept.write(keptFile);
    return audited;
}

double ms(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

} // namespace

std::vector<CatalogueRow> auditRows(int runs)
{
    std::vector<CatalogueRow> rows;
    const char *emulator = "/usr/games/mame";
    if (!FileIO::isExecutableFile(emulator)) {
        std::printf("(Debian's mame is not installed: no figures for the audit)\n");
        return rows;
    }
    qputenv("SDL_VIDEODRIVER", "dummy");
    qputenv("SDL_AUDIODRIVER", "dummy");
    CatalogueBuilder builder;
    builder.start(emulator, {"-listxml"}, "bench");
    while (!builder.isFinished())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const std::shared_ptr<const Catalogue> catalogue = builder.result().catalogue;
    const std::shared_ptr<const RomList> roms = builder.result().romList;
    if (!catalogue || !roms || roms->size() != catalogue->size() || catalogue->size() < Archives) {
        std::printf("(the emulator's catalogue was not read: no figures for the audit)\n");
        return rows;
    }

    // The first 40,000 machines with ROM files, each its own archive with all its files.
    QTemporaryDir tmp;
    const QByteArray folder = QFile::encodeName(tmp.path()) + "/roms";
    const QByteArray keptFile = QFile::encodeName(tmp.path()) + "/kept.audit";
    FileIO::makeDirectories(folder);
    QList<QByteArray> names;
    for (int i = 0; i < catalogue->size() && names.size() < Archives; ++i) {
        const QList<RomList::Rom> files = roms->roms(i);
        if (files.isEmpty())
            continue;
        const QByteArray name = catalogue->machine(i).name().toByteArray() + ".zip";
        QFile out(QString::fromLocal8Bit(folder + '/' + name));
        if (!out.open(QIODevice::WriteOnly) || out.write(claimingZip(files, 0)) < 0)
            std::abort();
        names.append(name);
    }
    if (names.size() < Archives)
        std::printf("(only %lld machines of the emulator have ROM files)\n", qlonglong(names.size()));

    // A quick audit of every set, nothing kept, against the bare reads. Median of `runs`, in turn.
    std::vector<double> bare, quick;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(ms([&] { bareDirectories(folder, names); }));
        quick.push_back(ms([&] {
            const RomFolder scanned = RomFolder::scan(folder);
            RomAudit audit(*catalogue, *roms, scanned, RomAudit::Depth::Quick);
            for (const RomFolder::Set &set : scanned.sets())
                audit.audit(set);
        }));
    }
    std::sort(bare.begin(), bare.end());
    std::sort(quick.begin(), quick.end());
    rows.push_back({"quick audit, 40,000 archives, vs bare dirs", quick[quick.size() / 2], bare[bare.size() / 2], 4.0});

    // The audit again with its verdicts kept, after one archive was replaced (by one with a wrong
    // CRC and back, in turn, its time moved on so that its stamp changes). Median of `runs`.
    auditWithKept(*catalogue, *roms, folder, keptFile);
    const QByteArray changed = folder + '/' + names.at(names.size() / 2);
    const int changedIndex = catalogue->indexOf(names.at(names.size() / 2).chopped(4));
    std::vector<double> again;
    int audited = 0;
    for (int i = 0; i < runs; ++i) {
        FileIO::writeAtomically(changed, claimingZip(roms->roms(changedIndex), quint32(i % 2 == 0 ? 1 : 0)));
        const struct timespec times[2] = {{0, UTIME_NOW}, {1000000 + i, 0}};
        ::utimensat(AT_FDCWD, changed.constData(), times, 0);
        again.push_back(ms([&] { audited = auditWithKept(*catalogue, *roms, folder, keptFile); }));
    }
    std::sort(again.begin(), again.end());
    if (audited < 1)
        std::printf("(the changed archive was not audited again)\n");
    std::printf("(audited again after one archive changed: %d of %lld sets)\n", audited, qlonglong(names.size()));
    rows.push_back({"audit again, one of 40,000 changed (goal 100 ms)", again[again.size() / 2], 100.0, 1.0});
    return rows;
}
