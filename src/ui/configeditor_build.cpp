// Building the editor's controls from the option catalogue and laying out its pages.
#include "configeditor.h"

#include "config.h"
#include "gamedetails.h"
#include "gamelist.h"
#include "gamelistfeed.h"
#include "workstrip.h"
#include "gamefinder.h"
#include "launcher.h"
#include "guard.h"
#include "helptexts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <climits>

using Options::Page;

namespace {

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

// ---------------------------------------------------------------------------------------------
// Building

void TForm2::buildBoxes()
{
    for (int i = 0; i < Options::PageCount; ++i) {
        auto *p = new QWidget;
        p->setObjectName(QStringLiteral("TabbedNotebook1Page%1").arg(i));
        TabbedNotebook1->addTab(p, caption(Options::PageCaptions[size_t(i)]));
        m_pages << p;
    }
    for (const Options::Box &b : Options::Boxes) {
        auto *g = new QGroupBox(caption(b.caption), page(b.page));
        g->setObjectName(QLatin1String(b.name));
        m_boxes.insert(b.name, g);
        buildInfoButton(b, g);
    }
}

void TForm2::buildInfoButton(const Options::Box &box, QGroupBox *group)
{
    if (!*box.info)
        return;
    const bool warning = box.info == HelpTexts::WarningButton;
    auto *info = new QPushButton(warning ? HelpTexts::WarningCaption : HelpTexts::Caption, group);
    info->setObjectName(QLatin1String(box.info));
    info->setAccessibleName(HelpTexts::Caption + QStringLiteral(": ") + caption(box.caption));
    info->setAutoDefault(false);
    if (warning) {
        QFont f(font());
        f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Nimbus Roman"), QStringLiteral("serif")});
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
    const QByteArray name = box.info;
    connect(info, &QPushButton::clicked, this, guarded([this, name] { infoClick(name); }));
    m_infos.insert(name, info);
}

namespace {

// The box a control lies in, else its page.
QWidget *parentFor(const QHash<QByteArray, QGroupBox *> &boxes, const QList<QWidget *> &pages, const char *box,
                   Page page)
{
    return *box ? static_cast<QWidget *>(boxes.value(box)) : pages.value(int(page));
}

} // namespace

void TForm2::buildRadioGroups()
{
    for (const Options::RadioGroup &g : Options::RadioGroups) {
        auto *group = new QButtonGroup(this);
        group->setObjectName(QLatin1String(g.key));
        for (size_t i = 0; i < g.buttons.size(); ++i) {
            const Options::RadioButton &b = g.buttons[i];
            auto *rb = new QRadioButton(caption(b.caption), parentFor(m_boxes, m_pages, g.box, g.page));
            rb->setObjectName(QLatin1String(b.name));
            group->addButton(rb, int(i));
            m_radios.insert(b.name, rb);
        }
    }
}

void TForm2::buildChecks()
{
    for (const Options::Check &c : Options::Checks) {
        auto *cb = new QCheckBox(caption(c.caption), parentFor(m_boxes, m_pages, c.box, c.page));
        cb->setObjectName(QLatin1String(c.name));
        m_checks.insert(c.name, cb);
    }
    Autoselect = checkBox("Autoselect");
    joystick = checkBox(Options::JoystickCheck);
}

void TForm2::buildFields()
{
    for (const Options::Field &f : Options::Fields) {
        auto *edit = new QLineEdit(parentFor(m_boxes, m_pages, f.box, f.page));
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
    mame->installEventFilter(this);
}

void TForm2::buildJoystickList()
{
    joysticklist = new QListWidget(page(Page::Controls));
    joysticklist->setObjectName(QLatin1String(Options::JoystickList));
    joysticklist->setAccessibleName(QStringLiteral("Joystick type"));
    joysticklist->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const Config::JoystickEntry &e : Config::Joysticks)
        joysticklist->addItem(caption(e.caption));
    joysticklist->setCurrentRow(-1);
    joysticklist->clearSelection();
    m_named.insert(Options::JoystickList, joysticklist);
}

QPushButton *TForm2::buildButton(const char *name, const char *text, QWidget *parent)
{
    auto *b = new QPushButton(caption(text), parent);
    b->setObjectName(QLatin1String(name));
    // No button takes Return from a field: the emulator field must be left before a save.
    b->setAutoDefault(false);
    m_named.insert(name, b);
    return b;
}

// The command Run would use, read-only, below the emulator's field.
void TForm2::buildCommandLine()
{
    commandline = new QLineEdit(page(Page::ConfigOptions));
    commandline->setObjectName(QStringLiteral("commandline"));
    commandline->setReadOnly(true);
}

void TForm2::buildFixedButtons()
{
    Button3 = buildButton("Button3", "Search", page(Page::ConfigOptions));
    Button3->setAccessibleName(QStringLiteral("Search for the emulator"));
    Button27 = buildButton("Button27", "Save Configuration", page(Page::ConfigOptions));
    Button33 = buildButton("Button33", "Save and Close", page(Page::ConfigOptions));
    Button34 = buildButton("Button34", "Close without save", page(Page::ConfigOptions));
    Button2 = buildButton("Button2", "Search", groupBox("GroupBox32"));
    Button2->setAccessibleName(QStringLiteral("Search for the game"));
    Button6 = buildButton("Button6", "Search", groupBox("GroupBox35"));
    Button6->setAccessibleName(QStringLiteral("Search for the ROMS directory"));

    connect(Button27, &QPushButton::clicked, this, guarded([this] { Button27Click(); }));
    connect(Button33, &QPushButton::clicked, this, guarded([this] { Button33Click(); }));
    connect(Button34, &QPushButton::clicked, this, guarded([this] { Button34Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button6, &QPushButton::clicked, this, guarded([this] { Button6Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
}

// The game list: a panel over the game page, shown by the game's Search button.
void TForm2::buildGamePanel()
{
    Panel1 = new QFrame(page(Page::GameOptions));
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    Label1 = new QLabel(QStringLiteral("Select the game form the list:"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    gamelist = new GameList(Panel1);
    gamelist->setObjectName(QStringLiteral("gamelist"));
    // The chosen name becomes line 1 of the configuration: a name with a line break would split
    // it and move every later line.
    gamelist->setOnlySingleLineNames(true);
    gamelist->setAccessibleName(QStringLiteral("Games"));
    Label1->setBuddy(gamelist);
    gamedetails = new GameDetails(Panel1);
    gamework = new WorkStrip(Panel1);
    gamefeed = new GameListFeed(m_launcher, gamelist, gamework, this);
    gamefeed->setDetails(gamedetails);
    // Search as you type above the list; Enter in it is the panel's OK.
    finder = new GameFinder(gamelist, guarded([this] { Button4Click(); }), Panel1);
    finder->setObjectName(QStringLiteral("gamefinder"));
    Button5 = buildButton("Button5", "Atualizar", Panel1);
    Button7 = buildButton("Button7", "Cancelar", Panel1);
    Button4 = buildButton("Button4", "OK", Panel1);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(4, 3, 4, 4);
    panelLayout->setSpacing(3);
    panelLayout->addWidget(Label1);
    panelLayout->addWidget(finder);
    panelLayout->addWidget(gamelist, 2);
    panelLayout->addWidget(gamedetails, 1);
    panelLayout->addWidget(gamework);
    auto *panelButtons = new QHBoxLayout;
    panelButtons->setSpacing(3);
    panelButtons->addWidget(Button5);
    panelButtons->addWidget(Button7);
    panelButtons->addWidget(Button4);
    panelLayout->addLayout(panelButtons);
    Panel1->hide();

    connect(Button4, &QPushButton::clicked, this, guarded([this] { Button4Click(); }));
    // Enter (or a double click) on a game takes it, as OK does.
    connect(gamelist, &QAbstractItemView::activated, this, guarded([this] { Button4Click(); }));
    connect(Button7, &QPushButton::clicked, this, guarded([this] { Button7Click(); }));
    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
}

QWidget *TForm2::control(const QByteArray &name) const
{
    if (QWidget *w = m_fields.value(name))
        return w;
    if (QWidget *w = m_radios.value(name))
        return w;
    if (QWidget *w = m_checks.value(name))
        return w;
    return m_named.value(name);
}

// ---------------------------------------------------------------------------------------------
// Laying out

void TForm2::layoutPages()
{
    layoutConfigPage();
    for (const Options::PageLayout &l : Options::PageLayouts)
        layoutPage(l);
    Label7 = findChild<QLabel *>(QStringLiteral("Label7"));
}

void TForm2::layoutConfigPage()
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

void TForm2::layoutPage(const Options::PageLayout &l)
{
    QWidget *p = page(l.page);
    auto *columns = new QHBoxLayout;
    columns->setSpacing(l.spacing);
    for (int c = 0; c < int(l.columns.size()); ++c) {
        const Options::Column &col = l.columns[size_t(c)];
        if (*col.control) {
            columns->addWidget(control(col.control), col.stretch);
            continue;
        }
        auto *boxes = column(col.spacing);
        bool shared = false;
        for (const Options::Box &b : Options::Boxes) {
            if (b.page != l.page || b.place.column != c)
                continue;
            boxes->addWidget(layoutBox(b), b.place.share);
            shared = shared || b.place.share > 0;
            // The panel follows the boxes it lies over, wherever the layout puts them.
            if (c == l.panelColumn) {
                m_panelBoxes << groupBox(b.name);
                groupBox(b.name)->installEventFilter(this);
            }
        }
        // Boxes as high as their controls stand at the top of the column.
        if (!shared)
            boxes->addStretch(1);
        columns->addLayout(boxes, col.stretch);
    }

    auto *v = new QVBoxLayout(p);
    v->setContentsMargins(l.margins[0], l.margins[1], l.margins[2], l.margins[3]);
    v->setSpacing(l.spacing);
    if (QLayout *above = layoutRow(l.above, p))
        v->addLayout(above);
    v->addLayout(columns, 1);
    if (QLayout *below = layoutRow(l.below, p))
        v->addLayout(below);
}

QLayout *TForm2::layoutRow(const Options::Row &row, QWidget *page)
{
    if (row.controls.empty())
        return nullptr;
    auto *h = new QHBoxLayout;
    h->setSpacing(row.spacing);
    bool field = false;
    for (const char *name : row.controls) {
        QWidget *w = control(name);
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            auto *label = new QLabel(caption(Options::field(name)->label), page);
            label->setObjectName(QLatin1String(row.label));
            label->setBuddy(edit);
            h->addWidget(label);
            h->addWidget(edit, 1);
            field = true;
        } else {
            h->addWidget(w);
        }
    }
    if (!field)
        h->addStretch(1);
    return h;
}

// A box's controls in catalogue order: its radio buttons, each followed by its companion when it
// takes one, then its check boxes likewise; a chooser ends with its field and Search button.
QList<QWidget *> TForm2::boxControls(const Options::Box &box) const
{
    const bool chooser = *box.place.search;
    QList<QWidget *> controls;
    for (const Options::RadioGroup &rg : Options::RadioGroups) {
        if (box.name != QByteArray(rg.box))
            continue;
        for (const Options::RadioButton &b : rg.buttons) {
            controls << radioButton(b.name);
            if (b.argument && field(rg.field) && !chooser)
                controls << field(rg.field);
        }
    }
    for (const Options::Check &c : Options::Checks) {
        if (box.name != QByteArray(c.box))
            continue;
        controls << checkBox(c.name);
        if (*c.field)
            controls << field(c.field);
    }
    if (chooser) {
        for (const Options::Field &f : Options::Fields)
            if (box.name == QByteArray(f.box))
                controls << field(f.name);
        controls << control(box.place.search);
    }
    return controls;
}

// Lays out a group box's controls in catalogue order: radio buttons and check boxes in columns,
// a companion field beside its button or box on the rest of the row, and the Information button
// beside the last control or on a row of its own.
QGroupBox *TForm2::layoutBox(const Options::Box &box)
{
    if (*box.place.search)
        return layoutChooser(box);
    QGroupBox *g = groupBox(box.name);
    auto *grid = tightGrid(g);
    const int columns = box.place.buttonColumns;
    int row = 0, col = 0;
    for (QWidget *w : boxControls(box)) {
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
    if (QPushButton *info = infoButton(box.info)) {
        if (box.place.info == Options::InfoPlace::Beside && col <= columns)
            grid->addWidget(info, row, col, Qt::AlignRight | Qt::AlignBottom);
        else
            grid->addWidget(info, row + 1, 0, 1, -1, Qt::AlignLeft);
    }
    grid->setColumnStretch(grid->columnCount(), 1);
    if (box.place.narrow) {
        grid->setHorizontalSpacing(1);
        grid->setContentsMargins(3, 2, 3, 3);
    }
    return g;
}

// A chooser: its buttons one under another, then its field with the Search button beside it.
QGroupBox *TForm2::layoutChooser(const Options::Box &box)
{
    QGroupBox *g = groupBox(box.name);
    auto *grid = tightGrid(g);
    grid->setVerticalSpacing(3);
    int row = 0;
    for (QWidget *w : boxControls(box)) {
        if (qobject_cast<QLineEdit *>(w))
            grid->addWidget(w, row, 0);
        else if (w == control(box.place.search))
            grid->addWidget(w, row++, 1);
        else
            grid->addWidget(w, row++, 0, 1, 2);
    }
    grid->setRowStretch(row, 1);
    return g;
}

// The keyboard goes through each page as it reads: top to bottom, group by group, every
// group's options before its Information button.
void TForm2::chainTabOrder()
{
    QList<QWidget *> chain = {config, aboutconfiguration, mame, Button3, Button27, Button33, Button34, commandline};
    for (const Options::PageLayout &l : Options::PageLayouts) {
        for (const char *name : l.above.controls)
            chain << control(name);
        for (int c = 0; c < int(l.columns.size()); ++c) {
            if (*l.columns[size_t(c)].control)
                chain << control(l.columns[size_t(c)].control);
            for (const Options::Box &b : Options::Boxes) {
                if (b.page != l.page || b.place.column != c)
                    continue;
                chain << boxControls(b);
                if (QPushButton *info = infoButton(b.info))
                    chain << info;
            }
            if (c == l.panelColumn)
                chain << finder->field() << finder->showChoice() << gamelist << gamedetails->firstInTabOrder() << gamedetails->lastInTabOrder() << gamework->cancelButton() << Button5 << Button7 << Button4;
        }
        for (const char *name : l.below.controls)
            chain << control(name);
    }
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void TForm2::placeGamePanel()
{
    // Below the top box's title, down to the foot of the bottom one, over their right halves.
    const QRect top = m_panelBoxes.constFirst()->geometry();
    const QRect bottom = m_panelBoxes.constLast()->geometry();
    const int x = top.left() + top.width() / 2;
    const int y = top.top() + fontMetrics().height() + 4;
    Panel1->setGeometry(x, y, top.right() - x - 3, bottom.bottom() - y - 3);
    Panel1->raise();
}

void TForm2::setInitialState()
{
    for (const Options::RadioGroup &g : Options::RadioGroups)
        radioButton(g.buttons.front().name)->setChecked(true);
    for (const Options::Check &c : Options::Checks)
        checkBox(c.name)->setChecked(c.initial);
    m_state = Options::State::initial();
    paintDependents(m_state, m_state);

    // The handlers are bound once the initial state stands: they run on changes of state only.
    for (const Options::RadioGroup &g : Options::RadioGroups) {
        for (size_t i = 0; i < g.buttons.size(); ++i) {
            connect(radioButton(g.buttons[i].name), &QRadioButton::toggled, this, [this, &g, i](bool on) {
                // A button that loses its selection runs nothing.
                if (on)
                    runCommand([&] { radioChosen(g, int(i)); });
            });
        }
    }
    for (const Options::Check &c : Options::Checks)
        connect(checkBox(c.name), &QCheckBox::stateChanged, this, [this, &c] { runCommand([&] { checkChanged(c); }); });
}
