#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace sound {

// Which stream frame each recent mix block started with, so that a position
// heard at the output can be traced back to the stream. Written by the mixing
// thread, read by the main thread; a torn entry is detected and reported as
// unknown.
class BlockHistory
{
public:
    // Covers about 1.5 s of 1024-frame blocks, far more than any output
    // buffers.
    static constexpr int kEntries = 64;

    void record(int64_t block, int64_t frame)
    {
        Entry& entry = m_entries[static_cast<size_t>(block % kEntries)];
        entry.block.store(-1);
        entry.frame.store(frame);
        entry.block.store(block);
    }

    // -1 when the block is unknown or the stream gave it no frames.
    int64_t frameAt(int64_t block) const
    {
        if (block < 0)
            return -1;
        const Entry& entry = m_entries[static_cast<size_t>(block % kEntries)];
        if (entry.block.load() != block)
            return -1;
        const int64_t frame = entry.frame.load();
        return entry.block.load() == block ? frame : -1;
    }

private:
    struct Entry
    {
        std::atomic<int64_t> block{-1};
        std::atomic<int64_t> frame{-1};
    };
    std::array<Entry, kEntries> m_entries;
};

} // namespace sound
