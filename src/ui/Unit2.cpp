#include "Unit2.h"

#include "tvm.h"

TForm2::TForm2(TForm1 *owner) : QDialog(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Configuration"));
}
