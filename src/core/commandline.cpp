#include "commandline.h"

#include "batchfile.h"
#include "errors.h"

#include <algorithm>

namespace CommandLine {

namespace {

bool isBare(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || QByteArrayView("_@%+=:,./-").contains(c);
}

bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Whether sh reads `word` in command position as something other than a program's name.
bool isSpecialFirst(const QByteArray &word)
{
    static const QList<QByteArray> keywords = {"case", "do",   "done", "elif",  "else", "esac", "fi",
                                               "for",  "if",   "in",   "then",  "until", "while"};
    if (keywords.contains(word))
        return true;
    const qsizetype equals = word.indexOf('=');
    if (equals <= 0 || !isNameStart(word.at(0)))
        return false;
    for (qsizetype i = 1; i < equals; ++i)
        if (!isNameStart(word.at(i)) && !(word.at(i) >= '0' && word.at(i) <= '9'))
            return false;
    return true;
}

} // namespace

bool isGameName(const QByteArray &game)
{
    if (game.startsWith('-'))
        return false;
    return std::none_of(game.begin(), game.end(), [](char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return u <= ' ' || u == 0x7f;
    });
}

void checkGame(const QByteArray &game)
{
    if (!isGameName(game))
        throw CommandError(QStringLiteral("%1 cannot be a game name: the emulator would read it as an option.")
                               .arg(Errors::pathText(game)));
}

QList<QByteArray> words(const QByteArray &optionString)
{
    QList<QByteArray> out;
    QByteArray word;
    for (const char c : optionString) {
        if (c == ' ' || c == '\t') {
            if (!word.isEmpty())
                out.append(word);
            word.clear();
        } else {
            word.append(c);
        }
    }
    if (!word.isEmpty())
        out.append(word);
    return out;
}

QList<QByteArray> arguments(const QByteArray &game, const QByteArray &optionString)
{
    QList<QByteArray> out;
    if (!game.isEmpty())
        out.append(game);
    out.append(words(optionString));
    return out;
}

QByteArray joined(const QByteArray &emulator, const QByteArray &game, const QByteArray &optionString)
{
    return emulator + ' ' + game + ' ' + optionString;
}

QByteArray shellQuoted(const QList<QByteArray> &words)
{
    QByteArray out;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QByteArray &word = words.at(i);
        const bool bare = !word.isEmpty() && std::all_of(word.begin(), word.end(), isBare)
                       && !(i == 0 && isSpecialFirst(word));
        if (i > 0)
            out += ' ';
        out += bare ? word : BatchFile::shellQuote(word);
    }
    return out;
}

} // namespace CommandLine
