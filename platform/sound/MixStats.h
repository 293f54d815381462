#pragma once

#include <atomic>
#include <cstdint>

struct FSOUND_MIXSTATS;

namespace sound {

// Timing figures of the mixing thread and the decoder threads, kept with
// relaxed atomics so that recording them costs the audio path nothing.
class MixStats
{
public:
    void addMix(int64_t nanoseconds);     // mixing thread only
    void addStarved();                    // mixing thread only
    void addDecode(int64_t nanoseconds, int frames); // any decoder thread

    void fill(FSOUND_MIXSTATS& out, int blockFrames, int rate) const;

private:
    static void raiseMax(std::atomic<int64_t>& max, int64_t value);

    std::atomic<int64_t> m_blocks{0};
    std::atomic<int64_t> m_mixNs{0};
    std::atomic<int64_t> m_mixMaxNs{0};
    std::atomic<int64_t> m_starved{0};
    std::atomic<int64_t> m_decodeNs{0};
    std::atomic<int64_t> m_decodedFrames{0};
    std::atomic<int64_t> m_decodeMaxNs{0};
};

} // namespace sound
