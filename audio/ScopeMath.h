#pragma once

#include "app/ShowTimes.h"

#include <cstdint>

// The arithmetic of the two scopes, apart from any GL, so it can be tested.
namespace scope {

// Captured sample to a level 0..299.
int sampleLevel(int16_t sample);

// Start of the block the scopes draw: the one after `block`, the oldest of
// the ring, so the whole block has been written.
int blockStart(int blockLength, int totalLength, int block);

// Sample `index` of a ring of `totalLength` samples plus its spare entries.
// Reads that run past the spare entries wrap to the ring's start, where the
// block that follows in time lies: the opening scope reads a little beyond
// one block, more than the spare entries hold once blocks exceed 2048.
int16_t ringSample(const int16_t* ring, int totalLength, int index);

// Green of the middle-section scope: steps by 0.1 a second, wraps every 10 s.
float greenLevel(double t);

// Growth of the opening scope: 0 at t = 0 to 1 at 4.545 s, 1 after.
float growth(double t);

struct Segment
{
    float x0, y0, x1, y1;
};
constexpr int kWaveSegments = 256;
// The middle-section waveform of the block starting at `start`.
void waveSegments(const int16_t* ring, int totalLength, int start, int blockLength,
                  Segment out[kWaveSegments]);

// The opening scope's four lines for one group: upper, lower, right, left,
// four coordinates each (from x, from y, to x, to y).
struct LineGroup
{
    float a[16];
};
constexpr int kLineGroups = 86;
constexpr double kFreezeTime = ShowTimes::OpeningScope::kFreeze;

struct StartScopeState
{
    float lineSplit;
    float sideTravel;
};
// One frame of the opening scope. Each group is computed with the motion
// values as they stand, which are then updated from t, so the first group of
// a frame still uses the previous frame's values.
void startScopeGroups(const int16_t* ring, int totalLength, int start, int blockLength,
                      double t, StartScopeState& state, LineGroup out[kLineGroups]);

// The motion values at time t; outside their windows they keep their values.
void updateMotion(double t, StartScopeState& state);

} // namespace scope
