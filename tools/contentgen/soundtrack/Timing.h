#pragma once

#include "app/ShowTimes.h"

#include <cmath>
#include <cstddef>

namespace soundtrack {

// The show's beat grid: 132 beats a minute makes a beat exactly 5/11 s, and
// 66 bars of four beats exactly two minutes, so the loop is a whole number
// of frames.
constexpr int kSampleRate = 44100;
constexpr int kBeatsPerBar = ShowTimes::kBeatsPerBar;
constexpr int kBeats = ShowTimes::kSoundtrackBeats;
constexpr int kBars = kBeats / kBeatsPerBar;
constexpr double kSecondsPerBeat = ShowTimes::kBeatSeconds;
constexpr double kFramesPerBeat = kSampleRate * 5.0 / 11.0;
constexpr std::size_t kLoopFrames = 5292000; // 120 s
constexpr double kPi = 3.14159265358979323846;

static_assert(kBeats * kSampleRate * 5 / 11 == static_cast<long>(kLoopFrames),
              "the loop must hold a whole number of frames");

inline long beatToFrame(double beat)
{
    return std::lround(beat * kFramesPerBeat);
}

inline double beatToSeconds(double beat)
{
    return beat * kSecondsPerBeat;
}

inline double secondsToFrames(double seconds)
{
    return seconds * kSampleRate;
}

inline double midiToHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

} // namespace soundtrack
