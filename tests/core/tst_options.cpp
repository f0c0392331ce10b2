// The option catalogue and the two mappings between control states and configuration lines.
#include "config.h"
#include "fileio.h"
#include "linebuffer.h"
#include "options.h"
#include "changes.h"
#include "testutil.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

using namespace Options;
using namespace TestUtil;

namespace {

using LineValues = QList<QPair<int, QByteArray>>;


} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void catalogueCoversEveryLineOnce();
    void catalogueNamesAreUnique();

    void defaultFile();
    void roundTrip_data();
    void roundTrip();
    void everyRadioValue_data();
    void everyRadioValue();
    void joystickLine_data();
    void joystickLine();

    void matchingRules_data();
    void matchingRules();
    void loadingOrder();
    void rulesOnState_data();
    void rulesOnState();

    void badInputLoadsAndSettles();

    void checksInOrder_data();
    void checksInOrder();
    void targetPath_data();
    void targetPath();
    void autoRomDirectory();
    void gameListDirectory();
};

void TestOptions::catalogueCoversEveryLineOnce()
{
    QMap<int, QByteArray> owner;
    auto claim = [&](int line, const QByteArray &who) {
        if (line < 0)
            return;
        QVERIFY2(!owner.contains(line), qPrintable(QString("line %1: %2 and %3").arg(line).arg(QString(owner[line]), QString(who))));
        owner.insert(line, who);
    };
    for (const RadioGroup &g : RadioGroups)
        claim(g.line, g.key);
    for (const Check &c : Checks)
        claim(c.line, c.name);
    for (const Field &f : Fields)
        claim(f.line, f.name);
    owner.insert(Config::OptionString, "option string");
    QCOMPARE(owner.size(), Config::LineCount);
    QCOMPARE(owner.firstKey(), 0);
    QCOMPARE(owner.lastKey(), Config::LineCount - 1);
    // Loading visits every line it reads exactly once: all but the option string.
    QList<int> order(LoadOrder.begin(), LoadOrder.end());
    QCOMPARE(QSet<int>(order.begin(), order.end()).size(), order.size());
    QCOMPARE(order.size(), Config::LineCount - 1);
    QVERIFY(!order.contains(Config::OptionString));
}

void TestOptions::catalogueNamesAreUnique()
{
    QSet<QByteArray> names;
    auto add = [&](const QByteArray &name) {
        QVERIFY2(!names.contains(name), name.constData());
        names.insert(name);
    };
    int infos = 0;
    for (const Box &b : Boxes) {
        add(b.name);
        if (*b.info) {
            add(b.info);
            ++infos;
        }
    }
    for (const RadioGroup &g : RadioGroups) {
        QVERIFY(g.buttons.size() >= 2);
        if (*g.box)
            QCOMPARE(int(box(g.box)->page), int(g.page));
        for (const RadioButton &b : g.buttons)
            add(b.name);
    }
    for (const Check &c : Checks) {
        add(c.name);
        if (*c.box)
            QCOMPARE(int(box(c.box)->page), int(c.page));
    }
    for (const Field &f : Fields)
        add(f.name);
    QCOMPARE(infos, 33);
}

void TestOptions::defaultFile()
{
    const QList<QByteArray> lines = save(State::initial());
    QCOMPARE(lines.size(), 54);
    QCOMPARE(lines.at(7), QByteArray("-scanlines"));
    QCOMPARE(lines.at(41), QByteArray(5, ' ') + "-scanlines" + QByteArray(33, ' '));
    QCOMPARE(lines.at(41).size(), 48);
    for (int n = 0; n < 54; ++n)
        if (n != 7 && n != 41)
            QVERIFY2(lines.at(n).isEmpty(), qPrintable(QString::number(n)));
    QVERIFY(LineBuffer::join(lines).endsWith("\r\n\r\n"));
    QCOMPARE(load(lines), State::initial());
}

