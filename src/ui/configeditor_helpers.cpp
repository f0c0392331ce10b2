// The editor's helpers: choosing the emulator, the ROM directory and the game, the Information
// buttons, and what the emulator in the field takes of the options.
#include "configeditor.h"

#include "config.h"
#include "fileio.h"
#include "gamelist.h"
#include "gamelistfeed.h"
#include "gamefinder.h"
#include "guard.h"
#include "helptexts.h"
#include "launcher.h"
#include "pathrules.h"
#include "plaintooltip.h"
#include "textcodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <functional>
#include <optional>

// ---------------------------------------------------------------------------------------------
// Emulator, ROM directory and game

bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mame && event->type() == QEvent::FocusOut) {
        // Only a move of the focus to another control of this window is a leaving of the field:
        // not a switch to another window, nor a popup such as the field's context menu.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const QWidget *now = QApplication::focusWidget();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && isVisible()
            && (!now || now->window() == this))
            runCommand([this] { mameExit(); });
    } else if ((event->type() == QEvent::Resize || event->type() == QEvent::Move)
               && m_panelBoxes.contains(qobject_cast<QGroupBox *>(watched))) {
        placeGamePanel();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::Button3Click()
{
    const std::optional<FileDialogResult> chosen = Modals::current().file(OpenDialog1);
    if (!chosen)
        return;
    setFieldBytes("mame", chosen->path);
    mameExit();
}

void TForm2::mameExit()
{
    askEmulator();
    romDirectoryFollowsEmulator();
}

void TForm2::romDirectoryFollowsEmulator()
{
    if (!Autoselect->isChecked())
        return;
    bool found = false;
    const QByteArray directory = Options::autoRomDirectory(fieldBytes("mame"), &found);
    if (found)
        setFieldBytes("Edit1", directory);
    else if (!mame->text().isEmpty())
        Modals::current().message(InvalidDirectoryMessage);
}

void TForm2::Button6Click()
{
    if (!Folder.Execute(this))
        return;
    // Off the old platform the short form is the path itself; it is empty when the folder has
    // gone meanwhile, and then the field is emptied.
    Folder.Directory = PathRules::shortForm(Folder.Directory);
    setFieldBytes("Edit1", Folder.Directory);
}

void TForm2::Button2Click()
{
    const QByteArray directory = Options::gameListDirectory(fieldBytes("Edit1"), m_configurationDirectory);
    finder->clear();
    gamelist->setDirectory(directory);
    gamefeed->open(emulatorProgram());
    placeGamePanel();
    Panel1->show();
    gamelist->setFocus(Qt::OtherFocusReason);
}

void TForm2::Button4Click()
{
    setFieldBytes("selectgamee", gamelist->selectedName());
    gamefeed->close();
    Panel1->hide();
}

void TForm2::Button7Click()
{
    gamefeed->close();
    Panel1->hide();
}

void TForm2::Button5Click()
{
    gamelist->reload();
    gamefeed->folderChanged();
}

void TForm2::infoClick(const QByteArray &button)
{
    Modals::current().message(HelpTexts::text(button));
}

// ---------------------------------------------------------------------------------------------
// What the emulator in the field takes

void TForm2::followControls()
{
    connect(&m_launcher.answers, &EmulatorAnswers::answered, this, &TForm2::emulatorAnswered);
    const std::function<void()> command = guarded([this] {
        if (!m_loading)
            showCommand();
    });
    const std::function<void()> everything = guarded([this] { followChanges(); });
    for (QRadioButton *rb : std::as_const(m_radios))
        connect(rb, &QRadioButton::toggled, this, command);
    for (QCheckBox *cb : std::as_const(m_checks))
        connect(cb, &QCheckBox::toggled, this, command);
    // The marks follow the emulator and the dependent fields, among them the companions whose
    // texts the switches' values hold.
    for (const Options::Field &f : Options::Fields)
        connect(field(f.name), &QLineEdit::textChanged, this,
                f.dependent || field(f.name) == mame ? everything : command);
    connect(joysticklist->selectionModel(), &QItemSelectionModel::selectionChanged, this, command);
    followChanges();
}

QByteArray TForm2::emulatorProgram() const
{
    return m_launcher.resolveProgram(fieldBytes("mame"));
}

// In the background: the window never waits for the emulator.
void TForm2::askEmulator()
{
    const QByteArray program = emulatorProgram();
    if (FileIO::isExecutableFile(program)) {
        m_launcher.answers.askInBackground(program, EmulatorAnswers::Question::ShowConfig);
        m_launcher.answers.askInBackground(program, EmulatorAnswers::Question::ShowUsage);
        m_launcher.answers.askInBackground(program, EmulatorAnswers::Question::Switches);
    }
}

void TForm2::emulatorAnswered(const QByteArray &program, EmulatorAnswers::Question question)
{
    // An answer for an emulator the field named before is no news for this one.
    if (question == EmulatorAnswers::Question::ShowConfig && program == emulatorProgram())
        runCommand([this] { followChanges(); });
    if ((question == EmulatorAnswers::Question::ShowUsage || question == EmulatorAnswers::Question::ShowConfig
         || question == EmulatorAnswers::Question::Switches)
        && program == emulatorProgram())
        runCommand([this] { optionsFollowEmulator(); });
}

void TForm2::followChanges()
{
    if (m_loading)
        return;
    showCommand();
    markOptions();
}

void TForm2::showCommand()
{
    // Without an emulator there is no command to show.
    if (fieldBytes("mame").isEmpty()) {
        commandline->clear();
        return;
    }
    const Options::State s = state();
    // The game as Run passes it: line 1 without its extension.
    const QByteArray game = PathRules::withoutExtension(Options::lineValue(s, Config::Game));
    const Launcher::Command c = m_launcher.preview(emulatorProgram(), game, Options::lineValue(s, Config::OptionString));
    commandline->setText(TextCodec::decode(c.text()));
    commandline->setCursorPosition(0);
}

// Strikes through each option whose switch the emulator leaves out, judged alone; its tooltip
// says why. Options outside the option string, and those that write nothing, are never marked.
void TForm2::markOptions()
{
    const QByteArray program = emulatorProgram();
    std::optional<Vocabulary> words;
    if (!program.isEmpty())
        words = m_launcher.keptVocabulary(program);
    const QByteArray directory = PathRules::directoryPart(program);

    auto mark = [&](QAbstractButton *control, int line, QByteArray value, const char *companion) {
        QString why;
        if (words && words->isKnown() && !value.isEmpty() && line >= Config::FirstSwitch && line < Config::Extra) {
            // A switch whose companion is still empty is judged with a stand-in value: a missing
            // value says nothing of what the emulator takes.
            const QByteArray text = *companion ? fieldBytes(companion) : QByteArray();
            const bool standIn = *companion && text.trimmed().isEmpty();
            QList<Switches::Note> leftOut;
            const QByteArray judged = value + (standIn ? QByteArray("1") : text);
            for (Switches::Note n : Launcher::translate(judged, *words, directory).notes) {
                if (n.kind != Switches::Note::Kind::LeftOut)
                    continue;
                if (standIn)
                    n.written = value.simplified();
                leftOut << n;
            }
            why = Switches::describe(leftOut);
        }
        if (control->font().strikeOut() != !why.isEmpty()) {
            // Only the stroke is the control's own: the rest of its type stays the window's.
            QFont f;
            if (!why.isEmpty())
                f.setStrikeOut(true);
            control->setFont(f);
        }
        // The notes hold the option's text as written: shown as it is, never as markup.
        PlainToolTip::install(control);
        control->setToolTip(why);
        control->setAccessibleDescription(why);
    };
    for (const Options::RadioGroup &g : Options::RadioGroups)
        for (const Options::RadioButton &b : g.buttons)
            mark(radioButton(b.name), g.line, b.value, b.argument ? g.field : "");
    for (const Options::Check &c : Options::Checks)
        mark(checkBox(c.name), c.line, c.initial ? QByteArray() : QByteArray(c.value), c.field);
}
