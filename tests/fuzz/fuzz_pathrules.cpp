// Path rules: the parts of a path fit back together, in both styles.
#include "pathrules.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray path(reinterpret_cast<const char *>(data), qsizetype(size));
    for (auto style : {PathRules::Style::Posix, PathRules::Style::Windows}) {
        const QByteArray dir = PathRules::directoryPart(path, style);
        const QByteArray name = PathRules::namePart(path, style);
        const QByteArray stem = PathRules::withoutExtension(path, style);
        const QByteArray ext = PathRules::extension(path, style);
        if (!path.endsWith(name) || !path.startsWith(dir) || dir.size() + name.size() > path.size() + 1)
            abort();
        if (stem + ext != path || (!ext.isEmpty() && !ext.startsWith('.')))
            abort();
        if (name.contains(style == PathRules::Style::Posix ? '/' : '\\'))
            abort();
        if (PathRules::directoryPart(dir, style).size() > dir.size())
            abort();
    }
    return 0;
}