// Save, load into a fresh state, save again: the same lines and the same state.
void TestOptions::roundTrip_data()
{
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<LineValues>("expected");
    using L = LineValues;

    QTest::newRow("other resolution") << Changes{{"resolution", "4"}, {"resolutione1", "1024x768"}}
                                      << L{{3, "-resolution 1024x768"}, {42, "1024x768"}};
    QTest::newRow("other resolution untouched") << Changes{{"resolution", "4"}}
                                                << L{{3, "-resolution 000x000"}, {42, "000x000"}};
    QTest::newRow("other resolution emptied") << Changes{{"resolution", "4"}, {"resolutione1", ""}}
                                              << L{{3, "-resolution "}, {42, ""}};
    QTest::newRow("gamma") << Changes{{"gamma", "1"}, {"gammae", "1.2"}} << L{{6, "-gamma 1.2"}, {43, "1.2"}};
    QTest::newRow("gamma blank") << Changes{{"gamma", "1"}, {"gammae", " "}} << L{{6, "-gamma  "}, {43, " "}};
    QTest::newRow("game") << Changes{{"selectgame", "1"}, {"selectgamee", "pacman.zip"}} << L{{1, "pacman.zip"}};
    const struct { const char *check, *field; int line; const char *prefix; } args[] = {
        {"skiplines", "skiplinese", 27, "-skiplines  "}, {"skipcolumns", "skipcolumnse", 28, "-skipcolumns "},
        {"centerx", "centerxe", 29, "-centerx   "}, {"centery", "centerye", 30, "-centery   "},
        {"audiosamplerate", "audiosampleratee", 31, "-sr "}, {"frameskip", "frameskipe", 32, "-frameskip "},
        {"beam", "beame", 33, "-beam "}, {"flicker", "flickere", 34, "-flicker "}};
    for (const auto &a : args) {
        const int textLine = field(a.field)->line;
        QTest::addRow("%s", a.check) << Changes{{a.check, "1"}, {a.field, "-3 "}}
                                     << L{{a.line, QByteArray(a.prefix) + "-3 "}, {textLine, "-3 "}};
        QTest::addRow("%s empty", a.check) << Changes{{a.check, "1"}}
                                           << L{{a.line, a.prefix}, {textLine, ""}};
    }
    QTest::newRow("no rotate") << Changes{{"norotate", "1"}} << L{{37, "-norotate"}};
    QTest::newRow("manual rom directory") << Changes{{"Autoselect", "0"}, {"Edit1", "/roms"}}
                                          << L{{52, "/roms"}, {53, "sim"}};
    QTest::newRow("accented utf-8") << Changes{{"aboutconfiguration", "Configura\xC3\xA7\xC3\xA3o \xC2\xB4"},
                                                     {"extra", "-ext\xC3\xA9 -x"}}
                                    << L{{0, "Configura\xC3\xA7\xC3\xA3o \xC2\xB4"}, {39, "-ext\xC3\xA9 -x"}};
    QTest::newRow("latin-1 bytes") << Changes{{"aboutconfiguration", "Configura\xE7\xE3o"}, {"mame", "/m\xE1me"}}
                                   << L{{0, "Configura\xE7\xE3o"}, {40, "/m\xE1me"}};
}

void TestOptions::roundTrip()
{
    QFETCH(Changes, changes);
    QFETCH(LineValues, expected);
    const State s = stateWith(changes);
    const QList<QByteArray> lines = save(s);
    QCOMPARE(lines.size(), 54);
    for (const auto &[n, value] : expected)
        QCOMPARE(lines.at(n), value);
    QCOMPARE(lines.at(41), Config::optionString(lines));
    const State back = load(lines);
    QCOMPARE(save(back), lines);
    QCOMPARE(load(save(back)), back);
}

void TestOptions::everyRadioValue_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<int>("button");
    for (const RadioGroup &g : RadioGroups)
        for (size_t i = 0; i < g.buttons.size(); ++i)
            if (g.line >= 0)
                QTest::addRow("%s", g.buttons[i].name) << QByteArray(g.key) << int(i);
}

