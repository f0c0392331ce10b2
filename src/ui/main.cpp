// MAME Trelvo: a front-end that keeps named option sets for the MAME arcade emulator and runs them.
#include "application.h"
#include "appinfo.h"
#include "commandmode.h"
#include "localtime.h"
#include "mainwindow.h"

#include <QApplication>
#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Games are waited for and their status read: a SIGCHLD left ignored by whoever started this
    // program would have the system collect them, and every game's end read as unknown.
    std::signal(SIGCHLD, SIG_DFL);
    LocalTime::settle();
    // The command-line mode needs no display: it is chosen before any window system is asked.
    if (CommandMode::wanted(argc, argv))
        return CommandMode::run(argc, argv);
    // Qt would abort without one.
    if (!CommandMode::hasDisplay(argc, argv)) {
        std::fputs(CommandMode::NoDisplay, stderr);
        return CommandMode::Software;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trelvo-mame"));
    // The application title is set on each message box: as the display name it would also
    // change the main window's caption.
    ApplicationWindows windows;
    windows.Form1->show();
    return app.exec();
}
