// Changes of the editor's option controls written as the tests read them, and the state the
// core's rules make of them.
#pragma once

#include "options.h"

#include <QByteArray>
#include <QList>

namespace TestUtil {

struct Change {
    QByteArray control;
    QByteArray value; // radio button index, "1"/"0" for a box, text for a field, entry for the list
};
using Changes = QList<Change>;

// A fresh state with `changes` applied in order.
inline Options::State stateWith(const Changes &changes)
{
    using namespace Options;
    State s = State::initial();
    for (const Change &c : changes) {
        if (radioGroup(c.control))
            s.select(c.control, c.value.toInt());
        else if (check(c.control))
            s.setChecked(c.control, c.value == "1");
        else if (c.control == JoystickList)
            s.setJoystickEntry(c.value.toInt());
        else
            s.setText(c.control, c.value);
    }
    return s;
}

} // namespace TestUtil
