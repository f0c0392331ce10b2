// Runs another program whose standard output this program reads, within bounds: at most
// `maxBytes` of output and `timeoutMs` of time. Past either bound the program (with whatever it
// started) is ended and the run counts as cut short. The program starts on its path's bytes,
// never through a shell, in the working directory given, with its input from the null device
// and its error output discarded; this program's current directory is never changed.
//
// The run goes on in the background, driven by the event loop (of the thread the capture lives
// in): `finished` tells when it is over. `Modals::wait` waits for it visibly, with a Cancel button.
//
// With a consumer, the output is handed to it piece by piece as it comes instead of being kept;
// the byte bound counts all of it. A consumer that returns false wants no more: the run ends.
#pragma once

#include "modals.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <memory>

class ProcessCapture : public Waitable {
    Q_OBJECT
public:
    enum class End {
        Running,     // not over yet
        Exited,      // ended by itself: `status` holds its exit status (128 + signal when killed)
        NotStarted,  // could not be started: `error` holds the system's error number
        TooMuch,     // printed more than maxBytes: ended
        TooLong,     // ran longer than timeoutMs: ended
        Cancelled,   // ended by cancel()
        Refused,     // ended because the consumer wanted no more
    };
    struct Limits {
        qint64 maxBytes;
        int timeoutMs;
    };

    explicit ProcessCapture(QObject *parent = nullptr);
    ~ProcessCapture() override; // a run still going is ended

    using Consumer = std::function<bool(QByteArrayView piece)>;
    // Before start(): the output goes to `consumer`, output() stays empty.
    void setConsumer(Consumer consumer) { m_consumer = std::move(consumer); }
    // Before start(): the error output is read with the output, into the same bytes and bound.
    void setErrorOutputMerged(bool merged) { m_mergeErrors = merged; }

    // Starts the run; false (End::NotStarted) when the program cannot be started.
    bool start(const QByteArray &program, const QList<QByteArray> &arguments,
               const QByteArray &workingDirectory, Limits limits);

    End end() const { return m_end; }
    int status() const { return m_status; }
    int error() const { return m_error; }
    // What the program printed (at most maxBytes), without a consumer.
    const QByteArray &output() const { return m_output; }

    // Waitable
    bool isFinished() const override { return m_end != End::Running; }
    void cancel() override;

private:
    struct Run;
    void readOutput();
    enum class Read;
    Read readOnce();
    void reap();
    void stop(End why);
    void finish(End why, int status);

    std::unique_ptr<Run> m_run;
    End m_end = End::Running;
    int m_status = -1;
    int m_error = 0;
    QByteArray m_output;
    Consumer m_consumer;
    bool m_mergeErrors = false;
};
