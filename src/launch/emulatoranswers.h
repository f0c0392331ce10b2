// What emulators say of themselves, asked once and kept: their version ("-version"), the options
// they know with their built-in settings ("-noreadconfig -showconfig") and with the user's
// mame.ini applied ("-showconfig"), the titles of their systems ("-listfull"), and their options
// headings and descriptions ("-showusage"), and which of its options are on/off ones.
//
// The last is no single run: only an on/off option takes the "-noNAME" form, so the options whose
// built-in value is 0 or 1 are tried as "-noreadconfig -noA -noB ... -showconfig". The emulator
// stops at the first it does not take ("Error: unknown option: -noB"), which tells that A is on/off
// and B is not; the run goes on from after B until one passes. The answer lists the on/off names.
//
// An answer is kept in memory and, when the emulator gave it by ending by itself, in the user's
// cache directory, so that a later start needs no run. A kept answer is asked again when the
// emulator's file changes, when the emulator gives another version (a script in front of a new
// emulator keeps its own file), or for "-showconfig" when a mame.ini it reads changes. The
// version is asked once a session, since only a run tells it.
//
// Asking runs the emulator within the bounds of ProcessLimits, in its own directory. A run cut
// short at a bound is no answer the emulator would give again: it is kept for this session only,
// so that the emulator is not asked on every command, and asked again at the next start.
#pragma once

#include "answercache.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <memory>
#include <optional>

class ProcessCapture;

class EmulatorAnswers : public QObject {
    Q_OBJECT
public:
    enum class Question { ShowConfig, ListFull, BuiltIn, Version, ShowUsage, Switches };

    explicit EmulatorAnswers(QObject *parent = nullptr);
    ~EmulatorAnswers() override;

    // The answer kept for `program`, when it is still good; nothing otherwise. While this session
    // has no version answer yet, a kept answer counts as good and the version is asked in the
    // background.
    std::optional<AnswerCache::Entry> cached(const QByteArray &program, Question question);
    // The answer, asked and waited for (visibly, with Cancel) when none is kept, after what it
    // depends on (the version, and for "-showconfig" the built-in settings). Nothing when the
    // user cancelled the wait.
    std::optional<AnswerCache::Entry> ask(const QByteArray &program, Question question);
    // Asks in the background when no answer is kept; `answered` follows once one is there (at once,
    // queued, when it already is).
    void askInBackground(const QByteArray &program, Question question);
    // This program wrote the mame.ini at `path` (its ROM path, or had the emulator create it),
    // which had the stamp `before` then: the kept answers stay good, unless someone else changed
    // the file since they were given.
    void wroteFile(const QByteArray &program, const QByteArray &path, const std::optional<FileIO::Stamp> &before);

    // Whether the last run for the question ran past its bounds (and so gave no answer).
    bool ranPastBounds(const QByteArray &program, Question question) const;
    // The inipath the emulator has before it reads any mame.ini; its full answer's when it does not
    // say (an emulator without "-noreadconfig"), nothing when neither says.
    std::optional<QByteArray> builtInInipath(const QByteArray &program);

    // The arguments that ask the question.
    static QList<QByteArray> argumentsOf(Question question);
    // The directory the answers are kept in (the user's cache directory).
    static QByteArray cacheDirectory();

signals:
    void answered(const QByteArray &program, EmulatorAnswers::Question question);

private:
    struct Key {
        QByteArray program;
        Question question;
        bool operator==(const Key &o) const { return program == o.program && question == o.question; }
    };
    friend size_t qHash(const Key &key, size_t seed) { return qHashMulti(seed, key.program, int(key.question)); }

    // A question being asked: the run, and what the answer depends on, stamped when it started.
    struct Asking {
        ProcessCapture *capture;
        std::optional<FileIO::Stamp> stamp;
        QList<AnswerCache::File> files;
        QByteArray version;
        // For the on/off options: the names still to try, and those the emulator took.
        QList<QByteArray> pending;
        QList<QByteArray> confirmed;
    };
    QList<QByteArray> arguments(const Key &key, const Asking &asking) const;
    // A run of the on/off probe ended: true when the next one started.
    bool probeOn(const Key &key, Asking &asking);
    bool isCurrent(const AnswerCache::Entry &entry, Question question);
    // The questions whose answers this one needs first.
    static QList<Question> prerequisites(Question question);
    // Starts the run once every prerequisite from the `from`th on is answered, asking those in
    // the background first.
    void startWhenReady(const Key &key, int from = 0);
    ProcessCapture *start(const Key &key);
    void finished(const Key &key, ProcessCapture *capture);
    void store(const Key &key, const Asking &asking);
    QList<QByteArray> iniFiles(const QByteArray &program, const QByteArray &inipath) const;
    QByteArray cacheFile(const Key &key) const;
    void save(const Key &key, const AnswerCache::Entry &entry) const;

    QHash<Key, AnswerCache::Entry> m_answers;
    QHash<Key, Asking> m_asking;
    // The questions started once the key's answer is there, each with the prerequisite it goes on from.
    using Waiting = QMap<Question, int>;
    QHash<Key, Waiting> m_waiting;
    QSet<Key> m_pastBounds;
};
