// Line 39, Extra Commands, shared by the "Emulator Options" page and the user's own text. The
// page's options are kept there as switches, so the file's layout stays as every reader knows it.
//
// Reading splits the line at blanks, as a run does. A switch that names an option the emulator
// lists (by its name, one of its short aliases, or "-noNAME" for an on/off option) with its value
// becomes the page's; the first of each only, so no option is set twice. Every other word stays
// the user's text, in its order. Writing puts back each unchanged option as it was written, in
// its place; a changed one is written "-name value" in its place, a cleared one is removed, and a
// new one is appended. Loading and saving without a change gives the line byte for byte.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <functional>

namespace ExtraCommands {

enum class Kind { None, OnOff, Value };
// What the emulator says of an option name (without "-"): none, on/off, or taking a value.
using Kinds = std::function<Kind(QByteArrayView name)>;

// The option a short alias stands for ("rp": "rompath"); the alias itself when it is none.
QByteArray canonical(QByteArrayView name);

// One piece of the line: a run of blanks, one of the user's words, or an option with its value.
struct Piece {
    QByteArray text;     // as written
    QByteArray option;   // the option it sets (canonical name); empty for blanks and the user's words
    QByteArray value;    // "1" or "0" for an on/off option
};

struct Line {
    QList<Piece> pieces;
    // The options read, by name, with their values.
    QMap<QByteArray, QByteArray> options() const;
    // The user's text: the line without the options read, blanks around each removal folded.
    QByteArray userText() const;
};

Line read(const QByteArray &line, const Kinds &kinds);

// The line for `options` (name to value; "1"/"0" for on/off) and `userText`, keeping what `loaded`
// held where it did not change.
QByteArray write(const Line &loaded, const QByteArray &userText, const QMap<QByteArray, QByteArray> &options,
                 const Kinds &kinds);

// The switch words of one option: "-name value", "-name" for on, "-noname" for off.
QByteArray switchText(const QByteArray &name, const QByteArray &value, Kind kind);

// Throws CommandError naming the option when a run could not pass `value` as one word (a blank,
// a tab or a double quote), or when it is one of the line breaks a file of lines cannot hold.
void checkValue(const QByteArray &name, const QByteArray &value);

} // namespace ExtraCommands
