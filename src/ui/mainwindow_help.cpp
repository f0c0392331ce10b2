// The Help menu's messages and the about window.
#include "mainwindow.h"

#include "aboutbox.h"
#include "modals.h"

void TForm1::TechnicalSupport1Click()
{
    Modals::current().message(AboutInfo::technicalSupportText());
}

void TForm1::AboutTVO1Click()
{
    if (AboutBox)
        AboutBox->exec();
}

void TForm1::AboutQuarzel1Click()
{
    Modals::current().message(AboutInfo::aboutMakerText());
}

void TForm1::AboutMAME1Click()
{
    Modals::current().message(AboutInfo::aboutMameText());
}
