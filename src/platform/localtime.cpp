#include "localtime.h"

#include <cstdlib>
#include <ctime>

void LocalTime::settle()
{
    if (!std::getenv("TZ")) {
        ::setenv("TZ", ":/etc/localtime", 0);
        ::tzset();
    }
}
