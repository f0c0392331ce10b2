#include "gamelist.h"

#include "fileio.h"
#include "listviews.h"
#include "pathrules.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSettings>

GameList::GameList(QWidget *parent) : QTableView(parent), m_model(new GameListModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false); // Tab leaves the list, as in every other list of the program
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    // One line per row, of the font's height: the rows are never measured one by one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView *header = horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    header->setSortIndicator(GameListModel::Name, Qt::AscendingOrder);
    const int average = fontMetrics().averageCharWidth();
    for (int column = 0; column < GameListModel::ColumnCount; ++column)
        header->resizeSection(column, GameListModel::columns(column).width * average + 12);
    // A click on a header sorts by it, keeping the user's place.
    connect(header, &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        if (column == m_model->sortColumn() && order == m_model->sortOrder())
            return;
        keepingPlace([&] { m_model->sort(column, order); });
        if (const QModelIndex current = currentIndex(); current.isValid())
            scrollTo(current);
    });
    // The selection, not the current item: a list that takes the focus makes its first item
    // current without selecting it.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_changing)
            return;
        m_pick = selectedName();
        emit selectionChanged();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &GameList::viewChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, &GameList::viewChanged);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &GameList::viewChanged);
}

void GameList::setDirectory(const QByteArray &directory)
{
    m_directory = directory;
    m_model->clearVerdicts();
    reload();
}

void GameList::reload()
{
    QList<QByteArray> directories;
    QList<QByteArray> names = FileIO::listFiles(m_directory, mask(), FileIO::Hidden::Left, &directories);
    if (m_onlySingleLineNames) {
        const auto twoLines = [](const QByteArray &name) { return name.contains('\n') || name.contains('\r'); };
        names.removeIf(twoLines);
        directories.removeIf(twoLines);
    }
    // The reset drops the selection without a word: it is said here.
    const bool hadSelection = itemIndex() >= 0;
    m_model->setEntries(std::move(names), std::move(directories));
    m_pick.clear();
    if (hadSelection)
        emit selectionChanged();
}

void GameList::setTitles(std::shared_ptr<const Titles> titles)
{
    keepingPlace([&] { m_model->setTitles(std::move(titles)); });
}

void GameList::setCatalogue(std::shared_ptr<const Catalogue> catalogue)
{
    keepingPlace([&] { m_model->setCatalogue(std::move(catalogue)); });
}

void GameList::addVerdicts(const QList<RomAudit::Verdict> &verdicts)
{
    keepingPlace([&] { m_model->addVerdicts(verdicts); });
}

void GameList::setFilterText(const QString &text)
{
    keepingPlace([&] { m_model->setFilter(text); });
}

void GameList::setShow(GameListModel::Show show)
{
    keepingPlace([&] { m_model->setShow(show); });
}

