// The main window: the list of configurations of the configuration directory, the lines of the
// selected one, and every command on it.
#pragma once

#include "fileoperation.h"
#include "fileio.h"
#include "launcher.h"
#include "linebuffer.h"

#include <QByteArray>
#include <optional>
#include <QMainWindow>

class FileListBox;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QToolButton;
class TForm3;
class TAboutBox;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The windows made at start-up beside this one, which its commands open: the ROM selector
    // and the about window (whose hidden joke gives this window its joke look).
    void setWindows(TForm3 *romSelector, TAboutBox *aboutBox);

    // The window's data, read-only from outside.
    const LineBuffer &selectedLines() const { return dados; }
    const LineBuffer &quickLaunchLines() const { return dados2; }
    const LineBuffer &exportLines() const { return Memo2; }
    bool editsSelected() const { return editmode; }
    const QByteArray &editedFile() const { return editfile; }

    // The configuration directory: the current directory when the window was made.
    const QByteArray &configurationDirectory() const { return m_configurationDirectory; }
    // The text of the status bar's panel.
    QString statusText() const;
    void setStatusText(const QString &text);

    // The look the about window's hidden joke gives this window, for good: other colours and
    // title, and a small caption bar.
    void showJokeLook();

    // Controls.
    FileListBox *lista;
    QFrame *Panel2;
    QLabel *Label1;
    QStatusBar *StatusBar1;
    QToolButton *SpeedButton1, *SpeedButton2, *SpeedButton3, *SpeedButton4, *SpeedButton5;
    QMenu *File1, *Configuration1, *Help1, *PopupMenu1;
    QAction *NewConfiguration1, *CreateaAutoExcutable1, *N1, *Refresh1, *N3, *Exit1;
    QAction *RunConfiguration1, *ImportConfiguration1, *DeleteConfiguration1;
    QAction *TechnicalSupport1, *N4, *AboutTVO1, *AboutQuarzel1, *AboutMAME1;
    QAction *QUICKConfiguration1;
    QAction *RunConfiguration2, *Editconfiguration1, *DeleteConfiguration2, *N5, *Refresh2;

    // Commands. Each runs behind the event boundary when bound to a control; called directly,
    // a failure throws CommandError.
    void listaChange();
    void NewConfiguration1Click();
    void DeleteConfiguration1Click();
    void Refresh1Click();
    void Exit1Click();
    void RunConfiguration1Click();          // run: mainwindow_run.cpp
    void ImportConfiguration1Click();       // edit: mainwindow_edit.cpp
    void QUICKConfiguration1Click();        // quick launch: mainwindow_export.cpp
    void CreateaAutoExcutable1Click();      // batch export: mainwindow_export.cpp
    void TechnicalSupport1Click();          // help: mainwindow_help.cpp
    void AboutTVO1Click();
    void AboutQuarzel1Click();
    void AboutMAME1Click();

    // The launch steps shared by run and quick launch (mainwindow_run.cpp), on the current lines.
    void preparesettings();
    void launchgame(const QByteArray &game);

    // Makes the configuration directory current again; a failure stops the command.
    void restoreConfigurationDirectory() const;
    // Before a command uses the selected configuration: reads it again when it changed on disk
    // since it was selected; when it has gone, refreshes the list and answers false.
    bool readSelectedAgain();

    // The run pipeline: the settings file, the emulator's vocabulary, starting the game.
    Launcher &launcher() { return m_launcher; }

private:
    TForm3 *Form3 = nullptr;
    TAboutBox *AboutBox = nullptr;

    LineBuffer dados;           // the selected configuration's lines
    LineBuffer dados2;          // the quick launch's own lines
    LineBuffer Memo2;           // the lines of the last batch export
    bool editmode = false;      // the editor edits the selected configuration (else a new one)
    QByteArray editfile;        // the name of the configuration edited
    TATSHFileOperation delete_; // "delete": asks before deleting a configuration
    TATSHFileOperation delete1; // deletes without asking; settings files are replaced, never deleted first

    // Runs a command bound to a control; one that comes while another runs is dropped.
    void run(void (TForm1::*command)());
    void buildMenus();
    void buildToolbar();
    void buildList();
    QAction *action(const char *name, const QString &caption, void (TForm1::*command)());

    QByteArray m_configurationDirectory;
    Launcher m_launcher;
    QLabel *m_statusPanel;
    std::optional<FileIO::Stamp> m_loadedStamp; // of the file `dados` was loaded from
    bool m_busy = false;
};
