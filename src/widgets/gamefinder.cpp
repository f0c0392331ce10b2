#include "gamefinder.h"

#include "gamelist.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

GameFinder::GameFinder(GameList *list, std::function<void()> accept, QWidget *parent)
    : QWidget(parent), m_list(list), m_accept(std::move(accept))
{
    m_label = new QLabel(QStringLiteral("Find:"), this);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("gamefilter"));
    m_field->setClearButtonEnabled(true);
    m_field->setPlaceholderText(QStringLiteral("name, title, year or maker"));
    m_label->setBuddy(m_field);
    m_showLabel = new QLabel(QStringLiteral("Show:"), this);
    m_show = new QComboBox(this);
    m_show->setObjectName(QStringLiteral("gameshow"));
    for (const GameListModel::ShowInfo &choice : GameListModel::showChoices())
        m_show->addItem(QString::fromLatin1(choice.text), int(choice.show));
    m_show->setToolTip(QStringLiteral("Which sets the list shows, by what the emulator and the audit say of them"));
    m_showLabel->setBuddy(m_show);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(m_label);
    row->addWidget(m_field, 1);
    row->addSpacing(6);
    row->addWidget(m_showLabel);
    row->addWidget(m_show);
    connect(m_field, &QLineEdit::textChanged, m_list, &GameList::setFilterText);
    connect(m_show, &QComboBox::currentIndexChanged, this, [this] {
        m_list->setShow(GameListModel::Show(m_show->currentData().toInt()));
    });
    // The choice narrows by the catalogue: without one, it waits.
    connect(m_list->gameModel(), &QAbstractItemModel::modelReset, this, &GameFinder::updateChoice);
    updateChoice();
    m_field->installEventFilter(this);
}

void GameFinder::updateChoice()
{
    const bool known = m_list->catalogue() && !m_list->catalogue()->isEmpty();
    m_show->setEnabled(known);
    m_showLabel->setEnabled(known);
    if (!known && m_show->currentIndex() != 0)
        m_show->setCurrentIndex(0);
}

void GameFinder::clear()
{
    m_field->clear();
}

bool GameFinder::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Down:
        if (m_list->count() > 0) {
            if (m_list->itemIndex() < 0)
                m_list->setItemIndex(0);
            m_list->setFocus(Qt::TabFocusReason);
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Taken here, so that the window's default button does not act on an empty list; held
        // down, Enter takes the game once.
        if (m_list->count() > 0 && !key->isAutoRepeat()) {
            m_list->setItemIndex(0);
            m_accept();
        }
        return true;
    case Qt::Key_Escape:
        if (m_field->text().isEmpty())
            return false; // the window's own Escape
        m_field->clear();
        return true;
    default:
        return false;
    }
}
