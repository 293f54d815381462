#include "tools/contentgen/soundtrack/Arrangement.h"
#include "tools/contentgen/soundtrack/Grid.h"
#include "tools/contentgen/soundtrack/Score.h"

namespace soundtrack {

namespace {

int root(double beat)
{
    return chordAt(beat).bassRoot;
}

// Whole notes first, then the 3+3+2 eighths rhythm that gives the intro
// its lilt without drums.
void held(Score& s, int firstBar, int endBar, int lilting, float velocity)
{
    for (int bar = firstBar; bar < endBar; ++bar) {
        if (bar < lilting) {
            s.add(Instrument::SubBass, at(bar, 0), 3.8, root(at(bar, 0)), velocity);
            continue;
        }
        for (auto [step, length] : {std::pair{0, 1.4}, {6, 1.4}, {12, 0.9}})
            s.add(Instrument::SubBass, at(bar, step), length, root(at(bar, step)), velocity);
    }
}

// Straight eighths; the octave jumps in once the build gets going.
void pulse(Score& s)
{
    for (int bar = 9; bar < 16; ++bar)
        for (int step = 0; step < 16; step += 2) {
            const double beat = at(bar, step);
            const bool up = bar >= 12 && step % 4 == 2;
            s.add(Instrument::RollBass, beat, 0.4, root(beat) + (up ? 12 : 0),
                  s.humanize(bar >= 12 ? 0.85f : 0.7f));
        }
}

// The two sixteenths after each kick: the bass answers the kick instead of
// fighting it, and the odd beats leap an octave.
void rolling(Score& s, int firstBar, int endBar, double swing)
{
    for (int bar = firstBar; bar < endBar; ++bar)
        for (int beat = 0; beat < 4; ++beat) {
            const double on = at(bar, beat * 4);
            s.add(Instrument::RollBass, swung(on + 0.5, swing), 0.22, root(on), s.humanize(0.9f));
            s.add(Instrument::RollBass, swung(on + 0.75, swing), 0.2, root(on) + (beat % 2 ? 12 : 0),
                  s.humanize(0.75f));
        }
}

void drop(Score& s)
{
    for (int beat = 154; beat < 192; ++beat)
        for (int step = 1; step < 4; ++step) {
            const int octave = step == 3 && beat % 2 ? 12 : 0;
            s.add(Instrument::DropBass, beat + step * 0.25, 0.2, root(beat) - 12 + octave,
                  s.humanize(step == 2 ? 1.0f : 0.8f));
        }
}

// A dorian line on the minor pentatonic's root, fifth, seventh and octave,
// which fits both Am7 and D9.
void funk(Score& s)
{
    struct Hit {
        int step, interval;
        double length;
        float velocity;
    };
    static const Hit pattern[] = {{0, 0, 0.45, 1.0f},  {3, 0, 0.2, 0.6f},   {4, 12, 0.2, 0.8f},
                                  {6, 10, 0.2, 0.7f},  {7, 12, 0.2, 0.9f},  {10, 0, 0.2, 0.8f},
                                  {11, 7, 0.2, 0.6f},  {13, 10, 0.2, 0.7f}, {14, 12, 0.4, 0.9f}};
    for (int bar = 48; bar < 54; ++bar) {
        const int base = root(at(bar, 0)) > 47 ? root(at(bar, 0)) - 12 : root(at(bar, 0));
        for (const Hit& h : pattern)
            s.add(Instrument::FunkBass, swung(at(bar, h.step), 0.3), h.length, base + h.interval,
                  s.humanize(h.velocity));
    }
    for (int step = 0; step < 16; step += 2)
        s.add(Instrument::FunkBass, at(54, step), 0.4, root(at(54, step)) + (step % 4 ? 12 : 0), 0.9f);
}

} // namespace

void composeBass(Score& s)
{
    held(s, 0, 9, 4, 0.9f);
    pulse(s);
    rolling(s, 16, 32, 0.0);
    held(s, 32, 38, 38, 0.5f);
    drop(s);
    funk(s);
    rolling(s, 55, 64, 0.2);
    held(s, 64, 66, 66, 0.9f);
}

} // namespace soundtrack
