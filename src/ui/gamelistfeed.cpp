#include "gamelistfeed.h"

#include "auditcache.h"
#include "auditrunner.h"
#include "fileio.h"
#include "gamedetails.h"
#include "snapshots.h"
#include "gamelist.h"
#include "launcher.h"
#include "romfolder.h"
#include "workstrip.h"

#include <QCoreApplication>
#include <QThread>

GameListFeed::GameListFeed(Launcher &launcher, GameList *list, WorkStrip *strip, QObject *parent)
    : QObject(parent), m_launcher(launcher), m_list(list), m_strip(strip)
{
    // Titles arrive when the emulator answers; the list never waits for them.
    connect(&m_launcher, &Launcher::titlesArrived, this, [this](const QByteArray &program) {
        if (m_open && program == m_program)
            m_list->setTitles(m_launcher.titles(program));
    });
    connect(&m_launcher.catalogues, &Catalogues::progress, this, [this](const QByteArray &program, int machines, int total) {
        if (m_open && program == m_program)
            m_strip->showWork(QStringLiteral("Reading the emulator's catalogue: %1 machines").arg(machines), machines, total);
    });
    connect(&m_launcher.catalogues, &Catalogues::ready, this, [this](const QByteArray &program) {
        if (m_open && program == m_program)
            catalogueReady();
    });
    // The catalogue is kept by the emulator's version: it is looked up once that is known.
    connect(&m_launcher.answers, &EmulatorAnswers::answered, this,
            [this](const QByteArray &program, EmulatorAnswers::Question question) {
                if (m_open && m_waitingForVersion && program == m_program && question == EmulatorAnswers::Question::Version) {
                    m_waitingForVersion = false;
                    lookUpCatalogue();
                }
            });
    connect(m_strip, &WorkStrip::cancelled, this, &GameListFeed::cancel);
}

GameListFeed::~GameListFeed()
{
    stopAudit();
}

void GameListFeed::setDetails(GameDetails *details)
{
    m_details = details;
    connect(m_list, &GameList::selectionChanged, this, [this] { showSelected(true); });
    connect(this, &GameListFeed::verdictsChanged, this, [this] { showSelected(false); });
    connect(m_details, &GameDetails::verifyRequested, this, &GameListFeed::verify);
}

void GameListFeed::showSelected(bool always)
{
    if (!m_details)
        return;
    const QByteArray set = m_list->selectedName();
    const RomAudit::Verdict *verdict = m_list->selectedVerdict();
    const int state = verdict ? int(verdict->state) : -1;
    // A verdict that came for another set changes nothing shown.
    if (!always && set == m_shownSet && state == m_shownState)
        return;
    m_shownSet = set;
    m_shownState = state;
    m_details->showGame(set, verdict);
}

void GameListFeed::setCatalogue(std::shared_ptr<const Catalogue> catalogue)
{
    m_list->setCatalogue(catalogue);
    if (m_details)
        m_details->setCatalogue(std::move(catalogue));
    if (m_details && m_list->catalogue()) {
        // Pictures lie where the emulator puts its snapshots.
        const std::optional<Vocabulary> vocabulary = m_launcher.keptVocabulary(m_program);
        const std::optional<QByteArray> directory = vocabulary ? vocabulary->value("snapshot_directory") : std::nullopt;
        m_details->setSnapshotFolders(Snapshots::folders(directory.value_or("snap"),
                                                         m_launcher.keptWorkingDirectory(m_program),
                                                         Snapshots::processEnvironment));
    }
    showSelected(true);
    emit catalogueChanged();
}

void GameListFeed::open(const QByteArray &program)
{
    stopAudit();
    m_open = true;
    m_program = program;
    m_list->setTitles(m_launcher.titles(program));
    m_waitingForVersion = false;
    if (program.isEmpty() || !FileIO::isExecutableFile(program)) {
        setCatalogue(nullptr);
        m_strip->finish();
        return;
    }
    if (!m_launcher.answers.cached(program, EmulatorAnswers::Question::Version)) {
        m_waitingForVersion = true;
        m_strip->showWork(QStringLiteral("Asking the emulator its version"), 0, 0);
        m_launcher.answers.askInBackground(program, EmulatorAnswers::Question::Version);
        return;
    }
    lookUpCatalogue();
}

