#include "processlauncher.h"

#include "modals.h"
#include "pathrules.h"
#include "processwatch.h"
#include "spawnprocess.h"
#include "textcodec.h"

#include <QCoreApplication>
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

namespace {

// "Waiting for mame -createconfig to finish": the program's name and its arguments as given.
QString waitText(const QByteArray &program, const QByteArray &argumentText)
{
    QString what = TextCodec::decode(PathRules::namePart(program));
    const QByteArray arguments = argumentText.trimmed();
    if (!arguments.isEmpty())
        what += QLatin1Char(' ') + TextCodec::decode(arguments);
    return QStringLiteral("Waiting for %1 to finish").arg(what);
}

} // namespace

bool TExecutor::attempt(const QByteArray &program, const QList<QByteArray> &arguments,
                        const QByteArray &argumentText, int *result)
{
    if (program.isEmpty())
        return false;

    // Started on the path's own bytes: a name that is no valid UTF-8 still names its program.
    Spawn::Options options;
    options.searchPath = true;
    options.workingDirectory = WorkingDirectory;
    // Never an unread pipe: a program that prints a lot would block on it.
    options.discardOutput = options.discardErrorOutput = Visibility == TMyVisibility::HIDE;
    // A program not waited for outlives this object and this program; one waited for is ended
    // with whatever it started.
    options.newSession = !Wait;
    options.newProcessGroup = Wait;
    const Spawn::Started started = Spawn::start(program, arguments, options);
    if (started.pid < 0)
        return false;

    if (!Wait) {
        // Collected by the application when it ends, so it is never left a zombie.
        auto *watch = new ProcessWatch(started.pid, 0, QCoreApplication::instance());
        QObject::connect(watch, &Waitable::finished, watch, &QObject::deleteLater);
        hideOwner();
        showOwner();
        LastOutcome = Outcome::Finished;
        *result = StillActive;
        return true;
    }

    hideOwner();
    ProcessWatch watch(started.pid, TimeoutMs);
    Modals::current().wait(waitText(program, argumentText), watch);
    watch.cancel(); // nothing once it has ended; a wait never returns before that
    showOwner();
    switch (watch.end()) {
    case ProcessWatch::End::Exited:
        LastOutcome = Outcome::Finished;
        *result = watch.status();
        break;
    case ProcessWatch::End::TimedOut:
        LastOutcome = Outcome::TimedOut;
        *result = NotStarted;
        break;
    case ProcessWatch::End::Running:
    case ProcessWatch::End::Cancelled:
        LastOutcome = Outcome::Cancelled;
        *result = NotStarted;
        break;
    }
    return true;
}

int TExecutor::Execute()
{
    LastOutcome = Outcome::NotStarted;
    if (FileName.size() > MaxText || 1 + CommandLine.size() > MaxText || LaunchType.size() > MaxText
        || verb().size() > MaxText)
        return NotStarted;

    if (!FileName.isEmpty() && !LaunchType.isEmpty()) {
        hideOwner();
        showOwner();
        LastOutcome = Outcome::Finished;
        return 0;
    }
    if (FileName.isEmpty())
        return NotStarted; // no association of a program with a file type here

    int result = NotStarted;
    if (!CommandLine.isEmpty())
        return attempt(FileName, splitArguments(CommandLine), CommandLine, &result) ? result : NotStarted;

    if (attempt(FileName, {}, {}, &result))
        return result;
    // The text as a command: a program followed by its arguments.
    QList<QByteArray> words = splitArguments(FileName);
    if (words.isEmpty())
        return NotStarted;
    const QByteArray program = words.takeFirst();
    if (words.isEmpty() && program == FileName)
        return NotStarted; // the same start as the first attempt
    return attempt(program, words, words.join(' '), &result) ? result : NotStarted;
}
