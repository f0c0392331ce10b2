#include "application.h"

#include "aboutbox.h"
#include "romselector.h"
#include "mainwindow.h"

ApplicationWindows::ApplicationWindows()
    : Form1(std::make_unique<TForm1>())
    , Form3(std::make_unique<TForm3>(Form1->launcher()))
    , AboutBox(std::make_unique<TAboutBox>())
{
    Form1->setWindows(Form3.get(), AboutBox.get());
}

ApplicationWindows::~ApplicationWindows()
{
    // The ROM selector keeps the main window's launcher: the secondary windows go first.
    AboutBox.reset();
    Form3.reset();
    Form1.reset();
}
