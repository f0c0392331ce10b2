// The ROM selector window: picks a game archive when a configuration names none. Made once at
// start-up, hidden, and shown modally by Run Configuration, which first says what it lists and
// then reads okpressed and the selected entry of gamelist. It can be resized to hold the list's
// columns; its size and the columns are kept for the next time.
#pragma once

#include "folderbrowse.h"

#include <QByteArray>
#include <QDialog>

class GameDetails;
class GameFinder;
class GameList;
class GameListFeed;
class Launcher;
class QLabel;
class QPushButton;
class QSplitter;
class WorkStrip;

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

    // The game sets of one directory (archives, and folders named after a machine), with what the
    // emulator and the audit say of each.
    GameList *gamelist;
    // "Find:" and "Show:" above the list: search as you type, and what to show.
    GameFinder *finder;
    // The selected game's details and picture, beside the list.
    GameDetails *details;
    // Work in the background (the catalogue read, the audit), with Cancel, below the list.
    WorkStrip *work;
    // The list's catalogue, audit and titles, as they arrive.
    GameListFeed *feed;
    // The folder chooser of Change Directory; remembers the last folder chosen.
    TFolderBrowse Folder;

    QLabel *Label1;
    QPushButton *Button1; // OK
    QPushButton *Button2; // Cancel
    QPushButton *Button3; // Refresh
    QPushButton *Button4; // Change Directory
    QPushButton *verifyButton; // reads every file of the folder's sets and checks its SHA-1

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
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window's size and the list's columns, kept in the program's settings.
    void saveLayout();
    void restoreLayout();

    Launcher &m_launcher;
    QSplitter *m_splitter;
    bool m_layoutRestored = false;
    Source m_source;
};
