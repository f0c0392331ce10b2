#include "Unit1.h"

#include "tvm.h"

TAboutBox::TAboutBox(TForm1 *mainWindow) : QDialog(nullptr), m_main(mainWindow)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
}