void GameList::keepingPlace(const std::function<void()> &change)
{
    const QByteArray before = selectedName();
    const auto nameAt = [this](const QModelIndex &index) { return index.isValid() ? m_model->nameAt(index.row()) : QByteArray(); };
    const QModelIndex currentBefore = currentIndex();
    const QByteArray current = nameAt(currentBefore);
    const int column = currentBefore.isValid() ? currentBefore.column() : 0;
    // A list at its top stays there; one scrolled down keeps its first row in view at the top.
    const QByteArray top = verticalScrollBar()->value() > 0 ? nameAt(indexAt(QPoint(0, 0))) : QByteArray();
    const int horizontal = horizontalScrollBar()->value();
    m_changing = true;
    change();
    // The model may have been reset, which drops the selection, the current row and the scroll.
    if (const int row = m_model->rowOf(m_pick); row >= 0)
        selectionModel()->setCurrentIndex(m_model->index(row, column),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    else if (const int row = m_model->rowOf(current); row >= 0)
        selectionModel()->setCurrentIndex(m_model->index(row, column), QItemSelectionModel::NoUpdate);
    if (const int row = m_model->rowOf(top); row >= 0)
        scrollTo(m_model->index(row, 0), QAbstractItemView::PositionAtTop);
    horizontalScrollBar()->setValue(horizontal);
    m_changing = false;
    if (selectedName() != before)
        emit selectionChanged();
}

void GameList::sortBy(int column)
{
    const Qt::SortOrder order = column == m_model->sortColumn() && m_model->sortOrder() == Qt::AscendingOrder
        ? Qt::DescendingOrder
        : Qt::AscendingOrder;
    horizontalHeader()->setSortIndicator(column, order); // sorts, through the header's signal
}

void GameList::keyPressEvent(QKeyEvent *event)
{
    if (ListViews::swallowRepeatedEnter(event))
        return;
    // Ctrl+1 ... Ctrl+7 sort by a column, again the other way.
    if (event->modifiers() == Qt::ControlModifier && event->key() >= Qt::Key_1
        && event->key() < Qt::Key_1 + GameListModel::ColumnCount) {
        sortBy(event->key() - Qt::Key_1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool GameList::viewportEvent(QEvent *event)
{
    if (ListViews::showPlainToolTip(this, event))
        return true;
    return QTableView::viewportEvent(event);
}

void GameList::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    ListViews::forgetUnselectedCurrent(selectionModel());
}

void GameList::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    emit viewChanged();
}

QList<QByteArray> GameList::names() const
{
    QList<QByteArray> shown;
    shown.reserve(count());
    for (int row = 0; row < count(); ++row)
        shown << m_model->nameAt(row);
    return shown;
}

int GameList::itemIndex() const
{
    return ListViews::selectedRow(selectionModel());
}

void GameList::setItemIndex(int row)
{
    if (row < 0 || row >= count()) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex current = currentIndex();
    setCurrentIndex(m_model->index(row, current.isValid() ? current.column() : 0));
}

QByteArray GameList::selectedName() const
{
    const int row = itemIndex();
    return row < 0 ? QByteArray() : m_model->nameAt(row);
}

QByteArray GameList::fileName() const
{
    const QByteArray name = selectedName();
    return name.isEmpty() ? QByteArray() : PathRules::join(m_directory, name);
}

int GameList::selectedMachine() const
{
    const int row = itemIndex();
    return row < 0 ? -1 : m_model->machineAt(row);
}

const RomAudit::Verdict *GameList::selectedVerdict() const
{
    return m_model->verdict(itemIndex());
}

QList<QByteArray> GameList::setNamesInView() const
{
    QList<QByteArray> sets;
    if (count() == 0)
        return sets;
    const int first = std::max(0, rowAt(0));
    int last = rowAt(viewport()->height() - 1);
    if (last < 0)
        last = count() - 1;
    for (int row = first; row <= last; ++row)
        sets << m_model->setNameAt(row);
    return sets;
}

void GameList::saveLayout(QSettings &settings, const QString &group) const
{
    settings.beginGroup(group);
    settings.setValue(QStringLiteral("columns"), horizontalHeader()->saveState());
    settings.endGroup();
}

void GameList::restoreLayout(QSettings &settings, const QString &group)
{
    settings.beginGroup(group);
    const QByteArray state = settings.value(QStringLiteral("columns")).toByteArray();
    settings.endGroup();
    QHeaderView *header = horizontalHeader();
    if (state.isEmpty() || !header->restoreState(state))
        return;
    // A kept state that does not fit these columns is passed over; the kept order is taken.
    const int column = header->sortIndicatorSection();
    if (header->count() != GameListModel::ColumnCount || column < 0 || column >= GameListModel::ColumnCount) {
        header->setSortIndicator(GameListModel::Name, Qt::AscendingOrder);
        return;
    }
    const Qt::SortOrder order = header->sortIndicatorOrder();
    if (column != m_model->sortColumn() || order != m_model->sortOrder())
        keepingPlace([&] { m_model->sort(column, order); });
}
