// What the bench's window rows share: a window shown until painted, modal answers that never
// show anything, and a scene of its own for the rows that run Debian's emulator.
#pragma once

#include "fileio.h"
#include "linebuffer.h"
#include "modals.h"

#include <QFile>
#include <QTemporaryDir>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

// Debian's emulator, which the rows that run the real thing use.
inline constexpr char DebianMame[] = "/usr/games/mame";

// The median of some timings.
inline double medianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// How long `work` takes, in milliseconds.
inline double msOf(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

// Shows a window and returns once `painted` has received its first paint event.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

inline void showUntilPainted(QWidget *window, QWidget *painted)
{
    PaintWatch watch;
    painted->installEventFilter(&watch);
    window->show();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    painted->removeEventFilter(&watch);
}

// Answers for the benchmark: runs go ahead, waits wait, nothing is shown.
class SilentModals final : public Modals {
public:
    void message(const QString &) override {}
    void error(const QString &) override {}
    void exclamation(const QString &, const QString &) override {}
    bool question(const QString &) override { return false; }
    std::optional<FileDialogResult> file(const FileDialogRequest &) override { return std::nullopt; }
    std::optional<QByteArray> folder(const QString &, const QByteArray &, QWidget *) override { return std::nullopt; }
    bool wait(const QString &, Waitable &work) override
    {
        while (!work.isFinished())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return true;
    }
    NoticeAnswer notice(const NoticeRequest &) override { return {true, false}; }
};


// A home, cache and settings directory of its own, a configuration directory made current
// holding `pong.tvo` of `lines` (line 52 gets the ROM folder "roms" beside it), and the silent
// modals; all put back as they were when it ends.
class BenchScene {
public:
    explicit BenchScene(QList<QByteArray> lines)
    {
        FileIO::makeDirectories(root + "/configs");
        FileIO::makeDirectories(root + "/roms");
        for (int i = 0; i < 3; ++i) {
            m_saved[i] = qgetenv(Names[i]);
            qputenv(Names[i], i == 0 ? root : root + (i == 1 ? "/.cache" : "/.config"));
        }
        lines.resize(54);
        lines[52] = root + "/roms";
        FileIO::writeAtomically(root + "/configs/pong.tvo", LineBuffer::join(lines));
        m_previous = FileIO::currentDirectory();
        FileIO::changeDirectory(root + "/configs");
        m_before = Modals::install(&m_silent);
    }
    ~BenchScene()
    {
        Modals::install(m_before);
        FileIO::changeDirectory(m_previous);
        for (int i = 0; i < 3; ++i)
            qputenv(Names[i], m_saved[i]);
    }

private:
    static constexpr const char *Names[] = {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"};
    QTemporaryDir m_tmp;

public:
    const QByteArray root = QFile::encodeName(m_tmp.path());

private:
    QByteArray m_saved[3];
    QByteArray m_previous;
    SilentModals m_silent;
    Modals *m_before = nullptr;
};
