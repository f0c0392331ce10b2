// The sets the quick audit cannot read (7z archives) audited by the emulator itself:
// "PROGRAM -verifyroms NAME -rompath FOLDER", its report read within ProcessLimits' verify bounds.
// The emulator already reads 7z; a 7z library here would only repeat that directory read.
#pragma once

#include "romaudit.h"

#include <QByteArray>
#include <atomic>

namespace EmulatorAudit {

// Whether `verdict` is one the emulator should give instead (a 7z set the quick audit left).
bool wanted(const RomAudit::Verdict &verdict);

enum class Outcome { Done, Failed, Cancelled };
// The emulator's verdict on the set of `quick` in `folder`, run on the calling thread (which
// needs no event loop of its own); `*cancel` becoming true ends the run. On Failed (the emulator
// could not be run, or ran past a bound) and Cancelled, `quick` itself with the reason added,
// which is not to be kept.
RomAudit::Verdict verdict(const QByteArray &program, const QByteArray &folder, const RomAudit::Verdict &quick,
                          const std::atomic<bool> *cancel, Outcome *outcome);

} // namespace EmulatorAudit
