// Search as you type above a game list: the field "Find:" (objectName "gamefilter", its label as
// buddy) narrows the list to the entries whose archive name, title, year or maker holds the typed
// text, ignoring letter case. Down moves into the list; Enter takes the only entry left, or the
// first, and accepts it as the list's OK does (nothing when no entry is left, nothing again while
// Enter is held down); Escape clears the field, and the entry picked stays picked.
//
// Beside it, "Show:" (objectName "gameshow", its label as buddy) narrows the list further by what
// the emulator says of each game, once its catalogue is at hand.
#pragma once

#include <QWidget>
#include <functional>

class GameList;
class QComboBox;
class QLabel;
class QLineEdit;

class GameFinder : public QWidget {
    Q_OBJECT
public:
    // `accept` is what the list's OK does.
    GameFinder(GameList *list, std::function<void()> accept, QWidget *parent = nullptr);

    QLineEdit *field() const { return m_field; }
    QLabel *label() const { return m_label; }
    QComboBox *showChoice() const { return m_show; }
    QLabel *showLabel() const { return m_showLabel; }
    // Empties the field (and so shows the whole list): whenever the window opens.
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateChoice();

    GameList *m_list;
    std::function<void()> m_accept;
    QLabel *m_label;
    QLineEdit *m_field;
    QLabel *m_showLabel;
    QComboBox *m_show;
};
