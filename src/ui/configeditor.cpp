// The configuration editor window: its making, the state of its controls and the rules that tie
// them together, loading, and saving a configuration.
#include "configeditor.h"

#include "fileio.h"
#include "filters.h"
#include "guard.h"
#include "helptexts.h"
#include "pathrules.h"
#include "processcapture.h"
#include "textcodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QProxyStyle>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using Options::Page;

const QString TForm2::InvalidDirectoryMessage = QStringLiteral("Diret\u00F3rio Inv\u00E1lido!");

namespace {

constexpr int ClientWidth = 546;
constexpr int ClientHeight = 365;
constexpr int Left = 188;
constexpr int Top = 111;
// The window's compact type: the pages hold many groups, and the desktop's usual type would not
// fit them into the fixed client area.
constexpr int CompactPixelSize = 11;
constexpr int CompactInfoText = 58;

// The window's type: 11 pixels high, and narrowed where the family is wide, so that
// "Information" takes about the 60 pixels it took in the old window.
QFont compactFont(QFont f)
{
    f.setPixelSize(CompactPixelSize);
    const int width = QFontMetrics(f).horizontalAdvance(HelpTexts::Caption);
    if (width > CompactInfoText)
        f.setStretch(std::max(85, CompactInfoText * 100 / width));
    return f;
}

// Tabs with less room around their captions, so that the six pages' tabs fit in one row.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return 8;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Narrows the tabs' type until every tab shows its whole caption within `width`.
void fitTabs(QTabBar *bar, int width)
{
    auto *style = new CompactTabStyle;
    style->setParent(bar);
    bar->setStyle(style);
    bar->setUsesScrollButtons(false);
    bar->setElideMode(Qt::ElideNone);
    QFont f = bar->font();
    for (int stretch = 100; stretch >= 70; stretch -= 2) {
        f.setStretch(stretch);
        bar->setFont(f);
        if (bar->sizeHint().width() <= width)
            break;
    }
}

} // namespace

TForm2::TForm2(const EditorContext &context, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_configurationDirectory(context.configurationDirectory)
    , m_editedFile(context.editedFile)
    , m_launcher(context.launcher)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Configuration"));
    setFont(compactFont(font()));

    OpenDialog1.mode = FileDialogRequest::Mode::Open;
    OpenDialog1.title = QStringLiteral("Select The MAME file");
    // Executables here carry no extension and a name filter cannot select by the executable bit:
    // the shared filter takes names holding "mame" first, then every file; "*.*" becomes "*"
    // where the modal seam converts it for Qt.
    OpenDialog1.filter = Filters::MameExecutable;
    OpenDialog1.filterIndex = 0;
    Folder.Title = QStringLiteral("Select the directory from the List:");

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    TabbedNotebook1 = new QTabWidget(this);
    TabbedNotebook1->setObjectName(QStringLiteral("TabbedNotebook1"));
    outer->addWidget(TabbedNotebook1);

    buildBoxes();
    buildRadioGroups();
    buildChecks();
    buildFields();
    buildJoystickList();
    buildCommandLine();
    buildFixedButtons();
    buildGamePanel();
    layoutPages();
    setInitialState();
    chainTabOrder();
    followControls();
    if (context.emulatorOptions)
        buildOptionsPage();
    fitTabs(TabbedNotebook1->findChild<QTabBar *>(), ClientWidth - 4);

    setFixedSize(ClientWidth, ClientHeight);
    move(Left, Top);
    TabbedNotebook1->setCurrentIndex(int(Page::ConfigOptions));
}

TForm2::~TForm2()
{
    // Leaving the emulator field while the window is torn down is no leaving.
    mame->removeEventFilter(this);
    // Nor is a selection the list drops as it goes a change to show.
    joysticklist->selectionModel()->disconnect(this);
}

QWidget *TForm2::page(Page p) const
{
    return m_pages.value(int(p));
}

// ---------------------------------------------------------------------------------------------
// Rules

void TForm2::radioChosen(const Options::RadioGroup &group, int button)
{
    change([&](Options::State &s) { s.select(group.key, button); });
}

void TForm2::checkChanged(const Options::Check &check)
{
    if (checkBox(check.name) == Autoselect)
        AutoselectClick();
    else if (checkBox(check.name) == joystick)
        joystickClick();
    else
        boxChanged(check.name);
}

void TForm2::boxChanged(const QByteArray &name)
{
    const bool on = checkBox(name)->isChecked();
    change([&](Options::State &s) { s.setChecked(name, on); });
}

void TForm2::joystickClick()
{
    boxChanged(Options::JoystickCheck);
}

void TForm2::AutoselectClick()
{
    boxChanged("Autoselect");
    if (Autoselect->isChecked())
        romDirectoryFollowsEmulator();
}

void TForm2::change(const std::function<void(Options::State &)> &rule)
{
    Options::State before = m_state;
    for (const Options::Field &f : Options::Fields)
        before.setText(f.name, fieldBytes(f.name));
    Options::State after = before;
    rule(after);
    m_state = after;
    paintDependents(before, after);
}

