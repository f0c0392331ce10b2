// The ROM selector window: picks a game archive when a configuration names none. Made once at
// start-up, hidden, and shown modally by Run Configuration, which then reads okpressed and the
// selected entry of gamelist.
#pragma once

#include "folderbrowse.h"

#include <QDialog>

class FileListBox;
class QLabel;
class QPushButton;
class TForm1;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(TForm1 *mainWindow);

    // The user's answer: true after OK, false after Cancel (or a close by the title bar).
    bool okpressed = false;

    // The game archives ("*.zip") of one directory.
    FileListBox *gamelist;
    // The folder chooser of Change Directory; remembers the last folder chosen.
    TFolderBrowse Folder;

    QLabel *Label1;
    QPushButton *Button1; // OK
    QPushButton *Button2; // Cancel
    QPushButton *Button3; // Refresh
    QPushButton *Button4; // Change Directory

    // Handlers; called directly, a failure throws CommandError.
    void FormShow();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();

    // Closing by the title bar or Escape counts as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TForm1 *m_main;
};
