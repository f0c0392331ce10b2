// The configuration editor window.
#pragma once

#include <QDialog>

class TForm1;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // `owner` is the main window, whose editmode and editfile tell what is edited.
    explicit TForm2(TForm1 *owner);

private:
    TForm1 *m_owner;
};
