#pragma once

#include "platform/sound/MixStats.h"
#include "platform/sound/Mixer.h"
#include "platform/sound/Output.h"

#include <memory>
#include <vector>

struct FSOUND_MIXSTATS;

namespace sound {

class Stream;

// Everything FSOUND_Init brings up and FSOUND_Close takes down.
class System
{
public:
    // One mix block, in frames: about 23 ms at 44.1 kHz, short enough for the
    // scopes to follow the music closely.
    static constexpr int kBlockFrames = 1024;
    // The output buffer the capture ring mirrors, in blocks.
    static constexpr int kBlocksTotal = 4;

    // `nonRealTime`: no device and no mixing thread; update() mixes.
    System(int rate, int channels, int mixerType, bool nonRealTime);
    System(const System&) = delete;
    System& operator=(const System&) = delete;
    ~System();

    int rate() const { return m_rate; }
    Mixer& mixer() { return m_mixer; }

    // Returns an FSOUND_ERR_ code; the stream is kept until the system goes.
    int openStream(const char* path, unsigned int mode, long offset, long length,
                   Stream*& stream);
    // Returns the channel, or -1 with `error` set.
    int play(int channel, Stream* stream, int& error);
    void setTime(Stream* stream, int64_t frame);
    // Non-real-time output: one block now. Otherwise nothing.
    void update();

    int audibleMs(const Stream* stream) const;
    void fillStats(FSOUND_MIXSTATS& stats) const;

private:
    const int m_rate;
    const bool m_nonRealTime;
    bool m_sdlReady = false;
    MixStats m_stats;
    std::vector<std::unique_ptr<Stream>> m_streams;
    Mixer m_mixer;
    // Last, so it stops mixing before anything it mixes goes.
    Output m_output;
};

} // namespace sound
