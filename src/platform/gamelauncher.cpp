#include "gamelauncher.h"

#include "errors.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

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
