#include "app/capture/FramePlan.h"

#include <algorithm>
#include <cmath>

namespace {
// A range end a rounding error past a frame time does not add that frame.
constexpr double kFrameTolerance = 1e-6;
} // namespace

int captureFrameCount(double from, double to, int fps)
{
    if (to <= from || fps <= 0)
        return 0;
    return static_cast<int>(std::ceil((to - from) * fps - kFrameTolerance));
}

int64_t showFrameNumber(double from, int fps)
{
    return static_cast<int64_t>(std::llround(from * fps));
}

FrameSpan chunkFrames(int total, int chunk, int chunks)
{
    if (total <= 0 || chunks < 1 || chunk < 1 || chunk > chunks)
        return {};
    const auto boundary = [&](int k) { return static_cast<int>(static_cast<int64_t>(total) * k / chunks); };
    return {boundary(chunk - 1), boundary(chunk)};
}

double frameTime(double from, int fps, int frame)
{
    return from + static_cast<double>(frame) / fps;
}

int64_t mixBlocksBefore(double seconds, int rate, int blockFrames, int ringBlocks)
{
    const double frame = std::max(0.0, seconds) * rate;
    return static_cast<int64_t>(std::floor(frame / blockFrames)) + ringBlocks;
}
