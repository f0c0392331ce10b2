// Starts the game: the emulator as a process of its own in the current directory, never through
// a shell, and without waiting for it. The program's path is taken whole, so a path with blanks
// starts the right program, and no text of a configuration or a file name is interpreted.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class GameLauncher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts `program` with `arguments` in the current directory and returns at once. True when
    // it started; otherwise false with the system's reason in `reason`.
    virtual bool start(const QByteArray &program, const QList<QByteArray> &arguments, QString *reason);

    // The failure of a start: "Cannot start %s: %s", the program's path and the reason.
    [[noreturn]] static void cannotStart(const QByteArray &program, const QString &reason);
};
