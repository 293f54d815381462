#include "tools/contentgen/soundtrack/Filter.h"
#include "tools/contentgen/soundtrack/Oscillator.h"
#include "tools/contentgen/soundtrack/Voice.h"

#include <array>
#include <cmath>

namespace soundtrack {

namespace {

// A sine whose pitch falls fast onto the note (tuned to the key), with a
// short band-passed tick on top so it cuts through the bass.
std::vector<float> kick(const NoteEvent& e)
{
    const double base = midiToHz(e.pitch);
    Decay pitchFall(0.03), body(0.17), tick(0.002);
    Prng noise(e.seed);
    Svf tickFilter;
    tickFilter.set(3500, 0.8);
    double phase = 0.0;
    return renderHit(e, 0.45, [&](std::size_t) {
        phase += base * (1.0 + 2.6 * pitchFall.next()) / kSampleRate;
        const double tone = std::sin(2.0 * kPi * phase) * body.next();
        const double click = tickFilter.band(noise.bipolar()) * tick.next() * 0.6;
        return static_cast<float>(std::tanh(1.6 * (tone + click)) / std::tanh(1.6));
    });
}

std::vector<float> snare(const NoteEvent& e)
{
    Decay pitchFall(0.02), toneLevel(0.055), noiseLevel(0.12);
    Prng noise(e.seed);
    Svf low, high;
    high.set(1500, 0.7);
    low.set(9000, 0.7);
    double phase = 0.0;
    return renderHit(e, 0.35, [&](std::size_t) {
        phase += (185.0 + 120.0 * pitchFall.next()) / kSampleRate;
        const double tone = std::sin(2.0 * kPi * phase) * toneLevel.next();
        const double hiss = low.low(high.high(noise.bipolar())) * noiseLevel.next();
        return static_cast<float>(0.55 * tone + 0.9 * hiss);
    });
}

// Several hands a few ms apart, then the room.
std::vector<float> clap(const NoteEvent& e)
{
    Prng noise(e.seed);
    Svf filter;
    filter.set(1300, 1.4);
    return renderHit(e, 0.4, [&](std::size_t i) {
        const double t = static_cast<double>(i) / kSampleRate;
        double level = 0.0;
        for (double start : {0.0, 0.011, 0.021})
            if (t >= start && t < 0.03)
                level = std::max(level, std::exp(-(t - start) / 0.005));
        if (t >= 0.03)
            level = 0.75 * std::exp(-(t - 0.03) / 0.11);
        return static_cast<float>(2.2 * filter.band(noise.bipolar()) * level);
    });
}

// Six detuned squares (the classic drum-machine cymbal) plus noise, high-passed.
class Metal
{
public:
    Metal(uint32_t seed, double transpose, double cutoff) : noise_(seed)
    {
        static const std::array<double, 6> ratios = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
        for (std::size_t i = 0; i < ratios.size(); ++i) {
            oscillators_[i].setFrequency(ratios[i] * transpose);
            oscillators_[i].setPhase(noise_.uniform());
        }
        high_.set(cutoff, 0.8);
    }
    float next(float noiseAmount)
    {
        float sum = 0.0f;
        for (auto& o : oscillators_) {
            sum += o.pulse(0.5);
            o.step();
        }
        return high_.high(sum / 6.0f * (1.0f - noiseAmount) + noise_.bipolar() * noiseAmount);
    }

private:
    std::array<Oscillator, 6> oscillators_;
    Prng noise_;
    Svf high_;
};

std::vector<float> hat(const NoteEvent& e, double decay, double seconds)
{
    Metal metal(e.seed, 1.7, 7000);
    Decay level(decay);
    return renderHit(e, seconds, [&](std::size_t) { return metal.next(0.55f) * level.next(); });
}

std::vector<float> crash(const NoteEvent& e)
{
    Metal metal(e.seed, 2.3, 3800);
    Decay level(1.0);
    return renderHit(
        e, 4.0,
        [&](std::size_t i) {
            const float attack = std::min(1.0f, static_cast<float>(i) / 80.0f);
            return metal.next(0.7f) * level.next() * attack;
        },
        1.5);
}

std::vector<float> tom(const NoteEvent& e)
{
    const double base = midiToHz(e.pitch);
    Decay pitchFall(0.05), body(0.2), skin(0.01);
    Prng noise(e.seed);
    double phase = 0.0;
    return renderHit(e, 0.6, [&](std::size_t) {
        phase += base * (1.0 + 0.7 * pitchFall.next()) / kSampleRate;
        const double tone = std::sin(2.0 * kPi * phase) * body.next();
        return static_cast<float>(tone + 0.25 * noise.bipolar() * skin.next());
    });
}

} // namespace

std::vector<float> renderDrum(const NoteEvent& e)
{
    switch (e.instrument) {
    case Instrument::Kick: return kick(e);
    case Instrument::Snare: return snare(e);
    case Instrument::Clap: return clap(e);
    case Instrument::ClosedHat: return hat(e, 0.03, 0.18);
    case Instrument::OpenHat: return hat(e, 0.2, 0.7);
    case Instrument::Crash: return crash(e);
    default: return tom(e);
    }
}

} // namespace soundtrack
