#include "app/BeatGrid.h"

#include <algorithm>
#include <cmath>

namespace {
// A time that lands a rounding error short of a grid point still counts as
// on it; a millionth of a beat is far below anything a frame can show.
constexpr double kOnGridTolerance = 1e-6;

long long cellOf(double seconds, double cellSeconds)
{
    return static_cast<long long>(std::floor(seconds / cellSeconds + kOnGridTolerance));
}
} // namespace

double beatSeconds()
{
    return static_cast<double>(static_cast<float>(5.0 / 11.0));
}

double stepOnGrid(double seconds, int beatsPerStep, int steps)
{
    const double cell = beatsPerStep * beatSeconds();
    const long long target = cellOf(seconds, cell) + steps;
    return std::max(0.0, static_cast<double>(target) * cell);
}

BarAndBeat barAndBeatAt(double seconds)
{
    const long long beat = cellOf(seconds, beatSeconds());
    const long long bar = beat >= 0 ? beat / kBeatsPerBar : (beat - kBeatsPerBar + 1) / kBeatsPerBar;
    return {static_cast<int>(bar + 1), static_cast<int>(beat - bar * kBeatsPerBar + 1)};
}
