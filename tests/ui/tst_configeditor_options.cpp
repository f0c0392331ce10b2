// The Emulator Options page in the editor: built from what the stand-in emulator says of its
// options, each option read from line 39 and written back into it as the user set it.
#include "configeditor.h"
#include "config.h"
#include "emulatoranswers.h"
#include "mainwindow.h"
#include "optionspage.h"
#include "scene.h"
#include "testutil.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

using namespace TestUtil;

namespace {

// Opens the configuration `lines` in the editor, shows the page once the emulator has said what
// it has, and runs `use` on it; the page's own controls are found by their option names.
void onThePage(Scene &scene, Lines lines, const std::function<void(TForm2 &, OptionsPage &)> &use)
{
    QSignalSpy answered(&scene.main.launcher().answers, &EmulatorAnswers::answered);
    scene.select(lines);
    QVERIFY(scene.edit([&](TForm2 &editor) {
        QVERIFY(waitForAnswer(answered, EmulatorAnswers::Question::Switches));
        QVERIFY(waitForAnswer(answered, EmulatorAnswers::Question::ShowUsage));
        editor.TabbedNotebook1->setCurrentIndex(6);
        auto *page = editor.findChild<OptionsPage *>(QStringLiteral("EmulatorOptions"));
        QVERIFY(page && page->isBuilt());
        use(editor, *page);
    }));
}

// Sets an option as a user would: "name=value"; a check takes 1, 0 or "" (not set).
void set(OptionsPage &page, const QString &change)
{
    const QString name = change.section(QLatin1Char('='), 0, 0);
    const QString value = change.section(QLatin1Char('='), 1);
    QWidget *control = page.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    if (auto *check = qobject_cast<QCheckBox *>(control))
        check->setCheckState(value.isEmpty() ? Qt::PartiallyChecked : value == QLatin1String("0") ? Qt::Unchecked : Qt::Checked);
    else
        qobject_cast<QLineEdit *>(control)->setText(value);
}

} // namespace

class TestEditorOptions : public QObject {
    Q_OBJECT
private slots:
    void line39_data();
    void line39();
    void thePage();
    void checkWithTheEmulator_data();
    void checkWithTheEmulator();
};

void TestEditorOptions::line39_data()
{
    QTest::addColumn<QByteArray>("loaded");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QByteArray>("saved");   // the line written; empty with `refused`
    QTest::addColumn<QString>("refused");    // the error Save shows instead, in part
    const QByteArray foreign = "-bogus  \"a b\" -nonumscreens 3 -oldswitch";
    QTest::newRow("unchanged: the user's words, quotes and another version's options")
        << foreign + " -autoframeskip -sp \"snaps\"" << QStringList() << foreign + " -autoframeskip -sp \"snaps\"" << QString();
    QTest::newRow("an on/off option set, one turned off, a number, a path")
        << QByteArray("-bogus") << QStringList{"autoframeskip=1", "throttle=0", "seconds_to_run=3", "snapshot_directory=/tmp/snaps"}
        << QByteArray("-bogus -autoframeskip -seconds_to_run 3 -snapshot_directory /tmp/snaps -nothrottle") << QString();
    QTest::newRow("a change in place, a clearing, the rest kept")
        << QByteArray("-prescale 2 -keep -w  -nothrottle") << QStringList{"prescale=3", "window=", "throttle=1"}
        << QByteArray("-prescale 3 -keep -throttle") << QString();
    QTest::newRow("an alias and a -noNAME read as their options: not set twice")
        << QByteArray("-sp a -samplepath b -nowindow") << QStringList{"samplepath=c", "window="}
        << QByteArray("-samplepath c -samplepath b") << QString();
    QTest::newRow("another page's option stays the user's words")
        << QByteArray("-effect crt -rompath /r") << QStringList() << QByteArray("-effect crt -rompath /r") << QString();
    QTest::newRow("a value with a blank refused, naming the option")
        << QByteArray() << QStringList{"snapshot_directory=my snaps"} << QByteArray() << QStringLiteral("-snapshot_directory");
    QTest::newRow("a value with a quote refused")
        << QByteArray() << QStringList{"bgfx_screen_chains=\"crt"} << QByteArray() << QStringLiteral("-bgfx_screen_chains");
}

void TestEditorOptions::line39()
{
    QFETCH(QByteArray, loaded);
    QFETCH(QStringList, changes);
    QFETCH(QByteArray, saved);
    QFETCH(QString, refused);
    Scene scene;
    Lines lines = scene.configuration();
    lines[Config::Extra] = loaded;
    const QByteArray file = PathRules::join(scene.configurationDirectory, "test.tvo");
    onThePage(scene, lines, [&](TForm2 &editor, OptionsPage &page) {
        for (const QString &c : changes)
            set(page, c);
        editor.Button27->click();
    });
    const Lines written = readFile(file).split('\n');
    if (refused.isEmpty()) {
        QCOMPARE(scene.errors(), QStringList());
        QCOMPARE(written.at(Config::Extra), saved + '\r');
        // The option string runs what line 39 says.
        QVERIFY(written.at(Config::OptionString).contains(saved));
    } else {
        QCOMPARE(scene.errors().size(), 1);
        QVERIFY2(scene.errors().first().contains(refused), qPrintable(scene.errors().first()));
        QCOMPARE(readFile(file), crlf(lines)); // nothing written
    }
}

