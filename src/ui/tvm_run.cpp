// Running a configuration: the settings file, the ROM selector and the start of the emulator.
#include "tvm.h"

void TForm1::RunConfiguration1Click() {}
void TForm1::preparesettings() {}
void TForm1::launchgame(const QByteArray &) {}
