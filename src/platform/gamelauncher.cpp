#include "gamelauncher.h"

#include "errors.h"
#include "spawnprocess.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A descriptor that becomes readable when the process ends; -1 where the system has none.
int processDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// An unnamed file for the error output: nothing is left behind, whenever either side ends.
int errorOutputFile()
{
    QByteArray name = QFile::encodeName(QDir::tempPath()) + "/trelvo-game-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(name.constData());
    return fd;
}

QByteArray readAll(int fd)
{
    QByteArray text;
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
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
    pid_t pid;
    int processFd;
    int errorFd;
    QByteArray game;
    std::unique_ptr<QSocketNotifier> notifier;
    ~Watch()
    {
        notifier.reset();
        ::close(processFd);
        ::close(errorFd);
    }
};

GameLauncher::GameLauncher(QObject *parent) : QObject(parent) {}

GameLauncher::~GameLauncher()
{
    // The games go on; only the watching ends.
    qDeleteAll(m_watches);
}

bool GameLauncher::start(const QByteArray &program, const QList<QByteArray> &arguments, QString *reason,
                         const QByteArray &game)
{
    const int errorFd = errorOutputFile();
    Spawn::Options options;
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

    const int processFd = processDescriptor(started.pid);
    if (processFd < 0 || errorFd < 0) {
        // No way to watch it here: it runs unwatched.
        if (processFd >= 0)
            ::close(processFd);
        if (errorFd >= 0)
            ::close(errorFd);
        return true;
    }
    auto *watch = new Watch{started.pid, processFd, errorFd, game.isEmpty() ? program : game, nullptr};
    watch->notifier = std::make_unique<QSocketNotifier>(processFd, QSocketNotifier::Read);
    connect(watch->notifier.get(), &QSocketNotifier::activated, this, [this, watch] { finished(watch); });
    m_watches.append(watch);
    return true;
}

void GameLauncher::finished(Watch *watch)
{
    int status = 0;
    pid_t r;
    while ((r = ::waitpid(watch->pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r == 0)
        return; // not ended after all
    m_watches.removeOne(watch);
    QString report;
    if (r == watch->pid) {
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (code != 0)
            report = endingReport(watch->game, code, readAll(watch->errorFd));
    }
    delete watch;
    if (!report.isEmpty())
        emit gameFailed(report);
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
    QString report = QStringLiteral("%1 ended with status %2 (%3)")
                         .arg(TextCodec::decode(game)).arg(status).arg(meaning(status));
    for (qsizetype i = std::max<qsizetype>(0, lines.size() - 10); i < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        report += QLatin1Char('\n') + TextCodec::decode(line);
    }
    return report;
}
