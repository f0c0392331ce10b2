#include "auditrunner.h"

#include "auditcache.h"
#include "emulatoraudit.h"
#include "fileio.h"
#include "pathrules.h"
#include "romfolder.h"

#include <QHash>
#include <QThread>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Audited verdicts are told this many at a time, and at the end.
constexpr int VerdictStep = 64;

} // namespace

AuditRunner::AuditRunner(QObject *parent) : Waitable(parent) {}

AuditRunner::~AuditRunner()
{
    if (!m_thread)
        return;
    m_cancel = true;
    m_thread->wait();
    delete m_thread;
}

void AuditRunner::start(std::shared_ptr<const Catalogue> catalogue, std::shared_ptr<const RomList> roms,
                        const QByteArray &folder, RomAudit::Depth depth, const QByteArray &keptFile,
                        const QByteArray &emulator)
{
    Q_ASSERT(!m_thread); // one audit per runner
    m_thread = QThread::create([this, catalogue = std::move(catalogue), roms = std::move(roms), folder, depth, keptFile, emulator] {
        work(catalogue, roms, folder, depth, keptFile, emulator);
    });
    m_thread->setObjectName(QStringLiteral("audit"));
    m_thread->start();
}

void AuditRunner::prioritise(QList<QByteArray> names)
{
    QMutexLocker lock(&m_priorityLock);
    m_priority = std::move(names);
    m_hasPriority = true;
}

QList<QByteArray> AuditRunner::takePriority()
{
    QMutexLocker lock(&m_priorityLock);
    m_hasPriority = false;
    return std::exchange(m_priority, {});
}

// Posted to the owner's thread; dropped there when the owner is gone.
void AuditRunner::tell(QList<RomAudit::Verdict> verdicts, int done, int total, bool kept)
{
    QMetaObject::invokeMethod(
        this, [this, verdicts = std::move(verdicts), done, total, kept] {
            m_done = done;
            m_total = total;
            m_kept += kept ? int(verdicts.size()) : 0;
            m_verdicts += verdicts;
            if (!verdicts.isEmpty())
                emit verdictsReady(verdicts);
            emit progress(done, total);
        },
        Qt::QueuedConnection);
}

// On the worker thread: touches nothing of the runner's but m_cancel, and posts the rest.
void AuditRunner::work(std::shared_ptr<const Catalogue> catalogue, std::shared_ptr<const RomList> roms, QByteArray folderPath,
                       RomAudit::Depth depth, QByteArray keptFile, QByteArray emulator)
{
    const RomFolder folder = RomFolder::scan(folderPath);
    const int total = int(folder.sets().size());
    const bool unreadable = !folder.readable();
    RomAudit audit(*catalogue, *roms, folder, depth);
    AuditCache cache = keptFile.isEmpty() ? AuditCache() : AuditCache::read(keptFile, AuditCache::keyOf(*catalogue, depth));

    // The kept verdicts first, all at once.
    QList<RomAudit::Verdict> batch;
    QList<const RomFolder::Set *> left;
    for (const RomFolder::Set &set : folder.sets()) {
        std::optional<RomAudit::Verdict> v = cache.kept(folder, set);
        if (v && !(EmulatorAudit::wanted(*v) && !emulator.isEmpty()))
            batch.append(std::move(*v));
        else
            left.append(&set);
    }
    int done = int(batch.size());
    tell(std::move(batch), done, total, true);
    batch = {};
    // The rest in name order, but the sets asked for first whenever some are.
    QHash<QByteArray, qsizetype> place;
    place.reserve(left.size());
    for (qsizetype i = 0; i < left.size(); ++i)
        place.insert(left.at(i)->name, i);
    std::vector<bool> audited(size_t(left.size()), false);
    QList<qsizetype> first;
    qsizetype next = 0;
    while (!m_cancel) {
        if (m_hasPriority) {
            first.clear();
            for (const QByteArray &name : takePriority()) {
                const auto it = place.constFind(name);
                if (it != place.constEnd() && !audited[size_t(*it)])
                    first.append(*it);
            }
            std::reverse(first.begin(), first.end()); // taken from the back
        }
        qsizetype index = -1;
        bool asked = false;
        while (!first.isEmpty() && index < 0) {
            index = first.takeLast();
            if (audited[size_t(index)])
                index = -1;
            asked = index >= 0;
        }
        if (index < 0) {
            while (next < left.size() && audited[size_t(next)])
                ++next;
            if (next == left.size())
                break;
            index = next;
        }
        audited[size_t(index)] = true;
        RomAudit::Verdict v = audit.audit(*left.at(index));
        EmulatorAudit::Outcome outcome = EmulatorAudit::Outcome::Done;
        if (EmulatorAudit::wanted(v) && !emulator.isEmpty())
            v = EmulatorAudit::verdict(emulator, folder.path(), v, &m_cancel, &outcome);
        if (outcome == EmulatorAudit::Outcome::Cancelled)
            break;
        if (outcome == EmulatorAudit::Outcome::Done)
            cache.keep(folder, v);
        batch.append(std::move(v));
        ++done;
        // A batch is told early when the sets asked for are done, so that their rows fill in.
        if (batch.size() >= VerdictStep || (asked && first.isEmpty())) {
            tell(std::move(batch), done, total, false);
            batch = {};
        }
    }
    tell(std::move(batch), done, total, false);
    // A cache that cannot be written only costs the next audit its time.
    if (!keptFile.isEmpty() && cache.changed() && FileIO::makeDirectories(PathRules::directoryPart(keptFile)))
        cache.write(keptFile);
    QMetaObject::invokeMethod(
        this, [this, unreadable] {
            m_unreadable = unreadable;
            m_finished = true;
            emit finished();
        },
        Qt::QueuedConnection);
}
