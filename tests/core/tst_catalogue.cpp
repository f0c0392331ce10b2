// An emulator's catalogue: its "-listxml" answer read piece by piece, what is kept of each
// machine and of its ROMs, what a hostile or broken answer leaves, and the kept bytes checked
// on load, so that a damaged cache file is never taken for a catalogue.
#include "catalogue.h"
#include "cataloguewriter.h"
#include "listxml.h"
#include "listxmlsample.h"
#include "romlist.h"

#include <QTest>
#include <cstring>
#include <functional>

using Fault = ListXmlReader::Fault;
using Damage = std::function<void(QByteArray &catalogue, QByteArray &romList)>;
Q_DECLARE_METATYPE(Damage)

namespace {

struct Read {
    Fault fault;
    int skipped;
    CatalogueWriter::Images images;
};

Read readAll(const QByteArray &answer, qsizetype piece, bool atEnd)
{
    CatalogueWriter writer;
    ListXmlReader reader(writer);
    for (qsizetype at = 0; at < answer.size() && reader.feed(QByteArrayView(answer).sliced(at, std::min(piece, answer.size() - at)));
         at += piece) {
    }
    reader.finish(atEnd);
    return {reader.fault(), reader.skipped(), writer.finish("key", QString(), reader.fault() == Fault::None, reader.skipped())};
}

const char *statusText(Catalogue::Status s)
{
    static const char *const names[] = {"?", "good", "imperfect", "preliminary"};
    return names[int(s)];
}

// One machine on one line, everything the lists load; then its ROM list.
QByteArray summary(const Catalogue &c, const RomList &roms, int i)
{
    const Catalogue::Machine m = c.machine(i);
    QByteArray s = m.description().toByteArray() + " | " + m.year().toByteArray() + " | " + m.manufacturer().toByteArray()
        + " | " + m.sourceFile().toByteArray();
    if (!m.cloneOf().isEmpty())
        s += " | clone of " + m.cloneOf().toByteArray() + (m.parent() >= 0 ? "=" + c.machine(m.parent()).name().toByteArray() : "?");
    if (!m.romOf().isEmpty())
        s += " | rom of " + m.romOf().toByteArray();
    s += QByteArray(" |") + (m.isBios() ? " bios" : "") + (m.isDevice() ? " device" : "") + (m.isRunnable() ? "" : " unrunnable")
        + (m.isMechanical() ? " mechanical" : "") + (m.needsDisk() ? " disk" : "") + (m.isGame() ? " game" : "");
    s += QByteArray(" | ") + statusText(m.status()) + '/' + statusText(m.emulation());
    if (m.players() || !m.controls().isEmpty())
        s += " | " + QByteArray::number(m.players()) + "p " + m.controls().toByteArray() + ' ' + QByteArray::number(m.buttons()) + 'b';
    if (m.screens())
        s += " | screen " + QByteArray::number(int(m.screen())) + ' ' + QByteArray::number(m.rotate()) + " x"
            + QByteArray::number(m.screens());
    for (const Catalogue::Feature &f : m.features())
        s += " | " + f.type.toByteArray() + ' ' + QByteArray::number(int(f.status)) + '/' + QByteArray::number(int(f.overall));
    for (const RomList::Rom &r : roms.roms(i))
        s += " || rom " + r.name.toByteArray() + ' ' + QByteArray::number(r.size) + ' '
            + (r.crc ? QByteArray::number(*r.crc, 16) : QByteArray("-")) + ' '
            + (r.sha1.isEmpty() ? QByteArray("-") : r.sha1.toByteArray().toHex().left(8))
            + (r.merge.isEmpty() ? "" : " merge " + r.merge.toByteArray()) + (r.status == RomList::Dump::NoDump ? " nodump" : "")
            + (r.optional ? " optional" : "");
    for (const RomList::Disk &d : roms.disks(i))
        s += " || disk " + d.name.toByteArray() + ' ' + d.sha1.toByteArray().toHex().left(8) + (d.optional ? " optional" : "");
    for (QByteArrayView ref : roms.deviceRefs(i))
        s += " || device " + ref.toByteArray();
    for (const RomList::BiosSet &b : roms.biosSets(i))
        s += " || bios " + b.name.toByteArray() + " \"" + b.description.toByteArray() + '"' + (b.isDefault ? " default" : "");
    return s;
}

// Every machine: "name: summary" lines.
QByteArray everything(const Catalogue &c, const RomList &roms)
{
    QByteArray all;
    for (int i = 0; i < c.size(); ++i)
        all += c.machine(i).name().toByteArray() + ": " + summary(c, roms, i) + '\n';
    return all;
}

QByteArray machine(const QByteArray &name, const QByteArray &inside, const QByteArray &attributes = {})
{
    return "<machine name=\"" + name + "\"" + attributes + "><description>" + name + "</description>" + inside + "</machine>\n";
}

template <typename T>
void patch(QByteArray &bytes, quint64 offset, T value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

quint64 recordAt(const QByteArray &catalogue, int i)
{
    CatalogueFormat::CatalogueHeader h;
    std::memcpy(&h, catalogue.constData(), sizeof h);
    return h.recordsOffset + quint64(i) * sizeof(CatalogueFormat::Record);
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void kept_data();
    void kept();
};

// "name" is the machine looked at ("" for none): its summary, or "-" when it is not there.
void TestCatalogue::reads_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("piece"); // bytes handed over at a time
    QTest::addColumn<bool>("atEnd"); // the emulator ended by itself
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("machines");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("summary");
    using namespace ListXmlSample;
    const QByteArray all = full();
    const int none = int(Fault::None), damaged = int(Fault::Damaged), other = int(Fault::NotCatalogue);
    QTest::newRow("a BIOS: its sets, ROM and device")
        << all << 7 << true << none << 8 << 0 << QByteArray("neogeo")
        << QByteArray("Neo-Geo MV-6F | 1990 | SNK | neogeo/neogeo.cpp | bios | good/good"
                      " || rom sp-s2.sp1 131072 9036d879 4f5ed710 || device z80"
                      " || bios euro \"Europe MVS (Ver. 2)\" default || bios japan \"Japan MVS (Ver. 3)\"");
    QTest::newRow("a device, not runnable, never a game")
        << all << 4096 << true << none << 8 << 0 << QByteArray("z80")
        << QByteArray("Zilog Z80 |  |  | cpu/z80/z80.cpp | device unrunnable | ?/?");
    QTest::newRow("a parent: controls once each, a ROM not dumped")
        << all << 1 << true << none << 8 << 0 << QByteArray("puckman")
        << QByteArray("Puck Man (Japan set 1) | 1980 | Namco | pacman/pacman.cpp | game | good/good | 2p joy 0b | screen 1 90 x1"
                      " || rom pm1_prg1.6e 2048 f36e88ab 813cecf4 || rom pm1-4.4a 256 - - nodump || device z80");
    QTest::newRow("a clone finds its parent; a merged ROM")
        << all << 65536 << true << none << 8 << 0 << QByteArray("pacman")
        << QByteArray("Pac-Man (Midway) | 1980 | Namco (Midway license) | pacman/pacman.cpp | clone of puckman=puckman"
                      " | rom of puckman | game | good/good | 2p joy 0b | screen 1 90 x1 || rom pacman.6e 4096 c1e6ab10 e87e059c"
                      " || rom pm1_prg1.6e 2048 f36e88ab 813cecf4 merge pm1_prg1.6e || device z80");
    QTest::newRow("a game on a BIOS with a feature note")
        << all << 100 << true << none << 8 << 0 << QByteArray("kof98")
        << QByteArray("The King of Fighters '98 (NGM-2420) | 1998 | SNK | neogeo/neogeo.cpp | rom of neogeo | game"
                      " | imperfect/good | 2p joy 4b | screen 1 0 x1 | protection 1/0 || rom 242-pn1.p1 2097152 61ac868a 26577264");
    QTest::newRow("a disk, two screens, two kinds of controls, notes for itself and overall")
        << all << 333 << true << none << 8 << 0 << QByteArray("area51")
        << QByteArray("Area 51 (R3000) | 1996 | Atari Games | atari/jaguar.cpp | disk game | preliminary/preliminary"
                      " | 2p lightgun, joy 2b | screen 1 0 x2 | sound 2/0 | graphics 0/1 || rom area51.bin 1024 1 - optional"
                      " || disk area51 3b303bc3");
    QTest::newRow("entities decoded, a line break made a blank")
        << all << 50 << true << none << 8 << 0 << QByteArray("tomjerry")
        << QByteArray("Tom & Jerry \xE2\x80\x93 Yankee Doodle Edition | 198? | Atari & Co. | atari/atarisy1.cpp | game | good/good");
    QTest::newRow("mechanical")
        << all << 9 << true << none << 8 << 0 << QByteArray("18w")
        << QByteArray("18 Wheeler (set 1) | 1979 | Midway | midway/mw18w.cpp | mechanical game | preliminary/good");
    QTest::newRow("cut in a machine, the emulator ended: what was read whole stays")
        << cutInMachine(4) << 64 << true << damaged << 4 << 0 << QByteArray("kof98") << QByteArray("-");
    QTest::newRow("cut in a machine, the emulator was ended: no fault of the answer")
        << cutInMachine(4) << 64 << false << none << 4 << 0 << QByteArray("pacman")
        << QByteArray("Pac-Man (Midway) | 1980 | Namco (Midway license) | pacman/pacman.cpp | clone of puckman=puckman"
                      " | rom of puckman | game | good/good | 2p joy 0b | screen 1 90 x1 || rom pacman.6e 4096 c1e6ab10 e87e059c"
                      " || rom pm1_prg1.6e 2048 f36e88ab 813cecf4 merge pm1_prg1.6e || device z80");
    QTest::newRow("a clone of a parent not listed")
        << head() + machine("orphan", "", " cloneof=\"gone\"") + tail() << 10 << true << none << 1 << 0
        << QByteArray("orphan") << QByteArray("orphan |  |  |  | clone of gone? | game | ?/?");
    QTest::newRow("unusable names are left out: slash, dot-dot, a blank, too long, empty; the rest stays")
        << head() + machine("a/b", "") + machine("..", "") + machine("tab&#9;bed", "") + machine(QByteArray(65, 'x'), "")
               + machine("", "") + machine("fine", "") + tail()
        << 4096 << true << none << 1 << 5 << QByteArray("fine") << QByteArray("fine |  |  |  | game | ?/?");
    QTest::newRow("unusable ROM, disk, device and parent names leave the machine out")
        << head() + machine("r", "<rom name=\"../../etc/passwd\" size=\"1\"/>") + machine("d", "<disk name=\"/abs\"/>")
               + machine("v", "<device_ref name=\"a/../b\"/>") + machine("p", "", " cloneof=\"..\"")
               + machine("w", "<rom name=\"dir\\x\" size=\"1\"/>") + machine("ok", "<rom name=\"sub/x.bin\" size=\"1\"/>") + tail()
        << 4096 << true << none << 1 << 5 << QByteArray("ok") << QByteArray("ok |  |  |  | game | ?/? || rom sub/x.bin 1 - -");
    QTest::newRow("a control character is no XML: reading stops, what was read stays")
        << head() + machine("one", "") + "<machine name=\"x\x01\"/>" + machine("two", "") + tail() << 4096 << true << damaged
        << 1 << 0 << QByteArray("two") << QByteArray("-");
    QTest::newRow("texts cut at their bound, between characters")
        << head() + machine("long", "<year>" + QByteArray(4095, 'y') + "\xC3\xA9</year>") + tail() << 1000 << true << none << 1
        << 0 << QByteArray("long") << QByteArray("long | " + QByteArray(4095, 'y') + " |  |  | game | ?/?");
    QTest::newRow("a machine over its bound is left out")
        << head() + machine("huge", [] {
               QByteArray refs;
               for (int i = 0; i < 20000; ++i)
                   refs += "<device_ref name=\"" + QByteArray::number(i).rightJustified(60, 'd') + "\"/>";
               return refs;
           }()) + machine("small", "") + tail()
        << 65536 << true << none << 1 << 1 << QByteArray("huge") << QByteArray("-");
    QTest::newRow("a name listed twice keeps its first machine")
        << head() + machine("twice", "<year>1</year>") + machine("twice", "<year>2</year>") + tail() << 4096 << true << none << 1
        << 0 << QByteArray("twice") << QByteArray("twice | 1 |  |  | game | ?/?");
    QTest::newRow("the machines of an old emulator, <game>")
        << QByteArray("<?xml version=\"1.0\"?>\n<mame build=\"0.106\">\n<game name=\"pacman\" cloneof=\"puckman\">"
                      "<description>Pac-Man (Midway)</description><year>1980</year></game></mame>\n")
        << 4096 << true << none << 1 << 0 << QByteArray("pacman")
        << QByteArray("Pac-Man (Midway) | 1980 |  |  | clone of puckman? | game | ?/?");
    QTest::newRow("nothing listed") << QByteArray("<mame/>") << 4096 << true << none << 0 << 0 << QByteArray() << QByteArray();
    QTest::newRow("no answer") << QByteArray() << 4096 << true << other << 0 << 0 << QByteArray() << QByteArray();
    QTest::newRow("an old emulator's complaint")
        << QByteArray("Unknown option: -listxml\n") << 4096 << true << other << 0 << 0 << QByteArray() << QByteArray();
    QTest::newRow("another root") << QByteArray("<softwarelists><softwarelist name=\"a\"/></softwarelists>") << 4096 << true
                                  << other << 0 << 0 << QByteArray() << QByteArray();
    QTest::newRow("entities declared (a document that makes itself huge)")
        << QByteArray("<!DOCTYPE mame [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
                      "<mame><machine name=\"x\"><description>&b;</description></machine></mame>")
        << 4096 << true << other << 0 << 0 << QByteArray("x") << QByteArray("-");
    QTest::newRow("nested too deep") << head() + machine("one", "") + QByteArray("<a>").repeated(100) << 4096 << false
                                     << damaged << 1 << 0 << QByteArray() << QByteArray();
    QTest::newRow("a tag that never ends")
        << head() + machine("one", "") + "<machine name=\"x\" sourcefile=\"" + QByteArray(3 << 20, 's') << 65536 << false
        << damaged << 1 << 0 << QByteArray() << QByteArray();
}

void TestCatalogue::reads()
{
    QFETCH(QByteArray, answer);
    QFETCH(int, piece);
    QFETCH(bool, atEnd);
    QFETCH(int, machines);
    QFETCH(QByteArray, name);
    const Read read = readAll(answer, piece, atEnd);
    QTEST(int(read.fault), "fault");
    QTEST(read.skipped, "skipped");
    const std::optional<Catalogue> catalogue = Catalogue::fromBytes(read.images.catalogue);
    QVERIFY(catalogue);
    QCOMPARE(catalogue->size(), machines);
    const std::optional<RomList> roms = RomList::fromBytes(read.images.romList, catalogue->buildId(), catalogue->size());
    QVERIFY(roms);
    if (name.isEmpty())
        return;
    const int i = catalogue->indexOf(name);
    QTEST(i < 0 ? QByteArray("-") : summary(*catalogue, *roms, i), "summary");
    if (i >= 0)
        QCOMPARE(catalogue->indexOfArchive(name.toUpper() + ".ZIP"), i);
}

// The sample's catalogue written and read back, with one thing damaged or none.
void TestCatalogue::kept_data()
{
    using namespace CatalogueFormat;
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<bool>("catalogue"); // the catalogue is still read
    QTest::addColumn<bool>("romList");
    QTest::newRow("as written: the same machines, ROM lists, key and note")
        << Damage([](QByteArray &, QByteArray &) {}) << true << true;
    QTest::newRow("cut by a byte") << Damage([](QByteArray &c, QByteArray &) { c.chop(1); }) << false << true;
    QTest::newRow("only the header") << Damage([](QByteArray &c, QByteArray &) { c.truncate(sizeof(CatalogueHeader)); })
                                     << false << true;
    QTest::newRow("empty") << Damage([](QByteArray &c, QByteArray &r) { c.clear(), r.clear(); }) << false << false;
    QTest::newRow("another layout version")
        << Damage([](QByteArray &c, QByteArray &) { patch(c, offsetof(CatalogueHeader, version), Version + 1); }) << false
        << true;
    QTest::newRow("a record's text past the pool")
        << Damage([](QByteArray &c, QByteArray &) {
               patch(c, recordAt(c, 3) + offsetof(Record, description) + offsetof(Text, size), quint32(0xfffffff0));
           })
        << false << true;
    QTest::newRow("a count past the file")
        << Damage([](QByteArray &c, QByteArray &) { patch(c, offsetof(CatalogueHeader, machineCount), quint32(0x7fffffff)); })
        << false << true;
    QTest::newRow("a feature range past its table")
        << Damage([](QByteArray &c, QByteArray &) { patch(c, recordAt(c, 0) + offsetof(Record, featureCount), quint16(500)); })
        << false << true;
    QTest::newRow("a parent past the records")
        << Damage([](QByteArray &c, QByteArray &) { patch(c, recordAt(c, 0) + offsetof(Record, parent), qint32(8)); })
        << false << true;
    QTest::newRow("names out of order")
        << Damage([](QByteArray &c, QByteArray &) {
               const QByteArray first = c.mid(qsizetype(recordAt(c, 0)), sizeof(Record));
               c.replace(qsizetype(recordAt(c, 0)), sizeof(Record), c.mid(qsizetype(recordAt(c, 1)), sizeof(Record)));
               c.replace(qsizetype(recordAt(c, 1)), sizeof(Record), first);
           })
        << false << true;
    QTest::newRow("a driver status no version knows")
        << Damage([](QByteArray &c, QByteArray &) { patch(c, recordAt(c, 2) + offsetof(Record, status), quint8(9)); }) << false
        << true;
    QTest::newRow("a ROM list of another reading")
        << Damage([](QByteArray &, QByteArray &r) { patch(r, offsetof(RomListHeader, buildId), quint64(1)); }) << true << false;
    QTest::newRow("a ROM range past its table")
        << Damage([](QByteArray &, QByteArray &r) {
               RomListHeader h;
               std::memcpy(&h, r.constData(), sizeof h);
               patch(r, h.machinesOffset + offsetof(RomMachine, romCount), quint32(1000));
           })
        << true << false;
    QTest::newRow("a ROM list cut short") << Damage([](QByteArray &, QByteArray &r) { r.chop(100); }) << true << false;
}

void TestCatalogue::kept()
{
    QFETCH(Damage, damage);
    CatalogueWriter writer;
    ListXmlReader reader(writer);
    QVERIFY(reader.feed(ListXmlSample::full()));
    reader.finish(true);
    const CatalogueWriter::Images images = writer.finish("the key", QStringLiteral("a note \xE2\x80\x93 kept"), true, 2);
    const std::optional<Catalogue> fresh = Catalogue::fromBytes(images.catalogue);
    QVERIFY(fresh);
    const std::optional<RomList> freshRoms = RomList::fromBytes(images.romList, fresh->buildId(), fresh->size());
    QVERIFY(freshRoms);
    QCOMPARE(fresh->size(), 8);

    // Through copies that are not the writer's bytes: the reader keeps nothing of them.
    QByteArray catalogueBytes(images.catalogue.constData(), images.catalogue.size());
    QByteArray romBytes(images.romList.constData(), images.romList.size());
    damage(catalogueBytes, romBytes);
    const std::optional<Catalogue> catalogue = Catalogue::fromBytes(catalogueBytes);
    QTEST(bool(catalogue), "catalogue");
    const std::optional<RomList> roms = RomList::fromBytes(romBytes, fresh->buildId(), fresh->size());
    QTEST(bool(roms), "romList");
    if (catalogue) {
        QCOMPARE(catalogue->key(), QByteArrayView("the key"));
        QCOMPARE(catalogue->note(), QStringLiteral("a note \xE2\x80\x93 kept"));
        QCOMPARE(catalogue->skipped(), 2);
        QVERIFY(catalogue->isComplete());
        QCOMPARE(everything(*catalogue, roms ? *roms : *freshRoms), everything(*fresh, *freshRoms));
    }
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
