// Starts another program as a new process, optionally hiding the owning window and waiting for
// the program to end, and returns its exit code.
//
// A wait is visible, bounded and can be cancelled: the modal seam's wait window names the
// program ("Waiting for mame -createconfig to finish") with a Cancel button, and a program still
// running after TimeoutMs is ended. Either way the program is ended with whatever it started
// (it runs in a process group of its own) and collected.
//
// Routes, by which texts are set:
//  - FileName and CommandLine: FileName is the program, whole (its path may hold blanks), and
//    CommandLine its arguments.
//  - FileName alone: FileName is tried whole as the program, then as a command (a program
//    followed by its arguments).
//  - FileName and LaunchType: nothing is started; the result is 0.
//  - no FileName: the program associated with a file type; this platform keeps no such
//    association for programs, so the result is 1.
// A program run with Visibility HIDE has its output discarded; in every other state it writes to
// this program's own output. Its input is always the null device, so it never waits for typing.
// It runs in WorkingDirectory; this program's current directory never changes. A program not
// waited for runs in a session of its own, so that it outlives this program; it is still
// collected when it ends while this program runs.
#pragma once

#include "processlimits.h"

#include <QByteArray>
#include <QList>

class QWidget;

// Show state of the started program's window, with the old platform's show codes.
enum class TMyVisibility {
    HIDE, SHOWNORMAL, NORMAL, SHOWMINIMIZED, SHOWMAXIMIZED, MAXIMIZE, SHOWNOACTIVATE,
    SHOW, MINIMIZE, SHOWMINNOACTIVE, SHOWNA, RESTORE, SHOWDEFAULT, MAX,
};
int showCode(TMyVisibility visibility);

class TExecutor {
public:
    explicit TExecutor(QWidget *owner = nullptr) : Owner(owner) {}

    TMyVisibility Visibility = TMyVisibility::NORMAL;
    bool HideOwner = true;
    bool Wait = true;
    QByteArray FileName;        // the program to start
    QByteArray LaunchType;      // a file extension whose association is used when FileName is empty
    QByteArray LaunchOperation; // the association verb; empty means "open"
    QByteArray CommandLine;     // the arguments
    // Where the program runs; empty: this program's current directory. A relative FileName names
    // a file from there.
    QByteArray WorkingDirectory;
    // How long a waited program may run before it is ended; 0 or less: no limit. The bound in use
    // when this object is made.
    int TimeoutMs = ProcessLimits::current().preparatoryMs;
    QWidget *Owner;             // the window hidden while the program runs

    // How the last Execute went.
    enum class Outcome {
        Finished,   // done as asked: the waited program ended by itself (its exit code is the
                    // result), the program was started without waiting, or the route starts nothing
        NotStarted, // nothing could be started (the result is 1)
        Cancelled,  // the user cancelled the wait: the program was ended (the result is 1)
        TimedOut,   // the program ran past TimeoutMs: it was ended (the result is 1)
    };
    Outcome LastOutcome = Outcome::NotStarted;

    // Exit codes of Execute besides the program's own.
    static constexpr int NotStarted = 1;
    static constexpr int StillActive = 259;
    // The longest program text, and the longest parameter text (a blank and CommandLine), taken.
    static constexpr int MaxText = 511;

    // Starts the program. 1 when it cannot be started (the owner is then neither hidden nor
    // shown) or a text is too long; 259 when not waiting; 1 when the wait was cancelled or ran
    // out of time; else the program's exit code (128 + the signal that ended it). While a started
    // program runs, a visible owner is hidden when HideOwner is set, then shown again.
    int Execute();

    // The verb in use: LaunchOperation, or "open" when empty.
    QByteArray verb() const;
    // Arguments of a command text, split at blanks and tabs; double quotes group blanks.
    static QList<QByteArray> splitArguments(const QByteArray &text);

private:
    // One start attempt; false when the program could not be started. `argumentText` is how the
    // arguments are named in the wait window.
    bool attempt(const QByteArray &program, const QList<QByteArray> &arguments, const QByteArray &argumentText,
                 int *result);
    void hideOwner();
    void showOwner();

    bool m_ownerHidden = false;
};
