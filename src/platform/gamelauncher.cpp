#include "gamelauncher.h"

#include "errors.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

QList<QByteArray> GameLauncher::arguments(const QByteArray &game, const QByteArray &options)
{
    QList<QByteArray> result;
    if (!game.isEmpty())
        result << game;
    QByteArray word;
    for (const char c : options) {
        if (c == ' ' || c == '\t') {
            if (!word.isEmpty())
                result << word;
            word.clear();
        } else {
            word.append(c);
        }
    }
    if (!word.isEmpty())
        result << word;
    return result;
}

bool GameLauncher::start(const QByteArray &program, const QList<QByteArray> &arguments, QString *reason)
{
    QStringList texts;
    texts.reserve(arguments.size());
    for (const QByteArray &argument : arguments)
        texts << QFile::decodeName(argument);
    // An instance rather than the static start: only the instance tells why a start failed.
    QProcess process;
    process.setProgram(QFile::decodeName(program));
    process.setArguments(texts);
    process.setStandardInputFile(QProcess::nullDevice());
    if (process.startDetached())
        return true;
    if (reason)
        *reason = process.errorString();
    return false;
}

void GameLauncher::cannotStart(const QByteArray &program, const QString &reason)
{
    throw CommandError(QStringLiteral("Cannot start %1: %2").arg(Errors::pathText(program), reason));
}
