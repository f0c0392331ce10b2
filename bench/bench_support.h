// What the bench's window rows share: a window shown until painted, and modal answers that
// never show anything.
#pragma once

#include "modals.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

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

