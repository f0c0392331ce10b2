// Failures of a command. A command that meets an error throws CommandError;
// one handler at the event boundary shows its message and the program carries on.
#pragma once

#include <QByteArray>
#include <QString>
#include <cerrno>
#include <exception>

class CommandError : public std::exception {
public:
    explicit CommandError(QString message);
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A command the user stopped (Cancel while it waited): it ends there, and nothing is shown.
class CommandStopped : public std::exception {
public:
    const char *what() const noexcept override { return "stopped"; }
};

namespace Errors {

// Decodes a path (or any file text) for a message.
QString pathText(const QByteArray &path);

[[noreturn]] void indexOutOfBounds(int index);          // "List index out of bounds (%d)"
[[noreturn]] void unableToInsert();                     // "Unable to insert a line"
[[noreturn]] void cannotOpen(const QByteArray &path);   // "Cannot open file %s"
// "Cannot create file %s: %s", with the system's text for `error`: by default the error number
// the failed call left.
[[noreturn]] void cannotCreate(const QByteArray &path, int error = errno);
// A text for a file of lines that holds a line break (a folder or file name can): it would
// split its line in two and move every later line.
[[noreturn]] void lineBreak(const QByteArray &text);
// A folder the emulator would not read back as the folder it is: "%s cannot be a ROM folder for
// the emulator: it holds %s."
[[noreturn]] void romFolder(const QByteArray &path, const QString &what);

// The message of a failed change of directory, in the old I/O error table:
// 2 "File not found", 3 "Invalid filename", 4 "Too many open files", 5 "File access denied", ...
QString ioErrorText(int code);
// Maps the system's error number to that table's code (no such file: 2, not a directory or
// name too long: 3, too many open files: 4, permission refused: 5); others pass through.
int ioCodeFromErrno(int err);
[[noreturn]] void ioError(int code);

// The text of the error box: the message with "." appended when its last character sorts after ".".
QString boxText(const QString &message);

} // namespace Errors
