#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

struct SDL_AudioSpec;

namespace sound {

class Mixer;

// Where the mixed blocks go: the SDL sound device, or, when none can be
// opened, nowhere, by a thread of ours that mixes at the same real-time pace
// so that the DSP units (and so the show's scopes) keep running. In the
// non-real-time mode the blocks go nowhere either, but only when the caller
// asks for one (mixOnce).
class Output
{
public:
    Output(Mixer& mixer, int rate);
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    ~Output() { stop(); }

    // Before start(): mix only in mixOnce, never by itself.
    void setNonRealTime() { m_nonRealTime = true; }

    // `sdlReady`: whether SDL's audio subsystem came up.
    void start(bool sdlReady);
    void stop();

    // Non-real-time mode: mixes one block and counts it consumed. Nothing in
    // the other modes, where the device or our pacing thread mixes.
    void mixOnce();

    bool started() const { return m_started; }
    bool silent() const { return m_silentThread.joinable(); }

    // Output frame now leaving for the listener, counted from the start; -1
    // before the start.
    int64_t audibleFrame() const;

private:
    static void sdlCallback(void* self, uint8_t* stream, int bytes);
    bool openDevice();
    static int openUnpaused(SDL_AudioSpec& wanted);
    void startSilent();
    void silentLoop();
    void deliver(int16_t* out, int frames);
    void markConsumption(int64_t framesBefore, int span);

    Mixer& m_mixer;
    const int m_rate;
    bool m_started = false;
    bool m_nonRealTime = false;
    bool m_deviceOpen = false;
    int m_latencyFrames = 0;
    std::thread m_silentThread;
    std::atomic<bool> m_stopSilent{false};

    // Mixing thread only: the block being handed out, for devices whose
    // buffers are not one block long.
    std::vector<int16_t> m_block;
    int m_blockUsed = 0;
    int64_t m_framesHanded = 0;

    // The latest consumption mark, written by the mixing thread, read by the
    // main thread, guarded by a sequence number.
    std::atomic<uint32_t> m_markSequence{0};
    std::atomic<int64_t> m_markFrames{-1};
    std::atomic<int64_t> m_markNs{0};
    std::atomic<int> m_markSpan{0};
};

} // namespace sound
