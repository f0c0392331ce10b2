#include "auditcommand.h"

#include "auditcache.h"
#include "catalogues.h"
#include "commandmode.h"
#include "config.h"
#include "emulatoranswers.h"
#include "emulatoraudit.h"
#include "errors.h"
#include "fileio.h"
#include "launcher.h"
#include "linebuffer.h"
#include "romaudit.h"

#include <QEventLoop>
#include <algorithm>
#include <cstdio>

namespace AuditCommand {

namespace {

void print(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

[[noreturn]] void fail(int *status, int value, const QString &message)
{
    *status = value;
    throw CommandError(message);
}

// The emulator to audit for, as the help says.
QByteArray emulatorOf(const QByteArray &given)
{
    const QByteArray here = FileIO::currentDirectory();
    Launcher launcher(nullptr, here);
    if (!given.isEmpty())
        return launcher.resolveProgram(given);
    QList<QByteArray> files = FileIO::listFiles(here, "*.tvo");
    std::sort(files.begin(), files.end());
    for (const QByteArray &file : std::as_const(files))
        if (const std::optional<QByteArray> content = FileIO::read(here + '/' + file)) {
            const LineBuffer lines(LineBuffer::split(*content));
            if (Config::hasLayout(lines.count()))
                return launcher.emulatorProgram(lines);
        }
    return launcher.resolveProgram("mame");
}

} // namespace

int run(const QByteArray &folderPath, bool verify, const QByteArray &emulator, int *failureStatus)
{
    if (!FileIO::isDirectory(folderPath))
        fail(failureStatus, CommandMode::NoInput, QStringLiteral("Cannot read the ROM folder %1").arg(Errors::pathText(folderPath)));
    const QByteArray program = emulatorOf(emulator);
    try {
        Launcher::checkProgram(program);
    } catch (const CommandError &e) {
        fail(failureStatus, CommandMode::Software, Errors::boxText(e.message()));
    }

    EmulatorAnswers answers;
    const std::optional<AnswerCache::Entry> version = answers.ask(program, EmulatorAnswers::Question::Version);
    Catalogues catalogues;
    const Catalogues::Request request{program, version ? version->output : QByteArray(), {}, 0};
    if (!catalogues.cached(request)) {
        QEventLoop loop;
        QObject::connect(&catalogues, &Catalogues::ready, &loop, &QEventLoop::quit);
        catalogues.ask(request);
        loop.exec();
    }
    const auto [catalogue, roms] = catalogues.forAudit(request);
    if (!roms) {
        const std::shared_ptr<const Catalogue> kept = catalogues.cached(request);
        fail(failureStatus, CommandMode::Software,
             QStringLiteral("No catalogue of %1 to audit against%2").arg(Errors::pathText(program),
                 kept && !kept->note().isEmpty() ? QStringLiteral(": ") + kept->note() : QString()));
    }

    const RomFolder folder = RomFolder::scan(folderPath);
    if (!folder.readable())
        fail(failureStatus, CommandMode::NoInput, QStringLiteral("Cannot read the ROM folder %1").arg(Errors::pathText(folderPath)));
    const RomAudit::Depth depth = verify ? RomAudit::Depth::Verify : RomAudit::Depth::Quick;
    // The verdicts of the last audit of this folder, for the sets whose archives are as they were;
    // the other sets audited, many of them two at a time.
    const QByteArray keptFile = AuditCache::fileFor(EmulatorAnswers::cacheDirectory(), folder.path(), depth);
    AuditCache kept = AuditCache::read(keptFile, AuditCache::keyOf(*catalogue, depth));
    QList<std::optional<RomAudit::Verdict>> verdicts;
    verdicts.reserve(folder.sets().size());
    QList<const RomFolder::Set *> left;
    for (const RomFolder::Set &set : folder.sets()) {
        verdicts.append(kept.kept(folder, set));
        if (!verdicts.last())
            left.append(&set);
    }
    QList<RomAudit::Verdict> audited = RomAudit::auditAll(*catalogue, *roms, folder, depth, left);
    int games = 0, playable = 0, others = 0;
    qsizetype next = 0;
    for (std::optional<RomAudit::Verdict> &v : verdicts) {
        if (!v) {
            v = std::move(audited[next++]);
            kept.keep(folder, *v);
        }
        RomAudit::Verdict &verdict = *v;
        // A 7z set's verdict comes from the emulator, and is kept only when it gave one.
        if (EmulatorAudit::wanted(verdict)) {
            EmulatorAudit::Outcome outcome = EmulatorAudit::Outcome::Done;
            verdict = EmulatorAudit::verdict(program, folder.path(), verdict, nullptr, &outcome);
            if (outcome == EmulatorAudit::Outcome::Done)
                kept.keep(folder, verdict);
        }
        print(verdict.set + '\t' + RomAudit::stateText(verdict.state).toUtf8() + '\t' + verdict.summary.toUtf8() + '\n');
        if (verdict.isGame()) {
            ++games;
            playable += verdict.playable() ? 1 : 0;
        } else {
            ++others;
        }
    }
    std::fflush(stdout);
    // A cache that cannot be written only costs the next audit its time.
    if (kept.changed() && FileIO::makeDirectories(EmulatorAnswers::cacheDirectory()))
        kept.write(keptFile);
    QString summary = QStringLiteral("%1 of %2 game sets playable; %3 other sets (BIOS, device, unknown)")
                          .arg(playable).arg(games).arg(others);
    summary += verify ? QStringLiteral("; every file read and its SHA-1 checked.")
                      : QStringLiteral("; checked by size and CRC-32 from the archives' directories (--verify reads the files).");
    if (folder.cut())
        summary += QStringLiteral(" Only the first %1 entries of the folder were looked at.").arg(RomFolder::MaxEntries);
    print(summary.toUtf8() + '\n');
    std::fflush(stdout);
    return playable == games ? 0 : 1;
}

} // namespace AuditCommand
