#pragma once

#include "tools/contentgen/soundtrack/Timing.h"

#include <algorithm>
#include <cmath>

namespace soundtrack {

// Trapezoidal state-variable filter. It stays stable and click-free while
// its cutoff sweeps every few samples, which the builds and wobbles need.
class Svf
{
public:
    struct Out {
        float low, band, high;
    };

    void set(double cutoffHz, double q)
    {
        const double hz = std::clamp(cutoffHz, 10.0, 0.45 * kSampleRate);
        g_ = std::tan(kPi * hz / kSampleRate);
        k_ = 1.0 / q;
        a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
        a2_ = g_ * a1_;
        a3_ = g_ * a2_;
    }

    Out process(float input)
    {
        const double v3 = input - ic2_;
        const double v1 = a1_ * ic1_ + a2_ * v3;
        const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        const double high = input - k_ * v1 - v2;
        return {static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(high)};
    }

    float low(float input) { return process(input).low; }
    float band(float input) { return process(input).band; }
    float high(float input) { return process(input).high; }

private:
    double g_ = 0.0, k_ = 1.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0;
};

} // namespace soundtrack
