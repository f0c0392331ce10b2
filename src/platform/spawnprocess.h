// Starting programs on byte paths and byte arguments, never through a shell.
#pragma once

#include <QByteArray>
#include <QList>
#include <optional>
#include <sys/types.h>

namespace Spawn {

struct Started {
    pid_t pid = -1;
    int error = 0; // the system's error number when the start failed
};

struct Options {
    // Empty: the current directory. A relative program path names a file from this directory.
    QByteArray workingDirectory;
    int standardOutput = -1;         // a descriptor that takes the standard output; -1: inherited
    int errorOutput = -1;            // a descriptor that takes the error output; -1: inherited
    bool discardOutput = false;      // the standard output goes to the null device
    bool discardErrorOutput = false; // the error output goes to the null device
    bool newSession = false;         // the process outlives this program's session and terminal
    // The process leads a process group of its own, so that ending the group ends whatever it
    // started too. A new session is a new group already.
    bool newProcessGroup = false;
    bool searchPath = false;         // a program named without "/" is looked up along PATH
    // The process starts with SIGPIPE ignored, where every other signal starts at its default: a
    // write into a pipe whose reader has gone (this program, ended) then fails with EPIPE instead
    // of ending the process. For that this program ignores SIGPIPE itself from the first such
    // start on: its own writes into a closed pipe then fail too, rather than end it.
    bool ignoreBrokenPipe = false;
};

// Starts `program` with `arguments`; the standard input is the null device. The caller collects
// the process (ProcessWatch).
Started start(const QByteArray &program, const QList<QByteArray> &arguments, const Options &options = {});

} // namespace Spawn
