// The ROM audit against the real emulator: sets of real machines built from its own catalogue,
// each ROM random bytes with the expected size and CRC-32, audited by "-verifyroms" and by the
// quick audit, which must agree on every file found, missing or wrong. And the verdicts' words
// on the stand-in catalogue, with archives that are no archives, and kept between audits.
#include "auditcache.h"
#include "romaudit.h"
#include "romforge.h"
#include "listxmlsample.h"
#include "testutil.h"
#include "verifyromsreport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>

using namespace TestUtil;
using Problem = RomAudit::Verdict::Problem;
using Problems = std::set<std::pair<QByteArray, Problem>>;

namespace {

const QByteArray RealMame = "/usr/games/mame";
// The machines the rows use: a plain game, a parent and its clone, a game with device ROMs, one
// on a BIOS, and one made of circuits alone.
const QStringList RealMachines = {"invaders", "spacewar", "breakout", "puckman", "pacman", "galaga", "cleoptra", "gts1"};

// Runs the real emulator with its own home and no display; its output and status.
struct Run {
    QByteArray out;
    int status = -1;
};
Run runMame(const QStringList &arguments, const QByteArray &home)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromLocal8Bit(home));
    env.insert("SDL_VIDEODRIVER", "dummy");
    env.insert("SDL_AUDIODRIVER", "dummy");
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(QString::fromLocal8Bit(home));
    process.start(QString::fromLocal8Bit(RealMame), arguments);
    process.waitForFinished(120000);
    return {process.readAll(), process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1};
}

const QByteArray SevenZip = "/usr/bin/7zz";

