#include "tools/contentgen/soundtrack/Grid.h"
#include "tools/contentgen/soundtrack/Score.h"

namespace soundtrack {

namespace {

constexpr int kKickNote = 33; // A1: the kick sits on the key's root

// Velocities of the four sixteenths of a beat: the offbeat eighth leads.
constexpr float kHatAccent[4] = {0.45f, 0.22f, 0.75f, 0.22f};

void kicksOnBeats(Score& s, int firstBeat, int endBeat, float from, float to)
{
    for (int b = firstBeat; b < endBeat; ++b) {
        const float velocity = ramp(from, to, b - firstBeat, endBeat - firstBeat);
        s.add(Instrument::Kick, b, 0.5, kKickNote, s.humanize(velocity, 0.04f));
    }
}

void backbeat(Score& s, int bar, float velocity)
{
    for (int beat : {1, 3}) {
        s.add(Instrument::Clap, at(bar, beat * 4), 0.5, 0, s.humanize(velocity), 0.05f);
        s.add(Instrument::Snare, at(bar, beat * 4), 0.5, 0, s.humanize(velocity * 0.6f), -0.05f);
    }
}

void hatBar(Score& s, int bar, float level, double swing, bool openOffbeats)
{
    for (int step = 0; step < 16; ++step) {
        const double beat = swung(at(bar, step), swing);
        const bool open = openOffbeats && step % 4 == 2;
        s.add(open ? Instrument::OpenHat : Instrument::ClosedHat, beat, 0.25, 0,
              s.humanize(level * kHatAccent[step % 4]), open ? -0.25f : 0.25f);
    }
}

// Toms down the A minor chord, then a snare run into the next downbeat.
void fill(Score& s, int bar, float level)
{
    const int toms[4] = {57, 52, 48, 45};
    for (int i = 0; i < 4; ++i)
        s.add(Instrument::Tom, at(bar, 8 + i), 0.25, toms[i], level * 0.8f, 0.4f - 0.27f * i);
    for (int i = 0; i < 4; ++i)
        s.add(Instrument::Snare, at(bar, 12 + i), 0.25, 0, ramp(0.5f, 1.0f, i, 4) * level);
}

void snareRoll(Score& s, double from, double to, double spacing, float v0, float v1)
{
    const int count = static_cast<int>((to - from) / spacing + 0.5);
    for (int i = 0; i < count; ++i)
        s.add(Instrument::Snare, from + i * spacing, spacing, 0, ramp(v0, v1, i, count));
}

void intro(Score& s)
{
    for (int bar = 4; bar < 9; ++bar)
        for (int beat = 0; beat < 4; ++beat)
            s.add(Instrument::ClosedHat, bar * 4 + beat + 0.5, 0.25, 0, s.humanize(0.25f), 0.3f);
}

// Kicks from the first build bar, hats thickening, and a snare roll that
// starts under the title hit and runs into the big flash.
void build(Score& s)
{
    kicksOnBeats(s, 36, 64, 0.7f, 0.95f);
    for (int bar = 11; bar < 13; ++bar)
        for (int beat = 0; beat < 4; ++beat)
            s.add(Instrument::ClosedHat, bar * 4 + beat + 0.5, 0.25, 0, s.humanize(0.5f), 0.25f);
    hatBar(s, 13, 0.8f, 0.0, false);
    backbeat(s, 12, 0.6f);
    backbeat(s, 13, 0.7f);
    snareRoll(s, 56, 60, 0.5, 0.3f, 0.55f);
    snareRoll(s, 60, 64, 0.25, 0.55f, 1.0f);
}

void fullBars(Score& s, int firstBar, int endBar, double swing, int openFromBar)
{
    for (int bar = firstBar; bar < endBar; ++bar) {
        backbeat(s, bar, 0.9f);
        hatBar(s, bar, 1.0f, swing, bar >= openFromBar);
    }
}

void mainSection(Score& s)
{
    kicksOnBeats(s, 64, 128, 1.0f, 1.0f);
    fullBars(s, 16, 31, 0.0, 24);
    backbeat(s, 31, 0.9f);
    fill(s, 31, 0.9f);
}

// No kick: hats and a roll that grows into two beats of held breath.
void breakdown(Score& s)
{
    for (int bar = 34; bar < 36; ++bar)
        for (int beat = 0; beat < 4; ++beat)
            s.add(Instrument::ClosedHat, bar * 4 + beat + 0.5, 0.25, 0, s.humanize(0.35f), -0.2f);
    snareRoll(s, 144, 148, 0.5, 0.2f, 0.45f);
    snareRoll(s, 148, 152, 0.25, 0.45f, 0.95f);
}

void drop(Score& s)
{
    kicksOnBeats(s, 154, 192, 1.0f, 1.0f);
    s.add(Instrument::OpenHat, 154.5, 0.25, 0, 0.7f, -0.25f);
    s.add(Instrument::Clap, 155, 0.5, 0, 0.95f, 0.05f);
    s.add(Instrument::OpenHat, 155.5, 0.25, 0, 0.7f, -0.25f);
    fullBars(s, 39, 47, 0.0, 39);
    backbeat(s, 47, 0.9f);
    fill(s, 47, 1.0f);
}

// Funk kick pattern, ghosted snares and shuffled sixteenths. Steps from
// `until` on are left to the fill that closes the section.
constexpr double kGrooveSwing = 0.3;

void grooveBar(Score& s, int bar, int until)
{
    auto add = [&](Instrument i, int step, int pitch, float velocity, float pan) {
        if (step < until)
            s.add(i, swung(at(bar, step), kGrooveSwing), 0.25, pitch, s.humanize(velocity), pan);
    };
    for (int step : {0, 7, 8, 10})
        add(Instrument::Kick, step, kKickNote, step == 0 ? 1.0f : 0.85f, 0.0f);
    if (bar % 2 == 1)
        add(Instrument::Kick, 14, kKickNote, 0.7f, 0.0f);
    for (int step : {4, 12}) {
        add(Instrument::Snare, step, 0, 1.0f, -0.05f);
        add(Instrument::Clap, step, 0, 0.5f, 0.1f);
    }
    for (int step : {3, 9, 15})
        add(Instrument::Snare, step, 0, 0.18f, 0.1f);
    for (int step = 0; step < 16; ++step)
        add(step == 14 ? Instrument::OpenHat : Instrument::ClosedHat, step, 0,
            0.95f * kHatAccent[step % 4], step == 14 ? -0.3f : 0.25f);
}

void groove(Score& s)
{
    for (int bar = 48; bar < 54; ++bar)
        grooveBar(s, bar, 16);
    grooveBar(s, 54, 8);
    fill(s, 54, 0.9f);
}

void finale(Score& s)
{
    kicksOnBeats(s, 220, 256, 1.0f, 1.0f);
    fullBars(s, 55, 63, 0.2, 55);
    backbeat(s, 63, 0.9f);
    fill(s, 63, 1.0f);
}

// Cymbals on every section change; a pair panned apart sounds wide. The
// first one, where the kick comes in, only marks the change.
void crashes(Score& s)
{
    for (double beat : {36.0, 56.0, 64.0, 96.0, 128.0, 154.0, 172.0, 192.0, 220.0, 236.0, 256.0}) {
        const float velocity = beat == 36.0 ? 0.45f : 0.9f;
        s.add(Instrument::Crash, beat, 1.0, 0, velocity, -0.6f);
        s.add(Instrument::Crash, beat, 1.0, 0, velocity, 0.6f);
    }
}

} // namespace

void composeDrums(Score& s)
{
    intro(s);
    build(s);
    mainSection(s);
    breakdown(s);
    drop(s);
    groove(s);
    finale(s);
    crashes(s);
}

} // namespace soundtrack
