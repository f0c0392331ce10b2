#include "scene.h"

#include <cstring>
#include <optional>
#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

#include "config.h"
#include "configeditor.h"
#include "romselector.h"
#include "filelistbox.h"
#include "gamelist.h"
#include "guard.h"
#include "pathrules.h"
#include "mainwindow.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <memory>

namespace TestUtil {

namespace {


// Watches the application for the first show of a window of one type.
class ShowWatch : public QObject {
public:
    // Owned by the application: a window that never shows leaves its watch until the end.
    ShowWatch(const QMetaObject &type, std::function<void(QWidget *)> action)
        : QObject(qApp), m_type(type), m_action(std::move(action))
    {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && watched->metaObject()->inherits(&m_type)) {
            qApp->removeEventFilter(this);
            QPointer<QWidget> w = static_cast<QWidget *>(watched);
            QTimer::singleShot(0, w, [action = m_action, w] {
                if (w)
                    action(w);
            });
            deleteLater();
        }
        return false;
    }

private:
    const QMetaObject &m_type;
    std::function<void(QWidget *)> m_action;
};

} // namespace

void whenShown(const QMetaObject &type, const std::function<void(QWidget *)> &action)
{
    new ShowWatch(type, action);
}

Scene::Scene(const QByteArray &emulatorDirectory)
    : home(ownHome(root, environment))
    , configurationDirectory(root.mkdir("configs"))
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
    main.lista->reload();
    main.lista->setItemIndex(int(main.lista->names().indexOf(name)));
}

void Scene::prepareSelector()
{
    const LineBuffer &lines = main.selectedLines();
    selector.setSource(
        {lines.at(Config::RomDirectory), main.launcher().emulatorProgram(lines), configurationDirectory});
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
    // Only a run that asks for its game shows the selector: the answer waits for it.
    auto answered = std::make_shared<bool>(false);
    whenShown<TForm3>([pick, answered](TForm3 &selector) {
        if (*answered)
            return;
        selector.gamelist->setItemIndex(int(selector.gamelist->names().indexOf(pick)));
        // With no game picked, OK does nothing: the selector is closed instead.
        if (selector.Button1->isEnabled())
            selector.Button1->click();
        else
            selector.close();
    });
    // The stand-in's game ends by itself unless a named pipe holds a run: then the run returns
    // once it has, so that the next Run finds no game of it still running.
    bool held = false;
    for (char **e = environ; *e; ++e)
        held = held || (std::strncmp(*e, "FAKEMAME_", 9) == 0 && std::strstr(*e, "_FIFO=") != nullptr);
    std::optional<ExitWatch> watch;
    if (!held)
        watch.emplace();
    command(&TForm1::RunConfiguration1Click);
    *answered = true;
    if (watch) {
        watch->wait();
        // Its output closed before its end is told: waited for until it can be collected.
        if (const pid_t game = main.launcher().games.lastStarted(); game > 0) {
            siginfo_t info;
            while (::waitid(P_PID, id_t(game), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
            }
        }
    }
}

bool Scene::edit(const std::function<void(TForm2 &)> &inspect)
{
    bool opened = false;
    auto done = std::make_shared<bool>(false);
    whenShown<TForm2>([&opened, inspect, done](TForm2 &editor) {
        if (*done)
            return;
        opened = true;
        inspect(editor);
        editor.close();
    });
    command(&TForm1::ImportConfiguration1Click);
    *done = true;
    return opened;
}

Calls Scene::games() const
{
    Calls out;
    static const QList<QByteArray> preparatory{"-showconfig", "-showusage", "-list", "-listfull", "-listxml", "-createconfig"};
    for (const QList<QByteArray> &call : fake.argumentLists())
        if (call.isEmpty() || !preparatory.contains(call.first()))
            out << call;
    return out;
}

bool waitForAnswer(QSignalSpy &answered, EmulatorAnswers::Question question)
{
    for (qsizetype seen = 0;; ++seen) {
        if (seen == answered.size() && !answered.wait(30000))
            return false;
        if (answered.at(seen).at(1).value<EmulatorAnswers::Question>() == question)
            return true;
    }
}

} // namespace TestUtil
