#include "platform/sound/System.h"

#include "platform/sound/Stream.h"
#include "platform/sound/fsound.h"

#include <SDL.h>

#include <chrono>

namespace sound {
namespace {

// Decoding a few chunks takes milliseconds; this only guards against a
// decoder that cannot make progress at all.
constexpr auto kPrefillTimeout = std::chrono::milliseconds(2000);

} // namespace

System::System(int rate, int channels, int mixerType, bool nonRealTime)
    : m_rate(rate), m_nonRealTime(nonRealTime), m_mixer(kBlockFrames, channels, mixerType, m_stats),
      m_output(m_mixer, rate)
{
    if (nonRealTime)
        m_output.setNonRealTime();
    else
        m_sdlReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

System::~System()
{
    m_output.stop();
    m_streams.clear();
    if (m_sdlReady)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int System::openStream(const char* path, unsigned int mode, long offset, long length,
                       Stream*& stream)
{
    auto opened = std::make_unique<Stream>(m_stats, m_rate);
    opened->setWaitForDecoder(m_nonRealTime);
    const int error = opened->open(path, mode, offset, length);
    if (error != FSOUND_ERR_NONE)
        return error;
    stream = opened.get();
    m_streams.push_back(std::move(opened));
    return FSOUND_ERR_NONE;
}

int System::play(int channel, Stream* stream, int& error)
{
    const int current = m_mixer.channelOf(stream);
    if (current >= 0) {
        if (stream->finished())
            stream->seek(0);
        return current;
    }
    // Once the mixer has taken a stream, it alone consumes it, even if the
    // stream is later replaced on its channel and played again.
    if (!stream->prefill(kPrefillTimeout)) {
        error = FSOUND_ERR_PLAY;
        return -1;
    }
    const int played = m_mixer.attach(channel, stream);
    if (played < 0) {
        error = FSOUND_ERR_CHANNEL_ALLOC;
        return -1;
    }
    m_output.start(m_sdlReady);
    return played;
}

void System::setTime(Stream* stream, int64_t frame)
{
    const int64_t length = stream->length();
    if (frame >= length)
        frame = stream->looping() ? frame % length : length;
    stream->seek(frame);
}

void System::update()
{
    m_output.mixOnce();
}

int System::audibleMs(const Stream* stream) const
{
    const int64_t frame = m_output.audibleFrame();
    if (frame < 0)
        return -1;
    const int64_t block = frame / kBlockFrames;
    int64_t position = stream->frameAtBlock(block);
    if (position < 0)
        return -1;
    position += frame % kBlockFrames;
    if (stream->looping())
        position %= stream->length();
    return static_cast<int>(position * 1000 / m_rate);
}

void System::fillStats(FSOUND_MIXSTATS& stats) const
{
    m_stats.fill(stats, kBlockFrames, m_rate);
    stats.silentOutput = m_output.silent();
}

} // namespace sound
