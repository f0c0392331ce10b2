// What emulators say of themselves, asked once and kept: the options an emulator knows (its
// "-showconfig" listing) and, later, the titles of its systems ("-listfull"). An answer is kept
// in memory and in the user's cache directory, so that a later start needs no run, and it is
// asked again when the emulator's file changes, or for "-showconfig" a mame.ini along its inipath
// (a user's mame.ini can change the inipath itself).
//
// Asking runs the emulator within the bounds of ProcessLimits, in its own directory. A run that
// fails, or is cut short at a bound, is an answer too: the emulator has no usable one.
#pragma once

#include "answercache.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <memory>
#include <optional>

class ProcessCapture;

class EmulatorAnswers : public QObject {
    Q_OBJECT
public:
    enum class Question { ShowConfig, ListFull };

    explicit EmulatorAnswers(QObject *parent = nullptr);
    ~EmulatorAnswers() override;

    // The answer kept for `program`, when it is still good; nothing otherwise.
    std::optional<AnswerCache::Entry> cached(const QByteArray &program, Question question);
    // The answer, asked and waited for (visibly, with Cancel) when none is kept. Nothing when the
    // user cancelled the wait.
    std::optional<AnswerCache::Entry> ask(const QByteArray &program, Question question);
    // Asks in the background when no answer is kept; `answered` follows once one is there (at once,
    // queued, when it already is).
    void askInBackground(const QByteArray &program, Question question);
    // The files an answer depends on changed by this program's own hand (it rewrote the ROM path
    // of a mame.ini, or had the emulator create one): the kept answer stays good.
    void refreshFiles(const QByteArray &program, Question question);

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

    // A question being asked: the run, and the emulator's stamp when it started.
    struct Asking {
        ProcessCapture *capture;
        std::optional<FileIO::Stamp> stamp;
    };
    ProcessCapture *start(const Key &key);
    void finished(const Key &key, ProcessCapture *capture);
    void store(const Key &key, const Asking &asking);
    QByteArray cacheFile(const Key &key) const;

    QHash<Key, AnswerCache::Entry> m_answers;
    QHash<Key, Asking> m_asking;
};
