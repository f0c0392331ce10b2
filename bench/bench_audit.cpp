#include "bench_audit.h"

#include "bench_support.h"
#include "auditcache.h"
#include "cataloguebuilder.h"
#include "fileio.h"
#include "romaudit.h"
#include "romfolder.h"
#include "romforge.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QProcess>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <vector>
#include <zip.h>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Archives = 40000;
// The verify row's folder: games without a parent, BIOS or device ROMs, up to this many bytes.
constexpr qint64 VerifyBytes = qint64(48) << 20;
constexpr int KeptSets = 50000;

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

// What any listing of a folder with the sets' stamps must do at least: readdir, then one stat of
// each entry, half of them on a second thread as RomFolder::scan does; nothing kept but a count.
size_t bareListing(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        std::abort();
    std::vector<std::string> names;
    while (const dirent *entry = ::readdir(dir))
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    const int fd = ::dirfd(dir);
    auto stats = [&](size_t from, size_t to, size_t *found) {
        for (size_t i = from; i < to; ++i) {
            struct stat st;
            *found += ::fstatat(fd, names[i].c_str(), &st, 0) == 0 && st.st_size >= 0 ? 1 : 0;
        }
    };
    size_t a = 0, b = 0;
    std::thread other(stats, names.size() / 2, names.size(), &b);
    stats(0, names.size() / 2, &a);
    other.join();
    ::closedir(dir);
    return a + b;
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
        kept.verdict(audit, folder, set, &fresh);
        audited += fresh ? 1 : 0;
    }
    if (kept.changed())
        kept.write(keptFile);
    return audited;
}

