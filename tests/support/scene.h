// The scene most window tests play in: a configuration directory (current while the windows
// live), a ROM directory, an emulator directory holding the stand-in emulator, the scripted modal
// seam and the program's long-lived windows.
#pragma once

#include "application.h"
#include "emulatoranswers.h"
#include "scriptedmodals.h"
#include "testutil.h"
#include "../fakemame/fakemamecontrol.h"

#include <QByteArray>
#include <QList>
#include <QSignalSpy>
#include <QWidget>
#include <functional>

class TForm1;
class TForm2;
class TForm3;

namespace TestUtil {

// Runs `action` on the next window of type T that is shown, once it is up (after the show has
// been handled): how tests answer a window that a command opens modally. Waits that run their own
// event loop before the window opens do not disturb it, as a timer would be.
void whenShown(const QMetaObject &type, const std::function<void(QWidget *)> &action);

// Waits until `answered`, a spy on EmulatorAnswers::answered, has seen an answer to `question`
// (the questions asked before it answer first); false when none came.
bool waitForAnswer(QSignalSpy &answered, EmulatorAnswers::Question question);
template <class T>
void whenShown(const std::function<void(T &)> &action)
{
    whenShown(T::staticMetaObject, [action](QWidget *w) { action(*static_cast<T *>(w)); });
}

using Calls = QList<QList<QByteArray>>;
using Lines = QList<QByteArray>;

struct Scene {
    // `emulatorDirectory` is the name of the stand-in emulator's directory under the scene's root.
    explicit Scene(const QByteArray &emulatorDirectory = "emu");

    ScratchDir root;
    // A home, a cache and user settings of the scene's own: the emulator's mame.ini, the kept
    // answers of emulators and the put-away notices never touch the user's.
    Environment environment;
    const QByteArray home;
    const QByteArray configurationDirectory;
    const QByteArray romDirectory;
    CurrentDir current;
    FakeMame fake;
    ScriptedModals modals;
    ApplicationWindows windows;
    TForm1 &main;
    TForm3 &selector;

    // A 54-line configuration running `game` with the stand-in emulator (or `program`), the
    // option string `options`, and the scene's ROM directory.
    Lines configuration(const QByteArray &game = "pacman.zip", const QByteArray &program = {},
                        const QByteArray &options = "-cheat ") const;
    // Writes a configuration file and selects it in the main window; the selection's own errors
    // are shown as usual.
    void select(const Lines &lines, const QByteArray &name = "test.tvo");
    void selectFile(const QByteArray &content, const QByteArray &name = "test.tvo");
    // Tells the ROM selector what Run Configuration tells it before showing it: the selected
    // configuration's ROM directory and emulator.
    void prepareSelector();
    // Runs a command of the main window behind the event boundary, waiting for any game it starts.
    void command(const std::function<void()> &handler);
    void command(void (TForm1::*handler)());
    // Runs the selected configuration; `pick` answers the ROM selector when it shows.
    void run(const QByteArray &pick = {});
    // Opens the selected configuration in the editor; `inspect` looks at it before it closes.
    // False when no editor opened.
    bool edit(const std::function<void(TForm2 &)> &inspect);
    // The calls of the stand-in emulator that started a game (not the ones that asked or prepared).
    Calls games() const;
    QStringList errors() const { return modals.errors(); }
};

} // namespace TestUtil
