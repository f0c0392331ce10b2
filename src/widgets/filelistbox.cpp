#include "filelistbox.h"

#include "fileio.h"
#include "pathrules.h"
#include "plaintooltip.h"
#include "textcodec.h"

#include <QApplication>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Between the list's frame and its rows, where the focus frame is drawn beside the frame itself.
constexpr int FocusMargin = 1;

// Paints an entry's name as the view does, then its title after it in the remaining width,
// elided, in the colour of secondary text.
class TitleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const QString title = index.data(FileListModel::TitleRole).toString();
        if (title.isEmpty())
            return;
        const QFontMetrics metrics(option.font);
        const int gap = metrics.horizontalAdvance(QLatin1Char(' ')) * 2;
        const int left = option.rect.left() + 3 + metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + gap;
        const QRect area(left, option.rect.top(), option.rect.right() - 3 - left, option.rect.height());
        if (area.width() <= metrics.horizontalAdvance(QStringLiteral("...")))
            return;
        const bool selected = option.state & QStyle::State_Selected;
        QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        colour.setAlphaF(0.7f);
        painter->save();
        painter->setPen(colour);
        painter->setFont(option.font);
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, metrics.elidedText(title, Qt::ElideRight, area.width()));
        painter->restore();
    }
};

} // namespace

void FileListModel::setNames(QList<QByteArray> names)
{
    beginResetModel();
    m_all = std::move(names);
    m_titleViews.clear();
    applyFilter();
    endResetModel();
}

void FileListModel::setTitles(std::shared_ptr<const Titles> titles)
{
    m_titles = std::move(titles);
    m_titleViews.clear();
    if (!m_filter.isEmpty()) {
        beginResetModel();
        applyFilter();
        endResetModel();
    } else if (!m_shown.isEmpty()) {
        emit dataChanged(index(0), index(int(m_shown.size()) - 1));
    }
}

void FileListModel::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    beginResetModel();
    m_filter = text;
    applyFilter();
    endResetModel();
}

namespace {

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Whether `haystack` holds `needle` (already folded), ASCII letters in any case.
bool containsFolded(QByteArrayView haystack, QByteArrayView needle)
{
    const qsizetype n = needle.size();
    for (qsizetype i = 0; i + n <= haystack.size(); ++i) {
        qsizetype k = 0;
        while (k < n && foldAscii(haystack[i + k]) == needle[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

} // namespace

void FileListModel::applyFilter()
{
    if (m_filter.isEmpty()) {
        m_shown = m_all;
        return;
    }
    if (m_titles && m_titleViews.size() != size_t(m_all.size())) {
        m_titleViews.clear();
        m_titleViews.reserve(size_t(m_all.size()));
        for (const QByteArray &name : std::as_const(m_all))
            m_titleViews.push_back(m_titles->titleOfArchive(name));
    }
    m_shown.clear();
    // Names and titles are searched as the bytes they are, a text of plain letters matching in
    // any case: a keystroke over a full romset takes a few milliseconds and no index. A text
    // beyond ASCII compares the decoded texts, folded.
    bool ascii = true;
    for (const QChar c : m_filter)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        QByteArray needle = m_filter.toLatin1();
        for (char &c : needle)
            c = foldAscii(c);
        for (qsizetype i = 0; i < m_all.size(); ++i)
            if (containsFolded(m_all.at(i), needle)
                || (!m_titleViews.empty() && containsFolded(m_titleViews[size_t(i)], needle)))
                m_shown.append(m_all.at(i));
        return;
    }
    const QString needle = m_filter.toCaseFolded();
    for (qsizetype i = 0; i < m_all.size(); ++i) {
        const bool found = TextCodec::decode(m_all.at(i)).toCaseFolded().contains(needle)
            || (!m_titleViews.empty() && QString::fromUtf8(m_titleViews[size_t(i)]).toCaseFolded().contains(needle));
        if (found)
            m_shown.append(m_all.at(i));
    }
}

QString FileListModel::titleOf(const QByteArray &name) const
{
    if (!m_titles)
        return {};
    const QByteArrayView title = m_titles->titleOfArchive(name);
    return title.isEmpty() ? QString() : QString::fromUtf8(title);
}

int FileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant FileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const QByteArray &name = m_shown.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return TextCodec::decode(name); // decoded only when shown
    case TitleRole:
        return titleOf(name);
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole: {
        const QString shown = TextCodec::decode(name);
        if (!hasTitles())
            return shown;
        const QString title = titleOf(name);
        if (role == Qt::AccessibleTextRole)
            return title.isEmpty() ? shown : shown + QStringLiteral(", ") + title;
        return title.isEmpty() ? QStringLiteral("The emulator does not know %1").arg(shown) : title;
    }
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
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_changing)
            return;
        m_pick = selectedName();
        emit selectionChanged();
    });
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
    m_pick.clear();
    if (hadSelection)
        emit selectionChanged();
}

void FileListBox::setShowTitles(bool on)
{
    if (on)
        setItemDelegate(new TitleDelegate(this));
}

void FileListBox::setTitles(std::shared_ptr<const Titles> titles)
{
    keepingPlace([&] { m_model->setTitles(std::move(titles)); });
}

void FileListBox::setFilterText(const QString &text)
{
    keepingPlace([&] { m_model->setFilter(text); });
}

void FileListBox::keepingPlace(const std::function<void()> &change)
{
    const QByteArray before = selectedName();
    const auto nameAt = [this](const QModelIndex &index) { return index.isValid() ? names().at(index.row()) : QByteArray(); };
    const auto rowOf = [this](const QByteArray &name) { return name.isEmpty() ? -1 : int(names().indexOf(name)); };
    const QByteArray current = nameAt(currentIndex());
    // A list at its top stays there; one scrolled down keeps its first row in view at the top.
    const QByteArray top = verticalScrollBar()->value() > 0 ? nameAt(indexAt(QPoint(0, 0))) : QByteArray();
    m_changing = true;
    change();
    // The model may have been reset, which drops the selection, the current row and the scroll.
    if (const int row = rowOf(m_pick); row >= 0)
        selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    else if (const int row = rowOf(current); row >= 0)
        selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::NoUpdate);
    if (const int row = rowOf(top); row >= 0)
        scrollTo(m_model->index(row), QAbstractItemView::PositionAtTop);
    m_changing = false;
    if (selectedName() != before)
        emit selectionChanged();
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    // Enter held down acts once: the presses the keyboard repeats run nothing (in a dialog, they
    // go no further, to its default button).
    if (event->isAutoRepeat() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

bool FileListBox::viewportEvent(QEvent *event)
{
    // An entry's tooltip is its text as it is: an archive named "<h1>BIG.zip" holds no markup.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        PlainToolTip::show(help->globalPos(), index.data(Qt::ToolTipRole).toString(), viewport(), visualRect(index));
        return true;
    }
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
    // Taking the focus, the view makes its first row current without selecting it: that row
    // would look chosen while Enter runs nothing. A row looks current only while it is selected;
    // the arrow keys select one.
    const QModelIndex current = selectionModel()->currentIndex();
    if (current.isValid() && !selectionModel()->isSelected(current))
        selectionModel()->clearCurrentIndex();
    updateFocusFrame();
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
