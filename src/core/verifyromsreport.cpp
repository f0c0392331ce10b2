#include "verifyromsreport.h"

namespace {

QByteArrayView trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\r'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r'))
        v.chop(1);
    return v;
}

// "romset NAME is good", "romset NAME [PARENT] is best available", "romset NAME is bad".
VerifyRomsReport::Summary summaryOf(QByteArrayView line)
{
    if (!line.startsWith("romset "))
        return VerifyRomsReport::Summary::None;
    if (line.endsWith(" is good"))
        return VerifyRomsReport::Summary::Good;
    if (line.endsWith(" is best available"))
        return VerifyRomsReport::Summary::BestAvailable;
    if (line.endsWith(" is bad"))
        return VerifyRomsReport::Summary::Bad;
    return VerifyRomsReport::Summary::None;
}

} // namespace

VerifyRomsReport VerifyRomsReport::parse(QByteArrayView output)
{
    VerifyRomsReport report;
    qsizetype start = 0;
    while (start < output.size()) {
        qsizetype end = output.indexOf('\n', start);
        if (end < 0)
            end = output.size();
        QByteArrayView line = output.sliced(start, end - start);
        start = end + 1;
        if (line.size() > MaxLineBytes)
            line.truncate(MaxLineBytes);
        if (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t'))
            continue; // EXPECTED: / FOUND: hashes under a file's line
        line = trimmed(line);
        if (const Summary s = summaryOf(line); s != Summary::None) {
            report.summary = s;
            continue;
        }
        // "SET : FILE (N bytes) - STATUS", the set's name padded with blanks.
        const qsizetype colon = line.indexOf(" : ");
        const qsizetype dash = line.indexOf(" - ", colon < 0 ? 0 : colon);
        if (colon <= 0 || dash < 0)
            continue;
        QByteArrayView file = trimmed(line.sliced(colon + 3, dash - colon - 3));
        if (const qsizetype paren = file.indexOf(" ("); paren > 0)
            file.truncate(paren);
        if (file.isEmpty() || file.contains(' '))
            continue;
        const QByteArrayView status = line.sliced(dash + 3);
        const bool note = status.contains("BUT OPTIONAL") || status.contains("NO GOOD DUMP KNOWN") || status.startsWith("NEEDS REDUMP");
        if (note)
            report.noted.append(file.toByteArray());
        else if (status.startsWith("NOT FOUND"))
            report.problems.append({file.toByteArray(), RomAudit::Verdict::Problem::Missing});
        else if (status.startsWith("INCORRECT"))
            report.problems.append({file.toByteArray(), RomAudit::Verdict::Problem::Wrong});
        else
            continue;
        if (report.lines.size() < MaxLines)
            report.lines.append(QString::fromUtf8(line));
        else
            ++report.moreLines;
    }
    return report;
}

RomAudit::Verdict VerifyRomsReport::verdict(const RomAudit::Verdict &quick, int status) const
{
    RomAudit::Verdict v;
    v.set = quick.set;
    v.consulted = quick.consulted;
    v.problems = problems;
    int missing = 0;
    for (const auto &p : problems)
        missing += p.second == RomAudit::Verdict::Problem::Missing ? 1 : 0;
    const int wrong = int(problems.size()) - missing;
    const QString by = QStringLiteral(" (checked by the emulator: a 7z set)");
    if (summary == Summary::Good || summary == Summary::BestAvailable) {
        v.state = noted.isEmpty() && problems.isEmpty() ? RomAudit::State::Good : RomAudit::State::Notes;
        v.summary = (v.state == RomAudit::State::Good ? QStringLiteral("good") : QStringLiteral("good, with notes")) + by;
    } else if (summary == Summary::Bad || status != 0) {
        // Nothing named at all: the emulator found no file of the set (it says so on its error output).
        v.state = missing > 0 || problems.isEmpty() ? RomAudit::State::Incomplete : RomAudit::State::Wrong;
        QStringList parts;
        if (missing > 0)
            parts.append(missing == 1 ? QStringLiteral("1 ROM file missing") : QStringLiteral("%1 ROM files missing").arg(missing));
        if (wrong > 0)
            parts.append(wrong == 1 ? QStringLiteral("1 ROM file wrong") : QStringLiteral("%1 ROM files wrong").arg(wrong));
        if (parts.isEmpty())
            parts.append(summary == Summary::None ? QStringLiteral("the emulator found nothing of the set")
                                                  : QStringLiteral("the emulator calls it bad"));
        v.summary = parts.join(QStringLiteral(", ")) + by;
    } else {
        v.state = RomAudit::State::NotAudited;
        v.summary = QStringLiteral("not audited (7z): the emulator's report was not understood");
    }
    QStringList details = lines;
    if (moreLines > 0)
        details.append(QStringLiteral("... and %1 more").arg(moreLines));
    v.details = v.summary + (details.isEmpty() ? QString() : QStringLiteral("\n") + details.join(QLatin1Char('\n')));
    return v;
}
