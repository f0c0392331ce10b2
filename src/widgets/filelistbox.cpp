#include "filelistbox.h"

#include "fileio.h"
#include "listviews.h"
#include "pathrules.h"
#include "textcodec.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace {
// Between the list's frame and its rows, where the focus frame is drawn beside the frame itself.
constexpr int FocusMargin = 1;
} // namespace

void FileListModel::setNames(QList<QByteArray> names)
{
    beginResetModel();
    m_names = std::move(names);
    endResetModel();
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_names.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_names.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return TextCodec::decode(m_names.at(index.row())); // decoded only when shown
    default:
        return {};
    }
}

FileListBox::FileListBox(QWidget *parent)
    : QListView(parent), m_model(new FileListModel(this))
{
    setModel(m_model);
    setViewportMargins(FocusMargin, FocusMargin, FocusMargin, FocusMargin);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selection, not the current item: a list that takes the focus makes its first item
    // current without selecting it.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &FileListBox::selectionChanged);
}

void FileListBox::setDirectory(const QByteArray &directory)
{
    m_directory = directory;
    reload();
}

void FileListBox::reload()
{
    QList<QByteArray> names =
        FileIO::listFiles(m_directory, m_mask, m_showHidden ? FileIO::Hidden::Listed : FileIO::Hidden::Left);
    if (m_onlySingleLineNames)
        names.removeIf([](const QByteArray &name) { return name.contains('\n') || name.contains('\r'); });
    // The reset drops the selection without a word: it is said here.
    const bool hadSelection = itemIndex() >= 0;
    m_model->setNames(std::move(names));
    if (hadSelection)
        emit selectionChanged();
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    if (ListViews::swallowRepeatedEnter(event))
        return;
    QListView::keyPressEvent(event);
}

bool FileListBox::viewportEvent(QEvent *event)
{
    if (ListViews::showPlainToolTip(this, event))
        return true;
    return QListView::viewportEvent(event);
}

bool FileListBox::event(QEvent *event)
{
    // The list's own paint event draws its frame and the margin inside it (the rows are the
    // viewport's): the margin in the rows' colour, or both in the focus colour while focused.
    const bool handled = QListView::event(event);
    if (event->type() == QEvent::Paint) {
        QPainter painter(this);
        const bool focused = hasFocus();
        const int width = focused ? frameWidth() + FocusMargin : FocusMargin;
        const qreal inset = (focused ? 0 : frameWidth()) + width / 2.0;
        painter.setPen(QPen(!focused ? palette().color(QPalette::Base)
                            : m_focusFrameColour.isValid() ? m_focusFrameColour : palette().color(QPalette::Highlight),
                            width));
        painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
    }
    return handled;
}

void FileListBox::focusOutEvent(QFocusEvent *event)
{
    QListView::focusOutEvent(event);
    updateFocusFrame();
}

void FileListBox::updateFocusFrame()
{
    update(QRegion(rect()).subtracted(QRegion(viewport()->geometry())));
}

void FileListBox::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    ListViews::forgetUnselectedCurrent(selectionModel());
    updateFocusFrame();
}

int FileListBox::itemIndex() const
{
    return ListViews::selectedRow(selectionModel());
}

void FileListBox::setItemIndex(int row)
{
    if (row < 0 || row >= count())
        selectionModel()->clear();
    else
        setCurrentIndex(m_model->index(row));
}

QByteArray FileListBox::selectedName() const
{
    const int row = itemIndex();
    return row < 0 ? QByteArray() : names().at(row);
}

QByteArray FileListBox::fileName() const
{
    const QByteArray name = selectedName();
    return name.isEmpty() ? QByteArray() : PathRules::join(m_directory, name);
}
