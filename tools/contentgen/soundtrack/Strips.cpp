#include "tools/contentgen/soundtrack/Mixer.h"

namespace soundtrack {

// Balanced by ear-proxy: per-section loudness measurements of the rendered
// stems, with the kick and bass leading and the pads behind them.
Strip stripFor(Instrument instrument)
{
    switch (instrument) {
    case Instrument::Kick: return {0.55f, 0.0f, 0.0f, 0.0f};
    case Instrument::Snare: return {0.6f, 0.15f, 0.0f, 0.0f};
    case Instrument::Clap: return {0.6f, 0.2f, 0.0f, 0.0f};
    case Instrument::ClosedHat: return {0.5f, 0.05f, 0.0f, 0.0f};
    case Instrument::OpenHat: return {0.35f, 0.08f, 0.0f, 0.0f};
    case Instrument::Crash: return {0.35f, 0.2f, 0.0f, 0.0f};
    case Instrument::Tom: return {0.4f, 0.15f, 0.0f, 0.0f};
    case Instrument::Riser: return {0.2f, 0.3f, 0.0f, 0.0f};
    case Instrument::Impact: return {0.45f, 0.3f, 0.0f, 0.0f};
    case Instrument::SubBass: return {0.85f, 0.05f, 0.0f, 0.3f};
    case Instrument::RollBass: return {0.45f, 0.0f, 0.0f, 0.6f};
    case Instrument::DropBass: return {0.42f, 0.0f, 0.0f, 0.7f};
    case Instrument::FunkBass: return {0.3f, 0.0f, 0.0f, 0.25f};
    case Instrument::Pad: return {0.14f, 0.35f, 0.0f, 0.5f};
    case Instrument::Lead: return {0.3f, 0.25f, 0.3f, 0.2f};
    case Instrument::Arp: return {0.18f, 0.2f, 0.35f, 0.3f};
    case Instrument::Stab: return {0.16f, 0.25f, 0.2f, 0.3f};
    }
    return {0.0f, 0.0f, 0.0f, 0.0f};
}

} // namespace soundtrack