// Every option the emulator lists, under its headings, with a control of its type; another page's
// options read-only with that page's caption; Find narrowing; set options in bold and counted.
void TestEditorOptions::thePage()
{
    Scene scene;
    Lines lines = scene.configuration();
    lines[Config::Extra] = "-autoframeskip";
    onThePage(scene, lines, [&](TForm2 &, OptionsPage &page) {
        auto check = [&](const char *name) { return page.findChild<QCheckBox *>(QLatin1String(name)); };
        auto field = [&](const char *name) { return page.findChild<QLineEdit *>(QLatin1String(name)); };
        // Types as the emulator said them: -frameskip is listed as 0 but takes no -noframeskip.
        QVERIFY(check("autoframeskip") && check("window"));
        QVERIFY(field("frameskip") && field("prescale") && field("snapshot_directory"));
        QVERIFY(field("seconds_to_run"));
        QCOMPARE(field("seconds_to_run")->placeholderText(), QStringLiteral("0"));
        QCOMPARE(check("autoframeskip")->checkState(), Qt::Checked);
        QCOMPARE(check("window")->checkState(), Qt::PartiallyChecked);
        // The label is the option's name and its buddy; the description is told.
        const QList<QLabel *> labels = page.findChildren<QLabel *>();
        const auto label = std::find_if(labels.begin(), labels.end(), [](QLabel *l) { return l->text() == QLatin1String("-window"); });
        QVERIFY(label != labels.end());
        QCOMPARE((*label)->buddy(), check("window"));
        QVERIFY(!check("window")->accessibleDescription().isEmpty());
        QCOMPARE(check("window")->toolTip(), check("window")->accessibleDescription());
        // Set, and counted under its heading.
        QVERIFY(page.findChild<QLabel *>() != nullptr);
        QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel *l) { return l->text() == QLatin1String("-autoframeskip") && l->font().bold(); }));
        const QList<QGroupBox *> boxes = page.findChildren<QGroupBox *>();
        QVERIFY(std::any_of(boxes.begin(), boxes.end(), [](QGroupBox *b) { return b->title().endsWith(QLatin1String("(1 set)")); }));
        // Another page's options: there, read-only, saying which page sets them.
        for (const char *name : {"effect", "rompath", "waitvsync", "cheat"}) {
            QVERIFY2(field(name) && field(name)->isReadOnly(), name);
        }
        QCOMPARE(field("effect")->text(), QStringLiteral("Set on the Video Configuratin page"));
        QCOMPARE(field("rompath")->text(), QStringLiteral("Set on the Game Options page"));
        // Find narrows by name or description, and shows everything again when cleared.
        QTest::keyClicks(page.findField(), QStringLiteral("vsync"));
        QVERIFY(!check("window")->isVisibleTo(&page));
        QVERIFY(field("waitvsync")->isVisibleTo(&page));
        page.findField()->clear();
        QVERIFY(check("window")->isVisibleTo(&page));
    });
}

void TestEditorOptions::checkWithTheEmulator_data()
{
    QTest::addColumn<QByteArray>("extra");      // line 39 as loaded
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("option");        // the option a note stands beside ("": none)
    QTest::addColumn<QString>("said");          // in that note, or else in the verdict
    QTest::newRow("every option taken") << QByteArray() << QStringList{"prescale=2", "autoframeskip=1"} << QString()
        << QStringLiteral("The emulator takes every option as set.");
    QTest::newRow("a number out of range, beside its option") << QByteArray() << QStringList{"prescale=99"}
        << QStringLiteral("prescale")
        << QStringLiteral("Out-of-range integer value for prescale: \"99\" (must be between 1 and 8, inclusive); reverting to 1");
    QTest::newRow("an unknown option of the user's, in the verdict") << QByteArray("-bogus") << QStringList()
        << QString() << QStringLiteral("Error: unknown option: -bogus");
    QTest::newRow("a choice: only a run judges it") << QByteArray() << QStringList{"video=foo"}
        << QStringLiteral("video") << QStringLiteral("only a run tells");
}

void TestEditorOptions::checkWithTheEmulator()
{
    QFETCH(QByteArray, extra);
    QFETCH(QStringList, changes);
    QFETCH(QString, option);
    QFETCH(QString, said);
    Scene scene;
    Lines lines = scene.configuration();
    lines[Config::Extra] = extra;
    onThePage(scene, lines, [&](TForm2 &, OptionsPage &page) {
        for (const QString &c : changes)
            set(page, c);
        QVERIFY(page.checkButton()->isVisibleTo(&page));
        QTest::keyClick(&page, Qt::Key_H, Qt::AltModifier); // from the keyboard
        QTRY_VERIFY_WITH_TIMEOUT(!page.verdict()->isHidden(), 30000);
        QVERIFY(page.checkButton()->isEnabled());
        if (option.isEmpty())
            QVERIFY2(page.verdict()->text().contains(said), qPrintable(page.verdict()->text()));
        else
            QVERIFY2(page.noteOf(option.toUtf8()).contains(said), qPrintable(page.noteOf(option.toUtf8())));
        // The run was the configuration's switches with -showconfig, nothing else.
        const QList<QByteArray> call = scene.fake.argumentLists().constLast();
        QCOMPARE(call.constLast(), QByteArray("-showconfig"));
    });
    QCOMPARE(scene.errors(), QStringList());
}

QTEST_MAIN(TestEditorOptions)
#include "tst_configeditor_options.moc"
