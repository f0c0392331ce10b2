// The command-line mode: prints or runs a configuration's command without any window, on the
// same pipeline as the windows. It is chosen before any application object exists, so that it
// runs where there is no display.
//
//   trelvo-mame --print-command FILE.tvo [GAME]   the command Run would use, one shell-quoted line
//   trelvo-mame --run FILE.tvo [GAME]             prepare the settings file, run, wait, its status
//   trelvo-mame --help | --version
//
// Exit statuses of its own stay clear of the emulator's (1 to 9): 64 for a usage error, 66 for a
// configuration that cannot be read, 70 for a failure before the game starts.
#pragma once

namespace CommandMode {

enum Status { Usage = 64, NoInput = 66, Software = 70 };

// Whether the arguments ask for this mode: an argument that begins with "--", or one of the short
// options the help lists (-h, -v). Qt's own options of the windows ("-platform", "-style") start
// with one dash and leave the windows to start.
bool wanted(int argc, char **argv);
// Runs the mode and returns the program's exit status.
int run(int argc, char **argv);

} // namespace CommandMode
