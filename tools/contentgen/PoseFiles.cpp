// The start camera's pose file: a slow circle around the origin at the
// start camera's own distance, looking at the middle of the stage.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string circlePoses(int count, double radius, double height)
{
    std::string text;
    char line[160];
    for (int i = 0; i < count; ++i) {
        const double angle = 2.0 * M_PI * i / (count - 1) - M_PI / 2.0;
        std::snprintf(line, sizeof line, "%.2f %.2f %.2f %.2f %.2f %.2f %.2f %.2f %.2f\n",
                      radius * std::cos(angle), radius * std::sin(angle), height,
                      0.0, 0.0, 0.0, 0.0, 0.0, 1.0);
        text += line;
    }
    return text;
}

} // namespace

CONTENT_ASSET(startCameraPath)
{
    contentgen::writeTextIfChanged(showDir, "test.pos", circlePoses(13, 20.0, 2.0));
}
