#include "commandline.h"

namespace CommandLine {

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

} // namespace CommandLine
