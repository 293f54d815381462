#include "tools/contentgen/soundtrack/Master.h"

#include "tools/contentgen/soundtrack/Timing.h"

#include <algorithm>
#include <cmath>

namespace soundtrack {

namespace {

// First-order high-pass at 10 Hz, well under the 55 Hz kick.
class DcBlocker
{
public:
    void process(float inL, float inR, float& outL, float& outR)
    {
        outL = static_cast<float>(inL - lastInL_ + kPole * lastOutL_);
        outR = static_cast<float>(inR - lastInR_ + kPole * lastOutR_);
        lastInL_ = inL;
        lastInR_ = inR;
        lastOutL_ = outL;
        lastOutR_ = outR;
    }

private:
    static constexpr double kPole = 1.0 - 2.0 * kPi * 10.0 / kSampleRate;
    double lastInL_ = 0.0, lastInR_ = 0.0, lastOutL_ = 0.0, lastOutR_ = 0.0;
};

float channelPeak(const std::vector<float>& x)
{
    const std::size_t n = x.size();
    float peak = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        // Catmull-Rom midpoint between i and i+1, wrapping like the loop.
        const float a = x[(i + n - 1) % n], b = x[i], c = x[(i + 1) % n], d = x[(i + 2) % n];
        const float mid = (-a + 9.0f * b + 9.0f * c - d) / 16.0f;
        peak = std::max({peak, std::fabs(b), std::fabs(mid)});
    }
    return peak;
}

// Gain that holds every frame under threshold: it ramps down over 1.5 ms
// ahead of a peak (so there is no step) and recovers over about 80 ms.
// Both passes run round the loop twice so the seam is treated like any
// other moment.
std::vector<float> limiterGain(const StereoBuffer& mix, float threshold)
{
    const std::size_t n = mix.frames();
    std::vector<float> gain(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float level = std::max(std::fabs(mix.left[i]), std::fabs(mix.right[i]));
        gain[i] = level > threshold ? threshold / level : 1.0f;
    }
    const float attackStep = 1.0f / (0.0015f * kSampleRate);
    float ahead = 1.0f;
    for (std::size_t k = 2 * n; k-- > 0;) {
        ahead = std::min(gain[k % n], ahead + attackStep);
        gain[k % n] = ahead;
    }
    const float release = 1.0f - std::exp(-1.0f / (0.08f * kSampleRate));
    float held = 1.0f;
    for (std::size_t k = 0; k < 2 * n; ++k) {
        held = std::min(gain[k % n], held + (1.0f - held) * release);
        gain[k % n] = held;
    }
    return gain;
}

// Takes the few loudest hits (the booms under the big cuts) down by up to
// this much, so the rest of the mix can sit that much louder.
constexpr float kLimiterRange = 0.63f; // -4 dB

} // namespace

float truePeak(const StereoBuffer& mix)
{
    return std::max(channelPeak(mix.left), channelPeak(mix.right));
}

void master(StereoBuffer& mix, float targetPeak)
{
    DcBlocker blocker;
    mix = processLoop(blocker, mix, 2 * kSampleRate);
    const std::vector<float> limit = limiterGain(mix, kLimiterRange * truePeak(mix));
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        mix.left[i] *= limit[i];
        mix.right[i] *= limit[i];
    }
    const float peak = truePeak(mix);
    if (peak <= 0.0f)
        return;
    const float gain = targetPeak / peak;
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        mix.left[i] *= gain;
        mix.right[i] *= gain;
    }
}

std::vector<int16_t> toPcm16(const StereoBuffer& mix)
{
    std::vector<int16_t> pcm(mix.frames() * 2);
    auto quantize = [](float x) {
        return static_cast<int16_t>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f));
    };
    for (std::size_t i = 0; i < mix.frames(); ++i) {
        pcm[2 * i] = quantize(mix.left[i]);
        pcm[2 * i + 1] = quantize(mix.right[i]);
    }
    return pcm;
}

} // namespace soundtrack
