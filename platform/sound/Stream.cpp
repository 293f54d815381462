#include "platform/sound/Stream.h"

#include "platform/sound/MixStats.h"
#include "platform/sound/fsound.h"

#include <algorithm>

namespace sound {
namespace {

using Clock = std::chrono::steady_clock;

// Enough decoded audio that the mixer never catches up with a decoder that
// has only just started.
constexpr uint32_t kPrefillChunks = 4;

// How often a decoder with a full queue looks for room or requests.
constexpr auto kDecoderPoll = std::chrono::milliseconds(10);

// A consumer that waits for the decoder gives up after this; decoding one
// chunk takes well under a millisecond, so only a broken decoder gets here.
constexpr auto kDecoderWaitLimit = std::chrono::milliseconds(2000);

void addScaled(float* mix, const int16_t* pcm, int frames, float gain)
{
    for (int i = 0; i < frames * 2; ++i)
        mix[i] += static_cast<float>(pcm[i]) * gain;
}

} // namespace

Stream::Stream(MixStats& stats, int rate) : m_stats(stats), m_rate(rate) {}

Stream::~Stream()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    if (m_decoder.joinable())
        m_decoder.join();
}

int Stream::open(const char* path, unsigned int mode, long offset, long length)
{
    const int error = m_source.open(path, offset, length, m_rate);
    if (error != FSOUND_ERR_NONE)
        return error;
    setMode(mode);
    m_decoder = std::thread([this] { decodeLoop(); });
    return FSOUND_ERR_NONE;
}

void Stream::setMode(unsigned int mode)
{
    if (mode & FSOUND_LOOP_NORMAL)
        m_loop.store(true);
    else if (mode & FSOUND_LOOP_OFF)
        m_loop.store(false);
    m_wake.notify_one();
}

void Stream::seek(int64_t frame)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requestFrame = frame;
        m_position.store(frame);
        m_epoch.fetch_add(1);
    }
    m_wake.notify_one();
}

bool Stream::finished() const
{
    return m_endedEpoch.load() == static_cast<int64_t>(m_epoch.load());
}

void Stream::decodeLoop()
{
    Decoding state;
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_quit) {
        if (m_epoch.load() != state.epoch) {
            state.epoch = m_epoch.load();
            state.position = m_requestFrame;
            lock.unlock();
            restartAt(state);
            lock.lock();
            continue;
        }
        // Looping may be switched on after the end was decoded; a pass that
        // decoded nothing would loop for ever without a sound.
        if (state.atEnd && m_loop.load() && m_passFrames > 0) {
            state.position = 0;
            restartAt(state);
        }
        Chunk* chunk = state.atEnd ? nullptr : m_queue.writable();
        if (!chunk) {
            m_wake.wait_for(lock, kDecoderPoll);
            continue;
        }
        lock.unlock();
        state.atEnd = decodeChunk(*chunk, state);
        m_queue.publish();
        lock.lock();
    }
}

void Stream::restartAt(Decoding& state)
{
    m_source.seek(state.position);
    m_passFrames = 0;
    state.atEnd = false;
}

bool Stream::decodeChunk(Chunk& chunk, Decoding& state)
{
    chunk.epoch = state.epoch;
    chunk.startFrame = state.position;
    bool finished = false;
    const auto begin = Clock::now();
    chunk.frames = m_source.read(chunk.pcm, kChunkFrames, finished);
    m_stats.addDecode(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - begin).count(),
                      chunk.frames);
    state.position += chunk.frames;
    m_passFrames += chunk.frames;
    chunk.end = finished;
    return finished;
}

void Stream::dropStale(uint32_t wanted)
{
    for (Chunk* chunk = m_queue.front(); chunk && chunk->epoch != wanted; chunk = m_queue.front()) {
        m_queue.pop();
        m_offset = 0;
    }
}

bool Stream::readyToPlay(uint32_t wanted)
{
    // Chunks of an older request may still arrive after the stale ones were
    // dropped; they do not count, not even the end of the stream.
    uint32_t current = 0;
    const uint32_t size = m_queue.size();
    for (uint32_t i = 0; i < size; ++i) {
        const Chunk* chunk = m_queue.at(i);
        if (chunk->epoch != wanted)
            continue;
        if (chunk->end || ++current >= kPrefillChunks)
            return true;
    }
    return false;
}

bool Stream::prefill(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const uint32_t wanted = m_epoch.load();
        dropStale(wanted);
        m_wake.notify_one();
        if (readyToPlay(wanted))
            return true;
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Chunk* Stream::frontFor(uint32_t wanted)
{
    dropStale(wanted);
    Chunk* chunk = m_queue.front();
    return chunk || !m_waitForDecoder ? chunk : awaitFront(wanted);
}

Chunk* Stream::awaitFront(uint32_t wanted)
{
    // Nobody listens in real time, so a late decoder costs only time; the
    // block gets exactly the audio it would have had with a fast decoder.
    const auto deadline = Clock::now() + kDecoderWaitLimit;
    Chunk* chunk = nullptr;
    while (!chunk && Clock::now() < deadline) {
        m_wake.notify_one();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        dropStale(wanted);
        chunk = m_queue.front();
    }
    return chunk;
}

int Stream::takeFrom(Chunk& chunk, float* mix, int frames, float gain, Span& span)
{
    const int take = std::min(frames, chunk.frames - m_offset);
    if (span.first < 0 && take > 0)
        span.first = chunk.startFrame + m_offset;
    addScaled(mix, chunk.pcm + 2 * m_offset, take, gain);
    m_offset += take;
    span.next = chunk.startFrame + m_offset;
    return take;
}

void Stream::releaseIfUsed(const Chunk& chunk, uint32_t wanted)
{
    if (m_offset < chunk.frames)
        return;
    // Whether a stream loops is decided when its end is reached here, so
    // switching looping on or off counts even after the end was decoded.
    const bool ends = chunk.end && !m_loop.load();
    m_queue.pop();
    m_offset = 0;
    if (ends)
        m_endedEpoch.store(wanted);
}

Stream::Pulled Stream::mixInto(float* mix, int frames, float gain, int64_t block)
{
    const uint32_t wanted = m_epoch.load(std::memory_order_acquire);
    Pulled pulled;
    Span span;
    while (pulled.frames < frames && m_endedEpoch.load() != static_cast<int64_t>(wanted)) {
        Chunk* chunk = frontFor(wanted);
        if (!chunk) {
            // Right after a seek the decoder may not have caught up yet.
            pulled.starved = m_servedEpoch == wanted;
            break;
        }
        pulled.frames += takeFrom(*chunk, mix + 2 * pulled.frames, frames - pulled.frames, gain, span);
        releaseIfUsed(*chunk, wanted);
    }
    if (pulled.frames > 0)
        m_servedEpoch = wanted;
    m_history.record(block, span.first);
    // A seek filed meanwhile has already set the position it wants.
    if (span.next >= 0 && m_epoch.load() == wanted)
        m_position.store(span.next);
    return pulled;
}

} // namespace sound
