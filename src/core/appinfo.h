#pragma once

#include <QString>

namespace AppInfo {
// The application title: on message boxes and in the error box.
inline const QString Title = QStringLiteral("MAME TRELVO");
} // namespace AppInfo
