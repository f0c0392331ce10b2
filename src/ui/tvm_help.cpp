// The Help menu's messages and the about window.
#include "tvm.h"

void TForm1::TechnicalSupport1Click() {}
void TForm1::AboutTVO1Click() {}
void TForm1::AboutQuarzel1Click() {}
void TForm1::AboutMAME1Click() {}
