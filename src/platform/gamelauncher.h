// Starts the game: the emulator as a process of its own in the directory given, never through
// a shell, and without waiting for it. The program's path is taken whole, so a path with blanks
// starts the right program, and no text of a configuration or a file name is interpreted.
//
// Here the emulator has no console of its own, so a game that cannot start would fail unseen: the
// launcher keeps the end of the emulator's error output, notices when it ends, and reports an
// ending with a status other than 0, by a signal, or with a status it could not read. Nothing
// waits for the game, and closing this program neither ends nor disturbs it: the game runs in a
// session of its own, and writes its error output into a pipe that this program reads as it
// comes, keeping the last 64 KiB; once this program has gone, those writes fail (the game starts
// with SIGPIPE ignored) and the game goes on.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <sys/types.h>
#include <vector>

class GameLauncher : public QObject {
    Q_OBJECT
public:
    explicit GameLauncher(QObject *parent = nullptr);
    ~GameLauncher() override;

    // Starts `program` with `arguments` in `workingDirectory` (empty: the current directory) and
    // returns at once. True when it started; otherwise false with the system's reason in `reason`
    // (a missing working directory as a missing program). `game` names the game in a report of
    // its ending.
    virtual bool start(const QByteArray &program, const QList<QByteArray> &arguments,
                       const QByteArray &workingDirectory, QString *reason, const QByteArray &game = {});

    // The process started last (-1 before any start).
    pid_t lastStarted() const { return m_lastStarted; }
    // Whether a game started here as `game` is still running.
    bool isRunning(const QByteArray &game) const;

    // The failure of a start: "Cannot start %s: %s", the program's path and the reason.
    [[noreturn]] static void cannotStart(const QByteArray &program, const QString &reason);

    // The report of a game that ended with `status`: "%s ended with status %d (%s)", then the
    // last ten lines of its error output, each cut at 300 characters. Only the last 64 KiB of the
    // error output are kept. A game ended by `signal` (not 0) is "%s was ended by signal %d (%s)"
    // with the signal's name, and no lines: what it wrote before says nothing of a kill. A status
    // of -1, one that could not be read, is reported too, never taken for a success.
    static constexpr qint64 ReportTailBytes = 64 * 1024;
    static constexpr int ReportLines = 10;
    static constexpr int ReportLineLength = 300;
    static QString endingReport(const QByteArray &game, int status, const QByteArray &errorOutput, int signal = 0);

signals:
    // A started game ended with a status other than 0; `report` says how.
    void gameFailed(const QString &report);

private:
    struct Watch;
    void finished(Watch *watch);
    std::vector<std::unique_ptr<Watch>> m_watches;
    pid_t m_lastStarted = -1;
};
