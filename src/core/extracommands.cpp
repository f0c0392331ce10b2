#include "extracommands.h"

#include "errors.h"

#include <QString>
#include <array>
#include <utility>

namespace ExtraCommands {

namespace {

// The short aliases Debian's mame 0.251 takes and "-showusage" does not list, each checked with
// "-ALIAS -showconfig".
constexpr std::array<std::pair<const char *, const char *>, 10> Aliases{{
    {"rp", "rompath"}, {"bp", "rompath"}, {"sp", "samplepath"}, {"w", "window"}, {"v", "verbose"},
    {"max", "maximize"}, {"ka", "keepaspect"}, {"joy", "joystick"}, {"str", "seconds_to_run"},
    {"ues", "unevenstretch"},
}};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isSwitchWord(const QByteArray &w)
{
    return w.size() >= 2 && w[0] == '-' && std::isalpha(static_cast<unsigned char>(w[1]));
}

// The line as runs of blanks and words.
QList<QByteArray> tokens(const QByteArray &line)
{
    QList<QByteArray> out;
    qsizetype i = 0;
    while (i < line.size()) {
        const bool blank = isBlank(line[i]);
        qsizetype j = i;
        while (j < line.size() && isBlank(line[j]) == blank)
            ++j;
        out << line.mid(i, j - i);
        i = j;
    }
    return out;
}

QByteArray joinWords(const QList<QByteArray> &parts)
{
    QByteArray out;
    for (const QByteArray &p : parts) {
        if (p.isEmpty())
            continue;
        if (!out.isEmpty())
            out += ' ';
        out += p;
    }
    return out;
}

} // namespace

QByteArray canonical(QByteArrayView name)
{
    for (const auto &[alias, option] : Aliases)
        if (name == alias)
            return option;
    return name.toByteArray();
}

Line read(const QByteArray &text, const Kinds &kinds)
{
    Line line;
    const QList<QByteArray> t = tokens(text);
    QMap<QByteArray, QByteArray> seen;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QByteArray &w = t.at(i);
        Piece piece{w, {}, {}};
        if (isSwitchWord(w)) {
            QByteArray name = canonical(QByteArrayView(w).sliced(1));
            Kind kind = kinds(name);
            QByteArray value = "1";
            if (kind == Kind::None && name.startsWith("no") && kinds(canonical(QByteArrayView(name).sliced(2))) == Kind::OnOff) {
                name = canonical(QByteArrayView(name).sliced(2));
                kind = Kind::OnOff;
                value = "0";
            }
            if (kind == Kind::Value) {
                // Its value is the next word, when there is one that is no switch; a value with a
                // quote is one the page could not write back, and stays the user's.
                if (i + 2 < t.size() && !isSwitchWord(t.at(i + 2)) && !t.at(i + 2).contains('"'))
                    value = t.at(i + 2);
                else
                    kind = Kind::None;
            }
            if (kind != Kind::None && !seen.contains(name)) {
                seen.insert(name, value);
                piece.option = name;
                piece.value = value;
                if (kind == Kind::Value) {
                    piece.text = w + t.at(i + 1) + value;
                    i += 2;
                }
            }
        }
        line.pieces << piece;
    }
    return line;
}

QMap<QByteArray, QByteArray> Line::options() const
{
    QMap<QByteArray, QByteArray> out;
    for (const Piece &p : pieces)
        if (!p.option.isEmpty())
            out.insert(p.option, p.value);
    return out;
}

QByteArray Line::userText() const
{
    QList<QByteArray> words;
    for (const Piece &p : pieces)
        if (p.option.isEmpty() && !p.text.isEmpty() && !isBlank(p.text[0]))
            words << p.text;
    return joinWords(words);
}

QByteArray switchText(const QByteArray &name, const QByteArray &value, Kind kind)
{
    if (kind == Kind::OnOff)
        return (value == "0" ? QByteArray("-no") : QByteArray("-")) + name;
    return '-' + name + ' ' + value;
}

QByteArray write(const Line &loaded, const QByteArray &userText, const QMap<QByteArray, QByteArray> &options,
                 const Kinds &kinds)
{
    QMap<QByteArray, QByteArray> remaining = options;
    auto optionPiece = [&](const Piece &p) -> QByteArray {
        const auto it = remaining.constFind(p.option);
        if (it == remaining.constEnd())
            return {}; // cleared on the page
        QByteArray text = *it == p.value ? p.text : switchText(p.option, *it, kinds(p.option));
        remaining.erase(it);
        return text;
    };
    QByteArray out;
    if (userText == loaded.userText()) {
        // The user's text as loaded: every piece in its place, blanks as they were, except those
        // around an option removed (one run of them goes with it).
        QList<QByteArray> parts;
        for (const Piece &p : loaded.pieces)
            parts << (p.option.isEmpty() ? p.text : optionPiece(p));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const bool removed = !loaded.pieces.at(i).option.isEmpty() && parts.at(i).isEmpty();
            if (!removed)
                continue;
            // Drop the blanks after it, or before it when it was last.
            if (i + 1 < parts.size() && loaded.pieces.at(i + 1).option.isEmpty() && (parts.at(i + 1).startsWith(' ') || parts.at(i + 1).startsWith('\t')))
                parts[i + 1].clear();
            else if (i > 0 && loaded.pieces.at(i - 1).option.isEmpty() && (parts.at(i - 1).startsWith(' ') || parts.at(i - 1).startsWith('\t')))
                parts[i - 1].clear();
        }
        out = parts.join(QByteArray());
    } else {
        // New text of the user's: it comes first, then the options that stay, in their order.
        QList<QByteArray> parts{userText.trimmed()};
        for (const Piece &p : loaded.pieces)
            if (!p.option.isEmpty())
                parts << optionPiece(p);
        out = joinWords(parts);
    }
    for (auto it = remaining.constBegin(); it != remaining.constEnd(); ++it) {
        const QByteArray text = switchText(it.key(), it.value(), kinds(it.key()));
        if (!out.isEmpty() && !isBlank(out.back()))
            out += ' ';
        out += text;
    }
    return out;
}

void checkValue(const QByteArray &name, const QByteArray &value)
{
    for (const char c : value)
        if (c == ' ' || c == '\t' || c == '"' || c == '\n' || c == '\r')
            throw CommandError(QStringLiteral("The value of -%1 cannot hold a blank, a tab or a quote: "
                                              "the command line is split at blanks when it runs")
                                   .arg(QString::fromLatin1(name)));
}

} // namespace ExtraCommands
