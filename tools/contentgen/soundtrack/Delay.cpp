#include "tools/contentgen/soundtrack/Delay.h"

namespace soundtrack {

PingPongDelay::PingPongDelay(std::size_t frames, float feedback)
    : left_(frames), right_(frames), feedback_(feedback)
{
}

void PingPongDelay::process(float inL, float inR, float& outL, float& outR)
{
    outL = left_[pos_];
    outR = right_[pos_];
    // One-pole low-pass in the loop (about 3.5 kHz) so repeats recede.
    constexpr float kTone = 0.4f;
    toneL_ += kTone * (outL - toneL_);
    toneR_ += kTone * (outR - toneR_);
    left_[pos_] = 0.5f * (inL + inR) + feedback_ * toneR_;
    right_[pos_] = feedback_ * toneL_;
    pos_ = pos_ + 1 == left_.size() ? 0 : pos_ + 1;
}

} // namespace soundtrack
