#include "Executor.h"

#include "spawnprocess.h"

#include <QFile>
#include <QProcess>
#include <QWidget>
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

int showCode(TMyVisibility visibility)
{
    static const int codes[] = {0, 1, 1, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10, 10};
    return codes[static_cast<int>(visibility)];
}

QByteArray TExecutor::verb() const
{
    return LaunchOperation.isEmpty() ? QByteArrayLiteral("open") : LaunchOperation;
}

QList<QByteArray> TExecutor::splitArguments(const QByteArray &text)
{
    // Blanks and tabs separate; a quoted stretch keeps its blanks (the quotes themselves go).
    QList<QByteArray> arguments;
    QByteArray word;
    bool inWord = false, quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                arguments << word;
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (inWord)
        arguments << word;
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

bool TExecutor::attempt(const QByteArray &program, const QList<QByteArray> &arguments, int *result)
{
    if (program.isEmpty())
        return false;

    if (!Wait) {
        // Detached, so that the program outlives this object and is nobody's child to collect.
        QProcess process;
        process.setProgram(QFile::decodeName(program));
        QStringList decoded;
        for (const QByteArray &argument : arguments)
            decoded << QFile::decodeName(argument);
        process.setArguments(decoded);
        process.setStandardInputFile(QProcess::nullDevice());
        if (Visibility == TMyVisibility::HIDE) {
            process.setStandardOutputFile(QProcess::nullDevice());
            process.setStandardErrorFile(QProcess::nullDevice());
        }
        if (!process.startDetached())
            return false;
        hideOwner();
        showOwner();
        *result = StillActive;
        return true;
    }

    // Started on the path's own bytes: a name that is no valid UTF-8 still names its program.
    Spawn::Options options;
    options.searchPath = true;
    int null = -1;
    if (Visibility == TMyVisibility::HIDE) {
        // Never an unread pipe: a program that prints a lot would block on it.
        options.discardOutput = true;
        null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        options.errorOutput = null;
    }
    const Spawn::Started started = Spawn::start(program, arguments, options);
    if (null >= 0)
        ::close(null);
    if (started.pid < 0)
        return false;
    hideOwner();
    int status = 0;
    while (::waitpid(started.pid, &status, 0) < 0 && errno == EINTR) {
    }
    *result = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
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
    QList<QByteArray> words = splitArguments(FileName);
    if (words.isEmpty())
        return NotStarted;
    const QByteArray program = words.takeFirst();
    if (words.isEmpty() && program == FileName)
        return NotStarted; // the same start as the first attempt
    return attempt(program, words, &result) ? result : NotStarted;
}
