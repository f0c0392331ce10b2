// The emulator's own audit of one set, "-verifyroms NAME -rompath FOLDER", read from what it
// prints: a line per file that is not right ("pacman      : 82s126.4a (256 bytes) - NOT FOUND
// (puckman)", "... - INCORRECT CHECKSUM:", "... - INCORRECT LENGTH: 1000 bytes", a bad dump's
// "NEEDS REDUMP"), each followed by indented lines of hashes, then "romset NAME is good", "is best
// available" or "is bad". A set the emulator finds nothing of is only told of on its error output,
// which is not read here: no summary line at all.
//
// Text from the emulator is hostile: the report read is bounded by its caller, each line here.
#pragma once

#include "romaudit.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <utility>

struct VerifyRomsReport {
    static constexpr int MaxLines = 4096;  // file lines kept; the rest are counted only
    static constexpr int MaxLineBytes = 512;

    enum class Summary : quint8 { None, Good, BestAvailable, Bad };
    Summary summary = Summary::None;
    // Each file named missing or wrong, as the audit lists its problems.
    QList<std::pair<QByteArray, RomAudit::Verdict::Problem>> problems;
    // Files that are only noted: bad dumps, optional or undumped files not there.
    QList<QByteArray> noted;
    // The report's lines for files, as printed (without the hashes), for the details.
    QStringList lines;
    int moreLines = 0; // past MaxLines

    static VerifyRomsReport parse(QByteArrayView output);

    // The verdict for `quick` (the quick audit's of the same set, which names the sets looked
    // in) from this report, the emulator having ended with `status`.
    RomAudit::Verdict verdict(const RomAudit::Verdict &quick, int status) const;
};
