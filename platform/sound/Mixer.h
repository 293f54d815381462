#pragma once

#include "platform/sound/DspChain.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace sound {

class MixStats;
class Stream;

// Mixes the playing streams into one stereo block, runs the DSP units over it
// and converts the result to the signed 16-bit output. Everything here but
// mixBlock() is for the main thread.
class Mixer
{
public:
    Mixer(int blockFrames, int channels, int mixerType, MixStats& stats);

    int blockFrames() const { return m_blockFrames; }
    int mixerType() const { return m_mixerType; }
    DspChain& dsp() { return m_dsp; }

    void setVolume(int volume); // 0..255

    // The channel the stream plays on, or -1.
    int channelOf(const Stream* stream) const;
    // Puts the stream on `channel` (FSOUND_FREE: the first free one),
    // replacing what played there. Returns the channel, or -1.
    int attach(int channel, Stream* stream);

    // FSOUND_ALL for every channel. False for a channel that does not exist.
    bool setPaused(int channel, bool paused);
    bool isPaused(int channel) const;

    // Mixing thread: one block of interleaved stereo frames into `out`.
    void mixBlock(int16_t* out);

    int64_t blocksMixed() const { return m_blocks.load(std::memory_order_acquire); }

private:
    void mixStreams(int64_t block);
    void* runUnits();
    void writeOutput(const void* buffer, int16_t* out) const;

    const int m_blockFrames;
    const int m_mixerType;
    MixStats& m_stats;
    DspChain m_dsp;
    std::vector<std::atomic<Stream*>> m_channels;
    std::vector<std::atomic<bool>> m_paused;
    std::atomic<float> m_gain{1.0f};
    std::atomic<int64_t> m_blocks{0};

    // Mixing thread only.
    std::vector<float> m_mix;
    std::vector<float> m_original;
    std::vector<int16_t> m_mixInt;
    std::vector<int16_t> m_originalInt;
};

} // namespace sound
