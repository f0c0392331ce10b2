// The configuration file: a line-positional text file, one option per line, counted from 0.
#pragma once

#include "linebuffer.h"

#include <QByteArray>
#include <QList>
#include <array>

namespace Config {

// Line numbers of the current layout.
enum Line : int {
    Description = 0,
    Game = 1,
    FirstSwitch = 2,     // lines 2..39 make the option string
    Extra = 39,
    Emulator = 40,
    OptionString = 41,
    FirstArgumentText = 42, // lines 42..51: the argument fields' texts
    RomDirectory = 52,
    RomSelection = 53,
    LineCount = 54,
    OldLineCount = 52,
};

inline const QByteArray Extension = ".tvo";
inline const QByteArray FileMask = "*.tvo";
inline const QByteArray OldMarker = "old";
inline const QByteArray ManualRomDirectory = "sim";
// The subdirectory that holds the game archives, looked up in any letter case.
inline const QByteArray RomsSubdirectory = "roms";

struct JoystickEntry {
    const char *caption;
    const char *value;
};
// The manual joystick choices, by list position.
extern const std::array<JoystickEntry, 21> Joysticks;
// Position of a joystick value in the table, -1 when it is none of them.
int joystickIndex(const QByteArray &value);

// Line 41: the values of lines 2 to 39, each followed by one blank.
QByteArray optionString(const QList<QByteArray> &lines);

// The file name for a configuration name: the name itself when its extension is ".tvo" in any
// letter case, else the name with ".tvo" appended.
QByteArray fileName(const QByteArray &name);
// Whether a configuration name can name a file: it holds a character that shows. An empty name,
// and one of blanks or invisible characters only ("   " would be saved as "   .tvo"), do not.
bool isVisibleName(const QByteArray &name);

// The ROM directory beside a directory: its "roms" subdirectory (in any letter case, named as on
// disk) when there is one, else the directory itself. `found` tells whether the subdirectory exists.
QByteArray romsOrSelf(const QByteArray &directory, bool *found = nullptr);

// Whether a file of `lineCount` lines holds a configuration: the old layout's 52 lines (upgraded
// when it runs), or the current layout's 54 and more.
bool hasLayout(int lineCount);

// Before reading line 52 or 53 of held lines: appends the marker "old" and, when line 52 then
// reads exactly "old", upgrades the lines with changeversion. Returns whether it upgraded.
bool oldLayoutCheck(LineBuffer &lines, const QByteArray &configurationDirectory);

// Upgrades held lines of the old layout: line 52 becomes the ROM directory derived from the
// emulator's directory (or the configuration directory), and a flag line follows.
void changeversion(LineBuffer &lines, const QByteArray &configurationDirectory);

} // namespace Config