void TestOptions::everyRadioValue()
{
    QFETCH(QByteArray, group);
    QFETCH(int, button);
    const RadioGroup *g = radioGroup(group);
    const RadioButton &b = g->buttons[size_t(button)];
    State s = State::initial();
    s.select(group, button);
    if (b.argument)
        s.setText(g->field, "v");
    const QList<QByteArray> lines = save(s);
    QCOMPARE(lines.at(g->line), QByteArray(b.value) + (b.argument ? "v" : ""));
    // Only the button's own line, its field's line and the option string differ from the
    // default file.
    const QList<QByteArray> defaults = save(State::initial());
    const int fieldLine = *g->field ? field(g->field)->line : -1;
    for (int n = 0; n < 54; ++n)
        if (n != g->line && n != 41 && n != fieldLine)
            QCOMPARE(lines.at(n), defaults.at(n));
    QCOMPARE(load(lines).selected(group), button);
    QCOMPARE(save(load(lines)), lines);
}

void TestOptions::joystickLine_data()
{
    QTest::addColumn<bool>("use");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("typeBack");
    QTest::addColumn<int>("entryBack");
    QTest::newRow("unused") << false << 0 << -1 << QByteArray() << 0 << -1;
    QTest::newRow("unused, manual entry") << false << 1 << 3 << QByteArray() << 0 << -1;
    QTest::newRow("auto") << true << 0 << -1 << QByteArray("-joy auto") << 0 << -1;
    QTest::newRow("auto with an entry picked") << true << 0 << 5 << QByteArray("-joy auto") << 0 << -1;
    // Manual selection with nothing picked: detection, and it loads back as such.
    QTest::newRow("manual, no entry") << true << 1 << -1 << QByteArray("-joy auto") << 0 << -1;
    for (int i = 0; i < int(Config::Joysticks.size()); ++i)
        QTest::addRow("entry %d", i) << true << 1 << i << QByteArray(Config::Joysticks[size_t(i)].value) << 1 << i;
}

void TestOptions::joystickLine()
{
    QFETCH(bool, use);
    QFETCH(int, type);
    QFETCH(int, entry);
    QFETCH(QByteArray, line);
    QFETCH(int, typeBack);
    QFETCH(int, entryBack);
    State s = State::initial();
    s.setChecked(JoystickCheck, use);
    s.select(JoystickGroup, type);
    s.setJoystickEntry(entry);
    const QList<QByteArray> lines = save(s);
    QCOMPARE(lines.size(), 54);
    QCOMPARE(lines.at(14), line);
    const State back = load(lines);
    QCOMPARE(back.checked(JoystickCheck), !line.isEmpty());
    QCOMPARE(back.selected(JoystickGroup), typeBack);
    QCOMPARE(back.joystickEntry(), entryBack);
    QCOMPARE(save(back), lines);
}

// The loader's matching: exact, case-sensitive, untrimmed; any character counts as set.
void TestOptions::matchingRules_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<int>("expected"); // the chosen button, or 1/0 for a box

    QTest::newRow("resolution fixed") << 3 << QByteArray("-resolution 640x480") << QByteArray("resolution") << 2;
    QTest::newRow("resolution other") << 3 << QByteArray("-resolution 1024x768") << QByteArray("resolution") << 4;
    QTest::newRow("resolution trailing blank") << 3 << QByteArray("-resolution 640x480 ") << QByteArray("resolution") << 4;
    QTest::newRow("resolution blank") << 3 << QByteArray(" ") << QByteArray("resolution") << 4;
    QTest::newRow("cheat any text") << 2 << QByteArray("x") << QByteArray("cheatmode") << 1;
    QTest::newRow("cheat blank") << 2 << QByteArray(" ") << QByteArray("cheatmode") << 1;
    QTest::newRow("depth 16") << 5 << QByteArray("-depth 16") << QByteArray("colors") << 2;
    QTest::newRow("depth unknown") << 5 << QByteArray("-depth 24") << QByteArray("colors") << 0;
    QTest::newRow("depth other case") << 5 << QByteArray("-DEPTH 8") << QByteArray("colors") << 0;
    QTest::newRow("gamma any") << 6 << QByteArray("?") << QByteArray("gamma") << 1;
    QTest::newRow("noscanlines") << 7 << QByteArray("-noscanlines") << QByteArray("scanlines") << 1;
    QTest::newRow("noscanlines other case") << 7 << QByteArray("-NoScanlines") << QByteArray("scanlines") << 0;
    QTest::newRow("scanlines empty") << 7 << QByteArray() << QByteArray("scanlines") << 0;
    QTest::newRow("monitor arcade") << 8 << QByteArray("-monitor arcade") << QByteArray("video") << 3;
    QTest::newRow("rol") << 9 << QByteArray("-rol") << QByteArray("rotate") << 2;
    QTest::newRow("flipy") << 10 << QByteArray("-flipy") << QByteArray("flip") << 2;
    QTest::newRow("soundcard 6") << 11 << QByteArray("-soundcard 6") << QByteArray("soundcard") << 7;
    QTest::newRow("soundcard 7") << 11 << QByteArray("-soundcard 7") << QByteArray("soundcard") << 0;
    QTest::newRow("vgafreq 3") << 35 << QByteArray("-vgafreq 3") << QByteArray("vgafrequence") << 3;
    QTest::newRow("vesa2l") << 38 << QByteArray("-vesamode vesa2l") << QByteArray("vesa") << 3;
    QTest::newRow("mouse") << 18 << QByteArray("anything") << QByteArray("mouse") << 1;
    QTest::newRow("skiplines blank") << 27 << QByteArray(" ") << QByteArray("skiplines") << 1;
    QTest::newRow("norotate") << 37 << QByteArray("y") << QByteArray("norotate") << 1;
    QTest::newRow("manual roms") << 53 << QByteArray("no") << QByteArray("Autoselect") << 0;
    QTest::newRow("auto roms") << 53 << QByteArray() << QByteArray("Autoselect") << 1;
    QTest::newRow("joystick unknown value") << 14 << QByteArray("-joy other") << QByteArray("joystick") << 1;
}

