#include "switches.h"

#include "commandline.h"
#include "textcodec.h"

#include <QStringList>
#include <optional>

namespace Switches {

namespace {

// What a current emulator takes instead of an old switch.
enum class Form {
    AsWritten,      // the same switch
    None,           // nothing
    Renamed,        // another name, the same value
    Scanlines,      // -effect scanlines, which needs the scanlines picture
    NoScanlines,    // -effect none
    SoundCard,      // -sound none for card 0, -sound auto for a card
    Joystick,       // -joystick, the type left to the emulator
    ControllerFile, // -ctrlr NAME, which needs NAME.cfg
    Beam,           // one width became a lower and an upper bound
};

struct Entry {
    Row row;
    Form form;
    const char *current; // the new name (Renamed) or the controller file's name (ControllerFile)
};

// The one table: Table below is its first column, in the same order.
const Entry Entries[] = {
    {{"-cheat", 2, false}, Form::AsWritten, nullptr},
    {{"-resolution", 3, true}, Form::AsWritten, nullptr},
    {{"-nostrech", 4, false}, Form::None, nullptr},
    {{"-depth", 5, true}, Form::None, nullptr},
    {{"-gamma", 6, true}, Form::AsWritten, nullptr},
    {{"-scanlines", 7, false}, Form::Scanlines, nullptr},
    {{"-noscanlines", 7, false}, Form::NoScanlines, nullptr},
    {{"-monitor", 8, true}, Form::None, nullptr},
    {{"-ror", 9, false}, Form::AsWritten, nullptr},
    {{"-rol", 9, false}, Form::AsWritten, nullptr},
    {{"-flipx", 10, false}, Form::AsWritten, nullptr},
    {{"-flipy", 10, false}, Form::AsWritten, nullptr},
    {{"-soundcard", 11, true}, Form::SoundCard, nullptr},
    {{"-ym3812opl", 12, false}, Form::None, nullptr},
    {{"-nostereo", 13, false}, Form::None, nullptr},
    {{"-joy", 14, true}, Form::Joystick, nullptr},
    {{"-hotrod", 15, false}, Form::ControllerFile, "hotrod"},
    {{"-hotrodse", 16, false}, Form::ControllerFile, "hotrodse"},
    {{"-steadykey", 17, false}, Form::AsWritten, nullptr},
    {{"-nomouse", 18, false}, Form::AsWritten, nullptr},
    {{"-tweak", 19, false}, Form::None, nullptr},
    {{"-alwayssynced", 20, false}, Form::None, nullptr},
    {{"-tripplebuffer", 21, false}, Form::None, nullptr},
    {{"-vsync", 22, false}, Form::Renamed, "-waitvsync"},
    {{"-noantialias", 23, false}, Form::None, nullptr},
    {{"-waitinterlace", 24, false}, Form::None, nullptr},
    {{"-ntsc", 25, false}, Form::None, nullptr},
    {{"-notranslucency", 26, false}, Form::None, nullptr},
    {{"-skiplines", 27, true}, Form::None, nullptr},
    {{"-skipcolumns", 28, true}, Form::None, nullptr},
    {{"-centerx", 29, true}, Form::None, nullptr},
    {{"-centery", 30, true}, Form::None, nullptr},
    {{"-sr", 31, true}, Form::Renamed, "-samplerate"},
    {{"-frameskip", 32, true}, Form::AsWritten, nullptr},
    {{"-beam", 33, true}, Form::Beam, nullptr},
    {{"-flicker", 34, true}, Form::AsWritten, nullptr},
    {{"-vgafreq", 35, true}, Form::None, nullptr},
    {{"-log", 36, false}, Form::AsWritten, nullptr},
    {{"-norotate", 37, false}, Form::AsWritten, nullptr},
    {{"-vesamode", 38, true}, Form::None, nullptr},
};

std::vector<Row> rows()
{
    std::vector<Row> out;
    for (const Entry &e : Entries)
        out.push_back(e.row);
    return out;
}

const Entry &entryOf(const Row *r)
{
    return Entries[r - Table.data()];
}

QList<QByteArray> currentForm(const Entry &entry)
{
    switch (entry.form) {
    case Form::AsWritten:
    case Form::None: return {};
    case Form::Renamed: return {QByteArray(entry.current).mid(1)};
    case Form::Scanlines:
    case Form::NoScanlines: return {"effect"};
    case Form::SoundCard: return {"sound"};
    case Form::Joystick: return {"joystick"};
    case Form::ControllerFile: return {"ctrlr"};
    case Form::Beam: return {"beam_width_min", "beam_width_max"};
    }
    return {};
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The words of one table switch, or of one word outside it, and what became of them.
struct Piece {
    QList<QByteArray> arguments;
    std::optional<Note> note;
    bool controller = false; // passes a -ctrlr form; only the last of them counts
    QByteArray written;
};

Piece passed(const QList<QByteArray> &words)
{
    Piece p;
    p.arguments = words;
    p.written = words.join(' ');
    return p;
}

Piece leftOut(const QList<QByteArray> &words, const QString &reason)
{
    Piece p;
    p.written = words.join(' ');
    p.note = Note{Note::Kind::LeftOut, p.written, reason};
    return p;
}

// A table switch with its value (when it takes one), for an emulator whose vocabulary is known.
Piece translated(const Entry &entry, const QList<QByteArray> &written, const Vocabulary &vocabulary,
                 const FileLookup &lookup)
{
    if (vocabulary.takes(written.first()))
        return passed(written);
    const QByteArray value = written.value(1);
    auto found = [&](const QByteArray &path, const QByteArray &file) { return lookup && lookup(path, file); };

    QList<QByteArray> current;
    std::optional<QString> changed;
    switch (entry.form) {
    case Form::AsWritten:
        return leftOut(written, QStringLiteral("the emulator does not know it"));
    case Form::None:
        return leftOut(written, QStringLiteral("has no counterpart in this emulator"));
    case Form::Renamed:
        current = {entry.current};
        if (entry.row.takesValue)
            current << value;
        break;
    case Form::Scanlines:
        current = {"-effect", "scanlines"};
        break;
    case Form::NoScanlines:
        current = {"-effect", "none"};
        break;
    case Form::SoundCard:
        current = {"-sound", value == "0" ? QByteArray("none") : QByteArray("auto")};
        break;
    case Form::Joystick:
        current = {"-joystick"};
        if (value != "auto")
            changed = QStringLiteral("the joystick type is the emulator's own choice now");
        break;
    case Form::ControllerFile:
        current = {"-ctrlr", entry.current};
        break;
    case Form::Beam:
        current = {"-beam_width_min", value, "-beam_width_max", value};
        break;
    }

    QStringList unknown;
    for (const QByteArray &word : current)
        if (isSwitch(word) && !vocabulary.takes(word))
            unknown << QString::fromLatin1(word);
    if (!unknown.isEmpty())
        return leftOut(written, QStringLiteral("the emulator knows neither it nor ") + unknown.join(QStringLiteral(" nor ")));

    if (entry.form == Form::Scanlines && !found("artpath", "scanlines.png"))
        changed = QStringLiteral("no scanlines.png along the emulator's artpath: it shows no scanlines");
    if (entry.form == Form::ControllerFile) {
        const QByteArray file = QByteArray(entry.current) + ".cfg";
        // Without the file the emulator stops before the game starts.
        if (!found("ctrlrpath", file))
            return leftOut(written, QStringLiteral("no ") + QString::fromLatin1(file)
                                        + QStringLiteral(" along the emulator's ctrlrpath"));
    }
    Piece p = passed(current);
    p.written = written.join(' ');
    p.controller = entry.form == Form::ControllerFile;
    if (changed)
        p.note = Note{Note::Kind::Changed, p.written, *changed};
    return p;
}

} // namespace

QList<QByteArray> optionsOf(const Row &row)
{
    const QByteArray name = QByteArray(row.written).mid(1);
    QList<QByteArray> out{name};
    if (name.startsWith("no"))
        out << name.mid(2);
    return out + currentForm(entryOf(&row));
}

const std::vector<Row> Table = rows();

const Row *row(const QByteArray &word)
{
    for (const Row &r : Table)
        if (word == r.written)
            return &r;
    return nullptr;
}

bool isSwitch(const QByteArray &word)
{
    return word.size() >= 2 && word.at(0) == '-' && isLetter(word.at(1));
}

Translation translate(const QByteArray &optionString, const Vocabulary &vocabulary, const FileLookup &lookup)
{
    const QList<QByteArray> words = CommandLine::words(optionString);
    Translation t;
    if (!vocabulary.isKnown()) {
        t.arguments = words;
        return t;
    }

    QList<Piece> pieces;
    bool afterTableSwitch = false; // a value word here has no switch to belong to
    for (qsizetype i = 0; i < words.size();) {
        const QByteArray &word = words.at(i);
        const Row *r = row(word);
        if (!r) {
            if (isSwitch(word)) {
                afterTableSwitch = false;
                pieces << passed({word});
                if (!vocabulary.takes(word))
                    pieces.last().note = Note{Note::Kind::Unlisted, word, QStringLiteral("not listed by this emulator")};
            } else if (afterTableSwitch) {
                pieces << leftOut({word}, QStringLiteral("a stray word: the emulator would take it for a second system name"));
            } else {
                pieces << passed({word});
            }
            ++i;
            continue;
        }
        afterTableSwitch = true;
        QList<QByteArray> written{word};
        if (r->takesValue) {
            if (i + 1 == words.size() || isSwitch(words.at(i + 1))) {
                pieces << leftOut(written, QStringLiteral("no value given"));
                ++i;
                continue;
            }
            written << words.at(i + 1);
        }
        i += written.size();
        pieces << translated(entryOf(r), written, vocabulary, lookup);
    }

    // Two controller files: the emulator reads one, so the later replaces the earlier.
    qsizetype last = pieces.size() - 1;
    while (last >= 0 && !pieces.at(last).controller)
        --last;
    for (qsizetype i = 0; i < last; ++i) {
        if (!pieces.at(i).controller)
            continue;
        pieces[i].arguments.clear();
        pieces[i].note = Note{Note::Kind::LeftOut, pieces.at(i).written,
                              QStringLiteral("the later ") + TextCodec::decode(pieces.at(last).written)
                                  + QStringLiteral(" replaces it")};
    }

    for (const Piece &p : pieces) {
        t.arguments << p.arguments;
        if (p.note)
            t.notes << *p.note;
    }
    return t;
}

QString describe(const QList<Note> &notes)
{
    QStringList lines;
    for (const Note &n : notes)
        lines << TextCodec::decode(n.written) + QStringLiteral(": ") + n.reason;
    return lines.join(QLatin1Char('\n'));
}

} // namespace Switches
