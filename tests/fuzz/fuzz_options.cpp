// Loading any configuration into the editor's state and saving it: never a failure, always the
// 54 lines with their option string, and what a save writes loads back to the same lines.
#include "config.h"
#include "linebuffer.h"
#include "options.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> lines = LineBuffer::split(text);
    const QList<QByteArray> saved = Options::save(Options::load(lines));
    if (saved.size() != Config::LineCount)
        abort();
    if (saved.at(Config::OptionString) != Config::optionString(saved))
        abort();
    for (const QByteArray &line : saved)
        if (line.contains('\r') || line.contains('\n') || line.contains('\0'))
            abort();
    if (Options::save(Options::load(saved)) != saved)
        abort();
    // The lines the editor reads are kept byte for byte.
    for (const int n : {Config::Description, Config::Extra, Config::Emulator, Config::RomDirectory})
        if (saved.at(n) != (n < lines.size() ? lines.at(n) : QByteArray()))
            abort();
    return 0;
}