void TestOptions::matchingRules()
{
    QFETCH(int, line);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, control);
    QFETCH(int, expected);
    const State s = load(TestUtil::configLines(54, {{line, value}}));
    if (radioGroup(control))
        QCOMPARE(s.selected(control), expected);
    else
        QCOMPARE(int(s.checked(control)), expected);
}

void TestOptions::loadingOrder()
{
    // Choosing "Other:" puts the preset in; the stored text (line 42) comes later and wins, even
    // when it is empty. The game's name comes from its own line.
    QList<QByteArray> lines = TestUtil::configLines(54, {{1, "galaga.zip"}, {3, "-resolution 1x1"}, {42, ""},
                                                          {14, "-joy grip"}, {53, "sim"}, {52, "/r"}});
    const QList<Step> steps = loadSteps(lines);
    auto indexOf = [&](Step::Kind kind, const QByteArray &control) {
        for (int i = 0; i < steps.size(); ++i)
            if (steps[i].kind == kind && steps[i].control == control)
                return i;
        return -1;
    };
    QVERIFY(indexOf(Step::Kind::Select, "resolution") < indexOf(Step::Kind::Text, "resolutione1"));
    QVERIFY(indexOf(Step::Kind::Select, "selectgame") < indexOf(Step::Kind::Text, "selectgamee"));
    QVERIFY(indexOf(Step::Kind::Check, "joystick") < indexOf(Step::Kind::Select, JoystickGroup));
    QVERIFY(indexOf(Step::Kind::Select, JoystickGroup) < indexOf(Step::Kind::JoystickEntry, JoystickList));
    QVERIFY(indexOf(Step::Kind::Text, "mame") < indexOf(Step::Kind::Check, "Autoselect"));
    QVERIFY(indexOf(Step::Kind::Check, "Autoselect") < indexOf(Step::Kind::Text, "Edit1"));
    const State s = load(lines);
    QCOMPARE(s.selected("resolution"), 4);
    QCOMPARE(s.text("resolutione1"), QByteArray());
    QCOMPARE(s.text("selectgamee"), QByteArray("galaga.zip"));
    QCOMPARE(s.joystickEntry(), 10);
    QCOMPARE(s.text("Edit1"), QByteArray("/r"));
}

