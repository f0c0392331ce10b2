// The notices a user put away ("Don't ask again for this configuration"), kept in the user's own
// settings: by the configuration's path and the notes shown, so that new notes ask again. Those
// of configurations that no longer exist are dropped, at most once a day.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace NoticeMemory {

bool isPutAway(const QByteArray &configuration, const QString &notes);
void putAway(const QByteArray &configuration, const QString &notes);
// Drops the notices of configurations that are no file any more, unless that was done less than
// a day before `now` (both above do this first). A notice kept before the configuration's path
// was kept with it stays.
void prune(const QDateTime &now = QDateTime::currentDateTimeUtc());
} // namespace NoticeMemory
