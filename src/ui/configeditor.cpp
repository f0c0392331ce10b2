#include "configeditor.h"

#include "config.h"
#include "fileio.h"
#include "filelistbox.h"
#include "filters.h"
#include "guard.h"
#include "helptexts.h"
#include "launcher.h"
#include "pathrules.h"
#include "textcodec.h"
#include "mainwindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProxyStyle>
#include <QScopedValueRollback>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <climits>
#include <functional>
#include <optional>

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
constexpr int InfoWidth = 63;
constexpr int WarningWidth = 156;
constexpr int InfoHeight = 18;


QString caption(const char *text)
{
    return QString::fromUtf8(text);
}

// A caption for a screen reader: the text without its closing colon and blanks.
QString spoken(const QString &text)
{
    QString s = text.trimmed();
    if (s.endsWith(QLatin1Char(':')))
        s.chop(1);
    return s;
}

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

QGridLayout *tightGrid(QWidget *parent)
{
    auto *grid = new QGridLayout(parent);
    grid->setContentsMargins(4, 1, 4, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    return grid;
}

QVBoxLayout *column(int spacing = 3)
{
    auto *c = new QVBoxLayout;
    c->setContentsMargins(0, 0, 0, 0);
    c->setSpacing(spacing);
    return c;
}

} // namespace

