#include "tools/contentgen/soundtrack/Grid.h"
#include "tools/contentgen/soundtrack/Score.h"

#include <array>
#include <vector>

namespace soundtrack {

namespace {

struct Note {
    double beat, length;
    int pitch;
};

// The hook, over Am F C G: a long-short-long figure that climbs to the
// chord's top each bar. B answers A from the octave down.
const std::vector<Note> kHookA = {
    {0, 1.5, 76},  {1.5, .5, 74}, {2, 1, 76},    {3, 1, 79},  {4, 1.5, 81},  {5.5, .5, 79},
    {6, 1, 76},    {7, 1, 72},    {8, 1.5, 76},  {9.5, .5, 74}, {10, 1, 76}, {11, .5, 79},
    {11.5, .5, 81}, {12, 1.5, 83}, {13.5, .5, 81}, {14, 1, 79}, {15, 1, 74},
};
const std::vector<Note> kHookB = {
    {0, 1.5, 84}, {1.5, .5, 83}, {2, 1, 81},   {3, 1, 76},  {4, 1, 77},  {5, 1, 81},
    {6, 1, 84},   {7, 1, 81},    {8, 1.5, 79}, {9.5, .5, 76}, {10, 1, 79}, {11, 1, 84},
    {12, 2, 83},  {14, 1, 86},   {15, 1, 83},
};

// The groove's call and answer over Am7 then D9, in sixteenths.
const std::vector<Note> kRiff = {
    {2, 1, 81},  {3, 1, 79},  {4, 2, 81},  {7, 1, 84},  {8, 2, 81},  {11, 1, 79}, {12, 3, 76},
    {18, 1, 78}, {19, 1, 76}, {20, 2, 74}, {23, 1, 76}, {24, 2, 78}, {26, 3, 81}, {30, 2, 76},
};

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Moves a note along A natural minor by scale steps; a note outside the
// scale moves from the scale note just below it.
int diatonic(int pitch, int steps)
{
    static const std::array<int, 7> fromA = {0, 2, 3, 5, 7, 8, 10};
    const int relative = pitch - 57;
    const int octave = floorDiv(relative, 12);
    const int inOctave = relative - 12 * octave;
    int degree = 0;
    for (int i = 0; i < 7; ++i)
        if (fromA[static_cast<std::size_t>(i)] <= inOctave)
            degree = i;
    const int target = degree + steps;
    const int shift = floorDiv(target, 7);
    return 57 + 12 * (octave + shift) + fromA[static_cast<std::size_t>(target - 7 * shift)];
}

void phrase(Score& s, const std::vector<Note>& notes, double start, int transpose, float velocity)
{
    for (const Note& n : notes)
        s.add(Instrument::Lead, start + n.beat, n.length * 0.88, n.pitch + transpose,
              s.humanize(velocity), 0.1f);
}

void harmony(Score& s, const std::vector<Note>& notes, double start, float velocity)
{
    for (const Note& n : notes)
        s.add(Instrument::Lead, start + n.beat, n.length * 0.88, diatonic(n.pitch, -2),
              s.humanize(velocity), -0.35f);
}

// Long notes that fall through the break, ending on the leading tone.
void breakLine(Score& s)
{
    const int pitches[] = {76, 74, 71, 72, 69, 71};
    for (int i = 0; i < 6; ++i)
        s.add(Instrument::Lead, 128 + 4 * i, 3.5, pitches[i], 0.55f, 0.1f);
    s.add(Instrument::Lead, 152, 1.9, 68, 0.6f, 0.1f);
}

void grooveRiff(Score& s)
{
    for (int bar = 48; bar < 54; bar += 2)
        for (const Note& n : kRiff)
            s.add(Instrument::Lead, swung(at(bar, n.beat), 0.3), n.length * 0.22, n.pitch,
                  s.humanize(0.7f), 0.15f);
    const int climb[] = {81, 84, 83, 86};
    for (int i = 0; i < 4; ++i)
        s.add(Instrument::Lead, at(54, 4 * i), 0.8, climb[i], 0.75f, 0.1f);
}

} // namespace

void composeLead(Score& s)
{
    phrase(s, kHookA, at(20, 0), 0, 0.8f);
    phrase(s, kHookB, at(24, 0), 0, 0.8f);
    phrase(s, kHookA, at(28, 0), 0, 0.85f);
    breakLine(s);
    for (int octave : {0, 12}) {
        const float velocity = octave ? 0.35f : 0.85f;
        phrase(s, kHookA, at(39, 0), octave, velocity);
        phrase(s, kHookB, at(43, 0), octave, velocity);
    }
    s.add(Instrument::Lead, at(47, 0), 3.5, 83, 0.8f, 0.1f);
    grooveRiff(s);
    phrase(s, kHookA, at(55, 0), 0, 0.85f);
    phrase(s, kHookB, at(59, 0), 0, 0.85f);
    harmony(s, kHookA, at(55, 0), 0.45f);
    harmony(s, kHookB, at(59, 0), 0.45f);
    s.add(Instrument::Lead, at(63, 0), 3.5, 81, 0.8f, 0.1f);
    s.add(Instrument::Lead, at(63, 0), 3.5, 76, 0.45f, -0.35f);
}

} // namespace soundtrack
