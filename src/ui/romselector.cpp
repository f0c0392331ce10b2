#include "romselector.h"

#include "appinfo.h"
#include "config.h"
#include "fileio.h"
#include "gamedetails.h"
#include "gamefinder.h"
#include "gamelist.h"
#include "gamelistfeed.h"
#include "guard.h"
#include "launcher.h"
#include "pathrules.h"
#include "screen.h"
#include "workstrip.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QShowEvent>
#include <QSplitter>
#include <QVBoxLayout>

namespace {
// The first size: every column readable, within a 1024x768 screen.
constexpr int FirstWidth = 980;
constexpr int FirstHeight = 600;
constexpr int DetailsWidth = 280;
constexpr int TopStripHeight = 25;
constexpr int FindRowHeight = 26;
constexpr int BottomStripHeight = 34;
} // namespace

TForm3::TForm3(Launcher &launcher)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                           | Qt::WindowMaximizeButtonHint)
    , m_launcher(launcher)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Select ROM"));
    Folder.Title = QStringLiteral("Select the directory from the List:");

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Top strip: the label and, at its right, Refresh.
    auto *top = new QWidget(this);
    top->setObjectName(QStringLiteral("Panel1"));
    top->setFixedHeight(TopStripHeight);
    auto *topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(4, 2, 2, 2);
    topRow->setSpacing(4);
    Label1 = new QLabel(QStringLiteral("Select The the game from the list:"), top);
    Label1->setObjectName(QStringLiteral("Label1"));
    Button3 = new QPushButton(QStringLiteral("Refresh"), top);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setAutoDefault(false);
    verifyButton = new QPushButton(QStringLiteral("Verify ROMs"), top);
    verifyButton->setObjectName(QStringLiteral("verifyfolder"));
    verifyButton->setAutoDefault(false);
    verifyButton->setToolTip(QStringLiteral("Reads every file the folder's games need and checks its SHA-1, "
                                            "where the list's audit only reads the archives' directories"));
    topRow->addWidget(Label1, 1);
    topRow->addWidget(verifyButton);
    topRow->addWidget(Button3);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("gamesplitter"));
    m_splitter->setChildrenCollapsible(false);
    gamelist = new GameList(m_splitter);
    gamelist->setObjectName(QStringLiteral("gamelist"));
    gamelist->setAccessibleName(QStringLiteral("Games"));
    Label1->setBuddy(gamelist);
    m_splitter->addWidget(gamelist);
    details = new GameDetails(m_splitter);
    m_splitter->addWidget(details);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setSizes({FirstWidth - DetailsWidth, DetailsWidth});
    work = new WorkStrip(this);
    feed = new GameListFeed(m_launcher, gamelist, work, this);
    feed->setDetails(details);

    // Search as you type, between the top strip and the list; Enter in it is OK.
    finder = new GameFinder(gamelist, guarded([this] { Button1Click(); }), this);
    finder->setObjectName(QStringLiteral("gamefinder"));
    finder->setFixedHeight(FindRowHeight);
    finder->setContentsMargins(4, 1, 4, 1);

    // Bottom strip: Change Directory at the left, Cancel and OK at the right.
    auto *bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("Panel2"));
    bottom->setFixedHeight(BottomStripHeight);
    auto *bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(4, 4, 4, 4);
    bottomRow->setSpacing(6);
    Button4 = new QPushButton(QStringLiteral("Change Directory"), bottom);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setAutoDefault(false);
    Button2 = new QPushButton(QStringLiteral("Cancel"), bottom);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    Button1 = new QPushButton(QStringLiteral("OK"), bottom);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    bottomRow->addWidget(Button4);
    bottomRow->addStretch(1);
    bottomRow->addWidget(Button2);
    bottomRow->addWidget(Button1);

    column->addWidget(top);
    column->addWidget(finder);
    column->addWidget(m_splitter, 1);
    column->addWidget(work);
    column->addWidget(bottom);

    setTabOrder(finder->field(), finder->showChoice());
    setTabOrder(finder->showChoice(), gamelist);
    setTabOrder(gamelist, details->firstInTabOrder());
    setTabOrder(details->firstInTabOrder(), details->lastInTabOrder());
    setTabOrder(details->lastInTabOrder(), work->cancelButton());
    setTabOrder(work->cancelButton(), Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button4);
    setTabOrder(Button4, verifyButton);
    setTabOrder(verifyButton, Button3);

    // OK takes the selected game: with none selected, it (and Enter) does nothing.
    Button1->setEnabled(false);
    connect(gamelist, &GameList::selectionChanged, this,
            [this] { Button1->setEnabled(gamelist->itemIndex() >= 0); });
    // Enter held down (from the main window's Run, say) takes no game here: only a press of its own.
    for (QWidget *w : std::initializer_list<QWidget *>{this, Button1, Button2, Button3, Button4, verifyButton})
        w->installEventFilter(this);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(gamelist, &QAbstractItemView::doubleClicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, guarded([this] { Button4Click(); }));
    connect(verifyButton, &QPushButton::clicked, this, guarded([this] { feed->verifyFolder(); }));
    // Verify needs the catalogue's files of every game.
    verifyButton->setEnabled(false);
    connect(gamelist->model(), &QAbstractItemModel::modelReset, this, [this] {
        verifyButton->setEnabled(gamelist->catalogue() && !gamelist->catalogue()->isEmpty());
    });

    setSizeGripEnabled(true);
    resize(FirstWidth, FirstHeight);
}

