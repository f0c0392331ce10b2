#include "noticememory.h"

#include <QCryptographicHash>
#include <QSettings>
#include <QStandardPaths>

namespace NoticeMemory {

namespace {

QString key(const QByteArray &configuration, const QString &notes)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(configuration);
    hash.addData(QByteArrayView("\n", 1));
    hash.addData(notes.toUtf8());
    return QStringLiteral("notices/") + QString::fromLatin1(hash.result().toHex());
}

} // namespace

QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/trelvo-mame/trelvo-mame.conf");
}

bool isPutAway(const QByteArray &configuration, const QString &notes)
{
    return QSettings(settingsFile(), QSettings::IniFormat).value(key(configuration, notes)).toBool();
}

void putAway(const QByteArray &configuration, const QString &notes)
{
    QSettings(settingsFile(), QSettings::IniFormat).setValue(key(configuration, notes), true);
}

} // namespace NoticeMemory
