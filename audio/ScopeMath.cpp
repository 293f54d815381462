#include "audio/ScopeMath.h"

#include "app/ShowTimes.h"
#include "audio/Capture.h"

#include <cmath>

namespace scope {
namespace {

constexpr int kSpareSamples = 16;
constexpr double kGrowthEnd = 4.545;
constexpr double kGrowthRate = 0.3456097528701643; // pi / 9.09
constexpr double kBeat16 = ShowTimes::OpeningScope::kMotionStart;
constexpr double kBeat24 = ShowTimes::OpeningScope::kSplitEnd;
constexpr double kBeat32 = ShowTimes::OpeningScope::kTravelEnd;

float level(const int16_t* ring, int total, int index)
{
    return static_cast<float>(sampleLevel(ringSample(ring, total, index)));
}

} // namespace

int sampleLevel(int16_t sample)
{
    return static_cast<int>(static_cast<float>(sample + 32768) * 0.00457763671875f);
}

int blockStart(int blockLength, int totalLength, int block)
{
    int start = blockLength * (block + 1);
    if (start >= totalLength)
        start -= totalLength;
    return start;
}

int16_t ringSample(const int16_t* ring, int totalLength, int index)
{
    if (index >= totalLength + kSpareSamples)
        index %= totalLength;
    return loadCaptured(ring + index);
}

float greenLevel(double t)
{
    const int seconds = static_cast<int>(t);
    return static_cast<float>((seconds * 10) % 100) * 0.01f;
}

float growth(double t)
{
    if (t <= kGrowthEnd)
        return static_cast<float>(1.0 - std::cos(t * kGrowthRate));
    return 1.0f;
}

void waveSegments(const int16_t* ring, int totalLength, int start, int blockLength,
                  Segment out[kWaveSegments])
{
    const float step = static_cast<float>(blockLength) / 256.0f;
    const int istep = static_cast<int>(step);
    float pos = 0.0f;
    for (int i = 0; i < kWaveSegments; ++i, pos += step) {
        const int j = static_cast<int>(pos);
        const float a = level(ring, totalLength, start + j);
        const float b = level(ring, totalLength, start + j + istep);
        out[i] = {(static_cast<float>(j) + step) / 512.0f - 1.0f, b / 300.0f - 0.5f,
                  static_cast<float>(j) / 512.0f - 1.0f, a / 300.0f - 0.5f};
    }
}

void updateMotion(double t, StartScopeState& state)
{
    if (t > kBeat16 && t < kBeat24)
        state.lineSplit = static_cast<float>((t - 7.0) * 0.05);
    if (t > kBeat16 && t < kBeat32)
        state.sideTravel = static_cast<float>((t - kBeat16) * 0.125);
}

void startScopeGroups(const int16_t* ring, int totalLength, int start, int blockLength,
                      double t, StartScopeState& state, LineGroup out[kLineGroups])
{
    const float b = growth(t);
    const float step = static_cast<float>(blockLength) * b * 0.01171875f;
    const int istep = static_cast<int>(step);
    float pos = 0.0f;
    for (int k = 0; k < kLineGroups; ++k, pos += step) {
        const int j = static_cast<int>(pos);
        const float ya = level(ring, totalLength, start + j) * 0.001f;
        const float yb = level(ring, totalLength, start + j + istep) * 0.001f;
        const float xa = pos / 512.0f - b;
        const float xb = (pos + step) / 512.0f - b;
        const float pa = pos / 512.0f - 1.0f;
        const float pb = (pos + step) / 512.0f - 1.0f;
        const float split = state.lineSplit;
        const float travel = state.sideTravel;
        out[k] = {{xb, yb - 0.15f + split, xa, ya - 0.15f + split,
                   xb, yb - 0.15f - split, xa, ya - 0.15f - split,
                   yb + 0.55f - travel, pb, ya + 0.55f - travel, pa,
                   yb - 0.85f + travel, pb, ya - 0.85f + travel, pa}};
        updateMotion(t, state);
    }
}

} // namespace scope
