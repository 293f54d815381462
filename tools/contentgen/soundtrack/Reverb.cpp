#include "tools/contentgen/soundtrack/Reverb.h"

namespace soundtrack {

namespace {

// Mutually prime lengths at 44.1 kHz so the echoes never line up.
constexpr std::array<std::size_t, 8> kCombFrames = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::array<std::size_t, 4> kAllPassFrames = {556, 441, 341, 225};
constexpr std::size_t kStereoSpread = 23;

} // namespace

float Reverb::Comb::run(float input, float feedback, float damping)
{
    const float out = buffer[pos];
    store = out * (1.0f - damping) + store * damping;
    buffer[pos] = input + store * feedback;
    pos = pos + 1 == buffer.size() ? 0 : pos + 1;
    return out;
}

float Reverb::AllPass::run(float input)
{
    const float delayed = buffer[pos];
    buffer[pos] = input + delayed * 0.5f;
    pos = pos + 1 == buffer.size() ? 0 : pos + 1;
    return delayed - input;
}

float Reverb::Side::run(float input, float feedback, float damping)
{
    float sum = 0.0f;
    for (auto& c : combs)
        sum += c.run(input, feedback, damping);
    for (auto& a : allPasses)
        sum = a.run(sum);
    return sum;
}

Reverb::Reverb(float roomSize, float damping) : feedback_(0.7f + 0.28f * roomSize), damping_(damping)
{
    for (std::size_t i = 0; i < 8; ++i) {
        left_.combs[i].buffer.resize(kCombFrames[i]);
        right_.combs[i].buffer.resize(kCombFrames[i] + kStereoSpread);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        left_.allPasses[i].buffer.resize(kAllPassFrames[i]);
        right_.allPasses[i].buffer.resize(kAllPassFrames[i] + kStereoSpread);
    }
}

void Reverb::process(float inL, float inR, float& outL, float& outR)
{
    // Eight combs summed are loud; this keeps the wet level near the dry.
    const float input = (inL + inR) * 0.015f;
    outL = left_.run(input, feedback_, damping_);
    outR = right_.run(input, feedback_, damping_);
}

} // namespace soundtrack
