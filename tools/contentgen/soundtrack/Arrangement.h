#pragma once

#include <vector>

namespace soundtrack {

// The parts of the piece, in the order they play. Each starts on the beat
// nearest to the picture cut it follows.
enum class Section { Intro, Build, Main, Break, Drop, Groove, Finale, Outro };

struct SectionSpan {
    Section section;
    double startBeat, endBeat;
};

const std::vector<SectionSpan>& sections();
const SectionSpan& span(Section section);
Section sectionAt(double beat);

// A chord as the pad voices it around middle C, plus the root for the bass.
struct Chord {
    int bassRoot;           // MIDI note in the E2..D#3 octave
    std::vector<int> tones; // voicing, low to high
};

const Chord& chordAt(double beat);
// Where the chord sounding at beat starts and ends.
double chordStart(double beat);
double chordEnd(double beat);

// Filter openings between 0 (dark) and 1 (bright), swept across sections.
double padBrightness(double beat);
double arpBrightness(double beat);
double bassBrightness(double beat);

} // namespace soundtrack
