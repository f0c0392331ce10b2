#include "auditrunner.h"

#include "auditcache.h"
#include "fileio.h"
#include "pathrules.h"
#include "romfolder.h"

#include <QThread>

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
                        const QByteArray &folder, RomAudit::Depth depth, const QByteArray &keptFile)
{
    Q_ASSERT(!m_thread); // one audit per runner
    m_thread = QThread::create([this, catalogue = std::move(catalogue), roms = std::move(roms), folder, depth, keptFile] {
        work(catalogue, roms, folder, depth, keptFile);
    });
    m_thread->setObjectName(QStringLiteral("audit"));
    m_thread->start();
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
                       RomAudit::Depth depth, QByteArray keptFile)
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
        if (std::optional<RomAudit::Verdict> v = cache.kept(folder, set.name))
            batch.append(std::move(*v));
        else
            left.append(&set);
    }
    int done = int(batch.size());
    tell(std::move(batch), done, total, true);
    batch = {};
    for (const RomFolder::Set *set : std::as_const(left)) {
        if (m_cancel)
            break;
        RomAudit::Verdict v = audit.audit(*set);
        cache.keep(folder, v);
        batch.append(std::move(v));
        ++done;
        if (batch.size() >= VerdictStep) {
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
