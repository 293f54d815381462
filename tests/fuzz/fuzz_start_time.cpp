// The start-time file: any bytes give finite start times or none.
#include "FuzzSupport.h"

#include "app/StartTime.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::enterScratchFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::writeInput("scripts/starttime.txt", data, size);
    readStartTimeFile("scripts/starttime.txt", [](double seconds) {
        if (!std::isfinite(seconds))
            std::abort();
    });
    return 0;
}
