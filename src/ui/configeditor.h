// The configuration editor window: every emulator option on six tabbed pages, the rules that keep
// dependent fields consistent, saving a configuration, the helpers that pick the emulator, the
// ROM directory and the game, and what that emulator will take of the options. The controls are
// built and laid out from the option catalogue (options.h); this window applies states to them,
// repaints what the catalogue's rules say, and reads them back.
//
// configeditor.cpp: the window, its state and rules, saving; configeditor_build.cpp: building and
// laying out the controls; configeditor_helpers.cpp: the emulator, the ROM directory, the game,
// and what the emulator takes.
#pragma once

#include "folderbrowse.h"
#include "emulatoranswers.h"
#include "extracommands.h"
#include "linebuffer.h"
#include "modals.h"
#include "options.h"

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QColor>
#include <functional>
#include <memory>
#include <optional>

class GameDetails;
class GameFinder;
class GameList;
class GameListFeed;
class WorkStrip;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class Launcher;
class OptionsPage;
class ProcessCapture;

// What the editor needs of the window that opens it.
struct EditorContext {
    QByteArray configurationDirectory;   // where configurations are saved
    std::optional<QByteArray> editedFile; // the name of the configuration edited; none for a new one
    Launcher &launcher;                  // what the emulator takes, and the command Run would use
    bool emulatorOptions = true;         // with the "Emulator Options" page (the bench weighs it)
};

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(const EditorContext &context, QWidget *parent = nullptr);
    ~TForm2() override;

    // Controls with a role of their own; every other control is found by its name below.
    QTabWidget *TabbedNotebook1;
    QLabel *Label4, *Label5, *Label7, *Label8;
    QLineEdit *config, *aboutconfiguration, *mame, *selectgamee, *Edit1, *extra;
    // The command Run would use with what the window shows (read-only).
    QLineEdit *commandline;
    QPushButton *Button2, *Button3, *Button6, *Button27, *Button33, *Button34;
    QCheckBox *Autoselect, *joystick;
    QListWidget *joysticklist;
    // The game list panel.
    QFrame *Panel1;
    QLabel *Label1;
    GameList *gamelist;
    GameFinder *finder; // "Find:" and "Show:" above the game list
    GameDetails *gamedetails; // the selected game's details and picture, below the list
    WorkStrip *gamework;   // the catalogue read and the audit, with Cancel, below the list
    GameListFeed *gamefeed; // what the list shows beside the names, as it arrives
    QPushButton *Button4, *Button5, *Button7;
    // "Emulator Options": every option the emulator lists, kept in line 39 (configeditor_options.cpp).
    OptionsPage *emulatorOptions = nullptr;

    // The line buffer a save fills and writes.
    LineBuffer memo1;
    // The emulator's file dialog and the ROM directory's folder dialog.
    FileDialogRequest OpenDialog1;
    TFolderBrowse Folder;

    // Catalogue controls by name; nullptr when there is none.
    QRadioButton *radioButton(const QByteArray &name) const { return m_radios.value(name); }
    QCheckBox *checkBox(const QByteArray &name) const { return m_checks.value(name); }
    QLineEdit *field(const QByteArray &name) const { return m_fields.value(name); }
    QPushButton *infoButton(const QByteArray &name) const { return m_infos.value(name); }
    QGroupBox *groupBox(const QByteArray &name) const { return m_boxes.value(name); }
    QWidget *page(Options::Page page) const;

    // True once a save has written the file; false after a save stopped at a check.
    bool saved() const { return m_saved; }

    // The state of every option control, read from the controls.
    Options::State state() const;
    // Changes one control as the user would: its handlers run.
    void apply(const Options::Step &step);
    // Fills the controls from configuration lines, in the loading order.
    void load(const QList<QByteArray> &lines);

    // A text field's bytes: what it was filled with while its text is unchanged, else the UTF-8
    // of what it shows; and filling it from bytes.
    QByteArray fieldBytes(const QByteArray &name) const;
    void setFieldBytes(const QByteArray &name, const QByteArray &bytes);

    // Handlers. Bound to their controls they run behind the event boundary; called directly, a
    // failure throws CommandError.
    void FormShow();
    void Button27Click();        // Save Configuration
    void Button33Click();        // Save and Close
    void Button34Click();        // Close without save
    void Button3Click();         // Search for the emulator
    void mameExit();             // the focus left the emulator field: asks what it takes, ROM directory auto-selection
    void AutoselectClick();
    void Button6Click();         // choose the ROM directory by hand
    void Button2Click();         // open the game list
    void Button4Click();         // game list: OK
    void Button7Click();         // game list: Cancelar
    void Button5Click();         // game list: Atualizar
    void joystickClick();
    void infoClick(const QByteArray &button); // an Information button: its help text

    // The message of an auto-selection that finds no directory.
    static const QString InvalidDirectoryMessage;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the controls, in this order (configeditor_build.cpp).
    void buildBoxes();
    void buildInfoButton(const Options::Box &box, QGroupBox *group);
    void buildRadioGroups();
    void buildChecks();
    void buildFields();
    void buildJoystickList();
    QPushButton *buildButton(const char *name, const char *text, QWidget *parent);
    void buildFixedButtons();
    void buildGamePanel();
    void buildCommandLine();
    // Laying them out: the first page by hand, the others from their layouts in the catalogue.
    void layoutPages();
    void layoutConfigPage();
    void layoutPage(const Options::PageLayout &layout);
    QLayout *layoutRow(const Options::Row &row, QWidget *page);
    QGroupBox *layoutBox(const Options::Box &box);
    QGroupBox *layoutChooser(const Options::Box &box);
    QList<QWidget *> boxControls(const Options::Box &box) const;
    void chainTabOrder();
    void placeGamePanel();
    void setInitialState();
    // A control by its name: catalogue controls, the joystick list and the named buttons.
    QWidget *control(const QByteArray &name) const;

    // The rules (configeditor.cpp): a change of a radio group or a check box changes the state,
    // and the dependent controls are repainted from it.
    void radioChosen(const Options::RadioGroup &group, int button);
    void checkChanged(const Options::Check &check);
    void boxChanged(const QByteArray &name);
    void change(const std::function<void(Options::State &)> &rule);
    void paintDependents(const Options::State &before, const Options::State &after);
    void paint(QWidget *w, const QColor &base);

    // The emulator, the ROM directory and the game (configeditor_helpers.cpp).
    void romDirectoryFollowsEmulator();

    // What the emulator in the field takes: asked in the background, shown when it answers, in
    // the command line and in the options it cannot take, struck through.
    void followControls();
    QByteArray emulatorProgram() const;
    void askEmulator();
    void emulatorAnswered(const QByteArray &program, EmulatorAnswers::Question question);
    void showCommand();
    void markOptions();
    void followChanges();

    // The "Emulator Options" page (configeditor_options.cpp).
    void buildOptionsPage();
    void optionsFollowEmulator();
    ExtraCommands::Kinds kindsOfPage() const;
    QByteArray extraLine() const;
    void checkPageOptions() const;
    // "Check with the emulator": a bounded run in the background, told of on the page.
    void checkWithEmulator();
    void checkEnded(ProcessCapture *run);
    std::unique_ptr<ProcessCapture> m_check;
    ExtraCommands::Line m_extraLoaded; // line 39 as loaded, once read into the page
    bool m_extraRead = false;
    bool m_pageWanted = false; // the page has been shown
    QByteArray m_optionsKey; // the emulator and answers the page was last set up for

    const QByteArray m_configurationDirectory;
    const std::optional<QByteArray> m_editedFile;
    Launcher &m_launcher;
    bool m_saved = false;
    QByteArray m_savedPath; // the file this window saved last
    bool m_loading = false;
    // The selections and checks the dependent controls were last painted for; its texts are
    // taken from the fields afresh at each change.
    Options::State m_state;
    QList<QWidget *> m_pages;
    QHash<QByteArray, QRadioButton *> m_radios;
    QHash<QByteArray, QCheckBox *> m_checks;
    QHash<QByteArray, QLineEdit *> m_fields;
    QHash<QByteArray, QPushButton *> m_infos;
    QHash<QByteArray, QGroupBox *> m_boxes;
    QHash<QByteArray, QWidget *> m_named; // the joystick list and the buttons outside the catalogue
    QList<QGroupBox *> m_panelBoxes;      // the boxes the game list panel lies over, from the top
    QHash<QByteArray, QByteArray> m_original; // the bytes each field was last filled with
};
