#include "app/StartTime.h"

#include <iostream>

namespace {
const double kBeatSeconds = static_cast<double>(static_cast<float>(5.0 / 11.0));
}

double startTimeFromBeats(int bars, int beats, int quarters)
{
    // In double from the start: a typed -2147483648 must not overflow.
    return (4.0 * (bars - 1.0) + 0.25 * (quarters - 1.0) + (beats - 1.0)) * kBeatSeconds;
}

bool readStartTimeFile(const char* path, const std::function<void(double)>& apply)
{
    std::FILE* file = std::fopen(path, "r");
    if (!file) {
        std::cout << "Could not open file: " << path << std::endl;
        return false;
    }
    readStartTimes(file, apply);
    std::fclose(file);
    return true;
}

void readStartTimes(std::FILE* file, const std::function<void(double)>& apply)
{
    int x = 0, y = 0, z = 0;
    while (std::fscanf(file, "%d %d %d", &x, &y, &z) == 3) {
        std::cout << "Starttime, X: " << x << " Y: " << y << " iZ: " << z << std::endl;
        apply(startTimeFromBeats(x, y, z));
    }
}