TForm2::TForm2(TForm1 *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_owner(owner)
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

    buildControls();
    buildConfigPage();
    buildGamePage();
    buildVideoPage();
    buildSoundPage();
    buildControlsPage();
    buildAdvancedPage();
    setInitialState();
    chainTabOrder();
    followControls();
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
// Building

void TForm2::buildControls()
{
    for (int i = 0; i < Options::PageCount; ++i) {
        auto *p = new QWidget;
        p->setObjectName(QStringLiteral("TabbedNotebook1Page%1").arg(i));
        TabbedNotebook1->addTab(p, caption(Options::PageCaptions[size_t(i)]));
        m_pages << p;
    }
    auto parentFor = [this](const char *box, Page p) -> QWidget * {
        return *box ? static_cast<QWidget *>(m_boxes.value(box)) : page(p);
    };

    for (const Options::Box &b : Options::Boxes) {
        auto *g = new QGroupBox(caption(b.caption), page(b.page));
        g->setObjectName(QLatin1String(b.name));
        m_boxes.insert(b.name, g);
        if (!*b.info)
            continue;
        const bool warning = b.info == HelpTexts::WarningButton;
        auto *info = new QPushButton(warning ? HelpTexts::WarningCaption : HelpTexts::Caption, g);
        info->setObjectName(QLatin1String(b.info));
        info->setAccessibleName(HelpTexts::Caption + QStringLiteral(": ") + caption(b.caption));
        info->setAutoDefault(false);
        if (warning) {
            QFont f(font());
            f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Nimbus Roman"),
                           QStringLiteral("serif")});
            f.setPixelSize(13);
            f.setBold(true);
            f.setItalic(true);
            info->setFont(f);
            QPalette p = info->palette();
            p.setColor(QPalette::ButtonText, Qt::red);
            info->setPalette(p);
        }
        // At least the old width, wider where this desktop's type needs more for the caption.
        const int text = info->fontMetrics().horizontalAdvance(info->text());
        info->setFixedSize(std::max(warning ? WarningWidth : InfoWidth, text + 6), InfoHeight);
        const QByteArray name = b.info;
        connect(info, &QPushButton::clicked, this, guarded([this, name] { infoClick(name); }));
        m_infos.insert(name, info);
    }

    for (const Options::RadioGroup &g : Options::RadioGroups) {
        auto *group = new QButtonGroup(this);
        group->setObjectName(QLatin1String(g.key));
        for (size_t i = 0; i < g.buttons.size(); ++i) {
            const Options::RadioButton &b = g.buttons[i];
            auto *rb = new QRadioButton(caption(b.caption), parentFor(g.box, g.page));
            rb->setObjectName(QLatin1String(b.name));
            group->addButton(rb, int(i));
            m_radios.insert(b.name, rb);
        }
    }
    for (const Options::Check &c : Options::Checks) {
        auto *cb = new QCheckBox(caption(c.caption), parentFor(c.box, c.page));
        cb->setObjectName(QLatin1String(c.name));
        m_checks.insert(c.name, cb);
    }
    for (const Options::Field &f : Options::Fields) {
        auto *edit = new QLineEdit(parentFor(f.box, f.page));
        edit->setObjectName(QLatin1String(f.name));
        // Lines of any length load and save unchanged.
        edit->setMaxLength(INT_MAX);
        m_fields.insert(f.name, edit);
    }
    // Companions are spoken as their option: "Other", "Use", "Lines", ...
    for (const Options::RadioGroup &g : Options::RadioGroups)
        for (const Options::RadioButton &b : g.buttons)
            if (b.argument && m_fields.contains(g.field) && g.key != QByteArray("selectgame"))
                m_fields[g.field]->setAccessibleName(caption(Options::box(g.box)->caption) + QLatin1Char(' ')
                                                     + spoken(caption(b.caption)));
    for (const Options::Check &c : Options::Checks)
        if (*c.field)
            m_fields[c.field]->setAccessibleName(caption(Options::box(c.box)->caption) + QLatin1Char(' ')
                                                 + spoken(caption(c.caption)));

    config = field("config");
    aboutconfiguration = field("aboutconfiguration");
    mame = field("mame");
    selectgamee = field("selectgamee");
    selectgamee->setAccessibleName(QStringLiteral("Game"));
    Edit1 = field("Edit1");
    Edit1->setAccessibleName(QStringLiteral("ROMS directory"));
    extra = field("extra");
    Autoselect = checkBox("Autoselect");
    joystick = checkBox(Options::JoystickCheck);

    joysticklist = new QListWidget(page(Page::Controls));
    joysticklist->setObjectName(QLatin1String(Options::JoystickList));
    joysticklist->setAccessibleName(QStringLiteral("Joystick type"));
    joysticklist->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const Config::JoystickEntry &e : Config::Joysticks)
        joysticklist->addItem(caption(e.caption));
    joysticklist->setCurrentRow(-1);
    joysticklist->clearSelection();

    auto button = [this](const char *name, const char *text, QWidget *parent) {
        auto *b = new QPushButton(caption(text), parent);
        b->setObjectName(QLatin1String(name));
        // No button takes Return from a field: the emulator field must be left before a save.
        b->setAutoDefault(false);
        return b;
    };
    commandline = new QLineEdit(page(Page::ConfigOptions));
    commandline->setObjectName(QStringLiteral("commandline"));
    commandline->setReadOnly(true);
    Button3 = button("Button3", "Search", page(Page::ConfigOptions));
    Button3->setAccessibleName(QStringLiteral("Search for the emulator"));
    Button27 = button("Button27", "Save Configuration", page(Page::ConfigOptions));
    Button33 = button("Button33", "Save and Close", page(Page::ConfigOptions));
    Button34 = button("Button34", "Close without save", page(Page::ConfigOptions));
    Button2 = button("Button2", "Search", groupBox("GroupBox32"));
    Button2->setAccessibleName(QStringLiteral("Search for the game"));
    Button6 = button("Button6", "Search", groupBox("GroupBox35"));
    Button6->setAccessibleName(QStringLiteral("Search for the ROMS directory"));

    Panel1 = new QFrame(page(Page::GameOptions));
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    Label1 = new QLabel(QStringLiteral("Select the game form the list:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    gamelist = new FileListBox(Panel1);
    gamelist->setObjectName(QStringLiteral("gamelist"));
    gamelist->setMask("*.zip");
    // The chosen name becomes line 1 of the configuration: a name with a line break would split
    // it and move every later line.
    gamelist->setOnlySingleLineNames(true);
    gamelist->setAccessibleName(QStringLiteral("Games"));
    Label1->setBuddy(gamelist);
    Button5 = button("Button5", "Atualizar", Panel1);
    Button7 = button("Button7", "Cancelar", Panel1);
    Button4 = button("Button4", "OK", Panel1);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(4, 3, 4, 4);
    panelLayout->setSpacing(3);
    panelLayout->addWidget(Label1);
    panelLayout->addWidget(gamelist, 1);
    auto *panelButtons = new QHBoxLayout;
    panelButtons->setSpacing(3);
    panelButtons->addWidget(Button5);
    panelButtons->addWidget(Button7);
    panelButtons->addWidget(Button4);
    panelLayout->addLayout(panelButtons);

    connect(Button27, &QPushButton::clicked, this, guarded([this] { Button27Click(); }));
    connect(Button33, &QPushButton::clicked, this, guarded([this] { Button33Click(); }));
    connect(Button34, &QPushButton::clicked, this, guarded([this] { Button34Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button6, &QPushButton::clicked, this, guarded([this] { Button6Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button4, &QPushButton::clicked, this, guarded([this] { Button4Click(); }));
    // Enter (or a double click) on a game takes it, as OK does.
    connect(gamelist, &QAbstractItemView::activated, this, guarded([this] { Button4Click(); }));
    connect(Button7, &QPushButton::clicked, this, guarded([this] { Button7Click(); }));
    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
    mame->installEventFilter(this);
}

QList<QWidget *> TForm2::boxControls(const QByteArray &name) const
{
    QList<QWidget *> controls;
    for (const Options::RadioGroup &rg : Options::RadioGroups) {
        if (name != rg.box)
            continue;
        for (const Options::RadioButton &b : rg.buttons) {
            controls << radioButton(b.name);
            if (b.argument && field(rg.field) && name != QByteArray("GroupBox32"))
                controls << field(rg.field);
        }
    }
    for (const Options::Check &c : Options::Checks) {
        if (name != c.box)
            continue;
        controls << checkBox(c.name);
        if (*c.field)
            controls << field(c.field);
    }
    return controls;
}

// Lays out a group box's controls in catalogue order: radio buttons and check boxes in
// `columns` columns, a companion field beside its button or box on the rest of the row, and the
// Information button beside the last control or on a row of its own.
QGroupBox *TForm2::layoutBox(const QByteArray &name, int columns, bool infoBeside)
{
    QGroupBox *g = groupBox(name);
    auto *grid = tightGrid(g);
    int row = 0, col = 0;
    for (QWidget *w : boxControls(name)) {
        if (qobject_cast<QLineEdit *>(w)) {
            grid->addWidget(w, row, col, 1, -1);
            col = columns;
            continue;
        }
        if (col >= columns) {
            ++row;
            col = 0;
        }
        grid->addWidget(w, row, col++);
    }
    const Options::Box *b = Options::box(name);
    if (QPushButton *info = infoButton(b->info)) {
        if (infoBeside && col <= columns)
            grid->addWidget(info, row, col, Qt::AlignRight | Qt::AlignBottom);
        else
            grid->addWidget(info, row + 1, 0, 1, -1, Qt::AlignLeft);
    }
    grid->setColumnStretch(grid->columnCount(), 1);
    return g;
}

// The keyboard goes through each page as it reads: top to bottom, group by group, every
// group's options before its Information button.
void TForm2::chainTabOrder()
{
    QList<QWidget *> chain = {config, aboutconfiguration, mame, Button3, Button27, Button33, Button34, commandline,
                              radioButton("selectgame0"), radioButton("selectgame1"), selectgamee, Button2,
                              Autoselect, Edit1, Button6, gamelist, Button5, Button7, Button4};
    bool controlsPage = false;
    for (const Options::Box &b : Options::Boxes) {
        if (b.name == QByteArray("GroupBox32") || b.name == QByteArray("GroupBox35"))
            continue;
        if (b.page == Page::Controls && !controlsPage) {
            chain << joystick << radioButton("joystick1") << radioButton("joystick2") << joysticklist;
            controlsPage = true;
        }
        chain << boxControls(b.name);
        if (QPushButton *info = infoButton(b.info))
            chain << info;
    }
    chain << extra;
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void TForm2::buildConfigPage()
{
    QWidget *p = page(Page::ConfigOptions);

    Label4 = new QLabel(QStringLiteral("T.V.O.   "), p);
    Label4->setObjectName(QStringLiteral("Label4"));
    QFont logo;
    logo.setFamilies({QStringLiteral("Impact"), QStringLiteral("Haettenschweiler"),
                      QStringLiteral("Nimbus Sans Narrow"), QStringLiteral("DejaVu Sans Condensed")});
    logo.setPixelSize(96);
    logo.setItalic(true);
    logo.setBold(true);
    Label4->setFont(logo);
    Label4->setAccessibleName(QStringLiteral("T.V.O."));
    Label5 = new QLabel(QStringLiteral("CONFIGURATION SETUP"), p);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label5->setWordWrap(true);
    QFont heading = font();
    heading.setPixelSize(16);
    heading.setBold(true);
    Label5->setFont(heading);
    for (QLabel *l : {Label4, Label5}) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, pal.color(QPalette::Dark));
        l->setPalette(pal);
    }

    auto *grid = new QGridLayout(p);
    grid->setContentsMargins(10, 4, 10, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(2);
    grid->addWidget(Label4, 0, 0);
    grid->addWidget(Label5, 0, 1, Qt::AlignRight | Qt::AlignVCenter);

    int row = 1;
    for (const char *name : {"config", "aboutconfiguration", "mame"}) {
        QLineEdit *edit = field(name);
        auto *label = new QLabel(caption(Options::field(name)->label), p);
        label->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
        label->setBuddy(edit);
        grid->addWidget(label, row++, 0);
        grid->addWidget(edit, row++, 0);
    }
    grid->addWidget(Button3, row++, 0, Qt::AlignRight);
    Label8 = new QLabel(QStringLiteral("Command line:"), p);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setBuddy(commandline);
    grid->addWidget(Label8, row++, 0, 1, 2);
    grid->addWidget(commandline, row++, 0, 1, 2);
    grid->setRowStretch(row, 1);

    auto *buttons = column(6);
    buttons->addStretch(1);
    for (QPushButton *b : {Button27, Button33, Button34}) {
        b->setMinimumWidth(120);
        buttons->addWidget(b);
    }
    grid->addLayout(buttons, 1, 1, 5, 1, Qt::AlignBottom);
    grid->setColumnStretch(0, 1);
}

void TForm2::buildGamePage()
{
    QWidget *p = page(Page::GameOptions);

    QGroupBox *game = groupBox("GroupBox32");
    auto *gameGrid = tightGrid(game);
    gameGrid->setVerticalSpacing(3);
    gameGrid->addWidget(radioButton("selectgame0"), 0, 0, 1, 2);
    gameGrid->addWidget(radioButton("selectgame1"), 1, 0, 1, 2);
    gameGrid->addWidget(selectgamee, 2, 0);
    gameGrid->addWidget(Button2, 2, 1);
    gameGrid->setRowStretch(3, 1);

    QGroupBox *roms = groupBox("GroupBox35");
    auto *romsGrid = tightGrid(roms);
    romsGrid->setVerticalSpacing(3);
    romsGrid->addWidget(Autoselect, 0, 0, 1, 2);
    romsGrid->addWidget(Edit1, 1, 0);
    romsGrid->addWidget(Button6, 1, 1);
    romsGrid->setRowStretch(2, 1);

    auto *left = column(6);
    left->addWidget(game, 3);
    left->addWidget(roms, 2);
    auto *right = column();
    right->addWidget(layoutBox("GroupBox33", 1, false));
    right->addStretch(1);

    auto *h = new QHBoxLayout(p);
    h->setContentsMargins(6, 6, 6, 6);
    h->setSpacing(6);
    h->addLayout(left, 3);
    h->addLayout(right, 1);

    // The panel lies over the right half of the two left groups, wherever the layout puts them.
    game->installEventFilter(this);
    roms->installEventFilter(this);
    Panel1->hide();
}

void TForm2::placeGamePanel()
{
    // Below the game group's title, down to the foot of the ROM directory group.
    const QRect top = groupBox("GroupBox32")->geometry();
    const QRect bottom = groupBox("GroupBox35")->geometry();
    const int x = top.left() + top.width() / 2;
    const int y = top.top() + fontMetrics().height() + 4;
    Panel1->setGeometry(x, y, top.right() - x - 3, bottom.bottom() - y - 3);
    Panel1->raise();
}

void TForm2::buildVideoPage()
{
    auto *h = new QHBoxLayout(page(Page::Video));
    h->setContentsMargins(5, 5, 5, 5);
    h->setSpacing(5);
    struct Place { const char *box; int columns; bool infoBeside; };
    const Place columns[3][3] = {
        {{"GroupBox3", 2, false}, {"GroupBox7", 2, false}, {"GroupBox34", 1, false}},
        {{"GroupBox8", 1, false}, {"GroupBox9", 1, false}, {"GroupBox6", 2, false}},
        {{"GroupBox14", 1, true}, {"GroupBox5", 1, true}, {"GroupBox17", 2, true}},
    };
    for (const auto &places : columns) {
        auto *c = column();
        for (const Place &s : places)
            c->addWidget(layoutBox(s.box, s.columns, s.infoBeside));
        c->addStretch(1);
        h->addLayout(c, 1);
    }
}

void TForm2::buildSoundPage()
{
    auto *h = new QHBoxLayout(page(Page::Sound));
    h->setContentsMargins(5, 5, 5, 5);
    h->setSpacing(8);
    auto *left = column();
    left->addWidget(layoutBox("GroupBox23", 1, false));
    left->addStretch(1);
    auto *right = column();
    right->addWidget(layoutBox("GroupBox26", 2, false));
    right->addWidget(layoutBox("GroupBox25", 2, false));
    right->addStretch(1);
    h->addLayout(left, 3);
    h->addLayout(right, 2);
}

void TForm2::buildControlsPage()
{
    QWidget *p = page(Page::Controls);
    auto *top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(joystick);
    top->addWidget(radioButton("joystick1"));
    top->addWidget(radioButton("joystick2"));
    top->addStretch(1);

    auto *right = column();
    for (const char *box : {"GroupBox28", "GroupBox29", "GroupBox30", "GroupBox31"})
        right->addWidget(layoutBox(box, 2, true));
    right->addStretch(1);

    auto *body = new QHBoxLayout;
    body->setSpacing(6);
    body->addWidget(joysticklist, 13);
    body->addLayout(right, 7);

    auto *v = new QVBoxLayout(p);
    v->setContentsMargins(6, 6, 6, 6);
    v->setSpacing(6);
    v->addLayout(top);
    v->addLayout(body, 1);
}

void TForm2::buildAdvancedPage()
{
    QWidget *p = page(Page::Advanced);
    auto *h = new QHBoxLayout;
    h->setSpacing(3);
    struct Place { const char *box; int columns; bool infoBeside; };
    const std::vector<Place> left = {
        {"GroupBox1", 2, true}, {"GroupBox12", 2, true}, {"GroupBox13", 2, true}, {"GroupBox11", 2, true},
        {"GroupBox19", 2, true}, {"GroupBox16", 2, true}, {"GroupBox2", 2, true}};
    const std::vector<Place> middle = {
        {"GroupBox22", 2, true}, {"GroupBox4", 1, false}, {"GroupBox15", 1, false}, {"GroupBox24", 1, false}};
    const std::vector<Place> right = {
        {"GroupBox18", 1, false}, {"GroupBox20", 1, false}, {"GroupBox21", 1, false},
        {"GroupBox10", 4, false}, {"GroupBox27", 2, true}};
    // The right column is the widest: the frequencies stand side by side.
    const std::pair<const std::vector<Place> *, int> columns[] = {{&left, 9}, {&middle, 8}, {&right, 11}};
    for (const auto &[places, stretch] : columns) {
        auto *c = column(1);
        for (const Place &s : *places)
            c->addWidget(layoutBox(s.box, s.columns, s.infoBeside));
        c->addStretch(1);
        h->addLayout(c, stretch);
    }
    // The four frequencies side by side need every pixel of the column.
    if (auto *grid = qobject_cast<QGridLayout *>(groupBox("GroupBox10")->layout())) {
        grid->setHorizontalSpacing(1);
        grid->setContentsMargins(3, 2, 3, 3);
    }

    Label7 = new QLabel(caption(Options::field("extra")->label), p);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setBuddy(extra);
    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(6);
    bottom->addWidget(Label7);
    bottom->addWidget(extra, 1);

    auto *v = new QVBoxLayout(p);
    v->setContentsMargins(3, 2, 3, 2);
    v->setSpacing(3);
    v->addLayout(h, 1);
    v->addLayout(bottom);
}

void TForm2::setInitialState()
{
    for (const Options::RadioGroup &g : Options::RadioGroups)
        radioButton(g.buttons.front().name)->setChecked(true);
    for (const Options::Check &c : Options::Checks)
        checkBox(c.name)->setChecked(c.initial);
    for (const Options::Field &f : Options::Fields)
        if (f.dependent)
            applyEffect(field(f.name), Options::Effect::Off);
    applyEffect(joysticklist, Options::Effect::Off);
    for (QWidget *w : std::initializer_list<QWidget *>{Button2, Button6, radioButton("joystick1"),
                                                       radioButton("joystick2")})
        w->setEnabled(false);

    // The handlers are bound once the initial state stands: they run on changes of state only.
    for (const Options::RadioGroup &g : Options::RadioGroups) {
        for (size_t i = 0; i < g.buttons.size(); ++i) {
            connect(radioButton(g.buttons[i].name), &QRadioButton::toggled, this,
                    [this, &g, i](bool on) {
                        // A button that loses its selection runs nothing.
                        if (on)
                            runCommand([&] { radioChosen(g, int(i)); });
                    });
        }
    }
    for (const Options::Check &c : Options::Checks)
        connect(checkBox(c.name), &QCheckBox::stateChanged, this,
                [this, &c] { runCommand([&] { checkChanged(c); }); });
}

// ---------------------------------------------------------------------------------------------
// Enabling rules

void TForm2::paint(QWidget *w, QPalette::ColorRole role)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, QApplication::palette(w).color(role));
    w->setPalette(p);
}

void TForm2::applyEffect(QWidget *companion, Options::Effect effect)
{
    using Options::Effect;
    auto *edit = qobject_cast<QLineEdit *>(companion);
    switch (effect) {
    case Effect::None:
        return;
    case Effect::Clear:
        if (edit)
            edit->clear();
        [[fallthrough]];
    case Effect::Off:
        paint(companion, QPalette::Button);
        companion->setEnabled(false);
        return;
    case Effect::Enable:
    case Effect::Preset:
        if (companion == joysticklist) {
            QPalette p = companion->palette();
            p.setColor(QPalette::Base, Qt::white);
            companion->setPalette(p);
        } else {
            paint(companion, QPalette::Base);
        }
        companion->setEnabled(true);
        if (effect == Effect::Preset && edit)
            edit->setText(QString::fromLatin1(Options::ResolutionPreset));
        return;
    }
}

void TForm2::radioChosen(const Options::RadioGroup &group, int button)
{
    const Options::Effect effect = group.buttons[size_t(button)].effect;
    if (effect == Options::Effect::None)
        return;
    QWidget *companion = group.field == Options::JoystickList ? static_cast<QWidget *>(joysticklist)
                                                              : field(group.field);
    applyEffect(companion, effect);
    if (companion == selectgamee)
        Button2->setEnabled(selectgamee->isEnabled());
}

void TForm2::checkChanged(const Options::Check &check)
{
    if (checkBox(check.name) == Autoselect) {
        AutoselectClick();
    } else if (checkBox(check.name) == joystick) {
        joystickClick();
    } else if (*check.field) {
        applyEffect(field(check.field), checkBox(check.name)->isChecked() ? Options::Effect::Enable
                                                                           : Options::Effect::Clear);
    }
}

void TForm2::joystickClick()
{
    const bool on = joystick->isChecked();
    radioButton("joystick1")->setEnabled(on);
    radioButton("joystick2")->setEnabled(on);
}

void TForm2::AutoselectClick()
{
    if (Autoselect->isChecked()) {
        Edit1->setEnabled(false);
        paint(Edit1, QPalette::Button);
        romDirectoryFollowsEmulator();
        Button6->setEnabled(false);
    } else {
        Edit1->setEnabled(true);
        paint(Edit1, QPalette::Base);
        Button6->setEnabled(true);
    }
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
    if (m_owner && m_owner->editmode)
        setFieldBytes("config", m_owner->editfile);
}

void TForm2::Button27Click()
{
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

    const QByteArray target =
        Options::targetPath(m_owner ? m_owner->configurationDirectory() : QByteArray("."), s.text("config"));
    // Another configuration of that name is replaced only when the user says so; the file being
    // edited, or saved from this window before, is not another one.
    const bool editing = m_owner && m_owner->editmode && PathRules::namePart(target) == m_owner->editfile;
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
    } else if ((watched == groupBox("GroupBox32") || watched == groupBox("GroupBox35"))
               && (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
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
    const QByteArray directory = Options::gameListDirectory(
        fieldBytes("Edit1"), m_owner ? m_owner->configurationDirectory() : FileIO::currentDirectory());
    gamelist->setDirectory(directory);
    placeGamePanel();
    Panel1->show();
    gamelist->setFocus(Qt::OtherFocusReason);
}

void TForm2::Button4Click()
{
    setFieldBytes("selectgamee", gamelist->selectedName());
    Panel1->hide();
}

void TForm2::Button7Click()
{
    Panel1->hide();
}

void TForm2::Button5Click()
{
    gamelist->reload();
}

void TForm2::infoClick(const QByteArray &button)
{
    Modals::current().message(HelpTexts::text(button));
}

// ---------------------------------------------------------------------------------------------
// What the emulator in the field takes

void TForm2::followControls()
{
    if (Launcher *l = launcher())
        connect(&l->answers, &EmulatorAnswers::answered, this, &TForm2::emulatorAnswered);
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

Launcher *TForm2::launcher() const
{
    return m_owner ? &m_owner->launcher() : nullptr;
}

QByteArray TForm2::emulatorProgram() const
{
    const Launcher *l = launcher();
    return l ? l->resolveProgram(fieldBytes("mame")) : QByteArray();
}

// In the background: the window never waits for the emulator.
void TForm2::askEmulator()
{
    const QByteArray program = emulatorProgram();
    if (Launcher *l = launcher(); l && FileIO::isExecutableFile(program))
        l->answers.askInBackground(program, EmulatorAnswers::Question::ShowConfig);
}

void TForm2::emulatorAnswered(const QByteArray &program, EmulatorAnswers::Question question)
{
    // An answer for an emulator the field named before is no news for this one.
    if (question == EmulatorAnswers::Question::ShowConfig && program == emulatorProgram())
        runCommand([this] { followChanges(); });
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
    Launcher *l = launcher();
    // Without an emulator there is no command to show.
    if (!l || fieldBytes("mame").isEmpty()) {
        commandline->clear();
        return;
    }
    const Options::State s = state();
    // The game as Run passes it: line 1 without its extension.
    const QByteArray game = PathRules::withoutExtension(Options::lineValue(s, Config::Game));
    const Launcher::Command c = l->preview(emulatorProgram(), game, Options::lineValue(s, Config::OptionString));
    commandline->setText(TextCodec::decode(c.text()));
    commandline->setCursorPosition(0);
}

// Strikes through each option whose switch the emulator leaves out, judged alone; its tooltip
// says why. Options outside the option string, and those that write nothing, are never marked.
void TForm2::markOptions()
{
    Launcher *l = launcher();
    const QByteArray program = emulatorProgram();
    std::optional<Vocabulary> words;
    if (l && !program.isEmpty())
        words = l->keptVocabulary(program);
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
        control->setToolTip(why);
        control->setAccessibleDescription(why);
    };
    for (const Options::RadioGroup &g : Options::RadioGroups)
        for (const Options::RadioButton &b : g.buttons)
            mark(radioButton(b.name), g.line, b.value, b.argument ? g.field : "");
    for (const Options::Check &c : Options::Checks)
        mark(checkBox(c.name), c.line, c.initial ? QByteArray() : QByteArray(c.value), c.field);
}
