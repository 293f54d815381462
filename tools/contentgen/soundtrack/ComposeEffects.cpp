#include "tools/contentgen/soundtrack/Score.h"

namespace soundtrack {

// Noise swells into the big flash and into the drop; booms land on the
// picture's hardest cuts.
void composeEffects(Score& s)
{
    s.add(Instrument::Riser, 48, 16, 0, 0.9f);
    s.add(Instrument::Riser, 144, 10, 0, 1.0f);
    s.add(Instrument::Riser, 188, 4, 0, 0.5f);
    s.add(Instrument::Impact, 56, 1, 0, 0.6f);
    s.add(Instrument::Impact, 64, 1, 0, 1.0f);
    s.add(Instrument::Impact, 128, 1, 0, 0.5f);
    s.add(Instrument::Impact, 154, 1, 0, 1.0f);
    s.add(Instrument::Impact, 220, 1, 0, 0.6f);
}

Score composeSoundtrack()
{
    Score score;
    composeDrums(score);
    composeBass(score);
    composeHarmony(score);
    composeLead(score);
    composeEffects(score);
    return score;
}

} // namespace soundtrack
