// What the program's lists (the configuration list, the game tables) do alike, whatever their
// view: a row counts as chosen only while it is selected, Enter held down acts once, and a
// tooltip shows its text as it is.
#pragma once

class QAbstractItemView;
class QEvent;
class QItemSelectionModel;
class QKeyEvent;

namespace ListViews {

// The selected row, -1 when none (a current row that is not selected is none).
int selectedRow(const QItemSelectionModel *selection);
// Taking the focus, a view makes its first row current without selecting it: that row would look
// chosen while Enter takes nothing. A row looks current only while it is selected; the arrow keys
// select one. Called after the view's own focus-in.
void forgetUnselectedCurrent(QItemSelectionModel *selection);
// A press of Enter the keyboard repeats, which runs nothing (in a dialog, it goes no further, to
// its default button); the event is accepted.
bool swallowRepeatedEnter(QKeyEvent *event);
// Shows a tooltip event's text as plain text (a name like "<h1>BIG.zip" holds no markup); false
// for other events.
bool showPlainToolTip(QAbstractItemView *view, QEvent *event);

} // namespace ListViews
