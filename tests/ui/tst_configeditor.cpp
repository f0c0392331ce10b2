// The configuration editor window: its controls, the enabling rules, saving, loading through
// Edit configuration, and the emulator, ROM directory and game helpers.
#include "configeditor.h"
#include "config.h"
#include "errors.h"
#include "fileio.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "launcher.h"
#include "gamefinder.h"
#include "helptexts.h"
#include "linebuffer.h"
#include "options.h"
#include "scriptedmodals.h"
#include "changes.h"
#include "pathrules.h"
#include "scene.h"
#include "testutil.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QTabBar>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolTip>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

using namespace Options;
using namespace TestUtil;

namespace {

// Changes the controls as a user would: clicks for buttons and boxes, typing for fields.
void act(TForm2 &editor, const Changes &changes)
{
    for (const Change &c : changes) {
        if (const RadioGroup *g = radioGroup(c.control))
            editor.radioButton(g->buttons[size_t(c.value.toInt())].name)->click();
        else if (QCheckBox *box = editor.checkBox(c.control)) {
            if (box->isChecked() != (c.value == "1"))
                box->click();
        } else if (c.control == JoystickList)
            editor.joysticklist->setCurrentRow(c.value.toInt());
        else
            editor.field(c.control)->setText(QString::fromUtf8(c.value));
    }
}


// What New Configuration gives the editor it opens.
EditorContext newConfiguration(TForm1 &main)
{
    return {main.configurationDirectory(), std::nullopt, main.launcher()};
}

QColor base(const QWidget *w) { return w->palette().color(QPalette::Base); }
QColor systemColour(const QWidget *w, QPalette::ColorRole role) { return QApplication::palette(w).color(role); }

// Every dependent control of the window is usable, and coloured, as the state says.
void verifyDependents(TForm2 &editor)
{
    const State s = editor.state();
    QList<QByteArray> names = {"Button2", "Button6", "joystick1", "joystick2", "joysticklist"};
    for (const Field &f : Fields)
        if (f.dependent)
            names << f.name;
    for (const QByteArray &name : names) {
        auto *w = editor.findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY2(w, name.constData());
        QVERIFY2(w->isEnabled() == s.enabled(name), name.constData());
        if (name == "joysticklist")
            QCOMPARE(base(w), w->isEnabled() ? QColor(Qt::white) : systemColour(w, QPalette::Button));
        else if (qobject_cast<QLineEdit *>(w))
            QCOMPARE(base(w), systemColour(w, w->isEnabled() ? QPalette::Base : QPalette::Button));
    }
}

// Runs `inspect` on the editor a command opens modally, then closes the editor.
void whenEditorOpens(TForm1 &form1, std::function<void(TForm2 &)> inspect, bool *opened)
{
    *opened = false;
    QTimer::singleShot(0, &form1, [&form1, inspect, opened] {
        if (auto *editor = form1.findChild<TForm2 *>()) {
            *opened = true;
            inspect(*editor);
            if (editor->isVisible())
                editor->close();
        }
    });
}

// A main window list selection of one configuration file.
void select(TForm1 &form1, const QByteArray &name)
{
    form1.lista->reload();
    const int row = int(form1.lista->names().indexOf(name));
    QVERIFY2(row >= 0, name.constData());
    form1.lista->setItemIndex(row);
    QCOMPARE(form1.lista->selectedName(), name);
}

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void windowAndPages();
    void catalogueControls();
    void initialState();
    void informationButtons();
    void pagesFit();

    void enablingRules_data();
    void enablingRules();
    void handlersRunOnStateChanges();

    void roundTrip_data();
    void roundTrip();
    void textKeepsItsBytes();

    void saveChecks_data();
    void saveChecks();
    void saveWritesAndSays();
    void saveAndClose();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();

    void editConfiguration_data();
    void editConfiguration();
    void editStopsWithoutLine52();
    void editWithNothingSelected();
    void newConfigurationEndToEnd();

    void autoSelection_data();
    void autoSelection();
    void autoSelectionOnFocusOut();
    void emulatorView_data();
    void emulatorView();
    void emulatorDialog();
    void folderDialog();
    void gameList_data();
    void gameList();
    void gameListButtons();
    void helpTexts();
};

void TestEditor::windowAndPages()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    QCOMPARE(editor.windowTitle(), QStringLiteral("Configuration"));
    QCOMPARE(editor.size(), QSize(546, 365));
    QCOMPARE(editor.minimumSize(), editor.maximumSize());
    QCOMPARE(editor.pos(), QPoint(188, 111));
    QVERIFY(!(editor.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(editor.windowFlags() & Qt::WindowMinimizeButtonHint));
    QCOMPARE(editor.TabbedNotebook1->objectName(), QStringLiteral("TabbedNotebook1"));
    const QStringList captions = {"Config Options", "Game Options", "Video Configuratin",
                                  "Sound Configuration", "Controls", "Advanced Configuration",
                                  "Emulator Options"};
    QCOMPARE(editor.TabbedNotebook1->count(), captions.size());
    QCOMPARE(editor.TabbedNotebook1->widget(6)->objectName(), QStringLiteral("EmulatorOptions"));
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(editor.TabbedNotebook1->tabText(i), captions.at(i));
    editor.show();
    QCOMPARE(editor.TabbedNotebook1->currentIndex(), 0);
    QVERIFY(editor.Panel1->isHidden());
}

