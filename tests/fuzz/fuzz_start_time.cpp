// The start-time file, read from memory: any bytes give finite start times
// or none.
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
    std::FILE* file = fuzz::openInput(data, size);
    readStartTimes(file, [](double seconds) {
        if (!std::isfinite(seconds))
            std::abort();
    });
    std::fclose(file);
    return 0;
}
