#include "mainwindow.h"

#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "filelistbox.h"
#include "guard.h"
#include "modals.h"
#include "plaintooltip.h"
#include "screen.h"
#include "textcodec.h"
#include "aboutbox.h"
#include "configeditor.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
constexpr int ClientWidth = 336;
constexpr int ClientHeight = 298;
constexpr int PanelWidth = 46;
constexpr int StatusBarHeight = 19;
} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_configurationDirectory(FileIO::currentDirectory())
    , m_launcher(this, m_configurationDirectory)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("M.A.M.E Trelvo"));

    // 52 empty quick-launch lines; "Memo2" until the first export.
    for (int i = 0; i < Config::OldLineCount; ++i)
        dados2.append({});
    Memo2.append("Memo2");

    delete_.Operation = TATOpChoice::opDelete;
    delete_.Options = foMultiDestFiles;
    delete1.Operation = TATOpChoice::opDelete;
    delete1.Options = foMultiDestFiles | foNoConfirmation;

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    buildToolbar();
    buildList();
    layout->addWidget(Panel2);
    layout->addWidget(lista, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(StatusBarHeight);
    m_statusPanel = new QLabel(StatusBar1);
    m_statusPanel->setObjectName(QStringLiteral("StatusBar1Panel"));
    m_statusPanel->setTextFormat(Qt::PlainText);
    // A long description is cut at the panel's end: its tooltip holds it whole, as plain text.
    PlainToolTip::install(m_statusPanel);
    StatusBar1->addWidget(m_statusPanel, 1);
    setStatusBar(StatusBar1);

    buildMenus();

    setFixedSize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    centreOnScreen(this);

    lista->setDirectory(m_configurationDirectory);
    lista->setFocus();

    // A game that ends in failure says why: the emulator has no console of its own here.
    connect(&m_launcher, &Launcher::gameFailed, this,
            [](const QString &report) { Modals::current().error(report); });
}

TForm1::~TForm1() = default;

void TForm1::setWindows(TForm3 *romSelector, TAboutBox *aboutBox)
{
    Form3 = romSelector;
    AboutBox = aboutBox;
    if (AboutBox)
        connect(AboutBox, &TAboutBox::jokeFound, this, &TForm1::showJokeLook);
}

QAction *TForm1::action(const char *name, const QString &caption, void (TForm1::*command)())
{
    auto *a = new QAction(caption, this);
    a->setObjectName(QLatin1String(name));
    if (command)
        connect(a, &QAction::triggered, this, [this, command] { run(command); });
    return a;
}

void TForm1::run(void (TForm1::*command)())
{
    // Keys and clicks that reach the window while one of its commands waits (for the emulator,
    // or a window the command opened) are dropped: they would run once the command is over.
    if (m_busy)
        return;
    m_busy = true;
    runCommand([this, command] { (this->*command)(); });
    m_busy = false;
}

