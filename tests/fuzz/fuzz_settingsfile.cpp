// The settings-file rewrite, both styles: the ROM path line gets the new text and every other
// line comes back byte for byte; a file too short for the ROM path line is refused whole; the
// rewrite on the bytes gives exactly what the lines give.
#include "errors.h"
#include "settingsfile.h"
#include "settingsoracle.h"

#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    // The first line of the input is the ROM path (it can hold no line break); the rest is the file.
    const qsizetype cut = input.indexOf('\n');
    const QByteArray romPath = cut < 0 ? input : input.left(cut).replace('\r', ' ');
    const QByteArray file = cut < 0 ? QByteArray() : input.mid(cut + 1);
    const QList<QByteArray> before = LineBuffer::split(file, LineBuffer::Nul::Kept);

    for (auto style : {SettingsFile::Style::Cfg, SettingsFile::Style::Ini}) {
        LineBuffer lines(before);
        const int target = SettingsFile::targetLine(before, style);
        // The rewrite run works on the bytes; it must give what the lines give.
        std::optional<QByteArray> text;
        try {
            text = SettingsFile::rewritten(file, style, romPath);
        } catch (const CommandError &) {
        }
        try {
            SettingsOracle::setRomPath(lines, style, romPath);
        } catch (const CommandError &) {
            if (target <= before.size() || lines.lines() != before || text)
                abort(); // refused only when too short, and then untouched
            continue;
        }
        if (!text || *text != LineBuffer::join(lines.lines()))
            abort();
        const QList<QByteArray> &after = lines.lines();
        if (after.size() != std::max<qsizetype>(before.size(), target + 1))
            abort();
        for (qsizetype i = 0; i < after.size(); ++i) {
            if (i == target) {
                if (!after.at(i).endsWith(SettingsFile::romPathLine(style, romPath)))
                    abort();
            } else if (after.at(i) != before.at(i)) {
                abort();
            }
        }
        // The rewritten line is a ROM path line, and the last one: a second rewrite finds it.
        if (SettingsFile::targetLine(after, style) != target)
            abort();
        // Written and read back: the same lines.
        if (LineBuffer::split(LineBuffer::join(after), LineBuffer::Nul::Kept) != after)
            abort();
    }
    return 0;
}
