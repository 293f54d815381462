#pragma once

#include "tools/contentgen/soundtrack/Timing.h"

#include <cmath>

namespace soundtrack {

// A phase accumulator whose saw and pulse are corrected with polynomial
// band-limited steps: the naive shapes alias audibly on high lead notes, and
// the corrections cost far less than oversampling every voice.
class Oscillator
{
public:
    void setFrequency(double hz) { dt_ = hz / kSampleRate; }
    void setPhase(double phase) { phase_ = phase - std::floor(phase); }
    double phase() const { return phase_; }

    void step()
    {
        phase_ += dt_;
        if (phase_ >= 1.0)
            phase_ -= 1.0;
    }

    float sine() const { return static_cast<float>(std::sin(2.0 * kPi * phase_)); }

    float saw() const { return static_cast<float>(2.0 * phase_ - 1.0 - blep(phase_)); }

    float pulse(double width) const
    {
        double fall = phase_ - width;
        if (fall < 0.0)
            fall += 1.0;
        const double naive = phase_ < width ? 1.0 : -1.0;
        return static_cast<float>(naive + blep(phase_) - blep(fall));
    }

    // Its harmonics fall with the square of their order, so the corners
    // alias far below anything audible in the mix.
    float triangle() const { return static_cast<float>(4.0 * std::fabs(phase_ - 0.5) - 1.0); }

private:
    double blep(double t) const
    {
        if (t < dt_) {
            const double x = t / dt_;
            return x + x - x * x - 1.0;
        }
        if (t > 1.0 - dt_) {
            const double x = (t - 1.0) / dt_;
            return x * x + x + x + 1.0;
        }
        return 0.0;
    }

    double phase_ = 0.0;
    double dt_ = 0.0;
};

} // namespace soundtrack
