#include "tools/contentgen/soundtrack/Mixer.h"

#include "tools/contentgen/soundtrack/Delay.h"
#include "tools/contentgen/soundtrack/Reverb.h"
#include "tools/contentgen/soundtrack/Timing.h"
#include "tools/contentgen/soundtrack/Voice.h"

#include <algorithm>
#include <cmath>

namespace soundtrack {

namespace {

struct Buses {
    StereoBuffer dry{kLoopFrames}, reverb{kLoopFrames}, delay{kLoopFrames};
};

// How far the kick pushes the other parts down at each frame: a fast dip
// and a 90 ms recovery, the pumping of side-chained dance music.
std::vector<float> kickDucking(const Score& score)
{
    std::vector<float> duck(kLoopFrames, 0.0f);
    const std::size_t attack = 130, length = 16000;
    for (const NoteEvent& e : score.events()) {
        if (e.instrument != Instrument::Kick)
            continue;
        const std::size_t start = static_cast<std::size_t>(beatToFrame(e.beat));
        for (std::size_t i = 0; i < length; ++i) {
            const float rise = std::min(1.0f, static_cast<float>(i) / attack);
            const float level = rise * std::exp(-static_cast<float>(i) / 4000.0f) * e.velocity;
            float& d = duck[(start + i) % kLoopFrames];
            d = std::max(d, level);
        }
    }
    return duck;
}

void addClip(Buses& buses, const NoteEvent& e, const std::vector<float>& clip,
             const std::vector<float>& duck)
{
    const Strip strip = stripFor(e.instrument);
    const double angle = (e.pan + 1.0) * kPi / 4.0;
    const float gl = static_cast<float>(std::cos(angle) * std::sqrt(2.0)) * strip.gain;
    const float gr = static_cast<float>(std::sin(angle) * std::sqrt(2.0)) * strip.gain;
    std::size_t at = static_cast<std::size_t>(beatToFrame(e.beat)) % kLoopFrames;
    for (std::size_t i = 0; i < clip.size(); ++i, ++at) {
        if (at == kLoopFrames)
            at = 0;
        const float s = clip[i] * (1.0f - strip.duck * duck[at]);
        buses.dry.left[at] += s * gl;
        buses.dry.right[at] += s * gr;
        buses.reverb.left[at] += s * gl * strip.reverb;
        buses.reverb.right[at] += s * gr * strip.reverb;
        buses.delay.left[at] += s * gl * strip.delay;
        buses.delay.right[at] += s * gr * strip.delay;
    }
}

// Echoes on dotted eighths, and some of them into the hall too.
StereoBuffer applyEffects(Buses& buses)
{
    const std::size_t warm = 8 * kSampleRate;
    PingPongDelay delay(static_cast<std::size_t>(beatToFrame(0.75)), 0.45f);
    const StereoBuffer echoes = processLoop(delay, buses.delay, warm);
    for (std::size_t i = 0; i < kLoopFrames; ++i) {
        buses.reverb.left[i] += 0.3f * echoes.left[i];
        buses.reverb.right[i] += 0.3f * echoes.right[i];
    }
    Reverb hall(0.82f, 0.35f);
    const StereoBuffer wet = processLoop(hall, buses.reverb, warm);
    StereoBuffer out(kLoopFrames);
    for (std::size_t i = 0; i < kLoopFrames; ++i) {
        out.left[i] = buses.dry.left[i] + echoes.left[i] + wet.left[i];
        out.right[i] = buses.dry.right[i] + echoes.right[i] + wet.right[i];
    }
    return out;
}

} // namespace

StereoBuffer renderMix(const Score& score, const EventFilter& keep)
{
    Buses buses;
    const std::vector<float> duck = kickDucking(score);
    for (const NoteEvent& e : score.events())
        if (keep(e))
            addClip(buses, e, renderVoice(e), duck);
    return applyEffects(buses);
}

} // namespace soundtrack
