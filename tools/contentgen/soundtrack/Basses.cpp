#include "tools/contentgen/soundtrack/Arrangement.h"
#include "tools/contentgen/soundtrack/Filter.h"
#include "tools/contentgen/soundtrack/Oscillator.h"
#include "tools/contentgen/soundtrack/Voice.h"

#include <cmath>

namespace soundtrack {

namespace {

// Sweeping a cutoff every sample costs a tan(); every 16 samples (0.4 ms)
// is as smooth to the ear.
constexpr std::size_t kControlPeriod = 16;

// A low-passed saw over its own sine: a rounded ramp, the clearest shape
// an oscilloscope can draw, and warm under the sparse parts.
std::vector<float> subBass(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    Oscillator saw, sine;
    saw.setFrequency(hz);
    sine.setFrequency(hz);
    Svf filter;
    filter.set(hz * (3.0 + 6.0 * bassBrightness(e.beat)), 0.8);
    return renderGated(e, {0.02, 0.4, 0.8, 0.12}, [&](std::size_t) {
        const float out = 0.6f * filter.low(saw.saw()) + 0.5f * sine.sine();
        saw.step();
        sine.step();
        return out;
    });
}

// Short plucked notes for the rolling lines under full drums.
std::vector<float> rollBass(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    const double sweep = 300.0 + 2500.0 * bassBrightness(e.beat);
    Oscillator osc;
    osc.setFrequency(hz);
    Decay pluck(0.06);
    Svf filter;
    return renderGated(e, {0.002, 0.12, 0.55, 0.04}, [&](std::size_t i) {
        const float opening = pluck.next();
        if (i % kControlPeriod == 0)
            filter.set(hz * 1.5 + sweep * opening, 1.2);
        const float out = filter.low(0.6f * osc.pulse(0.5) + 0.5f * osc.saw()) +
                          0.45f * osc.sine();
        osc.step();
        return out;
    });
}

// Two detuned saws an octave over a sine sub, through a filter that opens
// and closes on every eighth note of the grid, driven into soft clipping.
std::vector<float> dropBass(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    const double depth = 400.0 + 2600.0 * bassBrightness(e.beat);
    Oscillator sawA, sawB, sub;
    sawA.setFrequency(hz * 2.0 * 1.006);
    sawB.setFrequency(hz * 2.0 / 1.006);
    sawB.setPhase(0.37);
    sub.setFrequency(hz);
    Svf filter;
    return renderGated(e, {0.004, 0.25, 0.85, 0.05}, [&](std::size_t i) {
        if (i % kControlPeriod == 0) {
            const double wobble = 0.5 - 0.5 * std::cos(2.0 * kPi * 2.0 * beatAt(e, i));
            filter.set(150.0 + depth * wobble, 2.0);
        }
        const double mix = filter.low(0.5f * (sawA.saw() + sawB.saw())) + 0.7 * sub.sine();
        sawA.step();
        sawB.step();
        sub.step();
        return static_cast<float>(std::tanh(1.8 * mix) / 1.3);
    });
}

// A resonant pluck: the filter snaps open with each note, like a slap.
std::vector<float> funkBass(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    Oscillator osc;
    osc.setFrequency(hz);
    Decay snap(0.06);
    Svf filter;
    return renderGated(e, {0.002, 0.3, 0.45, 0.05}, [&](std::size_t i) {
        const float opening = snap.next();
        if (i % kControlPeriod == 0)
            filter.set(120.0 + hz + 2800.0 * opening * e.velocity, 3.5);
        const double mix = filter.low(osc.pulse(0.35)) + 0.5 * osc.sine();
        osc.step();
        return static_cast<float>(std::tanh(1.3 * mix));
    });
}

} // namespace

std::vector<float> renderBass(const NoteEvent& e)
{
    switch (e.instrument) {
    case Instrument::RollBass: return rollBass(e);
    case Instrument::DropBass: return dropBass(e);
    case Instrument::FunkBass: return funkBass(e);
    default: return subBass(e);
    }
}

} // namespace soundtrack