void TForm1::buildMenus()
{
    NewConfiguration1 = action("NewConfiguration1", QStringLiteral("New Configuration"), &TForm1::NewConfiguration1Click);
    CreateaAutoExcutable1 = action("CreateaAutoExcutable1", QStringLiteral("Create an Auto Executable File"),
                                   &TForm1::CreateaAutoExcutable1Click);
    Refresh1 = action("Refresh1", QStringLiteral("Refresh"), &TForm1::Refresh1Click);
    Exit1 = action("Exit1", QStringLiteral("Exit"), &TForm1::Exit1Click);
    RunConfiguration1 = action("RunConfiguration1", QStringLiteral("Run Configuration"), &TForm1::RunConfiguration1Click);
    ImportConfiguration1 = action("ImportConfiguration1", QStringLiteral("Edit configuration"),
                                  &TForm1::ImportConfiguration1Click);
    DeleteConfiguration1 = action("DeleteConfiguration1", QStringLiteral("Delete Configuration"),
                                  &TForm1::DeleteConfiguration1Click);
    TechnicalSupport1 = action("TechnicalSupport1", QStringLiteral("Technical Support"), &TForm1::TechnicalSupport1Click);
    AboutTVO1 = action("AboutTVO1", QStringLiteral("About TVO"), &TForm1::AboutTVO1Click);
    AboutQuarzel1 = action("AboutQuarzel1", QStringLiteral("About Quarzel"), &TForm1::AboutQuarzel1Click);
    AboutMAME1 = action("AboutMAME1", QStringLiteral("About MAME"), &TForm1::AboutMAME1Click);
    QUICKConfiguration1 = action("QUICKConfiguration1", QStringLiteral("Trelvo!"), &TForm1::QUICKConfiguration1Click);

    // Enter and the keypad's Enter run; Shift with either edits; Del deletes.
    RunConfiguration1->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    ImportConfiguration1->setShortcuts({QKeySequence(Qt::SHIFT | Qt::Key_Return),
                                        QKeySequence(Qt::SHIFT | Qt::Key_Enter)});
    DeleteConfiguration1->setShortcut(QKeySequence(Qt::Key_Delete));
    // Held down, a key acts once: holding Enter must not start a game per repeat.
    for (QAction *a : {RunConfiguration1, ImportConfiguration1, DeleteConfiguration1})
        a->setAutoRepeat(false);

    auto separator = [this](const char *name) {
        auto *s = new QAction(this);
        s->setObjectName(QLatin1String(name));
        s->setSeparator(true);
        return s;
    };
    N1 = separator("N1");
    N3 = separator("N3");
    N4 = separator("N4");
    N5 = separator("N5");

    QMenuBar *bar = menuBar();
    File1 = bar->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    File1->addActions({NewConfiguration1, CreateaAutoExcutable1, N1, Refresh1, N3, Exit1});
    Configuration1 = bar->addMenu(QStringLiteral("&Configuration"));
    Configuration1->setObjectName(QStringLiteral("Configuration1"));
    Configuration1->addActions({RunConfiguration1, ImportConfiguration1, DeleteConfiguration1});
    Help1 = bar->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Help1->addActions({TechnicalSupport1, N4, AboutTVO1, AboutQuarzel1, AboutMAME1});
    bar->addAction(QUICKConfiguration1);

    // The list's popup menu. Its Delete item shows "Del" but takes the key only while the menu
    // itself is open, so that Del in the window deletes once.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    RunConfiguration2 = action("RunConfiguration2", QStringLiteral("Run Configuration"), &TForm1::RunConfiguration1Click);
    Editconfiguration1 = action("Editconfiguration1", QStringLiteral("Edit configuration"),
                                &TForm1::ImportConfiguration1Click);
    DeleteConfiguration2 = action("DeleteConfiguration2", QStringLiteral("Delete Configuration"),
                                  &TForm1::DeleteConfiguration1Click);
    DeleteConfiguration2->setShortcut(QKeySequence(Qt::Key_Delete));
    DeleteConfiguration2->setShortcutContext(Qt::WidgetShortcut);
    DeleteConfiguration2->setAutoRepeat(false);
    Refresh2 = action("Refresh2", QStringLiteral("Refresh"), &TForm1::Refresh1Click);
    PopupMenu1->addActions({RunConfiguration2, Editconfiguration1, DeleteConfiguration2, N5, Refresh2});
    lista->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lista, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(lista->viewport()->mapToGlobal(pos)); });
}

void TForm1::buildToolbar()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedWidth(PanelWidth);
    Panel2->setAutoFillBackground(true);
    QPalette panelPalette = Panel2->palette();
    panelPalette.setColor(QPalette::Window, QColor(0, 0, 255));
    Panel2->setPalette(panelPalette);

    // The style's own focus frame is dark blue on the panel's blue: a white one shows.
    Panel2->setStyleSheet(QStringLiteral(
        "QToolButton { border: 2px solid transparent; border-radius: 4px; }"
        "QToolButton:hover { background: rgba(255, 255, 255, 48); }"
        "QToolButton:pressed { background: rgba(0, 0, 0, 64); }"
        "QToolButton:focus { border-color: white; }"));

    auto *column = new QVBoxLayout(Panel2);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(2);

    struct ButtonSpec {
        QToolButton **button;
        const char *name;
        const char *hint;
        QStyle::StandardPixmap icon;
        void (TForm1::*command)();
    };
    const ButtonSpec buttons[] = {
        {&SpeedButton1, "SpeedButton1", "RUN CONFIGURATION", QStyle::SP_MediaPlay, &TForm1::RunConfiguration1Click},
        {&SpeedButton2, "SpeedButton2", "NEW CONFIGURATION", QStyle::SP_FileIcon, &TForm1::NewConfiguration1Click},
        {&SpeedButton3, "SpeedButton3", "EDIT CONFIGURATION", QStyle::SP_FileDialogDetailedView,
         &TForm1::ImportConfiguration1Click},
        {&SpeedButton4, "SpeedButton4", "DELETE CONFIGURATION", QStyle::SP_TrashIcon, &TForm1::DeleteConfiguration1Click},
        {&SpeedButton5, "SpeedButton5", "REFRESH", QStyle::SP_BrowserReload, &TForm1::Refresh1Click},
    };
    for (const ButtonSpec &button : buttons) {
        auto *b = new QToolButton(Panel2);
        b->setObjectName(QLatin1String(button.name));
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(button.icon));
        b->setIconSize(QSize(24, 24));
        b->setFixedSize(38, 38);
        b->setToolTip(QLatin1String(button.hint));
        b->setAccessibleName(QLatin1String(button.hint));
        connect(b, &QToolButton::clicked, this, [this, c = button.command] { run(c); });
        *button.button = b;
        column->addWidget(b, 0, Qt::AlignHCenter);
    }
    column->addStretch(1);

    Label1 = new QLabel(QStringLiteral("Final 1"), Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(labelPalette);
    column->addWidget(Label1);
}

