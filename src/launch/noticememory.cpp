#include "noticememory.h"

#include "appinfo.h"

#include "fileio.h"

#include <QCryptographicHash>
#include <QSettings>

namespace NoticeMemory {

namespace {

const QString Group = QStringLiteral("notices");
const QString PrunedKey = QStringLiteral("noticesPruned");

QString key(const QByteArray &configuration, const QString &notes)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(configuration);
    hash.addData(QByteArrayView("\n", 1));
    hash.addData(notes.toUtf8());
    return Group + QLatin1Char('/') + QString::fromLatin1(hash.result().toHex());
}

void pruneWhenDue(QSettings &settings, const QDateTime &now)
{
    const QDateTime last = settings.value(PrunedKey).toDateTime();
    // A clock put back counts as a day gone by.
    if (last.isValid() && last <= now && last.secsTo(now) < 24 * 60 * 60)
        return;
    settings.beginGroup(Group);
    for (const QString &notice : settings.childKeys()) {
        // Each notice holds its configuration's path (one kept as `true` holds none).
        const QVariant configuration = settings.value(notice);
        if (configuration.typeId() == QMetaType::QByteArray && !FileIO::isFile(configuration.toByteArray()))
            settings.remove(notice);
    }
    settings.endGroup();
    settings.setValue(PrunedKey, now);
}

} // namespace

bool isPutAway(const QByteArray &configuration, const QString &notes)
{
    QSettings settings(AppInfo::settingsFile(), QSettings::IniFormat);
    pruneWhenDue(settings, QDateTime::currentDateTimeUtc());
    return settings.contains(key(configuration, notes));
}

void putAway(const QByteArray &configuration, const QString &notes)
{
    QSettings settings(AppInfo::settingsFile(), QSettings::IniFormat);
    pruneWhenDue(settings, QDateTime::currentDateTimeUtc());
    settings.setValue(key(configuration, notes), configuration);
}

void prune(const QDateTime &now)
{
    QSettings settings(AppInfo::settingsFile(), QSettings::IniFormat);
    pruneWhenDue(settings, now);
}

} // namespace NoticeMemory