void TForm3::restoreLayout()
{
    QSettings settings(AppInfo::settingsFile(), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("romselector"));
    const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    const QByteArray splitter = settings.value(QStringLiteral("splitter")).toByteArray();
    settings.endGroup();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    if (!splitter.isEmpty())
        m_splitter->restoreState(splitter);
    gamelist->restoreLayout(settings, QStringLiteral("romselector"));
}

void TForm3::saveLayout()
{
    QSettings settings(AppInfo::settingsFile(), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("romselector"));
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("splitter"), m_splitter->saveState());
    settings.endGroup();
    gamelist->saveLayout(settings, QStringLiteral("romselector"));
}

void TForm3::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        feed->close();
        saveLayout();
    }
    QDialog::hideEvent(event);
}

void TForm3::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        if (!m_layoutRestored) {
            m_layoutRestored = true;
            restoreLayout();
        }
        centreOnScreen(this);
        runCommand([this] { FormShow(); });
    }
    QDialog::showEvent(event);
}

void TForm3::setSource(Source source)
{
    m_source = std::move(source);
}

void TForm3::FormShow()
{
    finder->clear();
    // Line 52 when it names a directory, else the configuration directory's "roms"
    // subdirectory, else the configuration directory itself.
    if (!m_source.romDirectory.isEmpty() && FileIO::isDirectory(m_source.romDirectory))
        gamelist->setDirectory(m_source.romDirectory);
    else
        gamelist->setDirectory(Config::romsOrSelf(m_source.configurationDirectory));
    feed->open(m_source.emulator);
    // Ready for the keyboard: the arrows move through the list from its first game, Enter takes it.
    gamelist->setItemIndex(0);
    gamelist->setFocus(Qt::OtherFocusReason);
}

bool TForm3::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::Button1Click()
{
    if (gamelist->itemIndex() < 0)
        return;
    okpressed = true;
    accept();
}

void TForm3::Button2Click()
{
    okpressed = false;
    QDialog::reject();
}

void TForm3::reject()
{
    Button2Click();
}

void TForm3::Button3Click()
{
    gamelist->reload();
    feed->folderChanged();
}

void TForm3::Button4Click()
{
    if (!Folder.Execute(this))
        return;
    const Launcher::SettingsPlace place = m_launcher.settingsplace(m_source.emulator);
    // The folder in the form the settings line takes, remembered for the next browse.
    const QByteArray folder = PathRules::shortForm(Folder.Directory);
    Folder.Directory = folder;
    m_launcher.rewriterompath(m_source.emulator, place, folder);
    if (!folder.isEmpty()) {
        gamelist->setDirectory(folder);
        feed->folderChanged();
    }
}
