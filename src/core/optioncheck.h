// What the emulator said of a configuration's options when asked "-showconfig" with them: its
// complaints, each given to the option it names ("Error: unknown option: -bogus", "Out-of-range
// integer value for prescale: ..."), and the rest of what it said that is no settings line.
// The answer is the emulator's and hostile: lines are bounded in length and number.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>

namespace OptionCheck {

inline constexpr int MaxNotes = 200;
inline constexpr int MaxLineBytes = 1024;

struct Result {
    QMap<QByteArray, QStringList> byOption; // option name (without "-") to what was said of it
    QStringList general;                    // what names no option of the page
    bool allTaken() const { return byOption.isEmpty() && general.isEmpty(); }
};

// Whether `name` (without "-") is an option the emulator listed.
using IsOption = std::function<bool(QByteArrayView name)>;

Result read(const QByteArray &output, const IsOption &isOption);

} // namespace OptionCheck
