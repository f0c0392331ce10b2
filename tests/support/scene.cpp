#include "scene.h"

#include "Unit2.h"
#include "Unit3.h"
#include "filelistbox.h"
#include "guard.h"
#include "pathrules.h"
#include "tvm.h"

#include <QPushButton>
#include <QTimer>

namespace TestUtil {

Scene::Scene(const QByteArray &emulatorDirectory)
    : configurationDirectory(root.mkdir("configs"))
    , romDirectory(root.mkdir("roms"))
    , current(configurationDirectory)
    , fake(root.file(emulatorDirectory))
    , main(*windows.Form1)
    , selector(*windows.Form3)
{
}

Lines Scene::configuration(const QByteArray &game, const QByteArray &program, const QByteArray &options) const
{
    return configLines(54, {{0, "described"}, {1, game}, {40, program.isEmpty() ? fake.program : program},
                            {41, options}, {52, romDirectory}});
}

void Scene::select(const Lines &lines, const QByteArray &name)
{
    selectFile(crlf(lines), name);
}

void Scene::selectFile(const QByteArray &content, const QByteArray &name)
{
    writeFile(PathRules::join(configurationDirectory, name), content);
    main.lista->update();
    main.lista->setItemIndex(int(main.lista->names().indexOf(name)));
}

void Scene::command(const std::function<void()> &handler)
{
    ExitWatch watch;
    runCommand(handler);
    watch.wait();
}

void Scene::command(void (TForm1::*handler)())
{
    command([this, handler] { (main.*handler)(); });
}

void Scene::run(const QByteArray &pick)
{
    QTimer::singleShot(0, &selector, [this, pick] {
        if (!selector.isVisible())
            return;
        selector.gamelist->setItemIndex(int(selector.gamelist->names().indexOf(pick)));
        selector.Button1->click();
    });
    command(&TForm1::RunConfiguration1Click);
}

bool Scene::edit(const std::function<void(TForm2 &)> &inspect)
{
    bool opened = false;
    QTimer::singleShot(0, &main, [&] {
        if (auto *editor = main.findChild<TForm2 *>()) {
            opened = true;
            inspect(*editor);
            editor->close();
        }
    });
    command(&TForm1::ImportConfiguration1Click);
    return opened;
}

Calls Scene::games() const
{
    Calls out;
    for (const QList<QByteArray> &call : fake.argumentLists())
        if (call.isEmpty() || !call.first().startsWith('-'))
            out << call;
    return out;
}

} // namespace TestUtil