// A 7z archive at `path` holding `files`, written by Debian's 7-Zip.
bool writeSevenZip(const QByteArray &path, const QList<RomForge::File> &files)
{
    ScratchDir scratch;
    QStringList arguments{"a", "-t7z", "-bd", QString::fromLocal8Bit(path)};
    for (const RomForge::File &f : files) {
        writeFile(scratch.file(f.name), f.bytes);
        arguments.append(QString::fromLocal8Bit(f.name));
    }
    QProcess process;
    process.setWorkingDirectory(QString::fromLocal8Bit(scratch.path()));
    process.start(QString::fromLocal8Bit(SevenZip), arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The farthest set along `machine`'s chain that lists the same file, else the machine: where a
// split folder keeps it.
int ownerOf(const RomForge::Read &r, int machine, const RomList::Rom &rom)
{
    QList<int> chain{machine};
    for (int next; chain.size() < 16 && (next = r.catalogue.indexOf(r.catalogue.machine(chain.last()).romOf())) >= 0;)
        chain.append(next);
    for (qsizetype i = chain.size() - 1; i > 0; --i)
        for (const RomList::Rom &other : r.roms.roms(chain.at(i)))
            if (other.size == rom.size && other.crc == rom.crc)
                return chain.at(i);
    return machine;
}

QByteArray forged(const RomList::Rom &rom)
{
    return RomForge::withCrc(qint64(rom.size), rom.crc.value_or(0), qHash(rom.name));
}

// The split set of `machine`: its files that no set along its chain keeps.
QList<RomForge::File> splitSet(const RomForge::Read &r, int machine)
{
    QList<RomForge::File> files;
    for (const RomList::Rom &rom : r.roms.roms(machine))
        if (rom.status != RomList::Dump::NoDump && ownerOf(r, machine, rom) == machine)
            files.append({rom.name.toByteArray(), forged(rom)});
    return files;
}

// The emulator's "-verifyroms" report: each file it names, and whether the set is playable.
Problems parseReport(const QByteArray &report, bool *playable)
{
    const VerifyRomsReport read = VerifyRomsReport::parse(report);
    *playable = read.summary == VerifyRomsReport::Summary::Good || read.summary == VerifyRomsReport::Summary::BestAvailable;
    return Problems(read.problems.begin(), read.problems.end());
}

// The stand-in catalogue's sample, read once; `other` the same machines read for another key.
const RomForge::Read &sample(bool other = false)
{
    const QByteArray xml = ListXmlSample::head() + ListXmlSample::machines() + ListXmlSample::tail();
    static const RomForge::Read read = *RomForge::catalogueOf(xml);
    static const RomForge::Read again = *RomForge::catalogueOf(xml, "test, read again");
    return other ? again : read;
}

// Overwrites a file with bytes that are no archive, keeping its size and time of last change: an
// audit that reads it again cannot find it right.
void spoil(const QByteArray &path)
{
    struct stat before {};
    QVERIFY(::stat(path.constData(), &before) == 0);
    writeFile(path, QByteArray(qsizetype(before.st_size), 'x'));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
}

// Every set of the folder audited with the verdicts kept in `file`, which is written back; how
// many were audited again in `*audited`.
QHash<QByteArray, RomAudit::Verdict> auditKept(const RomForge::Read &r, const QByteArray &folderPath, const QByteArray &file,
                                               int *audited, RomAudit::Depth depth = RomAudit::Depth::Quick)
{
    const RomFolder folder = RomFolder::scan(folderPath);
    RomAudit audit(r.catalogue, r.roms, folder, depth);
    AuditCache kept = AuditCache::read(file, AuditCache::keyOf(r.catalogue, depth));
    QHash<QByteArray, RomAudit::Verdict> verdicts;
    *audited = 0;
    for (const RomFolder::Set &set : folder.sets()) {
        bool fresh = false;
        verdicts.insert(set.name, kept.verdict(audit, folder, set, &fresh));
        *audited += fresh ? 1 : 0;
    }
    if (kept.changed() && !kept.write(file))
        qWarning("the kept verdicts cannot be written");
    return verdicts;
}

} // namespace

class TestRomAudit : public QObject {
    Q_OBJECT
private slots:
    void folderSets_data();
    void folderSets();
    void forgedCrc();
    void agreesWithEmulator_data();
    void agreesWithEmulator();
    void verdicts_data();
    void verdicts();
};

// A folder's entries ("name/" a directory, "many" 1,500 archives "zz00000.zip" … "zz01499.zip",
// enough to be scanned on two threads) and its sets as scanned: "name:file,file;…" in name
// order, each set's sources in the order they are looked in, the many ones left out.
void TestRomAudit::folderSets_data()
{
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::addColumn<QByteArray>("sets");
    QTest::newRow("a directory, then the zip, then the 7z; files of no set left out")
        << QList<QByteArray>{"pacman.7z", "pacman.zip", "pacman/", "readme.txt", ".hidden.zip", "notes/", "x.zip.txt"}
        << QByteArray("notes:notes;pacman:pacman,pacman.zip,pacman.7z");
    QTest::newRow("any letter case, both spellings kept")
        << QList<QByteArray>{"PacMan.ZIP", "pacman.zip", "Galaga.7Z"} << QByteArray("galaga:Galaga.7Z;pacman:PacMan.ZIP,pacman.zip");
    QTest::newRow("names alike in their first 16 bytes, and a prefix of another")
        << QList<QByteArray>{"abcdefghijklmnopq.zip", "abcdefghijklmnop.zip", "abcdefghijklmnopb.zip", "abcdefghijklmnoPA.zip", "abc.zip", "ab.zip"}
        << QByteArray("ab:ab.zip;abc:abc.zip;abcdefghijklmnop:abcdefghijklmnop.zip;abcdefghijklmnopa:abcdefghijklmnoPA.zip;"
                      "abcdefghijklmnopb:abcdefghijklmnopb.zip;abcdefghijklmnopq:abcdefghijklmnopq.zip");
    QTest::newRow("bytes above ASCII sort after it") << QList<QByteArray>{"\xc3\xa9t\xc3\xa9.zip", "z.zip"}
        << QByteArray("z:z.zip;\xc3\xa9t\xc3\xa9:\xc3\xa9t\xc3\xa9.zip");
    QTest::newRow("a large folder") << QList<QByteArray>{"many", "Zz00750.7z", "zz00750/", "zz.zip", "zzz.zip"}
        << QByteArray("zz:zz.zip;zz00750:zz00750,zz00750.zip,Zz00750.7z;zzz:zzz.zip");
}

void TestRomAudit::folderSets()
{
    QFETCH(QList<QByteArray>, entries);
    QFETCH(QByteArray, sets);
    ScratchDir dir;
    const int many = entries.contains("many") ? 1500 : 0;
    const auto manyName = [](int i) { return "zz" + QByteArray::number(i).rightJustified(5, '0'); };
    for (int i = many - 1; i >= 0; --i)
        ::close(::open(dir.file(manyName(i) + ".zip").constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    for (const QByteArray &entry : std::as_const(entries)) {
        if (entry == "many")
            continue;
        if (entry.endsWith('/'))
            QVERIFY(QDir().mkpath(QString::fromLocal8Bit(dir.file(entry))));
        else
            writeFile(dir.file(entry), "PK");
    }
    const RomFolder folder = RomFolder::scan(dir.path());
    QByteArrayList scanned;
    int manyFound = 0;
    for (const RomFolder::Set &set : folder.sets()) {
        QCOMPARE(folder.find(set.name), &set);
        if (set.name.size() == 7 && set.name.startsWith("zz") && set.sources.size() == 1 && set.sources.at(0).file == set.name + ".zip") {
            QCOMPARE(set.name, manyName(manyFound == 750 ? ++manyFound : manyFound)); // zz00750 has sources of its own
            ++manyFound;
            continue;
        }
        QByteArrayList files;
        for (const RomFolder::Source &source : set.sources)
            files.append(source.file);
        scanned.append(set.name + ':' + files.join(','));
    }
    QCOMPARE(manyFound, many);
    QCOMPARE(scanned.join(';'), sets);
}

void TestRomAudit::forgedCrc()
{
    for (quint32 crc : {0u, 0xffffffffu, 0xc1e6ab10u, 0x12345678u})
        for (qint64 size : {4, 5, 256, 4096})
            QCOMPARE(RomForge::crcOf(RomForge::withCrc(size, crc, quint32(size))), crc);
}

// "machine" is audited; "layout" says how its sets are made: "split" each set along its chain and
// each device with ROMs as its own archive; "merged" the clone's files in its parent's archive;
// with "-parent", "-bios", "-device", "-all" that set (or every one) left out; "missing",
// "length", "crc" spoil the machine's first file of its own; "7z" has the emulator audit the same
// sets packed as 7z, as a 7z set is audited, where the quick audit reads the zip ones.
void TestRomAudit::agreesWithEmulator_data()
{
    QTest::addColumn<QByteArray>("machine");
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<bool>("playable");
    QTest::addColumn<int>("state");
    const int good = int(RomAudit::State::Good), incomplete = int(RomAudit::State::Incomplete),
              wrong = int(RomAudit::State::Wrong);
    QTest::newRow("complete") << QByteArray("invaders") << QByteArray("split") << true << good;
    QTest::newRow("romless") << QByteArray("breakout") << QByteArray("split") << true << good;
    QTest::newRow("a file missing") << QByteArray("spacewar") << QByteArray("split missing") << false << incomplete;
    QTest::newRow("a wrong length") << QByteArray("invaders") << QByteArray("split length") << false << wrong;
    QTest::newRow("a wrong CRC") << QByteArray("invaders") << QByteArray("split crc") << false << wrong;
    QTest::newRow("the set absent") << QByteArray("invaders") << QByteArray("split -all") << false << incomplete;
    QTest::newRow("clone, split") << QByteArray("pacman") << QByteArray("split") << true << good;
    QTest::newRow("clone without its parent") << QByteArray("pacman") << QByteArray("split -parent") << false << incomplete;
    QTest::newRow("clone in a merged parent") << QByteArray("pacman") << QByteArray("merged") << true << good;
    QTest::newRow("clone, a file of its own wrong") << QByteArray("pacman") << QByteArray("split crc") << false << wrong;
    QTest::newRow("parent, complete") << QByteArray("puckman") << QByteArray("split") << true << good;
    QTest::newRow("device ROMs") << QByteArray("galaga") << QByteArray("split") << true << good;
    QTest::newRow("device ROMs missing") << QByteArray("galaga") << QByteArray("split -device") << false << incomplete;
    QTest::newRow("a game on a BIOS") << QByteArray("cleoptra") << QByteArray("split") << true << good;
    QTest::newRow("the BIOS missing") << QByteArray("cleoptra") << QByteArray("split -bios") << false << incomplete;
    QTest::newRow("a BIOS game, a file missing") << QByteArray("cleoptra") << QByteArray("split missing") << false << incomplete;
    QTest::newRow("7z, complete") << QByteArray("invaders") << QByteArray("split 7z") << true << good;
    QTest::newRow("7z, a wrong CRC") << QByteArray("invaders") << QByteArray("split crc 7z") << false << wrong;
    QTest::newRow("7z, clone in a merged parent") << QByteArray("pacman") << QByteArray("merged 7z") << true << good;
    QTest::newRow("7z, clone without its parent") << QByteArray("pacman") << QByteArray("split -parent 7z") << false << incomplete;
}

void TestRomAudit::agreesWithEmulator()
{
    QFETCH(QByteArray, machine);
    QFETCH(QByteArray, layout);
    QFETCH(bool, playable);
    QFETCH(int, state);
    if (!FileIO::isExecutableFile(RealMame))
        QSKIP("Debian's mame is not installed at /usr/games/mame");
    ScratchDir dir;
    const QByteArray home = dir.mkdir("home");
    const QByteArray roms = dir.mkdir("roms");
    static std::optional<RomForge::Read> real;
    if (!real) {
        const Run listed = runMame(QStringList{"-listxml"} + RealMachines, home);
        QCOMPARE(listed.status, 0);
        real = RomForge::catalogueOf(listed.out);
        QVERIFY(real);
    }
    const RomForge::Read &r = *real;
    const int index = r.catalogue.indexOf(machine);
    QVERIFY(index >= 0);
    const QList<QByteArray> words = layout.split(' ');

    // The sets: the machine's own, each along its chain, each device's with ROMs.
    QList<int> chain{index};
    for (int next; (next = r.catalogue.indexOf(r.catalogue.machine(chain.last()).romOf())) >= 0;)
        chain.append(next);
    QMap<int, QList<RomForge::File>> sets;
    for (int link : chain)
        if (!(link != index && words.contains(r.catalogue.machine(link).isBios() ? "-bios" : "-parent")))
            sets[link] = splitSet(r, link);
    if (!words.contains("-device"))
        for (QByteArrayView ref : r.roms.deviceRefs(index))
            if (const int d = r.catalogue.indexOf(ref); d >= 0 && !r.roms.roms(d).isEmpty())
                for (const RomList::Rom &rom : r.roms.roms(d))
                    if (!sets.contains(d) || std::none_of(sets[d].begin(), sets[d].end(),
                                                          [&](const RomForge::File &f) { return f.name == rom.name; }))
                        sets[d].append({rom.name.toByteArray(), forged(rom)});
    if (words.contains("merged")) {
        sets[chain.value(1)] += sets.take(index);
    }
    QList<RomForge::File> &own = sets[index];
    if (words.contains("missing"))
        own.removeFirst();
    if (words.contains("length"))
        own.first().bytes.chop(24);
    if (words.contains("crc"))
        own.first().bytes[0] = char(own.first().bytes.at(0) ^ 0x5a);
    if (own.isEmpty())
        sets.remove(index);
    if (!words.contains("-all"))
        for (auto it = sets.cbegin(); it != sets.cend(); ++it)
            QVERIFY(RomForge::writeZip(roms + '/' + r.catalogue.machine(it.key()).name().toByteArray() + ".zip", it.value()));
    QByteArray asked = roms;
    if (words.contains("7z")) {
        if (!FileIO::isExecutableFile(SevenZip))
            QSKIP("Debian's 7-Zip (7zz, package 7zip) is not installed: no 7z sets to audit");
        asked = dir.mkdir("roms7z");
        for (auto it = sets.cbegin(); it != sets.cend(); ++it)
            if (!it.value().isEmpty())
                QVERIFY(writeSevenZip(asked + '/' + r.catalogue.machine(it.key()).name().toByteArray() + ".7z", it.value()));
        // The quick audit leaves a 7z set that is not plainly good to the emulator.
        const RomFolder packed = RomFolder::scan(asked);
        RomAudit quick(r.catalogue, r.roms, packed, RomAudit::Depth::Quick);
        QCOMPARE(int(quick.audit(machine).state), int(RomAudit::State::NotAudited));
    }

    const Run verified = runMame({"-verifyroms", QString::fromUtf8(machine), "-rompath", QString::fromLocal8Bit(asked)}, home);
    bool mamePlayable = false;
    const Problems reported = parseReport(verified.out, &mamePlayable);
    QCOMPARE(verified.status == 0, playable);
    QCOMPARE(mamePlayable, playable);

    const RomFolder folder = RomFolder::scan(roms);
    RomAudit audit(r.catalogue, r.roms, folder, RomAudit::Depth::Quick);
    const RomAudit::Verdict verdict = audit.audit(machine);
    const Problems found(verdict.problems.begin(), verdict.problems.end());
    QCOMPARE(verdict.playable(), playable);
    QCOMPARE(int(verdict.state), state);
    // A set of which nothing of its own is there the emulator only calls "not found".
    const bool notFound = verified.out.contains("romset \"" + machine + "\" not found!");
    QCOMPARE(notFound, words.contains("-all") || (words.contains("missing") && splitSet(r, index).size() == 1));
    if (!notFound)
        QVERIFY2(found == reported, verified.out.constData());
    else
        QVERIFY(!found.empty() && std::all_of(found.begin(), found.end(), [](const auto &p) { return p.second == Problem::Missing; }));
    // The same report as a 7z set's verdict, which the emulator gives: the same playability.
    const RomAudit::Verdict byEmulator = VerifyRomsReport::parse(verified.out).verdict(verdict, verified.status);
    QCOMPARE(byEmulator.playable(), playable);
    QCOMPARE(int(byEmulator.state), state);
    QCOMPARE(byEmulator.consulted, verdict.consulted);

    // Verify reads the forged files: the right size and CRC-32, never the right SHA-1.
    if (playable && verdict.problems.isEmpty() && !r.roms.roms(index).isEmpty()) {
        RomAudit verify(r.catalogue, r.roms, folder, RomAudit::Depth::Verify);
        const RomAudit::Verdict verified = verify.audit(machine);
        QCOMPARE(int(verified.state), int(RomAudit::State::Wrong));
        QVERIFY2(verified.summary.contains(QLatin1String("SHA-1 differs")), qPrintable(verified.summary));
    }
}

// On the stand-in's sample: "files" lists the archives written, "name.zip=rom,rom" (a ROM given
// as "rom:bad" gets a wrong CRC, "rom:damaged" bytes that do not match the CRC-32 the archive
// gives them, "rom@other" is stored under another name), "verify" audits by Verify, "name/=rom" a
// directory, "name.zip!" bytes that are no archive, "+N" N entries more that are no ROM. After "then", the folder's sets are audited
// with kept verdicts, changed, and audited again: "spoil name.zip" keeps its stamp but not its
// bytes, "rm name.zip", "name.zip=..." a new archive, "catalogue" another reading of the
// catalogue, "damage"/"cut" the kept file hurt, "old" it made of the layout before, "audit" an audit between (whose changes the kept
// file's journal gets), "torn"/"garbled" its last record cut short or damaged as by a crash,
// "audited=N" the sets audited again; the verdict
// is the second audit's. Every row's verdicts are also kept and read back unchanged.
void TestRomAudit::verdicts_data()
{
    QTest::addColumn<QByteArray>("set");
    QTest::addColumn<QList<QByteArray>>("files");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("summary");
    using S = RomAudit::State;
    QTest::newRow("parent, its nodump file not needed") << QByteArray("puckman") << QList<QByteArray>{"puckman.zip=pm1_prg1.6e"}
        << int(S::Good) << QStringLiteral("good: all 1 ROM file there");
    QTest::newRow("clone, the parent missing")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e"} << int(S::Incomplete)
        << QStringLiteral("1 of 2 ROM files missing: 1 belongs to the parent puckman, which is not in the folder");
    QTest::newRow("clone, its own file and the parent's missing")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=", "puckman.zip="} << int(S::Incomplete)
        << QStringLiteral("2 of 2 ROM files missing: 1 of its own, 1 belongs to the parent puckman, which lacks it");
    QTest::newRow("found by CRC under any name in an archive")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e@x.bin,pm1_prg1.6e@y"} << int(S::Good)
        << QStringLiteral("good: all 2 ROM files there");
    QTest::newRow("a wrong CRC, named with both numbers")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e:bad,pm1_prg1.6e"} << int(S::Wrong)
        << QStringLiteral("pacman.6e: CRC 3e1e5400, expected c1e6ab10");
    QTest::newRow("an archive whose directory lies before its last 64 KiB")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e,pm1_prg1.6e,+1200"} << int(S::Good)
        << QStringLiteral("good: all 2 ROM files there");
    QTest::newRow("the same, verified") << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e:bad,pm1_prg1.6e,+1200", "verify"}
        << int(S::Wrong) << QStringLiteral("2 wrong files: pacman.6e: CRC 3e1e5400, expected c1e6ab10; pm1_prg1.6e: SHA-1 differs");
    QTest::newRow("a directory set, by name")
        << QByteArray("pacman") << QList<QByteArray>{"pacman/=pacman.6e,pm1_prg1.6e"} << int(S::Good)
        << QStringLiteral("good: all 2 ROM files there");
    QTest::newRow("a directory set: a renamed file is not found")
        << QByteArray("pacman") << QList<QByteArray>{"pacman/=pacman.6e@x.bin,pm1_prg1.6e"} << int(S::Incomplete)
        << QStringLiteral("1 of 2 ROM files missing: 1 of its own");
    QTest::newRow("a BIOS set names its games")
        << QByteArray("neogeo") << QList<QByteArray>{"neogeo.zip=sp-s2.sp1"} << int(S::BiosOrDevice)
        << QStringLiteral("BIOS set, used by 1 game: kof98; good: all 1 ROM file there");
    QTest::newRow("a disk missing")
        << QByteArray("area51") << QList<QByteArray>{"area51.zip="} << int(S::NeedsDisk)
        << QStringLiteral("needs the disk area51 (area51.chd in the directory area51)");
    QTest::newRow("no machine of the emulator")
        << QByteArray("zzznotagame") << QList<QByteArray>{"zzznotagame.zip="} << int(S::NotMachine)
        << QStringLiteral("not a machine of this emulator");
    QTest::newRow("bytes that are no archive")
        << QByteArray("puckman") << QList<QByteArray>{"puckman.zip!"} << int(S::Wrong)
        << QStringLiteral("puckman.zip cannot be read: Not a zip archive; 1 of 1 ROM file missing: 1 of its own");
    QTest::newRow("a 7z set is left to the emulator")
        << QByteArray("puckman") << QList<QByteArray>{"puckman.7z!"} << int(S::NotAudited)
        << QStringLiteral("not audited (7z)");
    QTest::newRow("verify: every file of an archive read, the forged bytes' SHA-1 wrong")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e,pm1_prg1.6e", "verify"} << int(S::Wrong)
        << QStringLiteral("2 wrong files: pacman.6e: SHA-1 differs; pm1_prg1.6e: SHA-1 differs");
    QTest::newRow("verify: an entry damaged in the archive cannot be read")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e:damaged,pm1_prg1.6e", "verify"} << int(S::Wrong)
        << QStringLiteral("2 wrong files: pacman.6e: cannot be read in pacman; pm1_prg1.6e: SHA-1 differs");
    QTest::newRow("quick: an entry damaged in the archive is not read")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e:damaged,pm1_prg1.6e"} << int(S::Good)
        << QStringLiteral("good: all 2 ROM files there");
    QTest::newRow("kept: a second audit reads no archive")
        << QByteArray("puckman") << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "then", "spoil puckman.zip", "audited=0"}
        << int(S::Good) << QStringLiteral("good: all 1 ROM file there");
    QTest::newRow("kept: the parent replaced, only the sets that looked in it again")
        << QByteArray("pacman")
        << QList<QByteArray>{"pacman.zip=pacman.6e", "puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then",
                             "spoil neogeo.zip", "puckman.zip=", "audited=2"}
        << int(S::Incomplete) << QStringLiteral("1 of 2 ROM files missing: 1 belongs to the parent puckman, which lacks it");
    QTest::newRow("kept: the parent removed")
        << QByteArray("pacman")
        << QList<QByteArray>{"pacman.zip=pacman.6e", "puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then",
                             "spoil neogeo.zip", "rm puckman.zip", "audited=1"}
        << int(S::Incomplete) << QStringLiteral("1 of 2 ROM files missing: 1 belongs to the parent puckman, which is not in the folder");
    QTest::newRow("kept: the parent added")
        << QByteArray("pacman") << QList<QByteArray>{"pacman.zip=pacman.6e", "then", "puckman.zip=pm1_prg1.6e", "audited=2"}
        << int(S::Good) << QStringLiteral("good: all 2 ROM files there");
    QTest::newRow("kept: another catalogue, all audited again")
        << QByteArray("puckman") << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then", "catalogue", "audited=2"}
        << int(S::Good) << QStringLiteral("good: all 1 ROM file there");
    QTest::newRow("kept: a damaged file is not trusted")
        << QByteArray("puckman") << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then", "damage", "audited=2"}
        << int(S::Good) << QStringLiteral("good: all 1 ROM file there");
    QTest::newRow("kept: a file of the layout before is audited again")
        << QByteArray("puckman") << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then", "old", "audited=2"}
        << int(S::Good) << QStringLiteral("good: all 1 ROM file there");
    QTest::newRow("kept: a cut file is not trusted")
        << QByteArray("puckman") << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then", "cut", "audited=2"}
        << int(S::Good) << QStringLiteral("good: all 1 ROM file there");
    QTest::newRow("kept: changes journalled, a set dropped, all read back")
        << QByteArray("puckman")
        << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then", "puckman.zip=", "audit",
                             "rm neogeo.zip", "audit", "audited=0"}
        << int(S::Incomplete) << QStringLiteral("1 of 1 ROM file missing: 1 of its own");
    QTest::newRow("kept: a journal record cut short, the ones before it kept")
        << QByteArray("puckman")
        << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then", "puckman.zip=", "audit", "torn",
                             "audited=0"}
        << int(S::Incomplete) << QStringLiteral("1 of 1 ROM file missing: 1 of its own");
    QTest::newRow("kept: the last journal record damaged, its set audited again")
        << QByteArray("puckman")
        << QList<QByteArray>{"puckman.zip=pm1_prg1.6e", "neogeo.zip=sp-s2.sp1", "then", "puckman.zip=", "audit",
                             "garbled", "audited=1"}
        << int(S::Incomplete) << QStringLiteral("1 of 1 ROM file missing: 1 of its own");
}

