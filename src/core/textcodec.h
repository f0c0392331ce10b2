// File text is bytes. Only what is shown to the user is decoded: as UTF-8 when the bytes are
// valid UTF-8 (what this platform writes), otherwise as Windows-1252 (files written on the old
// platform). What the user types is encoded as UTF-8, and a text the user did not change keeps
// its original bytes.
#pragma once

#include <QByteArray>
#include <QString>

namespace TextCodec {

bool isValidUtf8(const QByteArray &bytes);
QString decode(const QByteArray &bytes);
QString decodeWindows1252(const QByteArray &bytes);
QByteArray encode(const QString &text);

// The bytes to store for a field now showing `shown` that was filled from `original`:
// the original bytes while the text is unchanged, else the UTF-8 of the new text.
QByteArray encodeEdited(const QString &shown, const QByteArray &original);

} // namespace TextCodec
