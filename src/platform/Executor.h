// Starts another program as a new process, optionally hiding the owning window and waiting for
// the program to end, and returns its exit code.
#pragma once

#include <QByteArray>

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
    QWidget *Owner;             // the window hidden while the program runs

    // Exit codes of Execute besides the program's own.
    static constexpr int NotStarted = 1;
    static constexpr int StillActive = 259;

    int Execute();
};