// A zip archive of `roms` forged (false when none has a CRC-32 and a size to forge) to their sizes and CRC-32s, each entry deflated.
bool forgedZip(const QByteArray &path, const QList<RomList::Rom> &roms)
{
    int error = 0;
    zip_t *archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    std::vector<QByteArray> data;
    data.reserve(size_t(roms.size()));
    for (const RomList::Rom &rom : roms) {
        if (!rom.crc || rom.status == RomList::Dump::NoDump || rom.size < 4)
            continue;
        data.push_back(RomForge::withCrc(qint64(rom.size), *rom.crc, qHash(rom.name)));
        zip_source_t *source = zip_source_buffer(archive, data.back().constData(), zip_uint64_t(data.back().size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, rom.name.toByteArray().constData(), source, ZIP_FL_ENC_RAW | ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    }
    if (data.empty()) { // nothing to forge: no archive
        zip_discard(archive);
        return false;
    }
    return zip_close(archive) == 0;
}

// What any verify must do at least: inflate every entry of every archive and hash it with SHA-1.
void bareInflateAndHash(const QByteArray &folder, const QList<QByteArray> &names)
{
    std::vector<char> buffer(1 << 16);
    for (const QByteArray &name : names) {
        int error = 0;
        zip_t *archive = zip_open((folder + '/' + name).constData(), ZIP_RDONLY, &error);
        if (!archive)
            std::abort();
        const zip_int64_t entries = zip_get_num_entries(archive, 0);
        for (zip_int64_t i = 0; i < entries; ++i) {
            zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
            if (!file)
                std::abort();
            QCryptographicHash sha1(QCryptographicHash::Sha1);
            zip_int64_t n;
            while ((n = zip_fread(file, buffer.data(), buffer.size())) > 0)
                sha1.addData(QByteArrayView(buffer.data(), qsizetype(n)));
            zip_fclose(file);
            if (sha1.result().isEmpty())
                std::abort();
        }
        zip_discard(archive);
    }
}



} // namespace

std::vector<CatalogueRow> auditRows(int runs)
{
    std::vector<CatalogueRow> rows;
    const char *emulator = DebianMame;
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
        bare.push_back(msOf([&] { bareDirectories(folder, names); }));
        quick.push_back(msOf([&] {
            // As --audit makes it when nothing is kept.
            const RomFolder scanned = RomFolder::scan(folder);
            QList<const RomFolder::Set *> sets;
            sets.reserve(scanned.sets().size());
            for (const RomFolder::Set &set : scanned.sets())
                sets.append(&set);
            if (RomAudit::auditAll(*catalogue, *roms, scanned, RomAudit::Depth::Quick, sets).size() != sets.size())
                std::abort();
        }));
    }
    std::sort(bare.begin(), bare.end());
    std::sort(quick.begin(), quick.end());

    // The emulator's own audit of the same 40,000 archives, once (some seconds), against the quick
    // audit's median.
    const QByteArray home = QFile::encodeName(tmp.path()) + "/home";
    FileIO::makeDirectories(home);
    QProcess mame;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QFile::decodeName(home));
    mame.setProcessEnvironment(env);
    mame.setWorkingDirectory(QFile::decodeName(home));
    mame.setStandardOutputFile(QProcess::nullDevice());
    mame.setStandardErrorFile(QProcess::nullDevice());
    const double emulatorMs = msOf([&] {
        mame.start(QString::fromLatin1(emulator), {QStringLiteral("-verifyroms"), QStringLiteral("-rompath"), QFile::decodeName(folder)});
        if (!mame.waitForFinished(1800000))
            mame.kill();
    });
    if (mame.exitStatus() != QProcess::NormalExit)
        std::printf("(mame -verifyroms did not end within 30 minutes)\n");
    rows.push_back({"quick audit vs mame -verifyroms, 40,000 archives", quick[quick.size() / 2], emulatorMs, 0.1});
    rows.push_back({"  reference: the same quick audit vs bare dirs", quick[quick.size() / 2], bare[bare.size() / 2], 0});

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
        again.push_back(msOf([&] { audited = auditWithKept(*catalogue, *roms, folder, keptFile); }));
    }
    std::sort(again.begin(), again.end());
    if (audited < 1)
        std::printf("(the changed archive was not audited again)\n");
    std::printf("(audited again after one archive changed: %d of %lld sets)\n", audited, qlonglong(names.size()));
    rows.push_back({"audit again, one of 40,000 changed (goal 100 ms)", again[again.size() / 2], 100.0, 1.0});
    // What any audit again must do at least: readdir and one stat of each of the 40,000 entries.
    std::vector<double> listed;
    for (int i = 0; i < runs; ++i)
        listed.push_back(msOf([&] { bareListing(folder); }));
    rows.push_back({"  reference: readdir + stat of the 40,000", medianOf(listed), 100.0, 0});

    // Verify of a folder of forged games (no parent, BIOS or device ROMs, to 48 MB) against a bare
    // inflate and SHA-1 of every entry of the same archives. Median of `runs`, in turn.
    {
        const QByteArray verifyFolder = QFile::encodeName(tmp.path()) + "/verify";
        FileIO::makeDirectories(verifyFolder);
        QList<QByteArray> verifyNames;
        qint64 bytes = 0;
        for (int i = 0; i < catalogue->size() && bytes < VerifyBytes; ++i) {
            const Catalogue::Machine m = catalogue->machine(i);
            const QList<RomList::Rom> files = roms->roms(i);
            if (files.isEmpty() || !m.romOf().isEmpty() || !m.isGame())
                continue;
            bool devices = false;
            for (QByteArrayView ref : roms->deviceRefs(i))
                devices = devices || (catalogue->indexOf(ref) >= 0 && !roms->roms(catalogue->indexOf(ref)).isEmpty());
            qint64 size = 0;
            for (const RomList::Rom &rom : files)
                size += qint64(rom.size);
            if (devices || size > VerifyBytes / 8)
                continue;
            const QByteArray name = m.name().toByteArray() + ".zip";
            if (!forgedZip(verifyFolder + '/' + name, files))
                continue;
            verifyNames.append(name);
            bytes += size;
        }
        std::vector<double> inflated, verified;
        for (int i = 0; i < runs; ++i) {
            inflated.push_back(msOf([&] { bareInflateAndHash(verifyFolder, verifyNames); }));
            verified.push_back(msOf([&] {
                const RomFolder scanned = RomFolder::scan(verifyFolder);
                RomAudit audit(*catalogue, *roms, scanned, RomAudit::Depth::Verify);
                for (const RomFolder::Set &set : scanned.sets())
                    audit.audit(set);
            }));
        }
        std::printf("(verify: %lld games, %.1f MB)\n", qlonglong(verifyNames.size()), bytes / 1048576.0);
        rows.push_back({"verify of a folder vs bare inflate + SHA-1", medianOf(verified), medianOf(inflated), 1.25});
    }

    // The lists' load of 50,000 kept verdicts still good (AuditCache::keptVerdicts, with the
    // folder's scan) against the bare listing of the same folder (bareListing, as the scan lists).
    {
        const QByteArray listFolder = QFile::encodeName(tmp.path()) + "/list";
        const QByteArray listKept = QFile::encodeName(tmp.path()) + "/list.audit";
        FileIO::makeDirectories(listFolder);
        const QByteArray empty("PK\x05\x06" + QByteArray(18, '\0'));
        for (int i = 0; i < KeptSets; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "game%06d.zip", i);
            QFile out(QString::fromLatin1(listFolder + '/' + name));
            if (!out.open(QIODevice::WriteOnly) || out.write(empty) != empty.size())
                std::abort();
        }
        {
            const RomFolder scanned = RomFolder::scan(listFolder);
            AuditCache cache(AuditCache::keyOf(*catalogue, RomAudit::Depth::Quick));
            for (const RomFolder::Set &set : scanned.sets()) {
                RomAudit::Verdict v;
                v.set = set.name;
                v.state = RomAudit::State::Good;
                v.summary = QStringLiteral("good: all 6 ROM files there");
                v.details = v.summary + QStringLiteral("\nchecked by size and CRC-32");
                v.consulted = {set.name};
                cache.keep(scanned, v);
            }
            cache.write(listKept);
        }
        std::vector<double> loads, bareList, scans, oneThread;
        qsizetype loaded = 0;
        for (int i = 0; i < runs; ++i) {
            bareList.push_back(msOf([&] { bareListing(listFolder); }));
            oneThread.push_back(msOf([&] { FileIO::listEntries(listFolder, RomFolder::MaxEntries); }));
            scans.push_back(msOf([&] { RomFolder::scan(listFolder); }));
            loads.push_back(msOf([&] {
                loaded = AuditCache::keptVerdicts(listKept, RomFolder::scan(listFolder), *catalogue, RomAudit::Depth::Quick).size();
            }));
        }
        if (loaded != KeptSets)
            std::printf("(only %lld kept verdicts loaded)\n", qlonglong(loaded));
        rows.push_back({"kept verdicts of 50,000 sets loaded vs listing", medianOf(loads), medianOf(bareList), 1.5});
        // Where that time goes: the folder's scan alone, and a listing with its stats on one thread.
        rows.push_back({"  reference: the scan alone vs the same listing", medianOf(scans), medianOf(bareList), 0});
        rows.push_back({"  reference: kept verdicts vs a listing on one thread", medianOf(loads), medianOf(oneThread), 0});
    }
    return rows;
}
