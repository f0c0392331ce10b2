// Reading a ROM folder's kept verdicts, any bytes: no crash and no read outside them; a file read
// and written again reads back the same.
#include "auditcache.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray key = "catalogue key";
    const AuditCache cache = AuditCache::fromBytes(bytes, key);
    const QByteArray written = cache.toBytes();
    const AuditCache again = AuditCache::fromBytes(written, key);
    if (again.toBytes() != written)
        abort();
    return 0;
}