void TestEditor::catalogueControls()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    // Every catalogue control, found by its name, with its caption, inside its group and page.
    auto inside = [&](QWidget *w, const char *box, Page page) {
        if (*box)
            QVERIFY2(editor.groupBox(box)->isAncestorOf(w), qPrintable(w->objectName()));
        QVERIFY2(editor.page(page)->isAncestorOf(w), qPrintable(w->objectName()));
    };
    for (const Box &b : Boxes) {
        auto *g = editor.findChild<QGroupBox *>(QLatin1String(b.name));
        QVERIFY2(g, b.name);
        QCOMPARE(g->title(), QString::fromUtf8(b.caption));
        inside(g, "", b.page);
    }
    for (const RadioGroup &g : RadioGroups)
        for (size_t i = 0; i < g.buttons.size(); ++i) {
            auto *rb = editor.findChild<QRadioButton *>(QLatin1String(g.buttons[i].name));
            QVERIFY2(rb, g.buttons[i].name);
            QCOMPARE(rb->text(), QString::fromUtf8(g.buttons[i].caption));
            inside(rb, g.box, g.page);
        }
    for (const Check &c : Checks) {
        auto *cb = editor.findChild<QCheckBox *>(QLatin1String(c.name));
        QVERIFY2(cb, c.name);
        QCOMPARE(cb->text(), QString::fromUtf8(c.caption));
        inside(cb, c.box, c.page);
    }
    for (const Field &f : Fields) {
        auto *edit = editor.findChild<QLineEdit *>(QLatin1String(f.name));
        QVERIFY2(edit, f.name);
        inside(edit, f.box, f.page);
    }
    QCOMPARE(editor.radioButton("soundcard4")->text(), QStringLiteral("Ultrasound Max (CS4231 Codec) "));
    QCOMPARE(editor.radioButton("soundcard5")->text(), QStringLiteral("Ultrasound "));

    const struct { const char *name, *text; } buttons[] = {
        {"Button2", "Search"}, {"Button3", "Search"}, {"Button6", "Search"}, {"Button27", "Save Configuration"},
        {"Button33", "Save and Close"}, {"Button34", "Close without save"}, {"Button4", "OK"},
        {"Button5", "Atualizar"}, {"Button7", "Cancelar"}};
    for (const auto &b : buttons) {
        auto *w = editor.findChild<QPushButton *>(QLatin1String(b.name));
        QVERIFY2(w, b.name);
        QCOMPARE(w->text(), QLatin1String(b.text));
    }
    const struct { const char *name, *text; } labels[] = {
        {"Label1", "Select the game form the list:"}, {"Label4", "T.V.O.   "},
        {"Label5", "CONFIGURATION SETUP"}, {"Label7", "Extra Commands:"}, {"Label8", "Command line:"}};
    for (const auto &l : labels)
        QCOMPARE(editor.findChild<QLabel *>(QLatin1String(l.name))->text(), QLatin1String(l.text));
    // Each labelled field is its label's buddy.
    for (const char *name : {"config", "aboutconfiguration", "mame", "extra", "commandline"}) {
        bool found = false;
        for (QLabel *label : editor.findChildren<QLabel *>())
            if (label->buddy() == editor.findChild<QLineEdit *>(QLatin1String(name))) {
                found = true;
                if (const Field *f = Options::field(name))
                    QCOMPARE(label->text(), QString::fromUtf8(f->label));
            }
        QVERIFY2(found, name);
    }
    QVERIFY(editor.commandline->isReadOnly());
    QVERIFY(editor.Panel1->isAncestorOf(editor.gamelist));
    QCOMPARE(editor.gamelist->mask(), QByteArray("*.zip;*.7z"));
    QCOMPARE(editor.joysticklist->count(), 21);
    for (int i = 0; i < 21; ++i)
        QCOMPARE(editor.joysticklist->item(i)->text(), QLatin1String(Config::Joysticks[size_t(i)].caption));
}

void TestEditor::initialState()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 first(newConfiguration(env.main), &env.main);
    QCOMPARE(first.state(), State::initial());
    verifyDependents(first);
    QVERIFY(first.Autoselect->isChecked());
    QVERIFY(first.radioButton("joystick1")->isChecked());
    QCOMPARE(first.joysticklist->selectionModel()->selectedIndexes().size(), 0);
    QVERIFY(!first.saved());
    // A second window starts afresh whatever the first showed.
    act(first, {{"resolution", "4"}, {"beam", "1"}, {"Autoselect", "0"}, {"joystick", "1"}});
    TForm2 second(newConfiguration(env.main), &env.main);
    QCOMPARE(second.state(), State::initial());
    verifyDependents(second);
}

void TestEditor::informationButtons()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    int count = 0;
    for (const Box &b : Boxes) {
        if (!*b.info)
            continue;
        ++count;
        QPushButton *info = editor.infoButton(b.info);
        QVERIFY2(info, b.info);
        QVERIFY(editor.groupBox(b.name)->isAncestorOf(info));
        if (b.info == QByteArray("Vgafrequenceinf")) {
            QCOMPARE(info->text(), QStringLiteral("Important Information!!!"));
            QVERIFY(info->width() >= 156);
            QVERIFY(info->font().bold());
            QVERIFY(info->font().italic());
            QCOMPARE(info->font().pixelSize(), 13);
            QCOMPARE(info->font().families().value(0), QStringLiteral("Times New Roman"));
            QCOMPARE(info->palette().color(QPalette::ButtonText), QColor(Qt::red));
        } else {
            QCOMPARE(info->text(), QStringLiteral("Information"));
            QVERIFY(info->width() >= 61);
        }
    }
    QCOMPARE(count, 33);

    // The keyboard reaches a group's options before its Information button, and the groups in
    // reading order.
    QList<QWidget *> chain;
    for (QWidget *w = editor.config; !chain.contains(w); w = w->nextInFocusChain())
        chain << w;
    QVERIFY(chain.indexOf(editor.Button34) < chain.indexOf(editor.commandline));
    QVERIFY(chain.indexOf(editor.commandline) < chain.indexOf(editor.radioButton("selectgame0")));
    int previous = -1;
    for (const Box &b : Boxes) {
        if (!*b.info)
            continue;
        const int info = int(chain.indexOf(editor.infoButton(b.info)));
        QVERIFY2(info > previous, b.info);
        for (QWidget *w : editor.groupBox(b.name)->findChildren<QWidget *>())
            if (w->focusPolicy() & Qt::TabFocus)
                QVERIFY2(chain.indexOf(w) < info || w == editor.infoButton(b.info), qPrintable(w->objectName()));
        previous = info;
    }
}

// Every control shows its whole caption on its page.
void TestEditor::pagesFit()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    for (int i = 0; i < editor.TabbedNotebook1->count(); ++i) {
        editor.TabbedNotebook1->setCurrentIndex(i);
        QWidget *page = editor.TabbedNotebook1->widget(i);
        page->layout()->activate();
        const QRect area = page->rect();
        for (QWidget *w : page->findChildren<QWidget *>()) {
            if (w->isHidden() || w == editor.Panel1 || editor.Panel1->isAncestorOf(w))
                continue;
            const QRect r(w->mapTo(page, QPoint(0, 0)), w->size());
            QVERIFY2(area.contains(r), qPrintable(w->objectName()));
            auto *button = qobject_cast<QPushButton *>(w);
            if (button && button->minimumSize() == button->maximumSize()) // sized to their caption
                QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= button->width() - 4,
                         qPrintable(w->objectName()));
            else if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w))
                QVERIFY2(w->width() >= w->minimumSizeHint().width() && w->height() >= w->minimumSizeHint().height() - 1,
                         qPrintable(w->objectName()));
        }
        // Nothing lies over another control but the game list panel, which is made to.
        const QList<QWidget *> placed = page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *a : placed)
            for (QWidget *b : placed)
                if (a < b && !a->isHidden() && !b->isHidden() && a != editor.Panel1 && b != editor.Panel1)
                    QVERIFY2(!a->geometry().intersects(b->geometry()), qPrintable(a->objectName() + " " + b->objectName()));
    }
    // The tabs show their captions whole, side by side.
    auto *bar = editor.TabbedNotebook1->findChild<QTabBar *>();
    QVERIFY(bar->sizeHint().width() <= editor.width());
}

