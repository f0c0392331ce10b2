#include "config.h"

#include "fileio.h"
#include "pathrules.h"
#include "textcodec.h"

#include <algorithm>

namespace Config {

const std::array<JoystickEntry, 21> Joysticks = {{
    {"normal 2 button joystick", "-joy standard"},
    {"dual joysticks", "-joy dual"},
    {"Stick/Pad with 4 buttons", "-joy 4button"},
    {"Stick/Pad with 6 buttons", "-joy 6button"},
    {"Stick/Pad with 8 buttons", "-joy 8button"},
    {"CH Flightstick Pro", "-joy fspro"},
    {"Wingman Extreme", "-joy wingex"},
    {"Wingman Warrior", "-joy wingwarrior"},
    {"Microsoft Sidewinder (up to 4)", "-joy sidewinder"},
    {"Gravis GamePad Pro", "-joy gamepadpro"},
    {"Gravis GrIP", "-joy grip"},
    {"Gravis GrIP constrained to move only along the x and y axes", "-joy grip4"},
    {"SNES pad on LPT1 (needs special hardware)", "-joy sneslpt1"},
    {"SNES pad on LPT2 (needs special hardware)", "-joy sneslpt2"},
    {"SNES pad on LPT3 (needs special hardware)", "-joy sneslpt3"},
    {"PSX pad on LPT1 (needs special hardware)", "-joy psxlpt1"},
    {"PSX pad on LPT2 (needs special hardware)", "-joy psxlpt2"},
    {"PSX pad on LPT3 (needs special hardware)", "-joy psxlpt3"},
    {"N64 pad on LPT1 (needs special hardware)", "-joy n64lpt1"},
    {"N64 pad on LPT2 (needs special hardware)", "-joy n64lpt2"},
    {"N64 pad on LPT3 (needs special hardware)", "-joy n64lpt3"},
}};

int joystickIndex(const QByteArray &value)
{
    for (size_t i = 0; i < Joysticks.size(); ++i)
        if (value == Joysticks[i].value)
            return int(i);
    return -1;
}

QByteArray optionString(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (int n = FirstSwitch; n <= Extra; ++n) {
        if (n < lines.size())
            out.append(lines.at(n));
        out.append(' ');
    }
    return out;
}

QByteArray fileName(const QByteArray &name)
{
    // In any letter case, as the list's mask takes it: "UPPER.TVO" is the file it names.
    if (PathRules::extension(name).compare(Extension, Qt::CaseInsensitive) == 0)
        return name;
    return name + Extension;
}

bool isVisibleName(const QByteArray &name)
{
    const QString text = TextCodec::decode(name);
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return !c.isSpace() && c.category() != QChar::Other_Control && c.category() != QChar::Other_Format;
    });
}

QByteArray romsOrSelf(const QByteArray &directory, bool *found)
{
    const QByteArray roms = FileIO::findSubdirectory(directory, RomsSubdirectory);
    if (found)
        *found = !roms.isEmpty();
    return roms.isEmpty() ? directory : PathRules::join(directory, roms);
}

bool hasLayout(int lineCount)
{
    return lineCount == OldLineCount || lineCount >= LineCount;
}

bool oldLayoutCheck(LineBuffer &lines, const QByteArray &configurationDirectory)
{
    lines.append(OldMarker);
    if (lines.at(RomDirectory) != OldMarker)
        return false;
    changeversion(lines, configurationDirectory);
    return true;
}

void changeversion(LineBuffer &lines, const QByteArray &configurationDirectory)
{
    const QByteArray emulatorDirectory = PathRules::directoryPart(lines.at(Emulator));
    const bool fromEmulator = FileIO::isDirectory(emulatorDirectory);
    const QByteArray romDirectory = romsOrSelf(fromEmulator ? emulatorDirectory : configurationDirectory);
    lines.replace(RomDirectory, romDirectory);
    lines.append(fromEmulator ? QByteArray() : ManualRomDirectory);
}

} // namespace Config
