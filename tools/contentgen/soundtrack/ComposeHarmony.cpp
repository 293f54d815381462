#include "tools/contentgen/soundtrack/Arrangement.h"
#include "tools/contentgen/soundtrack/Grid.h"
#include "tools/contentgen/soundtrack/Score.h"

#include <algorithm>

namespace soundtrack {

namespace {

// Each pad tone twice, hard apart: the two copies start their saws at
// different phases, so the sides differ and the chord opens up wide.
void padNotes(Score& s, double beat, double length, float velocity)
{
    for (int tone : chordAt(beat).tones)
        for (float pan : {-0.8f, 0.8f})
            s.add(Instrument::Pad, beat, length, tone, velocity * 0.75f, pan);
}

void chordNotes(Score& s, Instrument instrument, double beat, double length, float velocity)
{
    const auto& tones = chordAt(beat).tones;
    for (std::size_t i = 0; i < tones.size(); ++i) {
        const float pan = -0.5f + static_cast<float>(i) / static_cast<float>(tones.size() - 1);
        s.add(instrument, beat, length, tones[i], velocity, pan);
    }
}

// One held chord per change, across the section.
void pads(Score& s, Section section, float velocity)
{
    const SectionSpan& sp = span(section);
    for (double beat = sp.startBeat; beat < sp.endBeat;) {
        const double end = std::min(chordEnd(beat), sp.endBeat);
        padNotes(s, beat, end - beat - 0.05, velocity);
        beat = end;
    }
}

void offbeatStabs(Score& s, int firstBeat, int endBeat, float velocity)
{
    for (int beat = firstBeat; beat < endBeat; ++beat)
        chordNotes(s, Instrument::Stab, beat + 0.5, 0.25, s.humanize(velocity));
}

// Short choked chords on the syncopated sixteenths, like a funk guitar.
void scratchStabs(Score& s)
{
    for (int bar = 48; bar < 54; ++bar)
        for (int step : {2, 5, 10, 13})
            chordNotes(s, Instrument::Stab, swung(at(bar, step), 0.3), 0.15, s.humanize(0.55f));
}

// Two chord hits under the title's white flashes (25.2-25.7 s).
void titleHits(Score& s)
{
    chordNotes(s, Instrument::Stab, 55.5, 0.4, 1.0f);
    chordNotes(s, Instrument::Stab, 56.0, 1.5, 1.0f);
}

// Up and down the chord over two octaves.
int arpNote(double beat, int index)
{
    const auto& tones = chordAt(beat).tones;
    const int n = static_cast<int>(tones.size());
    const int octave = index / n;
    return tones[static_cast<std::size_t>(index % n)] + 12 * (octave + 1);
}

void arpeggio(Score& s, int firstBar, int endBar, int perBeat, float v0, float v1)
{
    static const int upDown[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    const int steps = (endBar - firstBar) * kBeatsPerBar * perBeat;
    for (int i = 0; i < steps; ++i) {
        const double beat = firstBar * kBeatsPerBar + static_cast<double>(i) / perBeat;
        const float pan = i % 2 ? 0.5f : -0.5f;
        s.add(Instrument::Arp, beat, 0.7 / perBeat, arpNote(beat, upDown[i % 8]),
              s.humanize(ramp(v0, v1, i, steps), 0.1f), pan);
    }
}

void arpeggios(Score& s)
{
    arpeggio(s, 0, 9, 2, 0.55f, 0.55f);
    arpeggio(s, 9, 11, 2, 0.4f, 0.5f);
    arpeggio(s, 11, 16, 4, 0.45f, 0.7f);
    arpeggio(s, 16, 32, 4, 0.35f, 0.35f);
    arpeggio(s, 32, 38, 2, 0.5f, 0.5f);
    arpeggio(s, 39, 48, 4, 0.45f, 0.45f);
    arpeggio(s, 55, 64, 4, 0.35f, 0.35f);
    arpeggio(s, 64, 66, 2, 0.55f, 0.55f);
}

} // namespace

void composeHarmony(Score& s)
{
    pads(s, Section::Intro, 0.35f);
    pads(s, Section::Build, 0.5f);
    pads(s, Section::Main, 0.45f);
    pads(s, Section::Break, 0.8f);
    pads(s, Section::Drop, 0.35f);
    pads(s, Section::Groove, 0.3f);
    pads(s, Section::Finale, 0.45f);
    pads(s, Section::Outro, 0.4f);
    titleHits(s);
    offbeatStabs(s, 154, 192, 0.7f);
    scratchStabs(s);
    offbeatStabs(s, 220, 256, 0.45f);
    arpeggios(s);
}

} // namespace soundtrack
