// The command-line mode: prints or runs a configuration's command without any window, on the
// same pipeline as the windows. It is chosen before any application object exists, so that it
// runs where there is no display.
//
//   trelvo-mame --print-command FILE.tvo [GAME]   the command Run would use, one shell-quoted line
//   trelvo-mame --run FILE.tvo [GAME]             prepare the settings file, run, wait, its status
//   trelvo-mame --audit [--verify] [--emulator PROGRAM] FOLDER   the ROM audit (auditcommand.h)
//   trelvo-mame --help | --version
//
// Exit statuses of its own stay clear of the emulator's (1 to 9): 64 for a usage error (a GAME
// given that the emulator would read as an option among them), 66 for a configuration that cannot
// be read or has no layout's number of lines, 70 for a failure before the game starts (line 1
// naming such a game among them).
#pragma once

namespace CommandMode {

enum Status { Usage = 64, NoInput = 66, Software = 70 };

// Whether the arguments ask for this mode: one of this program's own options (--print-command,
// --run, --help, -h, --help-all, --version, -v), or another argument beginning with "--", which
// this mode then refuses as unknown. Qt's own options of the windows, which Qt takes with one
// dash or two ("-platform offscreen", "--style=fusion"), leave the windows to start, and are
// passed over by this mode.
bool wanted(int argc, char **argv);
// Whether the windows can open: the platform Qt would pick (QT_QPA_PLATFORM, or -platform) needs
// no display, as offscreen, minimal or vnc, or the display it needs is named (DISPLAY for xcb,
// WAYLAND_DISPLAY for wayland; one of them when no platform is named).
bool hasDisplay(int argc, char **argv);
// What the program says, before exiting with Software, when it has no display.
inline const char NoDisplay[] = "trelvo-mame: no display; to run a configuration without one, use --run FILE\n";
// Runs the mode and returns the program's exit status.
int run(int argc, char **argv);

} // namespace CommandMode