void TForm2::paintDependents(const Options::State &before, const Options::State &after)
{
    // Only a text the rules changed is replaced: every other field keeps the bytes it was filled
    // with.
    for (const Options::Field &f : Options::Fields)
        if (after.text(f.name) != before.text(f.name))
            field(f.name)->setText(TextCodec::decode(after.text(f.name)));
    // Unusable fields and the list take the button face; the usable list is white.
    auto usable = [&](const QByteArray &name) {
        QWidget *w = control(name);
        const bool on = after.enabled(name);
        if (w == joysticklist)
            paint(w, on ? QColor(Qt::white) : QApplication::palette(w).color(QPalette::Button));
        else if (qobject_cast<QLineEdit *>(w))
            paint(w, QApplication::palette(w).color(on ? QPalette::Base : QPalette::Button));
        w->setEnabled(on);
    };
    for (const Options::Field &f : Options::Fields)
        if (f.dependent)
            usable(f.name);
    for (const char *name : Options::RuledButtons)
        usable(name);
}

void TForm2::paint(QWidget *w, const QColor &base)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, base);
    w->setPalette(p);
}

// ---------------------------------------------------------------------------------------------
// State

QByteArray TForm2::fieldBytes(const QByteArray &name) const
{
    const QLineEdit *edit = field(name);
    return edit ? TextCodec::encodeEdited(edit->text(), m_original.value(name)) : QByteArray();
}

void TForm2::setFieldBytes(const QByteArray &name, const QByteArray &bytes)
{
    QLineEdit *edit = field(name);
    if (!edit)
        return;
    m_original.insert(name, bytes);
    edit->setText(TextCodec::decode(bytes));
}

Options::State TForm2::state() const
{
    Options::State s = Options::State::initial();
    for (const Options::RadioGroup &g : Options::RadioGroups)
        for (size_t i = 0; i < g.buttons.size(); ++i)
            if (radioButton(g.buttons[i].name)->isChecked())
                s.select(g.key, int(i));
    for (const Options::Check &c : Options::Checks)
        s.setChecked(c.name, checkBox(c.name)->isChecked());
    // Texts last: the selections above must not clear what the fields show.
    for (const Options::Field &f : Options::Fields)
        s.setText(f.name, fieldBytes(f.name));
    s.setText("extra", extraLine());
    const QModelIndexList selected = joysticklist->selectionModel()->selectedIndexes();
    s.setJoystickEntry(selected.isEmpty() ? -1 : selected.constFirst().row());
    return s;
}

void TForm2::apply(const Options::Step &step)
{
    using Kind = Options::Step::Kind;
    switch (step.kind) {
    case Kind::Select:
        if (const Options::RadioGroup *g = Options::radioGroup(step.control))
            radioButton(g->buttons[size_t(step.index)].name)->setChecked(true);
        break;
    case Kind::Check:
        if (QCheckBox *cb = checkBox(step.control))
            cb->setChecked(step.index != 0);
        break;
    case Kind::Text:
        setFieldBytes(step.control, step.text);
        break;
    case Kind::JoystickEntry:
        joysticklist->setCurrentRow(step.index);
        break;
    }
}

void TForm2::load(const QList<QByteArray> &lines)
{
    {
        // The command line and the marks follow the loaded state once, not each of its steps.
        const QScopedValueRollback<bool> loading(m_loading, true);
        for (const Options::Step &step : Options::loadSteps(lines))
            apply(step);
    }
    m_extraRead = false;
    optionsFollowEmulator();
    followChanges();
    // Loading fills the emulator field without leaving it.
    askEmulator();
}

// ---------------------------------------------------------------------------------------------
// Showing and saving

void TForm2::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        runCommand([this] { FormShow(); });
}

void TForm2::FormShow()
{
    if (m_editedFile)
        setFieldBytes("config", *m_editedFile);
}

void TForm2::Button27Click()
{
    checkPageOptions();
    const Options::State s = state();
    const Options::SaveCheck check = Options::checkBeforeSave(s);
    if (check != Options::SaveCheck::Passed) {
        Modals::current().message(Options::checkMessage(check));
        if (check == Options::SaveCheck::NoRomDirectory) {
            TabbedNotebook1->setCurrentIndex(int(Page::GameOptions));
            if (Edit1->isEnabled())
                Edit1->setFocus(Qt::OtherFocusReason);
        }
        m_saved = false;
        return;
    }

    const QByteArray target = Options::targetPath(m_configurationDirectory, s.text("config"));
    // Another configuration of that name is replaced only when the user says so; the file being
    // edited, or saved from this window before, is not another one.
    const bool editing = m_editedFile && PathRules::namePart(target) == *m_editedFile;
    if (FileIO::exists(target) && !editing && target != m_savedPath
        && !Modals::current().question(QStringLiteral("Replace the configuration ")
                                       + TextCodec::decode(PathRules::namePart(target)) + QLatin1Char('?'))) {
        m_saved = false;
        return;
    }

    memo1.clear();
    for (const QByteArray &line : Options::save(s))
        memo1.append(line);
    // The new file takes the old one's place only once it is completely written: a failed write
    // ("Cannot create file") leaves the previous file as it was.
    m_saved = false;
    memo1.save(target);
    m_saved = true;
    m_savedPath = target;
    Modals::current().message(QStringLiteral("File ") + config->text() + QStringLiteral(" saved!"));
}

void TForm2::Button33Click()
{
    Button27Click();
    if (m_saved)
        accept();
}

void TForm2::Button34Click()
{
    reject();
}
