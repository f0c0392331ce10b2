#include "filelistbox.h"

#include "fileio.h"
#include "pathrules.h"
#include "textcodec.h"

#include <QItemSelectionModel>

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
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return TextCodec::decode(m_names.at(index.row())); // decoded only when shown
    return {};
}

FileListBox::FileListBox(QWidget *parent)
    : QListView(parent), m_model(new FileListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The selection, not the current item: a list that takes the focus makes its first item
    // current without selecting it.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit selectionChanged(); });
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
    m_model->setNames(std::move(names));
}

void FileListBox::focusInEvent(QFocusEvent *event)
{
    QListView::focusInEvent(event);
    // Taking the focus, the view makes its first row current without selecting it: that row
    // would look chosen while Enter runs nothing. A row looks current only while it is selected;
    // the arrow keys select one.
    const QModelIndex current = selectionModel()->currentIndex();
    if (current.isValid() && !selectionModel()->isSelected(current))
        selectionModel()->clearCurrentIndex();
}

int FileListBox::itemIndex() const
{
    const QModelIndex current = selectionModel()->currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return -1;
    return current.row();
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
