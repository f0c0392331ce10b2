// The ROM selector window: picks a game archive when a configuration names none. Made once at
// start-up, hidden, and shown modally by Run Configuration, which first says what it lists and
// then reads okpressed and the selected entry of gamelist.
#pragma once

#include "folderbrowse.h"

#include <QByteArray>
#include <QDialog>

class FileListBox;
class GameFinder;
class Launcher;
class QLabel;
class QPushButton;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    // `launcher` rewrites the emulator's settings file on Change Directory.
    explicit TForm3(Launcher &launcher);

    // What the next showing works on.
    struct Source {
        QByteArray romDirectory;           // line 52 of the configuration; empty when none
        QByteArray emulator;               // the emulator program, whose settings file Change Directory rewrites
        QByteArray configurationDirectory; // listed (its "roms" first) when line 52 names no directory
    };
    void setSource(Source source);

    // The user's answer: true after OK, false after Cancel (or a close by the title bar). OK
    // takes the selected game, and is disabled while none is.
    bool okpressed = false;

    // The game archives ("*.zip") of one directory, with the emulator's titles beside them.
    FileListBox *gamelist;
    // "Find:" above the list: search as you type.
    GameFinder *finder;
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
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Launcher &m_launcher;
    Source m_source;
};
