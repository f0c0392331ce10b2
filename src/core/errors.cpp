#include "errors.h"

#include "textcodec.h"

#include <cerrno>
#include <cstring>

CommandError::CommandError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

namespace Errors {

QString pathText(const QByteArray &path)
{
    return TextCodec::decode(path);
}

void indexOutOfBounds(int index)
{
    throw CommandError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void unableToInsert()
{
    throw CommandError(QStringLiteral("Unable to insert a line"));
}

void cannotOpen(const QByteArray &path)
{
    throw CommandError(QStringLiteral("Cannot open file %1").arg(pathText(path)));
}

void cannotCreate(const QByteArray &path, int error)
{
    // One substitution for both: a name holding "%2" is shown as it is.
    throw CommandError(QStringLiteral("Cannot create file %1: %2")
                           .arg(pathText(path), QString::fromLocal8Bit(std::strerror(error))));
}

void romFolder(const QByteArray &path, const QString &what)
{
    throw CommandError(QStringLiteral("%1 cannot be a ROM folder for the emulator: it holds %2.")
                           .arg(pathText(path), what));
}

void lineBreak(const QByteArray &text)
{
    QString shown = pathText(text);
    shown.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
    throw CommandError(QStringLiteral("Cannot store a text holding a line break: %1").arg(shown));
}

QString ioErrorText(int code)
{
    switch (code) {
    case 2: return QStringLiteral("File not found");
    case 3: return QStringLiteral("Invalid filename");
    case 4: return QStringLiteral("Too many open files");
    case 5: return QStringLiteral("File access denied");
    case 100: return QStringLiteral("Read beyond end of file");
    case 101: return QStringLiteral("Disk full");
    case 106: return QStringLiteral("Invalid numeric input");
    default: return QStringLiteral("I/O error %1").arg(code);
    }
}

int ioCodeFromErrno(int err)
{
    switch (err) {
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM: return 5;
    default: return err;
    }
}

void ioError(int code)
{
    throw CommandError(ioErrorText(code));
}

QString boxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

} // namespace Errors
