#include "app/FrameLog.h"

#include <cstdlib>
#include <iostream>

std::unique_ptr<FrameLog> FrameLog::fromEnvironment()
{
    const char* path = std::getenv(kFrameLogVariable);
    if (!path || !*path)
        return nullptr;
    std::FILE* file = std::fopen(path, "w");
    if (!file) {
        std::cout << "Cannot write the frame log " << path << std::endl;
        return nullptr;
    }
    return std::make_unique<FrameLog>(file);
}

FrameLog::FrameLog(std::FILE* file) : file(file)
{
    // A large buffer: a write per frame must not be a frame's stall. The
    // show ends by exit(), which flushes it.
    std::setvbuf(file, nullptr, _IOFBF, 1 << 20);
}

FrameLog::~FrameLog()
{
    std::fclose(file);
}

void FrameLog::record(double demoSeconds, double frameSeconds)
{
    std::fprintf(file, "%.4f %.3f\n", demoSeconds, frameSeconds * 1000.0);
}
