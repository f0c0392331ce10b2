#include "emulatoraudit.h"

#include "processcapture.h"
#include "processlimits.h"
#include "verifyromsreport.h"

#include <QEventLoop>
#include <QTimer>

namespace EmulatorAudit {

namespace {

// How often a run looks at the cancel flag.
constexpr int CancelPollMs = 50;

} // namespace

bool wanted(const RomAudit::Verdict &verdict)
{
    return verdict.state == RomAudit::State::NotAudited;
}

RomAudit::Verdict verdict(const QByteArray &program, const QByteArray &folder, const RomAudit::Verdict &quick,
                          const std::atomic<bool> *cancel, Outcome *outcome)
{
    auto failed = [&](Outcome why, const QString &reason) {
        *outcome = why;
        RomAudit::Verdict v = quick;
        v.summary = QStringLiteral("not audited (7z): %1").arg(reason);
        v.details = v.summary;
        return v;
    };
    if (program.isEmpty())
        return failed(Outcome::Failed, QStringLiteral("no emulator to ask"));
    if (cancel && *cancel)
        return failed(Outcome::Cancelled, QStringLiteral("cancelled"));
    const ProcessLimits::Values &limits = ProcessLimits::current();
    ProcessCapture capture;
    QEventLoop loop;
    QObject::connect(&capture, &Waitable::finished, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &capture, [&] {
        if (cancel && *cancel)
            capture.cancel();
    });
    if (!capture.start(program, {"-verifyroms", quick.set, "-rompath", folder}, folder,
                       {limits.verifyBytes, limits.verifyMs}))
        return failed(Outcome::Failed, QStringLiteral("the emulator cannot be started"));
    poll.start(CancelPollMs);
    if (!capture.isFinished())
        loop.exec();
    switch (capture.end()) {
    case ProcessCapture::End::Exited: break;
    case ProcessCapture::End::Cancelled: return failed(Outcome::Cancelled, QStringLiteral("cancelled"));
    case ProcessCapture::End::TooMuch: return failed(Outcome::Failed, QStringLiteral("the emulator printed too much"));
    case ProcessCapture::End::TooLong: return failed(Outcome::Failed, QStringLiteral("the emulator took too long"));
    default: return failed(Outcome::Failed, QStringLiteral("the emulator cannot be started"));
    }
    // 5: the emulator knows no such machine, whatever the catalogue says.
    if (capture.status() == 5) {
        RomAudit::Verdict v = quick;
        v.state = RomAudit::State::NotMachine;
        v.summary = QStringLiteral("not a machine of this emulator (it says so)");
        v.details = v.summary;
        *outcome = Outcome::Done;
        return v;
    }
    RomAudit::Verdict v = VerifyRomsReport::parse(capture.output()).verdict(quick, capture.status());
    *outcome = v.state == RomAudit::State::NotAudited ? Outcome::Failed : Outcome::Done;
    return v;
}

} // namespace EmulatorAudit
