// The about window.
#pragma once

#include <QDialog>

class TForm1;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(TForm1 *mainWindow);

private:
    TForm1 *m_main;
};
