#include "processwatch.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool &descriptorsAvailable()
{
    static bool available = true;
    return available;
}

// A descriptor that becomes readable when the process ends; -1 where the kernel has none.
int processDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    if (descriptorsAvailable())
        return int(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
#endif
    return -1;
}

// How often a process is asked after when there is no descriptor to tell its end.
constexpr int PollIntervalMs = 100;

} // namespace

struct ProcessWatch::Watching {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    QTimer poll;
    QTimer limit;
    ~Watching()
    {
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
    }
};

ProcessWatch::ProcessWatch(pid_t pid, int timeoutMs, QObject *parent)
    : Waitable(parent), m_watching(std::make_unique<Watching>()), m_pid(pid),
      m_ownGroup(::getpgid(pid) == pid)
{
    Watching &w = *m_watching;
    w.fd = processDescriptor(pid);
    if (w.fd >= 0) {
        w.notifier = std::make_unique<QSocketNotifier>(w.fd, QSocketNotifier::Read);
        connect(w.notifier.get(), &QSocketNotifier::activated, this, &ProcessWatch::collect);
    } else {
        connect(&w.poll, &QTimer::timeout, this, &ProcessWatch::collect);
        w.poll.start(PollIntervalMs);
    }
    if (timeoutMs > 0) {
        w.limit.setSingleShot(true);
        connect(&w.limit, &QTimer::timeout, this, [this] { kill(End::TimedOut); });
        w.limit.start(timeoutMs);
    }
}

ProcessWatch::~ProcessWatch() = default;

bool ProcessWatch::usesProcessDescriptor() const
{
    return m_watching->fd >= 0;
}

void ProcessWatch::setProcessDescriptorsForTests(bool available)
{
    descriptorsAvailable() = available;
}

void ProcessWatch::cancel()
{
    kill(End::Cancelled);
}

void ProcessWatch::collect()
{
    if (m_end != End::Running)
        return;
    int waitStatus = 0;
    pid_t r;
    while ((r = ::waitpid(m_pid, &waitStatus, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r == 0) {
        // Not collectable yet although the descriptor says so: a descriptor stays readable, so ask
        // periodically instead of being woken at once again.
        if (m_watching->notifier && m_watching->notifier->isEnabled()) {
            m_watching->notifier->setEnabled(false);
            connect(&m_watching->poll, &QTimer::timeout, this, &ProcessWatch::collect);
            m_watching->poll.start(PollIntervalMs);
        }
        return;
    }
    finish(End::Exited, waitStatus, r == m_pid);
}

void ProcessWatch::kill(End why)
{
    if (m_end != End::Running)
        return;
    int waitStatus = 0;
    pid_t r;
    while ((r = ::waitpid(m_pid, &waitStatus, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (r != 0) {
        // It ended by itself just before: that is its end.
        finish(End::Exited, waitStatus, r == m_pid);
        return;
    }
    // The group while its leader is not collected: the group's number cannot name another yet.
    ::kill(m_ownGroup ? -m_pid : m_pid, SIGKILL);
    while ((r = ::waitpid(m_pid, &waitStatus, 0)) < 0 && errno == EINTR) {
    }
    finish(why, waitStatus, r == m_pid);
}

void ProcessWatch::finish(End why, int waitStatus, bool collected)
{
    // The descriptor is closed with the watch: a slot of its notifier may be running now.
    if (m_watching->notifier)
        m_watching->notifier->setEnabled(false);
    m_watching->poll.stop();
    m_watching->limit.stop();
    m_end = why;
    if (collected) {
        m_signal = WIFSIGNALED(waitStatus) ? WTERMSIG(waitStatus) : 0;
        m_status = m_signal ? 128 + m_signal : WEXITSTATUS(waitStatus);
    }
    emit finished();
}
