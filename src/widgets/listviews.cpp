#include "listviews.h"

#include "plaintooltip.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace ListViews {

int selectedRow(const QItemSelectionModel *selection)
{
    const QModelIndex current = selection->currentIndex();
    if (!current.isValid() || !selection->isSelected(current))
        return -1;
    return current.row();
}

void forgetUnselectedCurrent(QItemSelectionModel *selection)
{
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && !selection->isSelected(current))
        selection->clearCurrentIndex();
}

bool swallowRepeatedEnter(QKeyEvent *event)
{
    if (!event->isAutoRepeat() || (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter))
        return false;
    event->accept();
    return true;
}

bool showPlainToolTip(QAbstractItemView *view, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    const auto *help = static_cast<QHelpEvent *>(event);
    const QModelIndex index = view->indexAt(help->pos());
    PlainToolTip::show(help->globalPos(), index.data(Qt::ToolTipRole).toString(), view->viewport(), view->visualRect(index));
    return true;
}

} // namespace ListViews