// The companion rules, as the handlers apply them.
void TestOptions::rulesOnState_data()
{
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("checked box: empty, usable") << Changes{{"beam", "1"}} << QByteArray("beame") << QByteArray() << true;
    QTest::newRow("cleared box loses the value")
        << Changes{{"beam", "1"}, {"beame", "2"}, {"beam", "0"}} << QByteArray("beame") << QByteArray() << false;
    QTest::newRow("checked again: empty")
        << Changes{{"beam", "1"}, {"beame", "2"}, {"beam", "0"}, {"beam", "1"}} << QByteArray("beame") << QByteArray() << true;
    QTest::newRow("other: preset")
        << Changes{{"resolution", "4"}} << QByteArray("resolutione1") << QByteArray("000x000") << true;
    QTest::newRow("other again: preset")
        << Changes{{"resolution", "4"}, {"resolutione1", "9x9"}, {"resolution", "2"}, {"resolution", "4"}}
        << QByteArray("resolutione1") << QByteArray("000x000") << true;
    QTest::newRow("other chosen twice keeps the text")
        << Changes{{"resolution", "4"}, {"resolutione1", "9x9"}, {"resolution", "4"}}
        << QByteArray("resolutione1") << QByteArray("9x9") << true;
    QTest::newRow("fixed resolution clears")
        << Changes{{"resolution", "4"}, {"resolution", "1"}} << QByteArray("resolutione1") << QByteArray() << false;
    QTest::newRow("gamma use after don't use: empty")
        << Changes{{"gamma", "1"}, {"gammae", "2"}, {"gamma", "0"}, {"gamma", "1"}} << QByteArray("gammae") << QByteArray() << true;
    QTest::newRow("all games empties the game")
        << Changes{{"selectgame", "1"}, {"selectgamee", "a.zip"}, {"selectgame", "0"}, {"selectgame", "1"}}
        << QByteArray("selectgamee") << QByteArray() << true;
    QTest::newRow("rom directory manual") << Changes{{"Autoselect", "0"}} << QByteArray("Edit1") << QByteArray() << true;
    QTest::newRow("joystick list follows manual")
        << Changes{{"joystick", "1"}, {"joysticktype", "1"}, {"joystick", "0"}} << QByteArray("joysticklist") << QByteArray() << true;
    QTest::newRow("joystick buttons follow the box")
        << Changes{{"joystick", "1"}, {"joystick", "0"}} << QByteArray("joystick1") << QByteArray() << false;
}

void TestOptions::rulesOnState()
{
    QFETCH(Changes, changes);
    QFETCH(QByteArray, field);
    QFETCH(QByteArray, text);
    QFETCH(bool, enabled);
    const State s = stateWith(changes);
    if (Options::field(field))
        QCOMPARE(s.text(field), text);
    QCOMPARE(s.enabled(field), enabled);
}

// Whatever a file holds, loading does not fail, and what a save writes loads back to itself.
void TestOptions::badInputLoadsAndSettles()
{
    QRandomGenerator random(4242);
    const QList<QByteArray> pool = {"", " ", "-resolution 640x480", "-noscanlines", "-joy grip4", "-joy auto",
                                    "-depth 8", "sim", "old", QByteArray(70000, 'x'), "\xFF\xFE\x01\x7F",
                                    "-soundcard 3", "caf\xE9", "\xC3\xA9t\xC3\xA9"};
    for (int round = 0; round < 300; ++round) {
        QList<QByteArray> lines;
        const int count = int(random.bounded(60));
        for (int n = 0; n < count; ++n) {
            if (random.bounded(3) == 0) {
                QByteArray bytes(int(random.bounded(40)), '\0');
                for (char &c : bytes)
                    c = char(1 + random.bounded(255));
                lines << bytes;
            } else {
                lines << pool.at(int(random.bounded(int(pool.size()))));
            }
        }
        const State s = load(lines);
        const QList<QByteArray> saved = save(s);
        QCOMPARE(saved.size(), 54);
        QCOMPARE(save(load(saved)), saved);
    }
}

