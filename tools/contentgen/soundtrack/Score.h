#pragma once

#include "tools/contentgen/soundtrack/Prng.h"

#include <cstdint>
#include <vector>

namespace soundtrack {

enum class Instrument {
    Kick,
    Snare,
    Clap,
    ClosedHat,
    OpenHat,
    Crash,
    Tom,
    Riser,
    Impact,
    SubBass,
    RollBass,
    DropBass,
    FunkBass,
    Pad,
    Lead,
    Arp,
    Stab,
};

// One note or hit. Times are in beats from the start of the loop, so the
// arrangement reads like the bars it describes.
struct NoteEvent {
    Instrument instrument;
    double beat;
    double length;
    int pitch; // MIDI note; drums use it for their tuning
    float velocity;
    float pan; // -1 left .. +1 right
    uint32_t seed;
};

class Score
{
public:
    void add(Instrument instrument, double beat, double length, int pitch, float velocity,
             float pan = 0.0f)
    {
        events_.push_back({instrument, beat, length, pitch, velocity, pan,
                           static_cast<uint32_t>(seeds_.next() >> 32)});
    }
    // A little spread in loudness keeps repeated hits from sounding mechanical.
    float humanize(float velocity, float amount = 0.08f)
    {
        return velocity * (1.0f - amount * seeds_.uniform());
    }
    const std::vector<NoteEvent>& events() const { return events_; }

private:
    std::vector<NoteEvent> events_;
    Prng seeds_{0x5EEDBEA7ull};
};

// The whole piece, part by part.
Score composeSoundtrack();
void composeDrums(Score& score);
void composeBass(Score& score);
void composeHarmony(Score& score);
void composeLead(Score& score);
void composeEffects(Score& score);

} // namespace soundtrack
