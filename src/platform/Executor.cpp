#include "Executor.h"

int showCode(TMyVisibility visibility)
{
    static const int codes[] = {0, 1, 1, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10, 10};
    return codes[static_cast<int>(visibility)];
}

int TExecutor::Execute()
{
    return NotStarted;
}
