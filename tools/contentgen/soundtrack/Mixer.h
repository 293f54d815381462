#pragma once

#include "tools/contentgen/soundtrack/Score.h"
#include "tools/contentgen/soundtrack/StereoBuffer.h"

#include <functional>

namespace soundtrack {

// How loud each instrument sits, how much of it goes to the hall and the
// echoes, and how far it ducks under the kick.
struct Strip {
    float gain, reverb, delay, duck;
};

Strip stripFor(Instrument instrument);

using EventFilter = std::function<bool(const NoteEvent&)>;

// Mixes the events that pass the filter, with reverb and echoes, into one
// loop of the piece. Anything that rings past the end wraps to the start.
StereoBuffer renderMix(const Score& score, const EventFilter& keep);

} // namespace soundtrack
