#include "tools/contentgen/soundtrack/Score.h"

#include "app/ShowTimes.h"

namespace soundtrack {

// Noise swells into the big flash and into the drop; booms land on the
// title and on the picture's hardest cuts.
void composeEffects(Score& s)
{
    namespace Cut = ShowTimes::Arrangement;
    s.add(Instrument::Riser, Cut::kMain - 16, 16, 0, 0.9f);
    s.add(Instrument::Riser, Cut::kDrop - 10, 10, 0, 1.0f);
    s.add(Instrument::Riser, Cut::kGroove - 4, 4, 0, 0.5f);
    s.add(Instrument::Impact, ShowTimes::Title::kStartBeat, 1, 0, 0.6f);
    s.add(Instrument::Impact, Cut::kMain, 1, 0, 1.0f);
    s.add(Instrument::Impact, Cut::kBreak, 1, 0, 0.5f);
    s.add(Instrument::Impact, Cut::kDrop, 1, 0, 1.0f);
    s.add(Instrument::Impact, Cut::kFinale, 1, 0, 0.6f);
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
