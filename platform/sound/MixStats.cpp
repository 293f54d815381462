#include "platform/sound/MixStats.h"

#include "platform/sound/fsound.h"

namespace sound {
namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr double kNsPerMs = 1e6;
} // namespace

void MixStats::addMix(int64_t nanoseconds)
{
    m_mixNs.fetch_add(nanoseconds, kRelaxed);
    raiseMax(m_mixMaxNs, nanoseconds);
    m_blocks.fetch_add(1, kRelaxed);
}

void MixStats::addStarved()
{
    m_starved.fetch_add(1, kRelaxed);
}

void MixStats::addDecode(int64_t nanoseconds, int frames)
{
    m_decodeNs.fetch_add(nanoseconds, kRelaxed);
    m_decodedFrames.fetch_add(frames, kRelaxed);
    raiseMax(m_decodeMaxNs, nanoseconds);
}

void MixStats::raiseMax(std::atomic<int64_t>& max, int64_t value)
{
    int64_t seen = max.load(kRelaxed);
    while (value > seen && !max.compare_exchange_weak(seen, value, kRelaxed)) {
    }
}

void MixStats::fill(FSOUND_MIXSTATS& out, int blockFrames, int rate) const
{
    const int64_t blocks = m_blocks.load(kRelaxed);
    const int64_t decoded = m_decodedFrames.load(kRelaxed);
    out.blockFrames = blockFrames;
    out.blockMs = 1000.0 * blockFrames / rate;
    out.blocks = blocks;
    out.mixMeanMs = blocks ? m_mixNs.load(kRelaxed) / kNsPerMs / static_cast<double>(blocks) : 0.0;
    out.mixMaxMs = m_mixMaxNs.load(kRelaxed) / kNsPerMs;
    out.starvedBlocks = m_starved.load(kRelaxed);
    out.decodedFrames = decoded;
    out.decodeMsPerBlock =
        decoded ? m_decodeNs.load(kRelaxed) / kNsPerMs * blockFrames / static_cast<double>(decoded) : 0.0;
    out.decodeMaxChunkMs = m_decodeMaxNs.load(kRelaxed) / kNsPerMs;
}

} // namespace sound
