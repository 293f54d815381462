#include "app/VerticalRefresh.h"

#include <cstdlib>
#include <cstring>

int requestedSwapInterval()
{
    const char* off = std::getenv(kNoVsyncVariable);
    return off && *off && std::strcmp(off, "0") != 0 ? 0 : 1;
}
