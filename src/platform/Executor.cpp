#include "Executor.h"

#include <QFile>
#include <QProcess>
#include <QWidget>

int showCode(TMyVisibility visibility)
{
    static const int codes[] = {0, 1, 1, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10, 10};
    return codes[static_cast<int>(visibility)];
}

QByteArray TExecutor::verb() const
{
    return LaunchOperation.isEmpty() ? QByteArrayLiteral("open") : LaunchOperation;
}

QStringList TExecutor::splitArguments(const QByteArray &text)
{
    // Blanks and tabs separate; a quoted stretch keeps its blanks (the quotes themselves go).
    QStringList arguments;
    QByteArray word;
    bool inWord = false, quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                arguments << QFile::decodeName(word);
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (inWord)
        arguments << QFile::decodeName(word);
    return arguments;
}

void TExecutor::hideOwner()
{
    m_ownerHidden = HideOwner && Owner && Owner->isVisible();
    if (m_ownerHidden)
        Owner->hide();
}

void TExecutor::showOwner()
{
    if (m_ownerHidden)
        Owner->show();
    m_ownerHidden = false;
}

bool TExecutor::attempt(const QByteArray &program, const QStringList &arguments, int *result)
{
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(QFile::decodeName(program));
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    if (Visibility == TMyVisibility::HIDE) {
        // Never an unread pipe: a program that prints a lot would block on it.
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
    } else {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
    }

    if (!Wait) {
        // Detached, so that the program outlives this object.
        if (!process.startDetached())
            return false;
        hideOwner();
        showOwner();
        *result = StillActive;
        return true;
    }

    process.start();
    if (!process.waitForStarted(-1))
        return false;
    hideOwner();
    process.waitForFinished(-1);
    *result = process.exitCode();
    showOwner();
    return true;
}

int TExecutor::Execute()
{
    if (FileName.size() > MaxText || 1 + CommandLine.size() > MaxText || LaunchType.size() > MaxText
        || verb().size() > MaxText)
        return NotStarted;

    if (!FileName.isEmpty() && !LaunchType.isEmpty()) {
        hideOwner();
        showOwner();
        return 0;
    }
    if (FileName.isEmpty())
        return NotStarted; // no association of a program with a file type here

    int result = NotStarted;
    if (!CommandLine.isEmpty())
        return attempt(FileName, splitArguments(CommandLine), &result) ? result : NotStarted;

    if (attempt(FileName, {}, &result))
        return result;
    // The text as a command: a program followed by its arguments.
    QStringList words = splitArguments(FileName);
    if (words.isEmpty())
        return NotStarted;
    const QString program = words.takeFirst();
    if (words.isEmpty() && QFile::encodeName(program) == FileName)
        return NotStarted; // the same start as the first attempt
    return attempt(QFile::encodeName(program), words, &result) ? result : NotStarted;
}
