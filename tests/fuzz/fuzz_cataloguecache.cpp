// Loading a kept catalogue or ROM list, any bytes: no crash, no read outside them; every view a
// loaded one hands out lies within its bytes.
#include "catalogue.h"
#include "romlist.h"

#include <cstdlib>
#include <cstring>

namespace {

const char *s_begin, *s_end;

void within(QByteArrayView v)
{
    if (!v.isEmpty() && (v.data() < s_begin || v.data() + v.size() > s_end))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    s_begin = bytes.constData();
    s_end = s_begin + bytes.size();
    if (const std::optional<Catalogue> c = Catalogue::fromBytes(bytes)) {
        if (c->bytes().constData() != s_begin)
            abort(); // the records stay in the bytes read
        within(c->key());
        c->note();
        for (int i = 0; i < c->size(); ++i) {
            const Catalogue::Machine m = c->machine(i);
            for (QByteArrayView v : {m.name(), m.description(), m.year(), m.manufacturer(), m.cloneOf(), m.romOf(),
                                     m.sampleOf(), m.sourceFile(), m.controls()})
                within(v);
            if (m.parent() >= c->size() || c->indexOf(m.name()) != i)
                abort();
            for (const Catalogue::Feature &f : m.features())
                within(f.type);
        }
    }
    // As a ROM list, for the build id and machine count its own header names.
    CatalogueFormat::RomListHeader h;
    if (size >= sizeof h) {
        std::memcpy(&h, data, sizeof h);
        if (const std::optional<RomList> r = RomList::fromBytes(bytes, h.buildId, int(std::min<quint32>(h.machineCount, 1 << 30)))) {
            for (int i = 0; i < r->size(); ++i) {
                for (const RomList::Rom &rom : r->roms(i))
                    within(rom.name), within(rom.merge), within(rom.sha1);
                for (const RomList::Disk &disk : r->disks(i))
                    within(disk.name), within(disk.merge), within(disk.sha1);
                for (QByteArrayView ref : r->deviceRefs(i))
                    within(ref);
                for (const RomList::BiosSet &set : r->biosSets(i))
                    within(set.name), within(set.description);
            }
        }
    }
    return 0;
}
