// How long and how much this program lets the other programs it waits for run and print, in one
// place. Tests lower them to reach a bound quickly; nothing else writes them.
#pragma once

#include <QtGlobal>

namespace ProcessLimits {

struct Values {
    int preparatoryMs = 30000;            // an emulator run that prepares a game ("-createconfig")
    // The emulator's answers about itself: its version, its options ("-showconfig", also
    // "-noreadconfig -showconfig") and its games' titles ("-listfull").
    int versionMs = 30000;
    qint64 versionBytes = 64 << 10;
    int vocabularyMs = 30000;
    qint64 vocabularyBytes = 1 << 20;
    int titlesMs = 30000;                 // the emulator's list of its games and their titles
    qint64 titlesBytes = qint64(16) << 20;
    int catalogueMs = 180000;             // the emulator's catalogue ("-listxml"), read as it comes
    qint64 catalogueBytes = qint64(1) << 30;
    int verifyMs = 60000;                 // the emulator's audit of one set ("-verifyroms"), a 7z one
    qint64 verifyBytes = 1 << 20;
};

// The values in use; read when a run starts.
inline Values &current()
{
    static Values values;
    return values;
}

} // namespace ProcessLimits
