// One reading of an emulator's catalogue, in the background. The emulator runs with "-listxml"
// within the catalogue's bounds of ProcessLimits (bytes and time), in its own directory; a worker
// thread reads its answer as it comes (ListXmlReader) and builds the catalogue and its ROM list.
// The thread that made the builder only hears of progress, a machine count now and then, and of
// the end.
//
// The result is always a catalogue: a complete one, whatever was read completely before the
// emulator failed or a bound was reached, or an empty one ("no catalogue"); each but a complete
// one with a short note for the user. A cancelled reading has no result.
#pragma once

#include "catalogue.h"
#include "modals.h"
#include "romlist.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

class QThread;

class CatalogueBuilder : public Waitable {
    Q_OBJECT
public:
    struct Result {
        std::shared_ptr<const Catalogue> catalogue; // null when the reading was cancelled
        std::shared_ptr<const RomList> romList;     // null with it
        // The emulator listed everything and ended with 0: worth keeping on disk.
        bool complete = false;
    };

    explicit CatalogueBuilder(QObject *parent = nullptr);
    ~CatalogueBuilder() override; // a reading still going is ended, the emulator with it

    // Starts the reading, once per builder: `program` with `arguments` ("-listxml", and the
    // names of systems to list only those); `key` goes into the catalogue as it is.
    void start(const QByteArray &program, const QList<QByteArray> &arguments, const QByteArray &key);

    // Machines read completely so far, as last told.
    int machines() const { return m_machines; }
    const Result &result() const { return m_result; }

    // Waitable
    bool isFinished() const override { return m_finished; }
    void cancel() override;

signals:
    void progress(int machines);

private:
    class Worker;
    void done(Result result);

    QThread *m_thread = nullptr;
    Worker *m_worker = nullptr; // lives in m_thread
    int m_machines = 0;
    bool m_finished = false;
    Result m_result;
};
