// `trelvo-mame --audit [--verify] [--emulator PROGRAM] FOLDER`: the ROM audit of a folder without
// any window. One line per set (its name, its state and the reason, tab-separated), then a
// summary. The emulator is PROGRAM, else the emulator of the first configuration of the current
// directory (by name, bytewise), else "mame" along PATH; its catalogue is read once and kept as
// the windows keep it.
//
// Exit status: 0 when every game set is playable (BIOS, device and unknown sets do not count),
// 1 when some are not; the command-line mode's own statuses for the rest.
#pragma once

#include <QByteArray>

namespace AuditCommand {

// Runs the audit and returns the exit status; a failure before any set is audited is thrown as
// CommandError with the status in `*status` (NoInput for an unreadable folder, Software else).
int run(const QByteArray &folder, bool verify, const QByteArray &emulator, int *failureStatus);

} // namespace AuditCommand
