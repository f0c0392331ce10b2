// Processes in tests: whether the program under test left a child behind, waiting for work that
// the event loop drives, and named pipes that hold a stand-in emulator until the test lets go.
#pragma once

#include "modals.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace TestUtil {

// True when this program has no child left, running or ended and not collected.
inline bool noChildLeft()
{
    return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// Waits, without a clock, until the child `pid` has ended and the program under test has collected
// it in its event loop; false when it was not collected within a minute.
inline bool collectedByProgram(pid_t pid)
{
    siginfo_t info{};
    while (::waitid(P_PID, pid, &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    const QDeadlineTimer deadline(60000);
    QTimer wake; // only to end the wait below when nothing else would
    wake.setSingleShot(true);
    wake.start(60000);
    while (::waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return errno == ECHILD;
}

// Runs the event loop until `work` is finished.
inline void waitFor(Waitable &work)
{
    QEventLoop loop;
    QObject::connect(&work, &Waitable::finished, &loop, &QEventLoop::quit);
    if (!work.isFinished())
        loop.exec();
}

// A named pipe at `path`. A stand-in emulator told to read it (FAKEMAME_<CMD>_FIFO) runs until
// the test opens it for writing and closes it, or forever.
inline QByteArray fifo(const QByteArray &path)
{
    ::mkfifo(path.constData(), 0600);
    return path;
}

// Whether some process has the named pipe open for reading (or is opening it); one that has lets
// the reader go on at once. For telling that nobody reads it any more.
inline bool hasReader(const QByteArray &fifoPath)
{
    const int fd = ::open(fifoPath.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

} // namespace TestUtil