// The enabling rules, driven by clicks: the window ends where the core's rules end.
void TestEditor::enablingRules_data()
{
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QString>("text");

    QTest::newRow("box checked: empty field") << Changes{{"beam", "1"}} << QByteArray("beame") << QString();
    QTest::newRow("box cleared and checked again: empty")
        << Changes{{"skiplines", "1"}, {"skiplinese", "3"}, {"skiplines", "0"}, {"skiplines", "1"}}
        << QByteArray("skiplinese") << QString();
    QTest::newRow("other: preset") << Changes{{"resolution", "4"}} << QByteArray("resolutione1") << QStringLiteral("000x000");
    QTest::newRow("other after a fixed one: preset again")
        << Changes{{"resolution", "4"}, {"resolutione1", "1024x768"}, {"resolution", "3"}, {"resolution", "4"}}
        << QByteArray("resolutione1") << QStringLiteral("000x000");
    QTest::newRow("other clicked again keeps the text")
        << Changes{{"resolution", "4"}, {"resolutione1", "1024x768"}, {"resolution", "4"}}
        << QByteArray("resolutione1") << QStringLiteral("1024x768");
    QTest::newRow("gamma use after don't use: empty")
        << Changes{{"gamma", "1"}, {"gammae", "1.5"}, {"gamma", "0"}, {"gamma", "1"}} << QByteArray("gammae") << QString();
    QTest::newRow("all games empties the game")
        << Changes{{"selectgame", "1"}, {"selectgamee", "a.zip"}, {"selectgame", "0"}, {"selectgame", "1"}}
        << QByteArray("selectgamee") << QString();
    QTest::newRow("manual joystick survives unchecking")
        << Changes{{"joystick", "1"}, {"joysticktype", "1"}, {"joysticklist", "4"}, {"joystick", "0"}}
        << QByteArray("joysticklist") << QString();
    QTest::newRow("auto detection disables the list")
        << Changes{{"joystick", "1"}, {"joysticktype", "1"}, {"joysticktype", "0"}} << QByteArray("joysticklist") << QString();
    QTest::newRow("manual rom directory") << Changes{{"Autoselect", "0"}, {"Edit1", "/x"}} << QByteArray("Edit1") << QStringLiteral("/x");
}

void TestEditor::enablingRules()
{
    QFETCH(Changes, changes);
    QFETCH(QByteArray, field);
    QFETCH(QString, text);
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    act(editor, changes);
    if (QLineEdit *edit = editor.field(field))
        QCOMPARE(edit->text(), text);
    State expected = stateWith(changes);
    QCOMPARE(editor.state(), expected);
    verifyDependents(editor);
    if (field == "joysticklist" && editor.radioButton("joystick2")->isChecked())
        QCOMPARE(editor.state().joystickEntry(), 4);
    QVERIFY(env.modals.shown.isEmpty());
}

// Handlers run on changes of state made by the program too, and not for a button that loses
// its selection.
void TestEditor::handlersRunOnStateChanges()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.radioButton("gamma1")->setChecked(true);
    QVERIFY(editor.field("gammae")->isEnabled());
    editor.field("gammae")->setText("2");
    editor.radioButton("gamma1")->setChecked(true); // already chosen: no change
    QCOMPARE(editor.field("gammae")->text(), QStringLiteral("2"));
    editor.checkBox("flicker")->setChecked(true);
    QVERIFY(editor.field("flickere")->isEnabled());
    editor.Autoselect->setChecked(false);
    QVERIFY(editor.Edit1->isEnabled());
    QVERIFY(editor.Button6->isEnabled());
    editor.joystick->setChecked(true);
    QVERIFY(editor.radioButton("joystick2")->isEnabled());
    verifyDependents(editor);
}

// Save, load into a fresh editor, save again: byte for byte the same file.
void TestEditor::roundTrip_data()
{
    QTest::addColumn<Changes>("changes");
    for (const RadioGroup &g : RadioGroups) {
        if (g.line < 0)
            continue;
        for (size_t i = 1; i < g.buttons.size(); ++i) {
            Changes c{{g.key, QByteArray::number(qulonglong(i))}};
            if (g.buttons[i].argument)
                c << Change{g.field, "1x2 \xC3\xA9"};
            QTest::addRow("%s", g.buttons[i].name) << c;
        }
    }
    for (const Check &c : Checks)
        if (*c.field)
            QTest::addRow("%s", c.name) << Changes{{c.name, "1"}, {c.field, "-12.5"}};
    QTest::newRow("no rotate") << Changes{{"norotate", "1"}};
    QTest::newRow("joystick auto") << Changes{{"joystick", "1"}};
    QTest::newRow("joystick manual, none picked") << Changes{{"joystick", "1"}, {"joysticktype", "1"}};
    for (int i = 0; i < int(Config::Joysticks.size()); ++i)
        QTest::addRow("joystick entry %d", i)
            << Changes{{"joystick", "1"}, {"joysticktype", "1"}, {"joysticklist", QByteArray::number(i)}};
    QTest::newRow("accented texts") << Changes{{"aboutconfiguration", "Configura\xC3\xA7\xC3\xA3o r\xC3\xA1pida \xC2\xB4"},
                                               {"extra", "-nome \xC3\x87\xC3\xA3o"}};
    QTest::newRow("everything at once")
        << Changes{{"selectgame", "1"}, {"selectgamee", "pacman.zip"}, {"resolution", "4"}, {"resolutione1", "1024x768"},
                   {"gamma", "1"}, {"gammae", "0.9"}, {"scanlines", "1"}, {"beam", "1"}, {"beame", "2"},
                   {"joystick", "1"}, {"joysticktype", "1"}, {"joysticklist", "7"}, {"Autoselect", "0"}};
}

void TestEditor::roundTrip()
{
    QFETCH(Changes, changes);
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    const QByteArray path = PathRules::join(env.configurationDirectory, "trip.tvo");

    TForm2 first(newConfiguration(env.main), &env.main);
    act(first, changes);
    first.config->setText("trip");
    first.mame->setText(QString::fromUtf8(env.fake.program));
    first.Edit1->setText(QString::fromUtf8(roms));
    first.Button27Click();
    QVERIFY(first.saved());
    const QByteArray written = TestUtil::readFile(path);
    const QList<QByteArray> lines = LineBuffer::split(written);
    QCOMPARE(lines.size(), 54);
    QVERIFY(written.endsWith("\r\n"));
    QCOMPARE(lines.at(41), Config::optionString(lines));

    // Editing the file saved: it is replaced without a question.
    TForm2 second({env.main.configurationDirectory(), QByteArray("trip.tvo"), env.main.launcher()}, &env.main);
    second.load(lines);
    // The window applies loading exactly as the core's rules do.
    QCOMPARE(second.state(), Options::load(lines));
    verifyDependents(second);
    second.config->setText("trip.tvo");
    second.Button27Click();
    QCOMPARE(TestUtil::readFile(path), written);
    QCOMPARE(env.modals.messages(), QStringList({"File trip saved!", "File trip.tvo saved!"}));
}

// Texts loaded from a file written elsewhere keep their bytes while unchanged; a changed text
// is written as UTF-8.
void TestEditor::textKeepsItsBytes()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    QList<QByteArray> lines = TestUtil::configLines(54, {{0, "Configura\xE7\xE3o"}, {7, "-scanlines"},
                                                          {39, "-x \xB4"}, {40, env.fake.program}, {52, roms}});
    lines[41] = Config::optionString(lines);
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.load(lines);
    QCOMPARE(editor.aboutconfiguration->text(), QStringLiteral("Configura\u00E7\u00E3o"));
    editor.config->setText("bytes");
    editor.Button27Click();
    QCOMPARE(TestUtil::readFile(PathRules::join(env.configurationDirectory, "bytes.tvo")), LineBuffer::join(lines));
    editor.aboutconfiguration->setText(QStringLiteral("Configura\u00E7\u00E3o!"));
    editor.Button27Click();
    QCOMPARE(LineBuffer::split(TestUtil::readFile(PathRules::join(env.configurationDirectory, "bytes.tvo"))).at(0),
             QByteArray("Configura\xC3\xA7\xC3\xA3o!"));
}

