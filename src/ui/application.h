// The long-lived windows, made in start-up order: the main window, then the ROM selector and
// the about window, both hidden.
#pragma once

#include <memory>

class TForm1;
class TForm3;
class TAboutBox;

struct ApplicationWindows {
    ApplicationWindows();
    ~ApplicationWindows();
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TAboutBox> AboutBox;
};
