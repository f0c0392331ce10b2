// Reading an emulator's -listxml answer, any bytes in any pieces: no crash, memory bounded by the
// reader's bounds, and what it builds is always a catalogue and a ROM list that load, with each
// machine found under its name.
#include "catalogue.h"
#include "cataloguewriter.h"
#include "listxml.h"
#include "romlist.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the size of the pieces, as a pipe hands them over.
    const qsizetype piece = 1 + data[0] * 37;
    const QByteArrayView answer(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    CatalogueWriter writer;
    ListXmlReader reader(writer);
    for (qsizetype at = 0; at < answer.size(); at += piece)
        if (!reader.feed(answer.sliced(at, std::min(piece, answer.size() - at))))
            break;
    reader.finish(data[0] & 1);
    const CatalogueWriter::Images images = writer.finish("key", reader.faultText(), reader.fault() == ListXmlReader::Fault::None,
                                                         reader.skipped());
    const std::optional<Catalogue> catalogue = Catalogue::fromBytes(images.catalogue);
    if (!catalogue || catalogue->size() > reader.machines())
        abort();
    if (!RomList::fromBytes(images.romList, catalogue->buildId(), catalogue->size()))
        abort();
    for (int i = 0; i < catalogue->size(); ++i)
        if (catalogue->indexOf(catalogue->machine(i).name()) != i)
            abort();
    return 0;
}
