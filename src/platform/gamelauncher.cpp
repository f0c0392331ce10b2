#include "gamelauncher.h"

#include "errors.h"
#include "processwatch.h"
#include "spawnprocess.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// An unnamed file for the error output: nothing is left behind, whenever either side ends.
int errorOutputFile()
{
    QByteArray name = QFile::encodeName(QDir::tempPath()) + "/trelvo-game-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(name.constData());
    return fd;
}

// The last `limit` bytes of the file: a game that wrote a gigabyte of errors is reported by its
// end, read in a moment and in little memory.
QByteArray readTail(int fd, qint64 limit)
{
    QByteArray text;
    char buffer[65536];
    struct stat st;
    off_t offset = ::fstat(fd, &st) == 0 && st.st_size > limit ? off_t(st.st_size - limit) : 0;
    while (text.size() < limit) {
        const ssize_t n = ::pread(fd, buffer, size_t(std::min<qint64>(sizeof buffer, limit - text.size())), offset);
        if (n > 0) {
            text.append(buffer, n);
            offset += n;
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    return text;
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
    int errorFd; // -1 when no file could be made: the error output is then this program's own
    QByteArray game;
    ~Watch()
    {
        if (errorFd >= 0)
            ::close(errorFd);
    }
};

GameLauncher::GameLauncher(QObject *parent) : QObject(parent) {}

// The games go on; only the watching ends.
GameLauncher::~GameLauncher() = default;

bool GameLauncher::start(const QByteArray &program, const QList<QByteArray> &arguments,
                         const QByteArray &workingDirectory, QString *reason, const QByteArray &game)
{
    const int errorFd = errorOutputFile();
    Spawn::Options options;
    options.workingDirectory = workingDirectory;
    options.errorOutput = errorFd;
    options.newSession = true;
    const Spawn::Started started = Spawn::start(program, arguments, options);
    if (started.pid < 0) {
        if (errorFd >= 0)
            ::close(errorFd);
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(started.error));
        return false;
    }
    m_lastStarted = started.pid;

    // Watched even where the kernel gives no process descriptor, so that a game never stays a
    // zombie; never ended from here.
    std::unique_ptr<Watch> watch(new Watch{std::make_unique<ProcessWatch>(started.pid), errorFd,
                                           game.isEmpty() ? program : game});
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
    // A status of -1: collected elsewhere, nothing known about its end.
    if (status > 0) {
        const QByteArray errorOutput = ended->errorFd >= 0 ? readTail(ended->errorFd, ReportTailBytes) : QByteArray();
        emit gameFailed(endingReport(ended->game, status, errorOutput));
    }
}

void GameLauncher::cannotStart(const QByteArray &program, const QString &reason)
{
    throw CommandError(QStringLiteral("Cannot start %1: %2").arg(Errors::pathText(program), reason));
}

QString GameLauncher::endingReport(const QByteArray &game, int status, const QByteArray &errorOutput)
{
    QList<QByteArray> lines = errorOutput.split('\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    // One substitution: a game named "x%2" is shown as it is.
    QString report = QStringLiteral("%1 ended with status %2 (%3)")
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
