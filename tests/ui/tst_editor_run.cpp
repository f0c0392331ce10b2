// A configuration made in the editor with its helpers, run with the stand-in emulator, and
// opened again for editing.
#include "Unit2.h"
#include "application.h"
#include "filelistbox.h"
#include "guard.h"
#include "linebuffer.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "tvm.h"
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
    ScratchDir root;
    const QByteArray configurations = root.mkdir("configs");
    CurrentDir current{configurations};
    FakeMame fake{root.file("emu")};
    const QByteArray roms = root.mkdir("emu/roms");
    for (const char *game : {"galaga.zip", "pacman.zip"})
        writeFile(roms + "/" + game, "zip");
    QList<QByteArray> settings;
    for (int i = 0; i < 12; ++i)
        settings << "n" + QByteArray::number(i);
    writeFile(fake.directory + "/mame.cfg", crlf(settings));
    ScriptedModals modals;
    ApplicationWindows windows;
    TForm1 &main = *windows.Form1;

    // New Configuration: the executable picked in the dialog, the ROM directory following it, a
    // game from the list, a few options.
    Options::State made;
    bool opened = false;
    modals.answerFile(fake.program);
    QTimer::singleShot(0, &main, [&] {
        auto *editor = main.findChild<TForm2 *>();
        if (!editor)
            return;
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
        editor->extra->setText("-nosound");
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

    // Run it: the emulator starts in its directory with the game and the switches.
    main.lista->setItemIndex(int(main.lista->names().indexOf("made here.tvo")));
    {
        ExitWatch watch;
        runCommand([&] { main.RunConfiguration1Click(); });
        watch.wait();
    }
    QCOMPARE(modals.errors(), QStringList());
    const QList<FakeCall> calls = fake.calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.at(0).directory, fake.directory);
    QCOMPARE(calls.at(0).arguments,
             (QList<QByteArray>{"pacman", "-resolution", "640x480", "-noscanlines", "-beam", "2", "-nosound"}));
    QCOMPARE(LineBuffer::split(readFile(fake.directory + "/mame.cfg")).at(11), "rompath = .;ROMS;" + roms);

    // Edit configuration: every control as it was saved.
    main.lista->setItemIndex(int(main.lista->names().indexOf("made here.tvo")));
    opened = false;
    QTimer::singleShot(0, &main, [&] {
        auto *editor = main.findChild<TForm2 *>();
        if (!editor)
            return;
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
#include "tst_editor_run.moc"
