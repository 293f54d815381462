#pragma once

#include "tools/contentgen/soundtrack/StereoBuffer.h"

#include <vector>

namespace soundtrack {

// -2.3 dBFS: MP3 coding overshoots sharp peaks by up to about 0.7 dB, and
// the decoded stream must still stay under -1 dBFS.
constexpr float kTargetPeak = 0.77f;

// The whole piece, mixed and mastered: one loop, 120 s of stereo.
StereoBuffer renderSoundtrack();

std::vector<unsigned char> encodeSoundtrack(const StereoBuffer& mastered);

} // namespace soundtrack
