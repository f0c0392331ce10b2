// The catalogues of emulators, read once and kept: in memory for the session, and, when the
// emulator listed everything, in the user's cache directory beside the other answers
// (EmulatorAnswers::cacheDirectory()), a catalogue file and its ROM list per emulator. A kept
// catalogue stays good while the emulator's file, the mame.ini files along its inipath and its
// "-version" answer stay as they were; a file that is damaged, truncated, of another layout
// version or for another emulator is read again from the emulator and replaced.
//
// A reading cut at a bound, cut by the emulator's failure, or without a catalogue at all is
// kept for the session only; a cancelled one not at all.
#pragma once

#include "catalogue.h"
#include "romlist.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <memory>

class CatalogueBuilder;

class Catalogues : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray program;        // the emulator's path, as it is run
        QByteArray version;        // its "-version" answer, as it is (empty when unknown)
        QList<QByteArray> files;   // the mame.ini files along its inipath (the "-showconfig" answer's)
        int expected = 0;          // machines it probably lists (the number of its titles); 0: unknown
    };

    explicit Catalogues(QObject *parent = nullptr);
    ~Catalogues() override; // readings still going are ended

    // The catalogue at hand for the request: read this session, or a current one in the cache;
    // null when it must be read. An emulator without a catalogue has an empty one with its note.
    std::shared_ptr<const Catalogue> cached(const Request &request);
    // The ROM list of the catalogue cached() gives; null when there is none at hand.
    std::shared_ptr<const RomList> romList(const Request &request);
    // The catalogue and its ROM list, for an audit: both at hand, the catalogue not empty and the
    // list of its machines; both null otherwise.
    struct ForAudit {
        std::shared_ptr<const Catalogue> catalogue;
        std::shared_ptr<const RomList> roms;
        explicit operator bool() const { return roms != nullptr; }
    };
    ForAudit forAudit(const Request &request);
    // Gives the catalogue: `ready` follows at once (queued) when one is at hand, else after it is
    // read in the background, with `progress` meanwhile. Asking again while it is read changes
    // nothing.
    void ask(const Request &request);
    bool isReading(const QByteArray &program) const { return m_reading.contains(program); }
    // Ends a reading; `ready` follows, with nothing at hand.
    void cancel(const QByteArray &program);

    // Where a catalogue and its ROM list are kept.
    static QByteArray catalogueFile(const QByteArray &program);
    static QByteArray romListFile(const QByteArray &program);

signals:
    // Machines read so far, and the total expected (0 when unknown).
    void progress(const QByteArray &program, int machines, int total);
    // The reading is over: cached() gives its catalogue, or null when it was cancelled.
    void ready(const QByteArray &program);

private:
    struct Kept {
        QByteArray key;
        std::shared_ptr<const Catalogue> catalogue;
        std::shared_ptr<const RomList> romList; // null until asked for, for one from the cache
    };
    struct Reading {
        CatalogueBuilder *builder;
        QByteArray key;
        bool stamped;   // the emulator's file was there when the reading started
    };
    static QByteArray keyOf(const Request &request);
    void finished(const QByteArray &program);

    QHash<QByteArray, Kept> m_kept;
    QHash<QByteArray, Reading> m_reading;
};
