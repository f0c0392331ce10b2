// The emulator's options that the editor's own pages set: those the old switches of each line
// pass (as written, or in their current form), and the ROM path a run points the settings file
// at. Each is the page's to set, so any other place shows it as the page's.
#pragma once

#include "options.h"

#include <QByteArray>
#include <QMap>

namespace PageOptions {

// Option names (without "-") and the page that sets each.
const QMap<QByteArray, Options::Page> &all();

} // namespace PageOptions
