// Watches one process this program started, until it ends: then collects it (so that it never
// stays a zombie) and tells its status. It can end the process early, after a time limit or on
// cancel(); a process that leads its own process group (started with Spawn's newProcessGroup or
// newSession) is ended with its whole group, so that what it started ends with it.
//
// The end of the process is noticed through a process descriptor where the kernel has them, else
// by asking the system periodically; either way the event loop drives it.
#pragma once

#include "modals.h"

#include <memory>
#include <sys/types.h>

class ProcessWatch : public Waitable {
    Q_OBJECT
public:
    enum class End {
        Running,
        Exited,    // ended by itself (or by a signal from elsewhere)
        TimedOut,  // ran past the time limit: killed
        Cancelled, // killed by cancel()
    };

    // Watches `pid`, a child of this program not yet collected. With `timeoutMs` > 0 the process is
    // killed once it has run that long from now.
    explicit ProcessWatch(pid_t pid, int timeoutMs = 0, QObject *parent = nullptr);
    // Stops watching. A process still running is left running: whoever must not let it outlive the
    // watch cancels it first.
    ~ProcessWatch() override;

    pid_t pid() const { return m_pid; }
    End end() const { return m_end; }
    // The exit status, or 128 + the signal that ended it; -1 while running, or when its status could
    // not be read (the process was collected by someone else, or SIGCHLD is ignored).
    int status() const { return m_status; }
    // The signal that ended the process; 0 when it exited by itself, or while its end is not known.
    int signal() const { return m_signal; }
    // Whether the end is noticed through a process descriptor (else by asking periodically).
    bool usesProcessDescriptor() const;

    // Waitable. cancel() kills the process (with its group), collects it and emits `finished`
    // before it returns; nothing happens once it has ended.
    bool isFinished() const override { return m_end != End::Running; }
    void cancel() override;

    // Tests: false makes new watches behave as on a kernel without process descriptors.
    static void setProcessDescriptorsForTests(bool available);

private:
    struct Watching;
    void collect();
    void kill(End why);
    void finish(End why, int waitStatus, bool collected);

    std::unique_ptr<Watching> m_watching;
    pid_t m_pid;
    bool m_ownGroup;
    End m_end = End::Running;
    int m_status = -1;
    int m_signal = 0;
};