void TestEditor::saveChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("mame");  // "file", "dir" or a path
    QTest::addColumn<QByteArray>("roms");  // "dir" or a path
    QTest::addColumn<bool>("autoselect");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("gamePage");
    QTest::addColumn<bool>("focusOnRoms");

    const QString noName = QStringLiteral("Field Configuration Name empty.");
    const QString noEmulator = QStringLiteral("No Emulator selected, or emulator does not exist");
    const QString noRoms = QStringLiteral("Roms Directory field empty or doesn\u00B4t exists");
    QTest::newRow("everything missing") << QString() << QByteArray() << QByteArray() << true << noName << false << false;
    QTest::newRow("a name of three blanks") << "   " << QByteArray("file") << QByteArray("dir") << true << noName << false << false;
    QTest::newRow("a tab and a zero-width space") << "\t\u200B" << QByteArray("file") << QByteArray("dir") << true << noName
                                                  << false << false;
    QTest::newRow("no emulator") << "a" << QByteArray() << QByteArray("dir") << true << noEmulator << false << false;
    QTest::newRow("emulator is a directory") << "a" << QByteArray("dir") << QByteArray("dir") << true << noEmulator << false << false;
    QTest::newRow("roms missing, manual") << "a" << QByteArray("file") << QByteArray("/no/such/dir") << false << noRoms << true << true;
    QTest::newRow("roms missing, automatic") << "a" << QByteArray("file") << QByteArray("/no/such/dir") << true << noRoms << true << false;
    QTest::newRow("roms empty") << "a" << QByteArray("file") << QByteArray() << false << noRoms << true << true;
}

void TestEditor::saveChecks()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, mame);
    QFETCH(QByteArray, roms);
    QFETCH(bool, autoselect);
    QFETCH(QString, message);
    QFETCH(bool, gamePage);
    QFETCH(bool, focusOnRoms);
    Scene env;
    const QByteArray romsDirectory = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    auto resolve = [&](const QByteArray &v) {
        return QString::fromUtf8(v == "file" ? env.fake.program : v == "dir" ? romsDirectory : v);
    };
    editor.Autoselect->setChecked(autoselect);
    editor.config->setText(name);
    editor.Edit1->setText(resolve(roms));
    editor.mame->setText(resolve(mame));
    editor.aboutconfiguration->setFocus();
    const QList<QByteArray> entries = TestUtil::entries(env.configurationDirectory);

    editor.Button33->click(); // Save and Close: the checks, then no closing
    QCOMPARE(env.modals.messages(), QStringList{message});
    QVERIFY(env.modals.errors().isEmpty());
    QVERIFY(!editor.saved());
    QVERIFY(editor.isVisible());
    QCOMPARE(editor.TabbedNotebook1->currentIndex(), gamePage ? 1 : 0);
    QCOMPARE(QApplication::focusWidget() == editor.Edit1, focusOnRoms);
    QCOMPARE(TestUtil::entries(env.configurationDirectory), entries);
}

void TestEditor::saveWritesAndSays()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.config->setText("new one");
    editor.mame->setText(QString::fromUtf8(env.fake.program));
    editor.Edit1->setText(QString::fromUtf8(roms));
    editor.Button27->click();
    editor.Button27->click();
    QVERIFY(editor.saved());
    QVERIFY(editor.memo1.count() == 54);
    QCOMPARE(env.modals.messages(), QStringList({"File new one saved!", "File new one saved!"}));
    const QByteArray content = TestUtil::readFile(PathRules::join(env.configurationDirectory, "new one.tvo"));
    QCOMPARE(LineBuffer::split(content), editor.memo1.lines());
    // The default file: 54 lines, "-scanlines", the 48-character option string, two line ends.
    QCOMPARE(editor.memo1.at(7), QByteArray("-scanlines"));
    QCOMPARE(editor.memo1.at(41).size(), 48);
    QVERIFY(content.endsWith("\r\n\r\n"));
    QCOMPARE(editor.memo1.at(40), env.fake.program);
    QCOMPARE(editor.memo1.at(52), roms);

    // Another name writes a second file and leaves the first.
    editor.config->setText("other.tvo");
    editor.Button27->click();
    QCOMPARE(TestUtil::readFile(PathRules::join(env.configurationDirectory, "other.tvo")), content);
    QCOMPARE(TestUtil::readFile(PathRules::join(env.configurationDirectory, "new one.tvo")), content);
    QCOMPARE(env.modals.messages().last(), QStringLiteral("File other.tvo saved!"));
    QCOMPARE(env.modals.texts(ScriptedModals::Kind::Question), QStringList());

    // A configuration this window did not write is replaced only when the user says so; its name
    // in capitals names that same file.
    const QByteArray handTuned = PathRules::join(env.configurationDirectory, "PONG.TVO");
    TestUtil::writeFile(handTuned, "hand-tuned");
    editor.config->setText("PONG.TVO");
    env.modals.answerQuestion(false);
    editor.Button27->click();
    QVERIFY(!editor.saved());
    QCOMPARE(TestUtil::readFile(handTuned), QByteArray("hand-tuned"));
    env.modals.answerQuestion(true);
    editor.Button27->click();
    QVERIFY(editor.saved());
    QCOMPARE(TestUtil::readFile(handTuned), content);
    QCOMPARE(env.modals.texts(ScriptedModals::Kind::Question),
             QStringList(2, QStringLiteral("Replace the configuration PONG.TVO?")));
    // A name is a name: a path is refused before anything is written.
    editor.config->setText("../escape");
    editor.Button27->click();
    QVERIFY(!editor.saved());
    QCOMPARE(env.modals.messages().last(), QStringLiteral("A configuration name cannot hold the character \"/\"."));
    QVERIFY(!FileIO::exists(env.root.file("escape.tvo")));
}

void TestEditor::saveAndClose()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    editor.config->setText("closing");
    editor.mame->setText(QString::fromUtf8(env.fake.program));
    editor.Edit1->setText(QString::fromUtf8(roms));
    editor.Button33->click();
    QVERIFY(editor.saved());
    QVERIFY(!editor.isVisible());
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    QVERIFY(FileIO::isFile(PathRules::join(env.configurationDirectory, "closing.tvo")));

    TForm2 other(newConfiguration(env.main), &env.main);
    other.show();
    other.config->setText("never");
    other.Button34->click();
    QVERIFY(!other.isVisible());
    QVERIFY(!FileIO::exists(PathRules::join(env.configurationDirectory, "never.tvo")));
    QCOMPARE(env.modals.messages(), QStringList{"File closing saved!"});
}

