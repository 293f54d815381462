#include "platform/sound/Mixer.h"

#include "platform/sound/MixStats.h"
#include "platform/sound/Stream.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace sound {
namespace {

int16_t toSample(float value)
{
    const float clipped = std::min(32767.0f, std::max(-32768.0f, value));
    return static_cast<int16_t>(std::lrint(clipped));
}

} // namespace

Mixer::Mixer(int blockFrames, int channels, int mixerType, MixStats& stats)
    : m_blockFrames(blockFrames),
      m_mixerType(mixerType),
      m_stats(stats),
      m_channels(static_cast<size_t>(channels)),
      m_paused(static_cast<size_t>(channels)),
      m_mix(static_cast<size_t>(blockFrames) * 2),
      m_original(m_mix.size()),
      m_mixInt(m_mix.size()),
      m_originalInt(m_mix.size())
{
    for (auto& channel : m_channels)
        channel.store(nullptr);
    for (auto& paused : m_paused)
        paused.store(false);
}

bool Mixer::setPaused(int channel, bool paused)
{
    if (channel == FSOUND_ALL) {
        for (auto& flag : m_paused)
            flag.store(paused);
        return true;
    }
    if (channel < 0 || channel >= static_cast<int>(m_paused.size()))
        return false;
    m_paused[static_cast<size_t>(channel)].store(paused);
    return true;
}

bool Mixer::isPaused(int channel) const
{
    return channel >= 0 && channel < static_cast<int>(m_paused.size()) &&
           m_paused[static_cast<size_t>(channel)].load();
}

void Mixer::setVolume(int volume)
{
    m_gain.store(static_cast<float>(std::min(255, std::max(0, volume))) / 255.0f);
}

int Mixer::channelOf(const Stream* stream) const
{
    for (size_t i = 0; i < m_channels.size(); ++i)
        if (m_channels[i].load() == stream)
            return static_cast<int>(i);
    return -1;
}

int Mixer::attach(int channel, Stream* stream)
{
    if (channel < 0) {
        channel = channelOf(nullptr);
        if (channel < 0)
            return -1;
    }
    if (channel >= static_cast<int>(m_channels.size()))
        return -1;
    m_channels[static_cast<size_t>(channel)].store(stream, std::memory_order_release);
    return channel;
}

void Mixer::mixBlock(int16_t* out)
{
    const auto begin = std::chrono::steady_clock::now();
    const int64_t block = m_blocks.load(std::memory_order_relaxed);
    std::fill(m_mix.begin(), m_mix.end(), 0.0f);
    mixStreams(block);
    writeOutput(runUnits(), out);
    m_blocks.store(block + 1, std::memory_order_release);
    const auto spent = std::chrono::steady_clock::now() - begin;
    m_stats.addMix(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count());
}

void Mixer::mixStreams(int64_t block)
{
    const float gain = m_gain.load(std::memory_order_relaxed);
    for (size_t i = 0; i < m_channels.size(); ++i) {
        Stream* stream = m_channels[i].load(std::memory_order_acquire);
        if (!stream || m_paused[i].load(std::memory_order_relaxed))
            continue;
        if (stream->mixInto(m_mix.data(), m_blockFrames, gain, block).starved)
            m_stats.addStarved();
    }
}

void* Mixer::runUnits()
{
    if (m_mixerType == FSOUND_MIXER_FLOAT) {
        m_original = m_mix;
        return m_dsp.run(m_original.data(), m_mix.data(), m_blockFrames);
    }
    std::transform(m_mix.begin(), m_mix.end(), m_mixInt.begin(), toSample);
    m_originalInt = m_mixInt;
    return m_dsp.run(m_originalInt.data(), m_mixInt.data(), m_blockFrames);
}

void Mixer::writeOutput(const void* buffer, int16_t* out) const
{
    const size_t samples = static_cast<size_t>(m_blockFrames) * 2;
    if (m_mixerType == FSOUND_MIXER_FLOAT) {
        const float* mixed = static_cast<const float*>(buffer);
        std::transform(mixed, mixed + samples, out, toSample);
    } else {
        const int16_t* mixed = static_cast<const int16_t*>(buffer);
        std::copy(mixed, mixed + samples, out);
    }
}

} // namespace sound
