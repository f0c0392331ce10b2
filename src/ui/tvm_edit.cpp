// Editing the selected configuration in the editor window.
#include "tvm.h"

void TForm1::ImportConfiguration1Click() {}