void TestEditor::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("failingStep");
    // A new file: one there already would be written in place when its temporary is refused.
    QTest::newRow("temporary file") << QByteArray("fresh") << int(FileIO::WriteStep::CreateTemporary);
    QTest::newRow("write") << QByteArray("keep") << int(FileIO::WriteStep::Write);
    QTest::newRow("flush") << QByteArray("keep.tvo") << int(FileIO::WriteStep::Flush);
    QTest::newRow("replace") << QByteArray("keep") << int(FileIO::WriteStep::Commit);
}

void TestEditor::failedWriteKeepsOldFile()
{
    QFETCH(QByteArray, name);
    QFETCH(int, failingStep);
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    const QByteArray old = TestUtil::crlf({"the old file"});
    TestUtil::writeFile(PathRules::join(env.configurationDirectory, "keep.tvo"), old);
    const QList<QByteArray> entries = TestUtil::entries(env.configurationDirectory);
    FileIO::setFaultInjector([failingStep](FileIO::WriteStep step, const QByteArray &) {
        return int(step) == failingStep;
    });
    auto restore = qScopeGuard([] { FileIO::setFaultInjector({}); });

    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    editor.config->setText(QString::fromUtf8(name));
    editor.mame->setText(QString::fromUtf8(env.fake.program));
    editor.Edit1->setText(QString::fromUtf8(roms));
    const QByteArray target = Options::targetPath(env.configurationDirectory, name);
    if (FileIO::exists(target))
        env.modals.answerQuestion(true); // replace it
    editor.Button33->click();
    const QString reason = QStringLiteral("Input/output error");
    QCOMPARE(env.modals.errors(), QStringList{Errors::boxText("Cannot create file " + QString::fromUtf8(target) + ": " + reason)});
    QVERIFY(env.modals.messages().isEmpty());
    QVERIFY(!editor.saved());
    QVERIFY(editor.isVisible());
    QCOMPARE(TestUtil::readFile(PathRules::join(env.configurationDirectory, "keep.tvo")), old);
    QCOMPARE(TestUtil::entries(env.configurationDirectory), entries);
}

// Edit configuration: the held lines, old layouts upgraded, in a fresh editor.
void TestEditor::editConfiguration_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("emulator");     // "emu": the emulator beside ROMS, else a path
    QTest::addColumn<QByteArray>("line52");
    QTest::addColumn<QByteArray>("line53");
    QTest::addColumn<QByteArray>("configRoms");   // a "roms" directory made in the configuration directory
    QTest::addColumn<QByteArray>("romDirectory"); // "emu", "config", "configroms" or a path
    QTest::addColumn<bool>("autoselect");

    QTest::newRow("52 lines, emulator beside roms") << 52 << QByteArray("emu") << QByteArray() << QByteArray()
                                                    << QByteArray() << QByteArray("emu") << true;
    QTest::newRow("52 lines, no emulator directory, roms here")
        << 52 << QByteArray("/no/such/mame") << QByteArray() << QByteArray() << QByteArray("roms")
        << QByteArray("configroms") << false;
    QTest::newRow("52 lines, nothing to find") << 52 << QByteArray("/no/such/mame") << QByteArray() << QByteArray()
                                               << QByteArray() << QByteArray("config") << false;
    QTest::newRow("53 lines: the marker reads as manual") << 53 << QByteArray("emu") << QByteArray("/stored") << QByteArray()
                                                          << QByteArray() << QByteArray("/stored") << false;
    QTest::newRow("54 lines with old at 52") << 54 << QByteArray("emu") << QByteArray("old") << QByteArray()
                                             << QByteArray() << QByteArray("emu") << true;
    QTest::newRow("54 lines, automatic") << 54 << QByteArray("emu") << QByteArray("/stored") << QByteArray()
                                         << QByteArray() << QByteArray("/stored") << true;
    QTest::newRow("54 lines, manual") << 54 << QByteArray("emu") << QByteArray("/stored") << QByteArray("sim")
                                      << QByteArray() << QByteArray("/stored") << false;
}

void TestEditor::editConfiguration()
{
    QFETCH(int, count);
    QFETCH(QByteArray, emulator);
    QFETCH(QByteArray, line52);
    QFETCH(QByteArray, line53);
    QFETCH(QByteArray, configRoms);
    QFETCH(QByteArray, romDirectory);
    QFETCH(bool, autoselect);
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    if (!configRoms.isEmpty())
        FileIO::makeDirectories(PathRules::join(env.configurationDirectory, configRoms));
    QList<QByteArray> lines = TestUtil::configLines(count, {{0, "described"}, {3, "-resolution 1024x768"},
                                                            {42, "1024x768"}, {7, "-noscanlines"},
                                                            {14, "-joy wingwarrior"}});
    lines[40] = emulator == "emu" ? env.fake.program : emulator;
    if (count > 52)
        lines[52] = line52;
    if (count > 53)
        lines[53] = line53;
    TestUtil::writeFile(PathRules::join(env.configurationDirectory, "edited.tvo"), TestUtil::crlf(lines));
    TestUtil::writeFile(PathRules::join(env.configurationDirectory, "another.tvo"), "x\r\n");
    select(env.main, "edited.tvo");

    const QByteArray expectedRoms = romDirectory == "emu" ? roms
        : romDirectory == "config" ? env.configurationDirectory
        : romDirectory == "configroms" ? PathRules::join(env.configurationDirectory, "roms") : romDirectory;
    bool opened = false;
    QSignalSpy answered(&env.main.launcher().answers, &EmulatorAnswers::answered);
    whenEditorOpens(env.main, [&](TForm2 &editor) {
        // Loading asks the emulator (its version, its built-in settings, then its options); one
        // that is not there takes the switches as written.
        const QString expected = QString::fromUtf8(lines[40]) + (emulator == "emu" ? " -resolution 1024x768 -effect none -joystick"
                                                                                  : " -resolution 1024x768 -noscanlines -joy wingwarrior");
        while (editor.commandline->text() != expected && answered.wait()) {
        }
        QCOMPARE(editor.commandline->text(), expected);
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.TabbedNotebook1->currentIndex(), 0);
        QCOMPARE(editor.config->text(), QStringLiteral("edited.tvo"));
        QCOMPARE(editor.aboutconfiguration->text(), QStringLiteral("described"));
        QVERIFY(editor.radioButton("resolution4")->isChecked());
        QCOMPARE(editor.field("resolutione1")->text(), QStringLiteral("1024x768"));
        QVERIFY(editor.radioButton("scanlines1")->isChecked());
        QVERIFY(editor.joystick->isChecked());
        QVERIFY(editor.radioButton("joystick2")->isChecked());
        QCOMPARE(editor.state().joystickEntry(), 7);
        QCOMPARE(editor.Edit1->text(), QString::fromUtf8(expectedRoms));
        QCOMPARE(editor.Autoselect->isChecked(), autoselect);
        verifyDependents(editor);
        // The list was refreshed when the editor was made: nothing selected.
        QCOMPARE(env.main.lista->itemIndex(), -1);
        QVERIFY(env.modals.shown.isEmpty());
    }, &opened);
    env.main.ImportConfiguration1Click();
    QVERIFY(opened);
    QVERIFY(env.main.editsSelected());
    QCOMPARE(env.main.editedFile(), QByteArray("edited.tvo"));
    QCOMPARE(env.main.lista->itemIndex(), -1);
    // The held lines carry the marker; the file is untouched.
    QVERIFY(env.main.selectedLines().count() > count);
    QCOMPARE(TestUtil::readFile(PathRules::join(env.configurationDirectory, "edited.tvo")), TestUtil::crlf(lines));
    QVERIFY(!env.main.findChild<TForm2 *>());
}

