#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// The soundtrack's loudness over time, for the panel's strip: the RMS
// level of every hundredth of a second, 0 (silence, or -36 dB and below)
// to 1 (full scale). Decoded once from the mp3 on a thread of its own, so
// the frame loop never waits for it.
class Loudness
{
public:
    static constexpr double kStepSeconds = 0.01;

    explicit Loudness(std::string mp3Path);
    ~Loudness();
    Loudness(const Loudness&) = delete;
    Loudness& operator=(const Loudness&) = delete;

    bool isReady() const { return ready.load(std::memory_order_acquire); }
    // Read only once isReady(); empty when the file could not be decoded.
    const std::vector<float>& levels() const { return steps; }
    // The loudest step between two times; 0 before the levels are ready.
    float peakBetween(double from, double to) const;

    // Asks the thread to give up and waits for it.
    void stop();

private:
    void decode();

    std::string path;
    std::vector<float> steps;
    std::atomic<bool> ready{false};
    std::atomic<bool> stopping{false};
    std::thread worker;
};

// An RMS level of 16-bit samples on the strip's scale.
float levelOfRms(double rms);
