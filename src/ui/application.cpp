#include "application.h"

#include "aboutbox.h"
#include "romselector.h"
#include "mainwindow.h"

ApplicationWindows::ApplicationWindows()
    : Form1(std::make_unique<TForm1>())
    , Form3(std::make_unique<TForm3>(Form1.get()))
    , AboutBox(std::make_unique<TAboutBox>(Form1.get()))
{
    Form1->Form3 = Form3.get();
    Form1->AboutBox = AboutBox.get();
}

ApplicationWindows::~ApplicationWindows()
{
    // The secondary windows refer to the main window: they go first.
    AboutBox.reset();
    Form3.reset();
    Form1.reset();
}
