#pragma once

#include "platform/sound/BlockHistory.h"
#include "platform/sound/ChunkQueue.h"
#include "platform/sound/Mp3Source.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace sound {

class MixStats;

// An mp3 stream: a decoder thread keeps about 1.5 s of audio decoded ahead
// in a lock-free queue, and the mixing thread takes it from there, so decoding
// never delays a mix block.
//
// Positioning works by request numbers (epochs): the main thread files a new
// request, the decoder seeks and tags what it decodes with the request, and
// the consumer drops whatever was decoded for an older request.
//
// The consuming side belongs to the main thread until the stream is first
// handed to the mixer (prefill() runs there), and to the mixing thread after.
class Stream
{
public:
    Stream(MixStats& stats, int rate);
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    ~Stream();

    // Returns an FSOUND_ERR_ code; on success the decoder thread runs.
    int open(const char* path, unsigned int mode, long offset, long length);

    // Before open(): the consumer waits for the decoder instead of taking a
    // gap when nothing is decoded yet (non-real-time mixing).
    void setWaitForDecoder(bool wait) { m_waitForDecoder = wait; }

    // Main thread.
    void setMode(unsigned int mode);
    void seek(int64_t frame);
    bool looping() const { return m_loop.load(); }
    bool finished() const;
    int64_t length() const { return m_source.length(); }
    int64_t position() const { return m_position.load(); }
    int rate() const { return m_rate; }

    // Main thread, while it still owns the consuming side: waits until audio
    // for the current position is decoded.
    bool prefill(std::chrono::milliseconds timeout);

    struct Pulled
    {
        int frames = 0;
        bool starved = false; // nothing decoded although no seek was pending
    };
    // Mixing thread: adds up to `frames` frames, scaled by `gain`, into the
    // interleaved stereo `mix` and notes where mix block `block` started.
    Pulled mixInto(float* mix, int frames, float gain, int64_t block);

    // Any thread: the stream frame mix block `block` started with, or -1.
    int64_t frameAtBlock(int64_t block) const { return m_history.frameAt(block); }

private:
    // Where the decoder thread stands.
    struct Decoding
    {
        uint32_t epoch = 0;
        int64_t position = 0;
        bool atEnd = false;
    };
    void decodeLoop();
    void restartAt(Decoding& state);
    // Returns whether the source ended after this chunk.
    bool decodeChunk(Chunk& chunk, Decoding& state);

    // Stream positions of the first frame a mix block took and of the frame
    // after the last; -1 while none.
    struct Span
    {
        int64_t first = -1;
        int64_t next = -1;
    };
    void dropStale(uint32_t wanted);
    Chunk* frontFor(uint32_t wanted);
    Chunk* awaitFront(uint32_t wanted);
    int takeFrom(Chunk& chunk, float* mix, int frames, float gain, Span& span);
    void releaseIfUsed(const Chunk& chunk, uint32_t wanted);
    bool readyToPlay(uint32_t wanted);

    MixStats& m_stats;
    const int m_rate;
    Mp3Source m_source;
    ChunkQueue<64> m_queue;

    // Shared between the main thread and the decoder thread.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false;
    int64_t m_requestFrame = 0;
    std::atomic<uint32_t> m_epoch{0};
    std::atomic<bool> m_loop{false};
    std::thread m_decoder;

    // Decoder thread only.
    int64_t m_passFrames = 0; // frames since the last seek or loop

    // Consuming side.
    bool m_waitForDecoder = false;
    int m_offset = 0; // frames of the front chunk already taken
    uint32_t m_servedEpoch = ~0u;
    std::atomic<int64_t> m_endedEpoch{-1};
    std::atomic<int64_t> m_position{0};
    BlockHistory m_history;
};

} // namespace sound
