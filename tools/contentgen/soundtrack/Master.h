#pragma once

#include "tools/contentgen/soundtrack/StereoBuffer.h"

#include <cstdint>
#include <vector>

namespace soundtrack {

// Removes any DC (which would waste headroom and thump when playback
// starts), tames the few loudest hits and scales the loop so its highest
// peak sits at targetPeak.
void master(StereoBuffer& mix, float targetPeak);

// The highest magnitude, including the peaks between samples that a
// reconstruction filter produces, estimated at the half-sample points.
float truePeak(const StereoBuffer& mix);

std::vector<int16_t> toPcm16(const StereoBuffer& mix);

} // namespace soundtrack
