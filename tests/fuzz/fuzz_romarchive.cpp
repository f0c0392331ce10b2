// The ROM archive reader on random bytes: it never crashes, and what it lists keeps within its
// bounds (entries, name lengths); a refused archive lists nothing.
#include "romarchive.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const RomArchive::Listing listing =
        RomArchive::list(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!listing.ok() && !listing.entries.isEmpty())
        std::abort();
    if (listing.entries.size() > RomArchive::MaxEntries)
        std::abort();
    qint64 names = 0;
    for (const RomArchive::Entry &entry : listing.entries) {
        const QByteArrayView name = listing.nameOf(entry);
        if (name.size() > RomArchive::MaxNameBytes || name.contains('/'))
            std::abort();
        names += name.size();
    }
    if (names > RomArchive::MaxNamesBytes)
        std::abort();
    return 0;
}
