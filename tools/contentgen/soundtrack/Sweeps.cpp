#include "tools/contentgen/soundtrack/Filter.h"
#include "tools/contentgen/soundtrack/Voice.h"

#include <cmath>

namespace soundtrack {

namespace {

// Noise through a band-pass that climbs from 300 Hz to 8 kHz over the
// event, swelling as it goes: the tension before a drop.
std::vector<float> riser(const NoteEvent& e)
{
    const double frames = static_cast<double>(gateFrames(e));
    Prng noise(e.seed);
    Svf filter;
    return renderHit(e, frames / kSampleRate, [&](std::size_t i) {
        const double x = static_cast<double>(i) / frames;
        if (i % 16 == 0)
            filter.set(300.0 * std::pow(8000.0 / 300.0, x), 2.5);
        return static_cast<float>(filter.band(noise.bipolar()) * x * x * 1.5);
    });
}

// A deep falling boom with a burst of darkening noise, under the big cuts.
std::vector<float> impact(const NoteEvent& e)
{
    Decay pitchFall(0.12), body(0.8), burst(0.25);
    Prng noise(e.seed);
    Svf filter;
    double phase = 0.0;
    return renderHit(e, 3.0, [&](std::size_t i) {
        const float b = burst.next();
        if (i % 16 == 0)
            filter.set(300.0 + 5000.0 * b, 0.7);
        phase += (38.0 + 60.0 * pitchFall.next()) / kSampleRate;
        const double boom = std::sin(2.0 * kPi * phase) * body.next();
        return static_cast<float>(std::tanh(1.4 * boom) + 0.5 * filter.low(noise.bipolar()) * b);
    });
}

} // namespace

std::vector<float> renderEffect(const NoteEvent& e)
{
    return e.instrument == Instrument::Riser ? riser(e) : impact(e);
}

} // namespace soundtrack