void GameListFeed::lookUpCatalogue()
{
    const std::shared_ptr<const Titles> titles = m_launcher.titles(m_program);
    Catalogues::Request request = m_launcher.catalogueRequest(m_program);
    request.expected = titles ? titles->size() : 0;
    if (const auto catalogue = m_launcher.catalogues.cached(request)) {
        setCatalogue(catalogue);
        startAudit();
        return;
    }
    setCatalogue(nullptr);
    m_strip->showWork(QStringLiteral("Reading the emulator's catalogue"), 0, request.expected);
    m_launcher.catalogues.ask(request);
}

void GameListFeed::catalogueReady()
{
    const auto catalogue = m_launcher.catalogues.cached(m_launcher.catalogueRequest(m_program));
    m_strip->finish();
    setCatalogue(catalogue);
    startAudit();
}

void GameListFeed::folderChanged()
{
    if (m_open)
        startAudit();
}

void GameListFeed::close()
{
    m_open = false;
    stopAudit();
    m_strip->finish();
}

bool GameListFeed::auditing() const
{
    return m_audit && !m_audit->isFinished();
}

void GameListFeed::verifyFolder()
{
    if (m_open)
        startAudit(RomAudit::Depth::Verify);
}

void GameListFeed::verify(const QByteArray &machine)
{
    const Catalogues::ForAudit at = m_launcher.catalogues.forAudit(m_launcher.catalogueRequest(m_program));
    const QByteArray folder = m_list->directory();
    if (!m_open || machine.isEmpty() || !at)
        return;
    // A worker reads the files; the verdict comes back to this thread, for the list still showing
    // that folder.
    QPointer<GameListFeed> self(this);
    QThread *worker = QThread::create([self, at, folder, machine] {
        RomAudit audit(*at.catalogue, *at.roms, RomFolder::scan(folder), RomAudit::Depth::Verify);
        RomAudit::Verdict verdict = audit.audit(machine);
        QMetaObject::invokeMethod(qApp, [self, folder, verdict = std::move(verdict)] {
            if (self && self->m_open && self->m_list->directory() == folder) {
                self->m_list->addVerdicts({verdict});
                emit self->verdictsChanged();
            }
        });
    });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void GameListFeed::startAudit(RomAudit::Depth depth)
{
    stopAudit();
    const auto [catalogue, roms] = m_launcher.catalogues.forAudit(m_launcher.catalogueRequest(m_program));
    const QByteArray folder = m_list->directory();
    if (!roms || !FileIO::isDirectory(folder))
        return;
    auto *runner = new AuditRunner(this);
    m_audit = runner;
    connect(runner, &AuditRunner::verdictsReady, this, [this](const QList<RomAudit::Verdict> &verdicts) {
        m_list->addVerdicts(verdicts);
        emit verdictsChanged();
    });
    const QString what = depth == RomAudit::Depth::Verify ? QStringLiteral("Verifying the ROM folder: %1 of %2 sets")
                                                          : QStringLiteral("Auditing the ROM folder: %1 of %2 sets");
    connect(runner, &AuditRunner::progress, this, [this, what](int done, int total) {
        m_strip->showWork(what.arg(done).arg(total), done, total);
    });
    connect(runner, &Waitable::finished, this, [this, runner] {
        if (m_audit == runner)
            m_strip->finish();
        runner->deleteLater();
    });
    const QByteArray keptFile = AuditCache::fileFor(EmulatorAnswers::cacheDirectory(), folder, depth);
    // The rows in view are audited first, whenever other rows come into view.
    connect(m_list, &GameList::viewChanged, runner, [this, runner] { runner->prioritise(m_list->setNamesInView()); });
    runner->start(catalogue, roms, folder, depth, keptFile, m_program);
    runner->prioritise(m_list->setNamesInView());
}

void GameListFeed::stopAudit()
{
    if (AuditRunner *runner = m_audit) {
        m_audit = nullptr;
        runner->disconnect(this);
        runner->cancel();
        // The runner ends its thread when it goes; it goes once it has finished.
        if (runner->isFinished())
            runner->deleteLater();
        else
            connect(runner, &Waitable::finished, runner, &QObject::deleteLater);
    }
}

void GameListFeed::cancel()
{
    m_waitingForVersion = false;
    if (m_launcher.catalogues.isReading(m_program))
        m_launcher.catalogues.cancel(m_program);
    if (AuditRunner *runner = m_audit)
        runner->cancel();
    m_strip->finish();
}
