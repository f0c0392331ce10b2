// The texts behind the editor's Information buttons, one per option group that has a button.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>

namespace HelpTexts {

inline constexpr int Count = 33;

struct Entry {
    const char *button;     // the Information button's name
    const char16_t *text;   // shown in the plain message box, exactly as written
};
extern const std::array<Entry, Count> Entries;

// The text of an Information button; empty when the button has none.
QString text(const QByteArray &button);

// The caption of the Information buttons, and of the one that warns about the monitor.
inline const QString Caption = QStringLiteral("Information");
inline const QByteArray WarningButton = "Vgafrequenceinf";
inline const QString WarningCaption = QStringLiteral("Important Information!!!");

} // namespace HelpTexts
