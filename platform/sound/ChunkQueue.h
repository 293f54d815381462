#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace sound {

// Small enough that the first audio after a seek is one short decode away,
// large enough that the decoder thread wakes rarely.
constexpr int kChunkFrames = 1024;

// A run of decoded stereo frames that are contiguous in the stream.
struct Chunk
{
    uint32_t epoch = 0;     // the positioning request it was decoded for
    int64_t startFrame = 0; // stream position of its first frame
    int frames = 0;
    bool end = false;       // the source ends after these frames; it goes on
                            // from its start in the next chunk if it loops
    int16_t pcm[kChunkFrames * 2];
};

// Single producer (the decoder thread), single consumer (whoever mixes the
// stream). Neither side ever waits for the other, so the mixing thread cannot
// be held up by decoding.
template <uint32_t N>
class ChunkQueue
{
    static_assert((N & (N - 1)) == 0, "the counters wrap, so N must be a power of two");

public:
    Chunk* writable()
    {
        const uint32_t head = m_head.load(std::memory_order_relaxed);
        if (head - m_tail.load(std::memory_order_acquire) >= N)
            return nullptr;
        return &m_slots[head % N];
    }
    void publish() { m_head.fetch_add(1, std::memory_order_release); }

    Chunk* front() { return at(0); }
    // The i-th published chunk from the front, or null.
    Chunk* at(uint32_t i)
    {
        const uint32_t tail = m_tail.load(std::memory_order_relaxed);
        if (m_head.load(std::memory_order_acquire) - tail <= i)
            return nullptr;
        return &m_slots[(tail + i) % N];
    }
    void pop() { m_tail.fetch_add(1, std::memory_order_release); }

    uint32_t size() const
    {
        return m_head.load(std::memory_order_acquire) - m_tail.load(std::memory_order_acquire);
    }

private:
    std::array<Chunk, N> m_slots;
    std::atomic<uint32_t> m_head{0};
    std::atomic<uint32_t> m_tail{0};
};

} // namespace sound
