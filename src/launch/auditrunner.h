// The ROM audit of a folder in the background, for the lists: a worker thread scans the folder,
// gives every kept verdict that is still good at once (AuditCache), then audits the other sets
// one by one, telling their verdicts as they come and how many sets are done of how many. At the
// end, or on Cancel, what was audited is kept for the next time. The thread that made the runner
// hears only of verdicts, progress and the end.
#pragma once

#include "catalogue.h"
#include "modals.h"
#include "romaudit.h"
#include "romlist.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <atomic>
#include <memory>

class QThread;

class AuditRunner : public Waitable {
    Q_OBJECT
public:
    explicit AuditRunner(QObject *parent = nullptr);
    ~AuditRunner() override; // an audit still going is ended

    // Starts the audit of `folder`, once per runner, with the verdicts kept in `keptFile` (none
    // kept when it is empty). The 7z sets are audited by `emulator` (EmulatorAudit); without one
    // they stay "not audited (7z)".
    void start(std::shared_ptr<const Catalogue> catalogue, std::shared_ptr<const RomList> roms, const QByteArray &folder,
               RomAudit::Depth depth, const QByteArray &keptFile, const QByteArray &emulator = {});

    // As last told.
    int done() const { return m_done; }
    int total() const { return m_total; }
    // Every verdict told so far, in the order told.
    const QList<RomAudit::Verdict> &verdicts() const { return m_verdicts; }
    // How many of them were kept ones.
    int kept() const { return m_kept; }
    // The folder could not be read.
    bool unreadable() const { return m_unreadable; }

    // The sets `names` (as RomFolder names them) are audited next, before the others not yet
    // audited, in the order given; a later call replaces an earlier one. For the rows in view, on
    // every scroll; from any thread.
    void prioritise(QList<QByteArray> names);

    // Waitable
    bool isFinished() const override { return m_finished; }
    void cancel() override { m_cancel = true; }

signals:
    // New verdicts: the kept ones in one batch first, then the audited ones a few at a time.
    void verdictsReady(const QList<RomAudit::Verdict> &verdicts);
    void progress(int done, int total);

private:
    void work(std::shared_ptr<const Catalogue> catalogue, std::shared_ptr<const RomList> roms, QByteArray folder,
              RomAudit::Depth depth, QByteArray keptFile, QByteArray emulator);
    void tell(QList<RomAudit::Verdict> verdicts, int done, int total, bool kept);

    QList<QByteArray> takePriority();

    QThread *m_thread = nullptr;
    QMutex m_priorityLock;
    QList<QByteArray> m_priority; // guarded by m_priorityLock
    std::atomic<bool> m_hasPriority{false};
    std::atomic<bool> m_cancel{false};
    QList<RomAudit::Verdict> m_verdicts;
    int m_done = 0;
    int m_total = 0;
    int m_kept = 0;
    bool m_unreadable = false;
    bool m_finished = false;
};
