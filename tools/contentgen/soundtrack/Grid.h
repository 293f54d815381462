#pragma once

#include "tools/contentgen/soundtrack/Timing.h"

#include <cmath>

namespace soundtrack {

// The beat of a sixteenth-note step within a bar.
inline double at(int bar, double step)
{
    return bar * kBeatsPerBar + step * 0.25;
}

// Pushes every second sixteenth late by a fraction of a sixteenth: the
// shuffle that makes the groove section dance.
inline double swung(double beat, double amount)
{
    const double sixteenth = beat * 4.0;
    const bool offbeat = static_cast<long>(std::floor(sixteenth + 1e-9)) % 2 == 1;
    return offbeat ? beat + amount * 0.25 : beat;
}

// Straight ramp of a value across a run of steps, for crescendos.
inline float ramp(float from, float to, int index, int count)
{
    return count <= 1 ? to : from + (to - from) * static_cast<float>(index) / (count - 1);
}

} // namespace soundtrack