void TestEditor::editStopsWithoutLine52()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TestUtil::writeFile(PathRules::join(env.configurationDirectory, "short.tvo"), TestUtil::crlf(TestUtil::configLines(51)));
    select(env.main, "short.tvo");
    bool opened = false;
    whenEditorOpens(env.main, [](TForm2 &) {}, &opened);
    try {
        env.main.ImportConfiguration1Click();
        QFAIL("no index error");
    } catch (const CommandError &e) {
        QCOMPARE(e.message(), QStringLiteral("List index out of bounds (52)"));
    }
    QVERIFY(!env.main.findChild<TForm2 *>());
    QCoreApplication::processEvents();
    QVERIFY(!opened);
    QCOMPARE(env.main.editedFile(), QByteArray("short.tvo"));
}

void TestEditor::editWithNothingSelected()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    const QByteArray one = PathRules::join(env.configurationDirectory, "one.tvo");
    // Selected, then removed behind the program's back.
    TestUtil::writeFile(one, TestUtil::crlf(TestUtil::configLines(54)));
    select(env.main, "one.tvo");
    QFile::remove(QString::fromUtf8(one));
    env.main.ImportConfiguration1Click();
    QCOMPARE(env.main.editedFile(), QByteArray("one.tvo"));
    // Then nothing selected: the name edited before goes.
    TestUtil::writeFile(one, TestUtil::crlf(TestUtil::configLines(54)));
    env.main.lista->reload();
    env.main.ImportConfiguration1Click();
    QVERIFY(env.main.editsSelected());
    QVERIFY(env.main.editedFile().isEmpty());
    QVERIFY(!env.main.findChild<TForm2 *>());
    QVERIFY(env.modals.shown.isEmpty());
}

// New Configuration, a save, the list refreshed when the editor closes, and Edit configuration
// showing every control as saved.
void TestEditor::newConfigurationEndToEnd()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    env.main.ImportConfiguration1Click(); // with nothing selected: an edit, and no editor
    const Changes changes{{"selectgame", "1"}, {"selectgamee", "pacman.zip"}, {"cheatmode", "1"},
                          {"resolution", "4"}, {"resolutione1", "800x480"}, {"vesa", "3"}, {"soundcard", "5"},
                          {"centerx", "1"}, {"centerxe", "-4"}, {"joystick", "1"}, {"joysticktype", "1"},
                          {"joysticklist", "0"}, {"extra", "-verbose"}, {"log", "1"}};
    State saved;
    bool opened = false;
    whenEditorOpens(env.main, [&](TForm2 &editor) {
        QVERIFY(editor.config->text().isEmpty());
        act(editor, changes);
        editor.config->setText("fresh");
        editor.mame->setText(QString::fromUtf8(env.fake.program));
        editor.Edit1->setText(QString::fromUtf8(roms));
        saved = editor.state();
        editor.Button33->click();
        QVERIFY(!editor.isVisible());
    }, &opened);
    env.main.NewConfiguration1Click();
    QVERIFY(opened);
    QVERIFY(!env.main.editsSelected());
    QVERIFY(env.main.lista->names().contains("fresh.tvo"));
    QCOMPARE(LineBuffer::split(TestUtil::readFile(PathRules::join(env.configurationDirectory, "fresh.tvo"))).at(14), QByteArray("-joy standard"));

    select(env.main, "fresh.tvo");
    whenEditorOpens(env.main, [&](TForm2 &editor) {
        State shown = editor.state();
        QCOMPARE(shown.text("config"), QByteArray("fresh.tvo"));
        shown.setText("config", "fresh");
        QCOMPARE(shown, saved);
        verifyDependents(editor);
    }, &opened);
    env.main.ImportConfiguration1Click();
    QVERIFY(opened);
}

void TestEditor::autoSelection_data()
{
    QTest::addColumn<QByteArray>("mame");      // relative to the configuration directory; "@" + a bare name
    QTest::addColumn<bool>("autoselect");
    QTest::addColumn<QByteArray>("expected");  // Edit1 afterwards, relative; "=" for unchanged
    QTest::addColumn<bool>("message");

    QTest::newRow("ROMS in another case") << QByteArray("lower/mame") << true << QByteArray("lower/roms") << false;
    QTest::newRow("ROMS as written") << QByteArray("../emu/mame") << true << QByteArray("../emu/ROMS") << false;
    QTest::newRow("directory only") << QByteArray("bare/mame") << true << QByteArray("bare") << false;
    QTest::newRow("executable not checked") << QByteArray("bare/absent") << true << QByteArray("bare") << false;
    QTest::newRow("missing directory") << QByteArray("gone/mame") << true << QByteArray("=") << true;
    QTest::newRow("bare name") << QByteArray("@mame") << true << QByteArray("=") << true;
    QTest::newRow("empty") << QByteArray() << true << QByteArray("=") << false;
    QTest::newRow("manual selection") << QByteArray("../emu/mame") << false << QByteArray("=") << false;
}

void TestEditor::autoSelection()
{
    QFETCH(QByteArray, mame);
    QFETCH(bool, autoselect);
    QFETCH(QByteArray, expected);
    QFETCH(bool, message);
    if (mame.startsWith('@') && FileIO::findSubdirectory("/", "ROMS").size())
        QSKIP("this machine has a ROMS directory at its root");
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    FileIO::makeDirectories(PathRules::join(env.configurationDirectory, "lower/roms"));
    FileIO::makeDirectories(PathRules::join(env.configurationDirectory, "bare"));
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.Autoselect->setChecked(autoselect);
    editor.setFieldBytes("Edit1", "previous");
    editor.setFieldBytes("mame", mame.isEmpty() ? mame : mame.startsWith('@') ? mame.mid(1) : PathRules::join(env.configurationDirectory, mame));
    editor.mameExit();
    QCOMPARE(editor.Edit1->text(),
             expected == "=" ? QStringLiteral("previous") : QString::fromUtf8(PathRules::join(env.configurationDirectory, expected)));
    QCOMPARE(env.modals.messages(), message ? QStringList{QStringLiteral("Diret\u00F3rio Inv\u00E1lido!")} : QStringList());
    // Checking the box again derives the directory at once, over a hand-chosen one.
    if (!autoselect) {
        editor.Autoselect->setChecked(true);
        QCOMPARE(editor.Edit1->text(), QString::fromUtf8(PathRules::join(env.configurationDirectory, "../emu/ROMS")));
        QVERIFY(!editor.Edit1->isEnabled());
        QVERIFY(!editor.Button6->isEnabled());
    }
}

