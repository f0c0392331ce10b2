// The quick launch and the batch-file export.
#include "tvm.h"

void TForm1::QUICKConfiguration1Click() {}
void TForm1::CreateaAutoExcutable1Click() {}
