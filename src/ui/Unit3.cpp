#include "Unit3.h"

#include "tvm.h"

TForm3::TForm3(TForm1 *mainWindow) : QDialog(nullptr), m_main(mainWindow)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Select ROM"));
}
