// File dialog filters shared by several dialogs, as "Description|pattern" pairs (see qtFileFilter).
#pragma once

#include <QString>

namespace Filters {

// The emulator's executable. Programs here carry no ".exe": the first filter takes names holding
// "mame", the second every file (a name filter cannot tell executables apart: they have no
// extension of their own here), the third every file too.
inline const QString MameExecutable =
    QStringLiteral("MAME Executable files|*mame*|All Executables Files|*|All Files|*.*");

} // namespace Filters
