// A configuration made in the editor with its helpers, run with the stand-in emulator, and
// opened again for editing.
#include "configeditor.h"
#include "application.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "guard.h"
#include "linebuffer.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "mainwindow.h"
#include "scene.h"
#include "../fakemame/fakemamecontrol.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace TestUtil;

class TestEditorRun : public QObject {
    Q_OBJECT
private slots:
    void madeRunAndEditedAgain();
};

void TestEditorRun::madeRunAndEditedAgain()
{
    Scene scene;
    FakeMame &fake = scene.fake;
    ScriptedModals &modals = scene.modals;
    TForm1 &main = scene.main;
    const QByteArray roms = scene.root.mkdir("emu/roms");
    for (const char *game : {"galaga.zip", "pacman.zip"})
        writeFile(roms + "/" + game, "zip");
    writeFile(fake.directory + "/mame.cfg", crlf(numbered(12)));

    // New Configuration: the executable picked in the dialog, the ROM directory following it, a
    // game from the list, a few options.
    Options::State made;
    bool opened = false;
    modals.answerFile(fake.program);
    whenShown<TForm2>([&](TForm2 &shownEditor) {
        auto *editor = &shownEditor;
        opened = true;
        editor->Button3->click();
        QCOMPARE(editor->fieldBytes("Edit1"), roms);
        editor->TabbedNotebook1->setCurrentIndex(1);
        editor->radioButton("selectgame1")->click();
        editor->Button2->click();
        editor->gamelist->setItemIndex(int(editor->gamelist->names().indexOf("pacman.zip")));
        editor->Button4->click();
        QCOMPARE(editor->selectgamee->text(), QStringLiteral("pacman.zip"));
        editor->radioButton("resolution2")->click();
        editor->radioButton("scanlines1")->click();
        editor->checkBox("beam")->click();
        editor->field("beame")->setText("2");
        editor->extra->setText("-sound none");
        editor->config->setText("made here");
        made = editor->state();
        editor->Button33->click();
        if (editor->isVisible())
            editor->close();
    });
    runCommand([&] { main.NewConfiguration1Click(); });
    QVERIFY(opened);
    QCOMPARE(modals.errors(), QStringList());
    QCOMPARE(modals.messages(), QStringList{"File made here saved!"});
    QVERIFY(main.lista->names().contains("made here.tvo"));

    // Run it: the emulator starts in its directory with the game and the switches it takes.
    main.lista->setItemIndex(int(main.lista->names().indexOf("made here.tvo")));
    {
        ExitWatch watch;
        runCommand([&] { main.RunConfiguration1Click(); });
        watch.wait();
    }
    QCOMPARE(modals.errors(), QStringList());
    const QList<FakeCall> calls = fake.calls();
    QCOMPARE(calls.last().directory, fake.directory);
    QCOMPARE(calls.last().arguments,
             (QList<QByteArray>{"pacman", "-resolution", "640x480", "-effect", "none", "-beam_width_min", "2",
                                "-beam_width_max", "2", "-sound", "none"}));
    QCOMPARE(LineBuffer::split(readFile(fake.directory + "/mame.cfg")).at(11), "rompath = .;ROMS;" + roms);

    // Edit configuration: every control as it was saved.
    main.lista->setItemIndex(int(main.lista->names().indexOf("made here.tvo")));
    opened = false;
    whenShown<TForm2>([&](TForm2 &shownEditor) {
        auto *editor = &shownEditor;
        opened = true;
        Options::State shown = editor->state();
        QCOMPARE(shown.text("config"), QByteArray("made here.tvo"));
        shown.setText("config", "made here");
        QCOMPARE(shown, made);
        editor->Button34->click();
    });
    runCommand([&] { main.ImportConfiguration1Click(); });
    QVERIFY(opened);
    QCOMPARE(modals.errors(), QStringList());
}

QTEST_MAIN(TestEditorRun)
#include "tst_configeditor_run.moc"
