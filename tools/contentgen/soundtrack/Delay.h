#pragma once

#include <cstddef>
#include <vector>

namespace soundtrack {

// Echoes that bounce between the speakers, each one darker than the last.
class PingPongDelay
{
public:
    PingPongDelay(std::size_t frames, float feedback);
    void process(float inL, float inR, float& outL, float& outR);

private:
    std::vector<float> left_, right_;
    std::size_t pos_ = 0;
    float feedback_;
    float toneL_ = 0.0f, toneR_ = 0.0f;
};

} // namespace soundtrack
