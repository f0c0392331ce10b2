// Tooltips built from names and file text, shown as the text they are: Qt reads a tooltip that
// looks like markup ("<h1>BIG.zip") as rich text.
#pragma once

#include <QRect>

class QPoint;
class QString;
class QWidget;

namespace PlainToolTip {

// The rich text that shows `text` as it is: markup characters escaped, blanks and line breaks
// kept, a line wider than the screen wrapped.
QString richText(const QString &text);
// Shows `text` as it is at `globalPos` for `widget`, while the pointer stays in `rect` (empty:
// in the widget); an empty text hides the tooltip.
void show(const QPoint &globalPos, const QString &text, QWidget *widget, const QRect &rect = {});
// From now on `widget`'s own tooltip (QWidget::toolTip) is shown that way; once is enough.
void install(QWidget *widget);

} // namespace PlainToolTip
