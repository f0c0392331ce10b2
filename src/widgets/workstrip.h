// A strip in a window's own layout that shows work going on in the background: what it is, a
// progress bar (indeterminate while the total is unknown) and Cancel. Hidden while nothing runs;
// never modal: the window works meanwhile.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class WorkStrip : public QWidget {
    Q_OBJECT
public:
    explicit WorkStrip(QWidget *parent = nullptr);

    // Shows the work: `done` of `total` (0: not known yet).
    void showWork(const QString &text, int done, int total);
    // Hides the strip.
    void finish();

    QLabel *label() const { return m_label; }
    QProgressBar *bar() const { return m_bar; }
    QPushButton *cancelButton() const { return m_cancel; }

signals:
    void cancelled();

private:
    QLabel *m_label;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
};
