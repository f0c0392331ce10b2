#include "processcapture.h"

#include "processwatch.h"
#include "spawnprocess.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

struct ProcessCapture::Run {
    std::unique_ptr<ProcessWatch> watch;
    int pipe = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    qint64 maxBytes = 0;
    qint64 total = 0;            // bytes read so far
    End cutShort = End::Running; // why the run was ended early, once it was
    bool overflowed = false;     // more than maxBytes was printed

    void closePipe()
    {
        notifier.reset();
        if (pipe >= 0)
            ::close(pipe);
        pipe = -1;
    }
    ~Run() { closePipe(); }
};

enum class ProcessCapture::Read {
    Some,    // bytes were read
    Empty,   // nothing there now
    AtEnd,   // nothing will come
    Over,    // more than the bound allows: what fits was kept
    Refused, // the consumer wants no more
};

// One read of the pipe, never past maxBytes in all: into the output, or to the consumer.
ProcessCapture::Read ProcessCapture::readOnce()
{
    char buffer[65536];
    // One byte past the bound tells that there is more than it allows.
    const qint64 room = m_run->maxBytes - m_run->total;
    const size_t want = size_t(std::min<qint64>(sizeof buffer, room + 1));
    ssize_t n;
    while ((n = ::read(m_run->pipe, buffer, want)) < 0 && errno == EINTR) {
    }
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK ? Read::Empty : Read::AtEnd;
    if (n == 0)
        return Read::AtEnd;
    const qsizetype kept = qsizetype(std::min<qint64>(n, room));
    m_run->total += kept;
    if (!m_consumer)
        m_output.append(buffer, kept);
    else if (kept > 0 && !m_consumer(QByteArrayView(buffer, kept)))
        return Read::Refused;
    return n > room ? Read::Over : Read::Some;
}

ProcessCapture::ProcessCapture(QObject *parent) : Waitable(parent) {}

ProcessCapture::~ProcessCapture()
{
    if (m_run && !m_run->watch->isFinished()) {
        // Ended and collected without telling anyone: nobody is left to hear it.
        m_run->watch->disconnect(this);
        m_run->watch->cancel();
    }
}

bool ProcessCapture::start(const QByteArray &program, const QList<QByteArray> &arguments,
                           const QByteArray &workingDirectory, Limits limits)
{
    Q_ASSERT(!m_run && m_end == End::Running); // one run per capture

    int fds[2];
    Spawn::Started started;
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        started.error = errno;
    } else {
        Spawn::Options options;
        options.workingDirectory = workingDirectory;
        options.standardOutput = fds[1];
        if (m_mergeErrors)
            options.errorOutput = fds[1];
        else
            options.discardErrorOutput = true;
        options.newProcessGroup = true;
        started = Spawn::start(program, arguments, options);
        ::close(fds[1]);
        if (started.pid < 0)
            ::close(fds[0]);
    }
    if (started.pid < 0) {
        m_error = started.error;
        m_end = End::NotStarted;
        // Told later, so that whoever waits for it can connect first.
        QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
        return false;
    }

    // Only this side reads without blocking: the program's end of the pipe stays as it was.
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    m_run = std::make_unique<Run>();
    m_run->pipe = fds[0];
    m_run->maxBytes = std::max<qint64>(0, limits.maxBytes);
    m_run->notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
    connect(m_run->notifier.get(), &QSocketNotifier::activated, this, &ProcessCapture::readOutput);
    m_run->watch = std::make_unique<ProcessWatch>(started.pid, limits.timeoutMs);
    connect(m_run->watch.get(), &Waitable::finished, this, &ProcessCapture::reap);
    return true;
}

void ProcessCapture::cancel()
{
    if (m_run && !isFinished())
        stop(End::Cancelled);
}

void ProcessCapture::readOutput()
{
    // One read at a time: a program that prints without pause never holds up the event loop.
    switch (readOnce()) {
    case Read::Some:
    case Read::Empty:
        break;
    case Read::AtEnd:
        // Everything that could write has closed it; the watch tells the end of the program.
        m_run->notifier->setEnabled(false);
        break;
    case Read::Over:
        m_run->overflowed = true;
        stop(End::TooMuch);
        break;
    case Read::Refused:
        stop(End::Refused);
        break;
    }
}

void ProcessCapture::stop(End why)
{
    m_run->cutShort = why;
    m_run->watch->cancel(); // collects it and calls reap()
}

void ProcessCapture::reap()
{
    // What the program wrote before it ended is still in the pipe. Whatever it started and left
    // running may still hold the pipe open, so read only what is there now.
    if (!m_run->overflowed && m_run->cutShort != End::Refused) {
        Read read;
        while ((read = readOnce()) == Read::Some) {
        }
        m_run->overflowed = read == Read::Over;
        if (read == Read::Refused)
            m_run->cutShort = End::Refused;
    }

    End why = m_run->cutShort;
    if (m_run->overflowed)
        why = End::TooMuch;
    else if (why == End::Running)
        why = m_run->watch->end() == ProcessWatch::End::TimedOut ? End::TooLong : End::Exited;
    finish(why, m_run->watch->status());
}

void ProcessCapture::finish(End why, int status)
{
    if (m_end != End::Running)
        return;
    m_run->closePipe();
    m_end = why;
    m_status = status;
    emit finished();
}