void TForm1::buildList()
{
    lista = new FileListBox(this);
    lista->setObjectName(QStringLiteral("lista"));
    lista->setMask(Config::FileMask);
    // A configuration saved under a name beginning with "." is listed like any other.
    lista->setShowHidden(true);
    lista->setAccessibleName(QStringLiteral("Configurations"));
    QPalette p = lista->palette();
    p.setColor(QPalette::Base, QColor(0, 0, 128));
    // Blue on navy; a light blue, so that the names stay legible.
    p.setColor(QPalette::Text, QColor(0x55, 0x99, 0xff));
    lista->setPalette(p);
    // White, as the toolbar's focus frame: the list shows it has the focus even with no row current.
    lista->setFocusFrameColour(Qt::white);
    QFont font(QStringLiteral("serif"));
    font.setStyleHint(QFont::Serif);
    font.setItalic(true);
    font.setPixelSize(16);
    lista->setFont(font);

    connect(lista, &FileListBox::selectionChanged, this, guarded([this] { listaChange(); }));
    // A double click runs; Enter is the Run action's shortcut, so the view's activation is not used.
    connect(lista, &QAbstractItemView::doubleClicked, this, [this] { run(&TForm1::RunConfiguration1Click); });
}

QString TForm1::statusText() const
{
    return m_statusPanel->text();
}

void TForm1::setStatusText(const QString &text)
{
    m_statusPanel->setText(text);
    m_statusPanel->setToolTip(text);
}

void TForm1::showJokeLook()
{
    const QColor maroon(128, 0, 0), red(255, 0, 0), lime(0, 255, 0);
    const auto setColour = [](QWidget *w, QPalette::ColorRole role, const QColor &colour) {
        QPalette p = w->palette();
        p.setColor(role, colour);
        w->setPalette(p);
    };
    setColour(lista, QPalette::Base, maroon);
    setColour(lista, QPalette::Text, red);
    setColour(Panel2, QPalette::Window, red);
    setColour(Label1, QPalette::WindowText, maroon);
    setWindowTitle(QStringLiteral("MAME é o Melhor!"));
    Label1->setText(QStringLiteral("Ovo de Páscoa"));
    Label1->setWordWrap(true); // the long text takes two lines in the narrow panel
    QFont small = Label1->font();
    small.setPointSize(6);
    Label1->setFont(small);
    StatusBar1->setAutoFillBackground(true);
    setColour(StatusBar1, QPalette::Window, lime);

    // A small caption bar with only the close box; the size stays fixed.
    const Qt::WindowFlags toolFrame = Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                      | Qt::WindowCloseButtonHint;
    if (windowFlags() != toolFrame) {
        const bool shown = isVisible();
        const QPoint where = pos();
        setWindowFlags(toolFrame);
        move(where);
        if (shown)
            show(); // new flags take the window down: it comes back
    }
    // Qt does not count a tool window as a main window: closing it must still end the program.
    setAttribute(Qt::WA_QuitOnClose, true);
}

void TForm1::listaChange()
{
    const QByteArray path = lista->fileName();
    if (path.isEmpty() || !FileIO::isFile(path)) {
        setStatusText(QString());
        return;
    }
    dados.load(path);
    m_loadedStamp = FileIO::stamp(path);
    // Its emulator's version, asked now, spares Run the wait.
    if (dados.count() > Config::Emulator)
        m_launcher.prefetch(m_launcher.emulatorProgram(dados));
    // A description is one line; a huge one is shown by its start.
    setStatusText(TextCodec::decode(dados.at(Config::Description).left(4096)));
}

void TForm1::restoreConfigurationDirectory() const
{
    // The directory error, with the folder it is about.
    if (const int err = FileIO::changeDirectory(m_configurationDirectory))
        throw CommandError(Errors::ioErrorText(Errors::ioCodeFromErrno(err)) + QStringLiteral(": ")
                           + Errors::pathText(m_configurationDirectory));
}

bool TForm1::readSelectedAgain()
{
    const QByteArray path = lista->fileName();
    if (path.isEmpty())
        return true;
    if (!FileIO::isFile(path)) {
        Refresh1Click(); // it has gone: the list shows what there is
        return false;
    }
    if (FileIO::stamp(path) != m_loadedStamp)
        listaChange();
    return true;
}

void TForm1::Refresh1Click()
{
    lista->reload();
    restoreConfigurationDirectory();
    listaChange();
}

void TForm1::NewConfiguration1Click()
{
    editmode = false;
    {
        TForm2 editor({configurationDirectory(), std::nullopt, launcher()}, this);
        editor.exec();
    }
    Refresh1Click();
}

void TForm1::DeleteConfiguration1Click()
{
    const QByteArray path = lista->fileName();
    if (path.isEmpty() || !FileIO::isFile(path))
        return;
    const int row = lista->itemIndex();
    delete_.setSourceFile(path);
    const int result = delete_.Execute();
    if (result != 0 && result != ECANCELED)
        Modals::current().error(Errors::boxText(QStringLiteral("Cannot delete file ") + Errors::pathText(path)
                                                + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(result))));
    Refresh1Click();
    // The keyboard goes on from where it was: the row that took the deleted one's place.
    if (lista->count() > 0)
        lista->setItemIndex(std::min(row, lista->count() - 1));
}

void TForm1::Exit1Click()
{
    close();
}
