// The settings-file rewrite, both styles: the ROM path line gets the new text and every other
// line comes back byte for byte, its line end included; a file too short for the ROM path line,
// or a folder the emulator would misread, is refused whole; the rewrite on the bytes gives
// exactly what the lines give.
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
        const int target = SettingsFile::targetLine(before, style);
        // The rewrite run works on the bytes; it must give what the lines give, and refuse alike.
        std::optional<QByteArray> text, oracle;
        try {
            text = SettingsFile::rewritten(file, style, romPath);
        } catch (const CommandError &) {
        }
        try {
            oracle = SettingsOracle::rewritten(file, style, romPath);
        } catch (const CommandError &) {
        }
        if (text != oracle)
            abort();
        if (!text)
            continue;
        const QList<SettingsOracle::Line> was = SettingsOracle::split(file);
        const QList<SettingsOracle::Line> now = SettingsOracle::split(*text);
        if (now.size() != std::max<qsizetype>(was.size(), target + 1))
            abort();
        for (qsizetype i = 0; i < now.size(); ++i) {
            if (i == target) {
                if (!now.at(i).text.endsWith(SettingsFile::romPathLine(style, romPath)))
                    abort();
                if (i < was.size() && !was.at(i).end.isEmpty() && now.at(i).end != was.at(i).end)
                    abort(); // the replaced line keeps its line end
            } else if (now.at(i).text != was.at(i).text
                       || (!was.at(i).end.isEmpty() && now.at(i).end != was.at(i).end)) {
                abort(); // every other line keeps its bytes and its line end
            }
        }
        // The rewritten line is a ROM path line, and the last one: a second rewrite finds it and
        // changes nothing more.
        const QList<QByteArray> after = LineBuffer::split(*text, LineBuffer::Nul::Kept);
        if (SettingsFile::targetLine(after, style) != target)
            abort();
        if (SettingsFile::rewritten(*text, style, romPath) != *text)
            abort();
    }
    return 0;
}