// Leaving the emulator field for another control runs the auto-selection before the button
// acts; a switch of windows or a popup does not.
void TestEditor::autoSelectionOnFocusOut()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    editor.config->setText("typed");
    editor.mame->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget(), editor.mame);
    editor.mame->setText(QString::fromUtf8(env.fake.program));
    QTest::mouseClick(editor.Button27, Qt::LeftButton);
    QCOMPARE(editor.Edit1->text(), QString::fromUtf8(roms));
    QVERIFY(editor.saved());
    QCOMPARE(LineBuffer::split(TestUtil::readFile(PathRules::join(env.configurationDirectory, "typed.tvo"))).at(52), roms);

    editor.mame->setText(QStringLiteral("/no/such/dir/mame"));
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(editor.mame, &out);
    }
    QCOMPARE(editor.Edit1->text(), QString::fromUtf8(roms));
    QCOMPARE(env.modals.messages(), QStringList{"File typed saved!"});
    editor.mame->setFocus(Qt::TabFocusReason);
    editor.aboutconfiguration->setFocus(Qt::TabFocusReason);
    QCOMPARE(env.modals.messages().last(), TForm2::InvalidDirectoryMessage);
}

// The command line and the struck options once the emulator in the field, asked in the
// background when the field is left, has answered; they follow another emulator at once.
void TestEditor::emulatorView_data()
{
    QTest::addColumn<QByteArray>("emulator"); // empty: as 0.251; "old"; else its -showconfig listing
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<QByteArray>("arguments");
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<QString>("reason");      // empty: not struck
    auto row = [](const char *name, const QByteArray &emulator, const Changes &changes, const char *arguments,
                  const char *control, const char *reason = "") {
        QTest::newRow(name) << emulator << changes << QByteArray(arguments) << QByteArray(control) << QString::fromUtf8(reason);
    };
    const QByteArray now, little = "rompath roms\n";
    row("fresh", now, {}, "-effect scanlines", "colors1", "-depth 8: has no counterpart in this emulator");
    row("no scanlines", now, {{"scanlines", "1"}}, "-effect none", "scanlines1");
    row("a game, cheats", now, {{"selectgame", "1"}, {"selectgamee", "pac.zip"}, {"cheatmode", "1"}}, "pac -cheat -effect scanlines", "cheatmode1");
    row("empty companion", now, {}, "-effect scanlines", "resolution4");
    row("empty companion, left out", now, {}, "-effect scanlines", "skiplines", "-skiplines: has no counterpart in this emulator");
    row("typed companion", now, {{"skiplines", "1"}, {"skiplinese", "3"}}, "-effect scanlines", "skiplines",
        "-skiplines 3: has no counterpart in this emulator");
    row("typed markup, shown as it is", now, {{"skiplines", "1"}, {"skiplinese", "<b>3"}}, "-effect scanlines",
        "skiplines", "-skiplines <b>3: has no counterpart in this emulator");
    row("old emulator", "old", {{"colors", "1"}, {"skiplines", "1"}, {"skiplinese", "3"}}, "-depth 8 -scanlines -skiplines 3", "colors1");
    row("knows little", little, {{"cheatmode", "1"}}, "", "cheatmode1", "-cheat: the emulator does not know it");
    row("knows little: the joystick pair", little, {{"joystick", "1"}}, "", "joystick1");
}

void TestEditor::emulatorView()
{
    QFETCH(QByteArray, emulator);
    QFETCH(Changes, changes);
    QFETCH(QByteArray, arguments);
    QFETCH(QByteArray, control);
    QFETCH(QString, reason);
    Scene env;
    if (emulator == "old")
        env.fake.old();
    else if (!emulator.isEmpty())
        env.fake.on("SHOWCONFIG", "STDOUT", emulator);
    TestUtil::writeFile(env.root.file("emu/notes"), "no program");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QSignalSpy answered(&env.main.launcher().answers, &EmulatorAnswers::answered);
    for (const QByteArray &path : {env.root.file("emu/notes"), env.fake.program}) {
        editor.mame->setFocus(Qt::TabFocusReason);
        editor.setFieldBytes("mame", path);
        editor.config->setFocus(Qt::TabFocusReason);
        QVERIFY(answered.isEmpty()); // not waited for, and a file that is no program is not asked
    }
    QVERIFY(waitForAnswer(answered, EmulatorAnswers::Question::ShowConfig));
    act(editor, changes);
    QCOMPARE(editor.commandline->text(), QString::fromUtf8((env.fake.program + ' ' + arguments).trimmed()));
    auto *button = editor.findChild<QAbstractButton *>(QLatin1String(control));
    QCOMPARE(button->font().strikeOut(), !reason.isEmpty());
    QCOMPARE(button->toolTip(), reason);
    QCOMPARE(button->accessibleDescription(), reason);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(button, &help);
    QTextDocument tip;
    tip.setHtml(QToolTip::text());
    QCOMPARE(QToolTip::isVisible() ? tip.toPlainText() : QString(), reason);
    QToolTip::hideText();
    editor.setFieldBytes("mame", "/no/such/mame");
    QVERIFY(!button->font().strikeOut());
}

void TestEditor::emulatorDialog()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    env.modals.cancelFile();
    editor.Button3->click();
    QVERIFY(editor.mame->text().isEmpty());
    QCOMPARE(env.modals.fileRequests.size(), 1);
    const FileDialogRequest &request = env.modals.fileRequests.first();
    QCOMPARE(request.title, QStringLiteral("Select The MAME file"));
    QCOMPARE(request.filterIndex, 0);
    QVERIFY(request.directory.isEmpty());
    QCOMPARE(request.mode, FileDialogRequest::Mode::Open);
    QCOMPARE(qtFileFilter(request.filter),
             QStringLiteral("MAME Executable files (*mame*);;All Executables Files (*);;All Files (*)"));

    env.modals.answerFile(env.fake.program);
    editor.Button3->click();
    QCOMPARE(editor.fieldBytes("mame"), env.fake.program);
    QCOMPARE(editor.fieldBytes("Edit1"), roms);

    // With manual selection the ROM directory stays.
    editor.Autoselect->setChecked(false);
    editor.Edit1->setText("/mine");
    env.modals.answerFile(PathRules::join(env.configurationDirectory, "elsewhere/mame"));
    editor.Button3->click();
    QCOMPARE(editor.Edit1->text(), QStringLiteral("/mine"));
    QVERIFY(env.modals.messages().isEmpty());
}

void TestEditor::folderDialog()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.Autoselect->setChecked(false);
    QVERIFY(editor.Button6->isEnabled());
    env.modals.cancelFolder();
    editor.Button6->click();
    QVERIFY(editor.Edit1->text().isEmpty());
    env.modals.answerFolder(roms);
    editor.Button6->click();
    QCOMPARE(editor.fieldBytes("Edit1"), roms);
    QCOMPARE(editor.Folder.Directory, roms);
    env.modals.answerFolder(PathRules::join(env.configurationDirectory, "gone"));
    editor.Button6->click(); // a folder that is not there is no choice
    QCOMPARE(editor.fieldBytes("Edit1"), roms);
    QCOMPARE(env.modals.folderRequests.size(), 3);
    for (const auto &r : env.modals.folderRequests)
        QCOMPARE(r.title, QStringLiteral("Select the directory from the List:"));
    QVERIFY(env.modals.folderRequests.at(0).start.isEmpty());
    QCOMPARE(env.modals.folderRequests.at(2).start, roms);
    // A new editor window starts with no folder.
    TForm2 second(newConfiguration(env.main), &env.main);
    QVERIFY(second.Folder.Directory.isEmpty());
}

