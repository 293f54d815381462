#include "tools/contentgen/soundtrack/Arrangement.h"
#include "tools/contentgen/soundtrack/Filter.h"
#include "tools/contentgen/soundtrack/Oscillator.h"
#include "tools/contentgen/soundtrack/Voice.h"

#include <array>
#include <cmath>

namespace soundtrack {

namespace {

constexpr std::size_t kControlPeriod = 16;

double cents(double amount)
{
    return std::pow(2.0, amount / 1200.0);
}

// Four saws a few cents apart beat slowly against each other, which is what
// makes a pad sound wide and alive; the cutoff follows the arrangement.
std::vector<float> pad(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    static const std::array<double, 4> detune = {-12.0, -4.0, 5.0, 11.0};
    std::array<Oscillator, 4> saws;
    Prng phases(e.seed);
    for (std::size_t i = 0; i < saws.size(); ++i) {
        saws[i].setFrequency(hz * cents(detune[i]));
        saws[i].setPhase(phases.uniform());
    }
    Svf filter;
    return renderGated(e, {0.4, 1.0, 0.75, 0.35}, [&](std::size_t i) {
        if (i % kControlPeriod == 0) {
            const double b = padBrightness(beatAt(e, i));
            filter.set(300.0 + 4500.0 * b * b, 0.8);
        }
        float sum = 0.0f;
        for (auto& s : saws) {
            sum += s.saw();
            s.step();
        }
        return filter.low(0.3f * sum);
    });
}

// Saw and square a few cents apart; vibrato fades in on held notes.
std::vector<float> lead(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    Oscillator saw, square;
    Decay opening(0.3);
    Svf filter;
    return renderGated(e, {0.008, 0.35, 0.7, 0.15}, [&](std::size_t i) {
        if (i % kControlPeriod == 0) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double depth = std::clamp((t - 0.2) / 0.3, 0.0, 1.0) * 0.15;
            const double bend = std::pow(2.0, depth * std::sin(2.0 * kPi * 5.5 * t) / 12.0);
            saw.setFrequency(hz * bend);
            square.setFrequency(hz * bend * cents(7.0));
            filter.set(2100.0 + 4000.0 * opening.next(), 1.1);
        } else {
            opening.next();
        }
        const float out = filter.low(0.6f * saw.saw() + 0.35f * square.pulse(0.5));
        saw.step();
        square.step();
        return out;
    });
}

// A soft triangle that gains a reedy pulse as the arrangement brightens.
std::vector<float> arp(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    const float bright = static_cast<float>(arpBrightness(e.beat));
    Oscillator osc;
    osc.setFrequency(hz);
    Decay opening(0.1);
    Svf filter;
    return renderGated(e, {0.002, 0.2, 0.15, 0.12}, [&](std::size_t i) {
        const float open = opening.next();
        if (i % kControlPeriod == 0)
            filter.set(hz * 1.5 + 5000.0 * bright * open, 1.0);
        const float out = filter.low(osc.triangle() + bright * 0.6f * osc.pulse(0.25));
        osc.step();
        return out;
    });
}

// One note of a chord stab: bright on the hit, closing fast.
std::vector<float> stab(const NoteEvent& e)
{
    const double hz = midiToHz(e.pitch);
    Oscillator sawA, sawB;
    sawA.setFrequency(hz * cents(8.0));
    sawB.setFrequency(hz * cents(-8.0));
    sawB.setPhase(0.5);
    Decay opening(0.09);
    Svf filter;
    return renderGated(e, {0.002, 0.25, 0.35, 0.12}, [&](std::size_t i) {
        const float open = opening.next();
        if (i % kControlPeriod == 0)
            filter.set(500.0 + 5500.0 * open, 1.6);
        const float out = filter.low(0.5f * (sawA.saw() + sawB.saw()));
        sawA.step();
        sawB.step();
        return out;
    });
}

} // namespace

std::vector<float> renderSynth(const NoteEvent& e)
{
    switch (e.instrument) {
    case Instrument::Pad: return pad(e);
    case Instrument::Lead: return lead(e);
    case Instrument::Arp: return arp(e);
    default: return stab(e);
    }
}

} // namespace soundtrack