void TestRomAudit::verdicts()
{
    QFETCH(QByteArray, set);
    QFETCH(QList<QByteArray>, files);
    QFETCH(int, state);
    QFETCH(QString, summary);
    const RomForge::Read &r = sample();
    auto romNamed = [&](QByteArrayView name) -> std::optional<RomList::Rom> {
        for (int i = 0; i < r.roms.size(); ++i)
            for (const RomList::Rom &rom : r.roms.roms(i))
                if (rom.name == name)
                    return rom;
        return std::nullopt;
    };
    ScratchDir dir, cache;
    const QByteArray keptFile = cache.file("kept.audit");
    const qsizetype then = files.indexOf("then");
    bool otherCatalogue = false;
    int auditedAgain = -1, audited = 0;
    const RomAudit::Depth depth = files.removeAll("verify") ? RomAudit::Depth::Verify : RomAudit::Depth::Quick;
    QHash<QByteArray, RomAudit::Verdict> first;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QByteArray &step = files.at(i);
        if (i == then) {
            first = auditKept(r, dir.path(), keptFile, &audited);
            QCOMPARE(audited, int(first.size()));
            continue;
        }
        if (step.startsWith("spoil ")) {
            spoil(dir.file(step.mid(6)));
            continue;
        }
        if (step.startsWith("rm ")) {
            QVERIFY(FileIO::remove(dir.file(step.mid(3))));
            continue;
        }
        if (step.startsWith("audited=")) {
            auditedAgain = step.mid(8).toInt();
            continue;
        }
        if (step == "catalogue") {
            otherCatalogue = true;
            continue;
        }
        if (step == "audit") {
            auditKept(r, dir.path(), keptFile, &audited);
            continue;
        }
        if (step == "torn" || step == "garbled") {
            QByteArray bytes = readFile(keptFile);
            if (step == "torn")
                bytes += QByteArray("\x40\0\0\0\x12", 5);
            else
                bytes[bytes.size() - 1] = char(bytes.back() ^ 1);
            writeFile(keptFile, bytes);
            continue;
        }
        if (step == "damage" || step == "cut" || step == "old") {
            QByteArray bytes = readFile(keptFile);
            if (step == "cut")
                bytes.chop(bytes.size() / 2);
            else if (step == "old")
                bytes[8] = char(AuditCache::FormatVersion - 1);
            else
                bytes[8] = char(bytes.at(8) + 1); // the layout version
            writeFile(keptFile, bytes);
            continue;
        }
        if (step.endsWith('!')) {
            writeFile(dir.file(step.chopped(1)), "not an archive at all");
            continue;
        }
        const qsizetype eq = step.indexOf('=');
        QList<RomForge::File> content;
        QList<QByteArray> damaged;
        for (const QByteArray &item : step.mid(eq + 1).split(',')) {
            if (item.isEmpty())
                continue;
            if (item.startsWith('+')) { // entries of no ROM, their directory larger than its tail read at once
                for (int n = item.mid(1).toInt(), k = 0; k < n; ++k)
                    content.append({"padding/" + QByteArray(60, 'p') + QByteArray::number(k), {}});
                continue;
            }
            const QByteArray base = item.split('@').first().split(':').first();
            const std::optional<RomList::Rom> rom = romNamed(base);
            QVERIFY(rom);
            QByteArray bytes = forged(*rom);
            if (item.contains(":bad"))
                bytes = RomForge::withCrc(bytes.size(), 0x3e1e5400, 1);
            if (item.contains(":damaged"))
                damaged.append(bytes);
            content.append({item.contains('@') ? item.split('@').last() : base, bytes});
        }
        const QByteArray name = step.left(eq);
        if (name.endsWith('/')) {
            const QByteArray sub = dir.mkdir(name.chopped(1));
            for (const RomForge::File &f : content)
                writeFile(sub + '/' + f.name, f.bytes);
        } else {
            // A replaced archive written within the file system's time resolution keeps a new size.
            QVERIFY(RomForge::writeZip(dir.file(name), content));
            // The stored bytes changed after, the directory's CRC-32 left as it was.
            QByteArray zip = readFile(dir.file(name));
            for (const QByteArray &bytes : std::as_const(damaged))
                zip[zip.indexOf(bytes) + 7] ^= 1;
            writeFile(dir.file(name), zip);
        }
    }
    if (then >= 0) {
        const QHash<QByteArray, RomAudit::Verdict> second = auditKept(sample(otherCatalogue), dir.path(), keptFile, &audited);
        QCOMPARE(audited, auditedAgain);
        QVERIFY(second.contains(set));
        QCOMPARE(second.value(set).summary, summary);
        QCOMPARE(int(second.value(set).state), state);
        return;
    }
    const RomFolder folder = RomFolder::scan(dir.path());
    RomAudit audit(r.catalogue, r.roms, folder, depth);
    const RomFolder::Set *found = folder.find(set);
    QVERIFY(found);
    const RomAudit::Verdict verdict = audit.audit(*found);
    QCOMPARE(verdict.summary, summary);
    QCOMPARE(int(verdict.state), state);
    QVERIFY(verdict.details.startsWith(summary.at(0).toUpper()));

    // Kept, the same verdict comes back without an audit.
    auditKept(r, dir.path(), keptFile, &audited, depth);
    QCOMPARE(audited, int(folder.sets().size()));
    const RomAudit::Verdict kept = auditKept(r, dir.path(), keptFile, &audited, depth).value(set);
    QCOMPARE(audited, 0);
    QCOMPARE(kept.summary, verdict.summary);
    QCOMPARE(kept.details, verdict.details);
    QCOMPARE(int(kept.state), int(verdict.state));
    QCOMPARE(kept.problems, verdict.problems);
    QCOMPARE(kept.consulted, verdict.consulted);
}

QTEST_GUILESS_MAIN(TestRomAudit)
#include "tst_romaudit.moc"
