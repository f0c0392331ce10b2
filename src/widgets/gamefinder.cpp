#include "gamefinder.h"

#include "filelistbox.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

GameFinder::GameFinder(FileListBox *list, std::function<void()> accept, QWidget *parent)
    : QWidget(parent), m_list(list), m_accept(std::move(accept))
{
    m_label = new QLabel(QStringLiteral("Find:"), this);
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("gamefilter"));
    m_field->setClearButtonEnabled(true);
    m_field->setPlaceholderText(QStringLiteral("name or title"));
    m_label->setBuddy(m_field);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(m_label);
    row->addWidget(m_field, 1);
    connect(m_field, &QLineEdit::textChanged, m_list, &FileListBox::setFilterText);
    m_field->installEventFilter(this);
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
