#include "cataloguebuilder.h"

#include "cataloguewriter.h"
#include "listxml.h"
#include "pathrules.h"
#include "processcapture.h"
#include "processlimits.h"

#include <QThread>
#include <cstring>

namespace {

// Progress is told every this many machines, and at the end.
constexpr int ProgressStep = 500;

QString machinesText(int n)
{
    return n == 1 ? QStringLiteral("1 machine") : QStringLiteral("%1 machines").arg(n);
}

} // namespace

// Everything of one reading that runs on the worker thread.
class CatalogueBuilder::Worker : public QObject {
public:
    Worker(CatalogueBuilder *owner, QByteArray program, QList<QByteArray> arguments, QByteArray key)
        : m_owner(owner), m_program(std::move(program)), m_arguments(std::move(arguments)), m_key(std::move(key)),
          m_reader(m_writer)
    {
    }

    void run()
    {
        const ProcessLimits::Values &v = ProcessLimits::current();
        m_limits = {v.catalogueBytes, v.catalogueMs};
        m_capture = std::make_unique<ProcessCapture>();
        m_capture->setConsumer([this](QByteArrayView piece) {
            const bool more = m_reader.feed(piece);
            if (m_reader.machines() - m_told >= ProgressStep)
                tell(m_reader.machines());
            return more;
        });
        connect(m_capture.get(), &Waitable::finished, this, &Worker::finished);
        m_capture->start(m_program, m_arguments, PathRules::directoryPart(m_program), m_limits);
    }

    void cancel()
    {
        if (m_capture && !m_capture->isFinished())
            m_capture->cancel();
    }

private:
    void tell(int machines)
    {
        m_told = machines;
        // Posted to the owner's thread; dropped there when the owner is gone.
        CatalogueBuilder *owner = m_owner;
        QMetaObject::invokeMethod(
            owner, [owner, machines] {
                owner->m_machines = machines;
                emit owner->progress(machines);
            },
            Qt::QueuedConnection);
    }

    void finished()
    {
        const ProcessCapture::End end = m_capture->end();
        Result result;
        if (end != ProcessCapture::End::Cancelled) {
            const bool exited = end == ProcessCapture::End::Exited;
            m_reader.finish(exited && m_capture->status() == 0);
            const QString note = noteOf(end);
            const bool complete = exited && m_capture->status() == 0 && m_reader.fault() == ListXmlReader::Fault::None;
            const CatalogueWriter::Images images = m_writer.finish(m_key, note, complete, m_reader.skipped());
            if (std::optional<Catalogue> catalogue = Catalogue::fromBytes(images.catalogue)) {
                std::optional<RomList> roms = RomList::fromBytes(images.romList, catalogue->buildId(), catalogue->size());
                result.catalogue = std::make_shared<const Catalogue>(std::move(*catalogue));
                result.romList = std::make_shared<const RomList>(roms ? std::move(*roms) : RomList());
                result.complete = complete;
            }
        }
        tell(m_reader.machines());
        CatalogueBuilder *owner = m_owner;
        QMetaObject::invokeMethod(owner, [owner, result] { owner->done(result); }, Qt::QueuedConnection);
    }

    // What the user is told of a reading that is not complete (or left machines out).
    QString noteOf(ProcessCapture::End end) const
    {
        const int status = m_capture->status();
        const QString read = machinesText(m_reader.machines());
        switch (m_reader.fault()) {
        case ListXmlReader::Fault::NotCatalogue:
            return status > 0 && end == ProcessCapture::End::Exited
                ? QStringLiteral("No catalogue: the emulator ended -listxml with status %1.").arg(status)
                : QStringLiteral("No catalogue: the emulator answers -listxml with something else (%1).").arg(m_reader.faultText());
        case ListXmlReader::Fault::Damaged:
            return QStringLiteral("The emulator's catalogue is damaged (%1); %2 read.").arg(m_reader.faultText(), read);
        case ListXmlReader::Fault::TooLarge:
            return QStringLiteral("The emulator's catalogue is too large (%1); %2 read.").arg(m_reader.faultText(), read);
        case ListXmlReader::Fault::None:
            break;
        }
        switch (end) {
        case ProcessCapture::End::NotStarted:
            return QStringLiteral("No catalogue: the emulator cannot be started (%1).")
                .arg(QString::fromLocal8Bit(std::strerror(m_capture->error())));
        case ProcessCapture::End::TooMuch:
            return QStringLiteral("The emulator's catalogue is larger than %1 MiB; %2 read.")
                .arg(m_limits.maxBytes >> 20).arg(read);
        case ProcessCapture::End::TooLong:
            return QStringLiteral("The emulator took longer than %1 s to list its catalogue; %2 read.")
                .arg(m_limits.timeoutMs / 1000.0).arg(read);
        case ProcessCapture::End::Exited:
            if (status != 0 && !m_reader.sawRoot())
                return QStringLiteral("No catalogue: the emulator ended -listxml with status %1.").arg(status);
            if (status != 0)
                return QStringLiteral("The emulator ended with status %1 while it listed its catalogue; %2 read.")
                    .arg(status).arg(read);
            break;
        case ProcessCapture::End::Running:
        case ProcessCapture::End::Cancelled:
        case ProcessCapture::End::Refused:
            break;
        }
        if (m_reader.skipped() > 0)
            return QStringLiteral("%1 of the emulator's catalogue left out: unusable names or too large.")
                .arg(machinesText(m_reader.skipped()));
        return QString();
    }

    CatalogueBuilder *m_owner; // lives in another thread: only posted to
    QByteArray m_program;
    QList<QByteArray> m_arguments;
    QByteArray m_key;
    CatalogueWriter m_writer;
    ListXmlReader m_reader;
    ProcessCapture::Limits m_limits{};
    std::unique_ptr<ProcessCapture> m_capture;
    int m_told = 0;
};

CatalogueBuilder::CatalogueBuilder(QObject *parent) : Waitable(parent) {}

CatalogueBuilder::~CatalogueBuilder()
{
    if (!m_thread)
        return;
    // The worker ends in its own thread: its capture ends and collects the emulator there.
    Worker *worker = m_worker;
    QMetaObject::invokeMethod(worker, [worker] { delete worker; }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_thread;
}

void CatalogueBuilder::start(const QByteArray &program, const QList<QByteArray> &arguments, const QByteArray &key)
{
    Q_ASSERT(!m_thread); // one reading per builder
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("catalogue"));
    m_worker = new Worker(this, program, arguments, key);
    m_worker->moveToThread(m_thread);
    m_thread->start();
    Worker *worker = m_worker;
    QMetaObject::invokeMethod(worker, [worker] { worker->run(); }, Qt::QueuedConnection);
}

void CatalogueBuilder::cancel()
{
    if (!m_thread || m_finished)
        return;
    Worker *worker = m_worker;
    QMetaObject::invokeMethod(worker, [worker] { worker->cancel(); }, Qt::QueuedConnection);
}

void CatalogueBuilder::done(Result result)
{
    if (m_finished)
        return;
    m_result = std::move(result);
    m_finished = true;
    emit finished();
}
