#include "platform/sound/Output.h"

#include "platform/sound/Mixer.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <iostream>

namespace sound {
namespace {

using Clock = std::chrono::steady_clock;

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

} // namespace

Output::Output(Mixer& mixer, int rate)
    : m_mixer(mixer), m_rate(rate), m_block(static_cast<size_t>(mixer.blockFrames()) * 2),
      m_blockUsed(mixer.blockFrames())
{
}

void Output::start(bool sdlReady)
{
    if (m_started)
        return;
    m_started = true;
    if (m_nonRealTime || (sdlReady && openDevice()))
        return;
    std::cout << "No sound device: mixing into silence" << std::endl;
    startSilent();
}

bool Output::openDevice()
{
    SDL_AudioSpec wanted{};
    wanted.freq = m_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = static_cast<Uint16>(m_mixer.blockFrames());
    wanted.callback = sdlCallback;
    wanted.userdata = this;
    // SDL hands the device one buffer while it plays the one before.
    m_latencyFrames = wanted.samples;
    // Without an `obtained` spec SDL converts to whatever the device takes, so
    // the callback always gets what we asked for.
    if (openUnpaused(wanted) != 0)
        return false;
    m_latencyFrames = wanted.samples; // the driver may have chosen another size
    m_deviceOpen = true;
    SDL_PauseAudio(0);
    return true;
}

int Output::openUnpaused(SDL_AudioSpec& wanted)
{
    // SDL 1.2 starts its audio thread paused, and a paused thread still hands
    // the device a buffer of silence each turn; that thread usually gets its
    // first turn before SDL_OpenAudio returns. Unpausing all through the call,
    // from a thread that is already spinning when SDL creates its own, makes
    // the very first buffer the device gets hold the stream.
    std::atomic<int> phase{0}; // 0 starting, 1 spinning, 2 opened
    std::thread unpause([&phase] {
        phase.store(1);
        while (phase.load() == 1)
            SDL_PauseAudio(0);
    });
    while (phase.load() == 0)
        std::this_thread::yield();
    const int result = SDL_OpenAudio(&wanted, nullptr);
    phase.store(2);
    unpause.join();
    return result;
}

void Output::startSilent()
{
    m_latencyFrames = 0;
    m_stopSilent.store(false);
    m_silentThread = std::thread([this] { silentLoop(); });
}

void Output::stop()
{
    if (m_deviceOpen)
        SDL_CloseAudio();
    m_deviceOpen = false;
    m_stopSilent.store(true);
    if (m_silentThread.joinable())
        m_silentThread.join();
    m_started = false;
}

void Output::mixOnce()
{
    if (!m_nonRealTime)
        return;
    const int frames = m_mixer.blockFrames();
    std::vector<int16_t> discard(static_cast<size_t>(frames) * 2);
    markConsumption(m_framesHanded, frames);
    deliver(discard.data(), frames);
}

void Output::sdlCallback(void* self, uint8_t* stream, int bytes)
{
    Output& output = *static_cast<Output*>(self);
    const int frames = bytes / 4;
    output.markConsumption(output.m_framesHanded, frames);
    output.deliver(reinterpret_cast<int16_t*>(stream), frames);
}

void Output::silentLoop()
{
    const int frames = m_mixer.blockFrames();
    std::vector<int16_t> discard(static_cast<size_t>(frames) * 2);
    const auto begin = Clock::now();
    for (int64_t block = 1; !m_stopSilent.load(); ++block) {
        markConsumption(m_framesHanded, frames);
        deliver(discard.data(), frames);
        // Paced from the start, not from the last wake-up, so it never drifts.
        const auto due = std::chrono::nanoseconds(block * frames * 1000000000LL / m_rate);
        std::this_thread::sleep_until(begin + due);
    }
}

void Output::deliver(int16_t* out, int frames)
{
    const int blockFrames = m_mixer.blockFrames();
    while (frames > 0) {
        if (m_blockUsed == blockFrames) {
            m_mixer.mixBlock(m_block.data());
            m_blockUsed = 0;
        }
        const int take = std::min(frames, blockFrames - m_blockUsed);
        std::copy_n(m_block.data() + 2 * m_blockUsed, 2 * take, out);
        m_blockUsed += take;
        out += 2 * take;
        frames -= take;
        m_framesHanded += take;
    }
}

void Output::markConsumption(int64_t framesBefore, int span)
{
    m_markSequence.fetch_add(1);
    m_markFrames.store(framesBefore);
    m_markNs.store(nowNs());
    m_markSpan.store(span);
    m_markSequence.fetch_add(1);
}

int64_t Output::audibleFrame() const
{
    int64_t frames = 0;
    int64_t markNs = 0;
    int span = 0;
    for (;;) {
        const uint32_t before = m_markSequence.load();
        frames = m_markFrames.load();
        markNs = m_markNs.load();
        span = m_markSpan.load();
        if (before % 2 == 0 && m_markSequence.load() == before)
            break;
    }
    if (frames < 0)
        return -1;
    const int64_t elapsed = (nowNs() - markNs) * m_rate / 1000000000LL;
    return std::max<int64_t>(0, frames - m_latencyFrames + std::min<int64_t>(elapsed, span));
}

} // namespace sound
