// The ROM selector window: picks a game archive when a configuration names none.
#pragma once

#include <QDialog>

class TForm1;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(TForm1 *mainWindow);

    bool okpressed = false;

private:
    TForm1 *m_main;
};