void TestOptions::checksInOrder_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("mame");  // "file", "dir" or text
    QTest::addColumn<QByteArray>("roms");  // "dir" or text
    QTest::addColumn<int>("result");
    QTest::newRow("all missing") << QByteArray() << QByteArray() << QByteArray() << int(SaveCheck::NoName);
    QTest::newRow("a path for a name") << QByteArray("../escape") << QByteArray("file") << QByteArray("dir")
                                       << int(SaveCheck::NameHasSeparator);
    QTest::newRow("a blank name is none") << QByteArray(" ") << QByteArray() << QByteArray() << int(SaveCheck::NoName);
    QTest::newRow("nor one of invisible characters") << QByteArray("\t\xe2\x80\x8b\xc2\xad") << QByteArray() << QByteArray()
                                                     << int(SaveCheck::NoName);
    QTest::newRow("blanks around a name pass the first") << QByteArray(" a ") << QByteArray() << QByteArray()
                                                         << int(SaveCheck::NoEmulator);
    QTest::newRow("emulator is a directory") << QByteArray("a") << QByteArray("dir") << QByteArray("dir") << int(SaveCheck::NoEmulator);
    QTest::newRow("emulator missing") << QByteArray("a") << QByteArray("/no/such") << QByteArray("dir") << int(SaveCheck::NoEmulator);
    QTest::newRow("roms empty") << QByteArray("a") << QByteArray("file") << QByteArray() << int(SaveCheck::NoRomDirectory);
    QTest::newRow("roms is a file") << QByteArray("a") << QByteArray("file") << QByteArray("file") << int(SaveCheck::NoRomDirectory);
    QTest::newRow("passes") << QByteArray("a") << QByteArray("file") << QByteArray("dir") << int(SaveCheck::Passed);
}

void TestOptions::checksInOrder()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, mame);
    QFETCH(QByteArray, roms);
    QFETCH(int, result);
    ScratchDir dir;
    const QByteArray file = dir.file("mame");
    TestUtil::writeFile(file, "x");
    auto resolve = [&](const QByteArray &v) { return v == "file" ? file : v == "dir" ? dir.path() : v; };
    State s = State::initial();
    s.setText("config", name);
    s.setText("mame", resolve(mame));
    s.setText("Edit1", resolve(roms));
    QCOMPARE(int(checkBeforeSave(s)), result);
    QCOMPARE(checkMessage(SaveCheck::NoRomDirectory), QString::fromUtf8("Roms Directory field empty or doesn\xC2\xB4t exists"));
}

void TestOptions::targetPath_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("path");
    QTest::newRow("plain") << QByteArray("abc") << QByteArray("/c/abc.tvo");
    QTest::newRow("with extension") << QByteArray("abc.tvo") << QByteArray("/c/abc.tvo");
    QTest::newRow("capital extension") << QByteArray("abc.TVO") << QByteArray("/c/abc.TVO");
    QTest::newRow("other extension") << QByteArray("abc.cfg") << QByteArray("/c/abc.cfg.tvo");
}

void TestOptions::targetPath()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, path);
    QCOMPARE(Options::targetPath("/c", name), path);
}

void TestOptions::autoRomDirectory()
{
    ScratchDir dir;
    const QByteArray withRoms = dir.mkdir("a");
    dir.mkdir("a/Roms");
    const QByteArray withUpper = dir.mkdir("b");
    dir.mkdir("b/ROMS");
    const QByteArray plain = dir.mkdir("c");
    TestUtil::writeFile(dir.file("c/ROMS"), "a file, not a directory");
    bool found = false;
    QCOMPARE(Options::autoRomDirectory(withRoms + "/mame", &found), withRoms + "/Roms");
    QVERIFY(found);
    QCOMPARE(Options::autoRomDirectory(withUpper + "/mame", &found), withUpper + "/ROMS");
    QVERIFY(found);
    QCOMPARE(Options::autoRomDirectory(plain + "/mame", &found), plain);
    QVERIFY(found);
    Options::autoRomDirectory(dir.file("none/mame"), &found);
    QVERIFY(!found);
}

void TestOptions::gameListDirectory()
{
    ScratchDir dir;
    const QByteArray config = dir.mkdir("config");
    const QByteArray roms = dir.mkdir("roms");
    QCOMPARE(Options::gameListDirectory(roms, config), roms);
    QCOMPARE(Options::gameListDirectory(dir.file("gone"), config), config);
    QCOMPARE(Options::gameListDirectory(QByteArray(), config), config);
    dir.mkdir("config/ROMs");
    QCOMPARE(Options::gameListDirectory(dir.file("gone"), config), config + "/ROMs");
}

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
