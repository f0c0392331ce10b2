// The switches of a configuration's option string (line 41), as the emulator that runs them
// understands them. The files keep the switches of the old emulator that the editor writes; a
// current emulator knows few of them. Each old switch has one row in the table below: it is
// passed as written when the emulator knows it, replaced by its current form when the emulator
// knows that, and otherwise left out with the reason. Every other word passes as written.
//
// Reading the option string: a switch is "-" followed by a letter; every other word ("-1", ".5",
// "640x480") is a value. A table switch that takes a value takes the next word when that word is
// a value; without one it is left out. A value left over after a table switch and its value is
// left out too: the emulator would take it for a second system name.
#pragma once

#include "vocabulary.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

namespace Switches {

// One old switch.
struct Row {
    const char *written;   // the switch as configurations hold it: "-scanlines"
    int line;              // the configuration line that writes it
    bool takesValue;       // followed by one value word
};
// Every switch the editor writes, with its line.
extern const std::vector<Row> Table;
// The row of a switch word; nullptr when it has none.
const Row *row(const QByteArray &word);

// The emulator options (names without "-") a row's switch may set: its own name, or for a
// "-noNAME" the NAME, and those of its current form.
QList<QByteArray> optionsOf(const Row &row);

// A switch is "-" followed by a letter.
bool isSwitch(const QByteArray &word);

// Something the user should know before the command runs.
struct Note {
    enum class Kind {
        LeftOut,    // not passed: no current form, the emulator knows neither form, no value, a stray word
        Changed,    // passed in a current form that does not do quite what the old one did
        Unlisted,   // a switch of the user's own that the emulator does not list; passed as written
    };
    Kind kind;
    QByteArray written;    // the words as the option string holds them: "-depth 16"
    QString reason;        // why, as one sentence without a closing full stop
};

// Whether a file lies along one of the emulator's search paths: `pathOption` names the path
// ("artpath", "ctrlrpath"), `fileName` the file ("scanlines.png", "hotrod.cfg").
using FileLookup = std::function<bool(const QByteArray &pathOption, const QByteArray &fileName)>;

struct Translation {
    QList<QByteArray> arguments;  // the words to pass, in order
    QList<Note> notes;            // in the order of the option string
};

// The option string's words for an emulator with `vocabulary`. An unknown vocabulary takes every
// word as written, with no notes.
Translation translate(const QByteArray &optionString, const Vocabulary &vocabulary, const FileLookup &lookup);

// The notes' text, one line each: the words as written, then the reason.
QString describe(const QList<Note> &notes);

} // namespace Switches
