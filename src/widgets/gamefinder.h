// Search as you type above a game list: the field "Find:" (objectName "gamefilter", its label as
// buddy) narrows the list to the entries whose archive name or title holds the typed text,
// ignoring letter case. Down moves into the list; Enter takes the only entry left, or the first,
// and accepts it as the list's OK does (nothing when no entry is left, nothing again while Enter is
// held down); Escape clears the field, and the entry picked stays picked.
#pragma once

#include <QWidget>
#include <functional>

class FileListBox;
class QLabel;
class QLineEdit;

class GameFinder : public QWidget {
    Q_OBJECT
public:
    // `accept` is what the list's OK does.
    GameFinder(FileListBox *list, std::function<void()> accept, QWidget *parent = nullptr);

    QLineEdit *field() const { return m_field; }
    QLabel *label() const { return m_label; }
    // Empties the field (and so shows the whole list): whenever the window opens.
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FileListBox *m_list;
    std::function<void()> m_accept;
    QLabel *m_label;
    QLineEdit *m_field;
};
