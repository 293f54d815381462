#pragma once

#include "platform/sound/fsound.h"

#include <array>
#include <atomic>

namespace sound {

class DspUnit
{
public:
    FSOUND_DSPCALLBACK callback = nullptr;
    int priority = 0;
    void* userData = nullptr;
    std::atomic<bool> active{false};
};

// The user DSP units, run by the mixing thread between the mix and the final
// conversion to the output format. Units are only ever added, into slots
// that the mixing thread does not read until they are published, so the
// mixing thread never takes a lock.
class DspChain
{
public:
    static constexpr int kMaxUnits = 64;

    // Main thread. Null when every slot is taken.
    DspUnit* create(FSOUND_DSPCALLBACK callback, int priority, void* userData);

    // Mixing thread: runs the active units in priority order and returns the
    // buffer the last one returned (`buffer` when none ran).
    void* run(void* original, void* buffer, int frames);

private:
    int collectActive(DspUnit** order);

    std::array<DspUnit, kMaxUnits> m_units;
    std::atomic<int> m_count{0};
};

} // namespace sound
