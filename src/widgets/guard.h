// The event boundary. Qt carries no exceptions through its signals and event handlers, so every
// handler of a command runs through runCommand: a failure stops the command and its message is
// shown in the error box; the program carries on with whatever state the command reached.
#pragma once

#include <functional>
#include <utility>

void runCommand(const std::function<void()> &command);

// Wraps a handler for connecting to a signal; the signal's arguments are dropped.
template <class F>
auto guarded(F handler)
{
    return [handler = std::move(handler)]() { runCommand(handler); };
}
