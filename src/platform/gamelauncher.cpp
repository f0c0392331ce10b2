#include "gamelauncher.h"

#include "errors.h"
#include "processwatch.h"
#include "spawnprocess.h"
#include "textcodec.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The size asked for the error output's pipe: the largest a user may have by default.
constexpr int PipeBytes = 1024 * 1024;
// How many reads of the error output one wake-up does at most: a game that writes without pause
// leaves the event loop its turn. Enough to empty a full pipe.
constexpr int ReadBytes = 65536;
constexpr int ReadsPerWake = PipeBytes / ReadBytes;

QString signalName(int signal)
{
    if (const char *name = ::sigabbrev_np(signal))
        return QStringLiteral("SIG") + QLatin1String(name);
    if (signal >= SIGRTMIN && signal <= SIGRTMAX)
        return QStringLiteral("SIGRTMIN+%1").arg(signal - SIGRTMIN);
    return QStringLiteral("unknown signal");
}

QString meaning(int status)
{
    switch (status) {
    case 1: return QStringLiteral("failed validity checks");
    case 2: return QStringLiteral("missing files");
    case 3: return QStringLiteral("fatal error");
    case 4: return QStringLiteral("device error");
    case 5: return QStringLiteral("no such system");
    case 6: return QStringLiteral("invalid configuration");
    default: return QStringLiteral("error");
    }
}

} // namespace

struct GameLauncher::Watch {
    std::unique_ptr<ProcessWatch> process;
    int errorFd; // the read end of the error output's pipe; -1 when none could be made, the error
                 // output then being this program's own
    QByteArray game;
    std::unique_ptr<QSocketNotifier> readable;
    QByteArray errorTail; // the last ReportTailBytes read

    ~Watch()
    {
        readable.reset();
        if (errorFd >= 0)
            ::close(errorFd);
    }
    // Reads what the pipe holds now.
    void read()
    {
        char buffer[ReadBytes];
        for (int i = 0; i < ReadsPerWake; ++i) {
            const ssize_t n = ::read(errorFd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                // Every writer gone (or the pipe broken): nothing more will come.
                if (n == 0 || errno != EAGAIN)
                    readable->setEnabled(false);
                return;
            }
            errorTail.append(buffer, n);
            if (errorTail.size() > ReportTailBytes)
                errorTail.remove(0, errorTail.size() - ReportTailBytes);
        }
    }
};

GameLauncher::GameLauncher(QObject *parent) : QObject(parent) {}

// The games go on; only the watching ends.
GameLauncher::~GameLauncher() = default;

bool GameLauncher::start(const QByteArray &program, const QList<QByteArray> &arguments,
                         const QByteArray &workingDirectory, QString *reason, const QByteArray &game)
{
    // The game's end of the pipe is its own alone. The event loop reads this program's end; a pipe
    // of PipeBytes holds what the game writes while this program is busy elsewhere (the system's
    // own size where it refuses that one).
    int pipe[2] = {-1, -1};
    if (::pipe2(pipe, O_CLOEXEC) == 0) {
        ::fcntl(pipe[0], F_SETFL, O_NONBLOCK);
        ::fcntl(pipe[0], F_SETPIPE_SZ, PipeBytes);
    }
    Spawn::Options options;
    options.workingDirectory = workingDirectory;
    options.errorOutput = pipe[1];
    options.newSession = true;
    options.ignoreBrokenPipe = true;
    const Spawn::Started started = Spawn::start(program, arguments, options);
    if (pipe[1] >= 0)
        ::close(pipe[1]);
    if (started.pid < 0) {
        if (pipe[0] >= 0)
            ::close(pipe[0]);
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(started.error));
        return false;
    }
    m_lastStarted = started.pid;

    // Watched even where the kernel gives no process descriptor, so that a game never stays a
    // zombie; never ended from here.
    std::unique_ptr<Watch> watch(new Watch{std::make_unique<ProcessWatch>(started.pid), pipe[0],
                                           game.isEmpty() ? program : game, nullptr, {}});
    if (watch->errorFd >= 0) {
        watch->readable = std::make_unique<QSocketNotifier>(watch->errorFd, QSocketNotifier::Read);
        connect(watch->readable.get(), &QSocketNotifier::activated, this, [w = watch.get()] { w->read(); });
    }
    // Queued: the watch is deleted once its own signal is over.
    connect(watch->process.get(), &Waitable::finished, this, [this, w = watch.get()] { finished(w); },
            Qt::QueuedConnection);
    m_watches.push_back(std::move(watch));
    return true;
}

bool GameLauncher::isRunning(const QByteArray &game) const
{
    return std::any_of(m_watches.begin(), m_watches.end(), [&game](const std::unique_ptr<Watch> &w) {
        if (w->game != game || w->process->isFinished())
            return false;
        // A game that has ended is not running, even before the event loop has collected it.
        siginfo_t info{};
        return ::waitid(P_PID, w->process->pid(), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
    });
}

void GameLauncher::finished(Watch *watch)
{
    const auto found = std::find_if(m_watches.begin(), m_watches.end(),
                                    [watch](const std::unique_ptr<Watch> &w) { return w.get() == watch; });
    if (found == m_watches.end())
        return;
    const std::unique_ptr<Watch> ended = std::move(*found);
    m_watches.erase(found);
    const int status = ended->process->status();
    if (status != 0) {
        // What it wrote last is in the pipe still.
        if (ended->errorFd >= 0)
            ended->read();
        emit gameFailed(endingReport(ended->game, status, ended->errorTail, ended->process->signal()));
    }
}

void GameLauncher::cannotStart(const QByteArray &program, const QString &reason)
{
    throw CommandError(QStringLiteral("Cannot start %1: %2").arg(Errors::pathText(program), reason));
}

QString GameLauncher::endingReport(const QByteArray &game, int status, const QByteArray &errorOutput, int signal)
{
    // One substitution: a game named "x%2" is shown as it is.
    if (signal > 0)
        return QStringLiteral("%1 was ended by signal %2 (%3)")
            .arg(TextCodec::decode(game), QString::number(signal), signalName(signal));
    QList<QByteArray> lines = errorOutput.split('\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    QString report = status < 0
                         ? QStringLiteral("%1 ended, and its exit status could not be read").arg(TextCodec::decode(game))
                         : QStringLiteral("%1 ended with status %2 (%3)")
                               .arg(TextCodec::decode(game), QString::number(status), meaning(status));
    for (qsizetype i = std::max<qsizetype>(0, lines.size() - ReportLines); i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        QString shown = TextCodec::decode(line);
        if (shown.size() > ReportLineLength)
            shown = shown.left(ReportLineLength - 1) + QChar(0x2026); // the rest elided
        report += QLatin1Char('\n') + shown;
    }
    return report;
}
