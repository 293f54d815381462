#pragma once

#include <chrono>
#include <string>

// Where an encoded frame's time goes, summed over the capture: drawing it
// (to the last pixel), reading it back, making the video frame of it, and
// handing it to the encoder (which waits while ffmpeg is behind).
class StageTimes
{
public:
    enum Stage { Render, ReadBack, Compose, Encoder, kStages };

    // Ends the stage running (if any) and starts `stage`.
    void start(Stage stage);
    // Ends the stage running, and counts a frame.
    void endFrame();

    // "render 8.1 ms, read-back 0.9 ms, ..." a frame.
    std::string summary() const;

private:
    using Clock = std::chrono::steady_clock;
    void stop();

    double m_seconds[kStages] = {};
    int m_frames = 0;
    int m_running = -1;
    Clock::time_point m_since;
};