void TestEditor::gameList_data()
{
    QTest::addColumn<QByteArray>("romDirectory"); // Edit1, relative ("" for empty)
    QTest::addColumn<QByteArray>("configRoms");   // a subdirectory made in the configuration directory
    QTest::addColumn<QByteArray>("listed");       // the directory listed, relative ("." for itself)
    QTest::newRow("the ROM directory") << QByteArray("../emu/ROMS") << QByteArray("roms") << QByteArray("../emu/ROMS");
    QTest::newRow("roms beside the configurations") << QByteArray("gone") << QByteArray("roms") << QByteArray("roms");
    QTest::newRow("ROMS in another case") << QByteArray() << QByteArray("ROMS") << QByteArray("ROMS");
    QTest::newRow("the configuration directory") << QByteArray("gone") << QByteArray() << QByteArray(".");
}

void TestEditor::gameList()
{
    QFETCH(QByteArray, romDirectory);
    QFETCH(QByteArray, configRoms);
    QFETCH(QByteArray, listed);
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    if (!configRoms.isEmpty())
        FileIO::makeDirectories(PathRules::join(env.configurationDirectory, configRoms));
    const QByteArray directory = listed == "." ? env.configurationDirectory : PathRules::join(env.configurationDirectory, listed);
    for (const char *name : {"b.zip", "A.ZIP", "c.txt"})
        TestUtil::writeFile(directory + "/" + name, "z");
    FileIO::makeDirectories(directory + "/d.zip");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    editor.TabbedNotebook1->setCurrentIndex(1);
    editor.radioButton("selectgame1")->click();
    QVERIFY(editor.Button2->isEnabled());
    editor.setFieldBytes("Edit1", romDirectory.isEmpty() ? QByteArray() : PathRules::join(env.configurationDirectory, romDirectory));
    editor.Button2->click();
    QVERIFY(!editor.Panel1->isHidden());
    QCOMPARE(editor.gamelist->directory(), directory);
    QCOMPARE(editor.gamelist->names(), QList<QByteArray>({"A.ZIP", "b.zip"}));
    // The panel lies over the right half of the game and ROM directory groups.
    const QRect panel = editor.Panel1->geometry();
    QVERIFY(panel.intersects(editor.groupBox("GroupBox32")->geometry()));
    QVERIFY(panel.intersects(editor.groupBox("GroupBox35")->geometry()));
    QVERIFY(panel.left() > editor.groupBox("GroupBox32")->geometry().left());
    QVERIFY(!panel.intersects(editor.groupBox("GroupBox33")->geometry()));
}

void TestEditor::gameListButtons()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    for (const char *name : {"galaga.zip", "pacman.zip"})
        TestUtil::writeFile(roms + "/" + name, "z");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    editor.radioButton("selectgame1")->click();
    editor.setFieldBytes("Edit1", roms);

    editor.Button2->click();
    editor.gamelist->setItemIndex(1);
    editor.Button4->click(); // OK
    QCOMPARE(editor.selectgamee->text(), QStringLiteral("pacman.zip"));
    QVERIFY(editor.Panel1->isHidden());

    editor.Button2->click();
    editor.gamelist->setItemIndex(0);
    QTest::keyClick(editor.gamelist, Qt::Key_Return); // Enter takes the game, as OK does
    QCOMPARE(editor.selectgamee->text(), QStringLiteral("galaga.zip"));
    QVERIFY(editor.Panel1->isHidden());
    editor.selectgamee->setText(QStringLiteral("pacman.zip"));

    editor.Button2->click();
    editor.gamelist->setItemIndex(0);
    editor.Button7->click(); // Cancelar
    QCOMPARE(editor.selectgamee->text(), QStringLiteral("pacman.zip"));
    QVERIFY(editor.Panel1->isHidden());

    editor.Button2->click();
    TestUtil::writeFile(roms + "/dkong.zip", "z");
    QCOMPARE(editor.gamelist->count(), 2);
    editor.Button5->click(); // Atualizar
    QCOMPARE(editor.gamelist->names(), QList<QByteArray>({"dkong.zip", "galaga.zip", "pacman.zip"}));
    QVERIFY(!editor.Panel1->isHidden());
    // Not modal: the other pages stay usable, and the panel is still there on coming back.
    editor.TabbedNotebook1->setCurrentIndex(2);
    editor.radioButton("flip1")->click();
    editor.TabbedNotebook1->setCurrentIndex(1);
    QVERIFY(!editor.Panel1->isHidden());
    editor.Button4->click(); // nothing selected after the refresh
    QVERIFY(editor.selectgamee->text().isEmpty());
    QVERIFY(env.modals.shown.isEmpty());

    // With its emulator's titles beside the names: found by title, taken with Enter in "Find:".
    env.fake.on("LISTFULL", "STDOUT", "Name:             Description:\ngalaga            \"Galaga (Namco rev. B)\"\n");
    editor.setFieldBytes("mame", env.fake.program);
    QSignalSpy arrived(&env.main.launcher(), &Launcher::titlesArrived);
    editor.Button2->click();
    QVERIFY(editor.finder->field()->text().isEmpty());
    QVERIFY(arrived.wait(60000));
    QCOMPARE(editor.gamelist->model()->index(1, GameListModel::Title).data().toString(),
             QStringLiteral("Galaga (Namco rev. B)"));
    QTest::keyClicks(editor.finder->field(), QStringLiteral("namco"));
    QTest::keyClick(editor.finder->field(), Qt::Key_Return);
    QCOMPARE(editor.selectgamee->text(), QStringLiteral("galaga.zip"));
    QVERIFY(editor.Panel1->isHidden());
}

// Each Information button shows its text and changes nothing, the game list panel included.
void TestEditor::helpTexts()
{
    Scene env;
    const QByteArray roms = env.root.mkdir("emu/ROMS");
    TForm2 editor(newConfiguration(env.main), &env.main);
    editor.show();
    editor.radioButton("selectgame1")->click();
    editor.Button2->click();
    act(editor, {{"beam", "1"}, {"beame", "3"}});
    const State before = editor.state();
    QStringList expected;
    for (const HelpTexts::Entry &e : HelpTexts::Entries) {
        editor.infoButton(e.button)->click();
        expected << QString::fromUtf16(e.text);
    }
    QCOMPARE(env.modals.messages(), expected);
    QCOMPARE(env.modals.shown.size(), HelpTexts::Count);
    QCOMPARE(editor.state(), before);
    QVERIFY(!editor.Panel1->isHidden());
}

QTEST_MAIN(TestEditor)
#include "tst_configeditor.moc"
