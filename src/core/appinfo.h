#pragma once

#include <QStandardPaths>
#include <QString>

namespace AppInfo {
// The application title: on message boxes and in the error box.
inline const QString Title = QStringLiteral("MAME TRELVO");
// The file the user's settings are kept in: put-away notices, window sizes, list columns.
inline QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/trelvo-mame/trelvo-mame.conf");
}
} // namespace AppInfo
