#include "tools/contentgen/soundtrack/Arrangement.h"

#include "tools/contentgen/soundtrack/Timing.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace soundtrack {

namespace {

// Each section starts at the picture cut it follows (ShowTimes::Arrangement).
constexpr int kBuild = ShowTimes::Arrangement::kBuild;
constexpr int kMain = ShowTimes::Arrangement::kMain;
constexpr int kBreak = ShowTimes::Arrangement::kBreak;
constexpr int kDrop = ShowTimes::Arrangement::kDrop;
constexpr int kGroove = ShowTimes::Arrangement::kGroove;
constexpr int kFinale = ShowTimes::Arrangement::kFinale;
constexpr int kOutro = ShowTimes::Arrangement::kOutro;

const std::vector<SectionSpan> kSections = {
    {Section::Intro, 0, kBuild},        {Section::Build, kBuild, kMain},   {Section::Main, kMain, kBreak},
    {Section::Break, kBreak, kDrop},    {Section::Drop, kDrop, kGroove},   {Section::Groove, kGroove, kFinale},
    {Section::Finale, kFinale, kOutro}, {Section::Outro, kOutro, kBeats},
};

enum ChordName { Am, F, C, G, E, Em, Am7, D9 };

const Chord& chord(ChordName name)
{
    static const std::vector<Chord> table = {
        {45, {57, 60, 64}},     {41, {57, 60, 65}},     {48, {55, 60, 64}},
        {43, {55, 59, 62}},     {40, {56, 59, 64}},     {40, {55, 59, 64}},
        {45, {55, 60, 64, 69}}, {50, {54, 60, 64, 69}},
    };
    return table[name];
}

struct ChordMark {
    double beat;
    ChordName name;
};

void addBars(std::vector<ChordMark>& marks, int firstBar, std::vector<ChordName> names)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        marks.push_back({(firstBar + static_cast<double>(i)) * kBeatsPerBar, names[i]});
}

// i-VI-III-VII in A minor carries the piece; the break borrows the minor v,
// the groove sways between Am7 and D9 (A dorian) and every section ends on
// the chord that leads into the next, the outro's G into the intro's Am.
std::vector<ChordMark> buildChordMarks()
{
    std::vector<ChordMark> marks;
    addBars(marks, 0, {Am, F, C, G, Am, F, C, G, Am, F, C, G, F, G, Am, E});
    for (int bar = 16; bar < 32; bar += 4)
        addBars(marks, bar, {Am, F, C, G});
    addBars(marks, 32, {F, G, Em, Am, F, G});
    marks.push_back({152, E});
    marks.push_back({154, Am});
    addBars(marks, 40, {F, C, G, Am, F, C, G, E});
    addBars(marks, 48, {Am7, D9, Am7, D9, Am7, D9});
    marks.push_back({216, F});
    marks.push_back({218, G});
    addBars(marks, 55, {Am, F, C, G, Am, F, C, G, Am, F, G});
    return marks;
}

const std::vector<ChordMark>& chordMarks()
{
    static const std::vector<ChordMark> marks = buildChordMarks();
    return marks;
}

std::size_t chordIndex(double beat)
{
    const auto& marks = chordMarks();
    const double wrapped = beat - kBeats * std::floor(beat / kBeats);
    auto after = std::upper_bound(marks.begin(), marks.end(), wrapped,
                                  [](double b, const ChordMark& m) { return b < m.beat; });
    return static_cast<std::size_t>(after - marks.begin()) - 1;
}

using Curve = std::vector<std::pair<double, double>>;

double evaluate(const Curve& curve, double beat)
{
    for (std::size_t i = 1; i < curve.size(); ++i) {
        if (beat < curve[i].first) {
            const auto& [b0, v0] = curve[i - 1];
            const auto& [b1, v1] = curve[i];
            return b1 > b0 ? v0 + (v1 - v0) * (beat - b0) / (b1 - b0) : v1;
        }
    }
    return curve.back().second;
}

} // namespace

const std::vector<SectionSpan>& sections()
{
    return kSections;
}

const SectionSpan& span(Section section)
{
    return kSections[static_cast<std::size_t>(section)];
}

Section sectionAt(double beat)
{
    for (const auto& s : kSections)
        if (beat < s.endBeat)
            return s.section;
    return Section::Outro;
}

const Chord& chordAt(double beat)
{
    return chord(chordMarks()[chordIndex(beat)].name);
}

double chordStart(double beat)
{
    return chordMarks()[chordIndex(beat)].beat;
}

double chordEnd(double beat)
{
    const std::size_t next = chordIndex(beat) + 1;
    return next < chordMarks().size() ? chordMarks()[next].beat : kBeats;
}

// The closing values equal the opening ones so the loop does not jump.
double padBrightness(double beat)
{
    static const Curve curve = {{0, .15},         {kBuild, .2},     {kMain, .85},     {kMain, .55},
                                {kBreak, .55},    {kBreak, .3},     {kDrop - 2, .9},  {kDrop, .6},
                                {kGroove, .6},    {kGroove, .4},    {kFinale, .45},   {kFinale, .6},
                                {kOutro, .6},     {kOutro, .2},     {kBeats, .15}};
    return evaluate(curve, beat);
}

double arpBrightness(double beat)
{
    static const Curve curve = {{0, .1},        {kBuild, .1},     {kMain, .9},    {kMain, .5},
                                {kBreak, .5},   {kBreak, .55},    {kDrop, .55},   {kDrop, .8},
                                {kGroove, .8},  {kFinale, .6},    {kOutro, .6},   {kOutro, .15},
                                {kBeats, .1}};
    return evaluate(curve, beat);
}

double bassBrightness(double beat)
{
    static const Curve curve = {{0, .2},        {kBuild, .1},     {kMain, .8},    {kMain, .55},
                                {kBreak, .55},  {kBreak, .3},     {kDrop, .3},    {kDrop, .7},
                                {kGroove, .7},  {kGroove, .5},    {kFinale, .55}, {kOutro, .55},
                                {kOutro, .2},   {kBeats, .2}};
    return evaluate(curve, beat);
}

} // namespace soundtrack
