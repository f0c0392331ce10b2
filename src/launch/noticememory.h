// The notices a user put away ("Don't ask again for this configuration"), kept in the user's own
// settings: by the configuration's path and the notes shown, so that new notes ask again.
#pragma once

#include <QByteArray>
#include <QString>

namespace NoticeMemory {

bool isPutAway(const QByteArray &configuration, const QString &notes);
void putAway(const QByteArray &configuration, const QString &notes);
// The file the user's settings are kept in.
QString settingsFile();

} // namespace NoticeMemory
