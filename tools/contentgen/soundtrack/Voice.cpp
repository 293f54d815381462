#include "tools/contentgen/soundtrack/Voice.h"

namespace soundtrack {

// Voices are grouped by family; each family file knows its own members.
std::vector<float> renderVoice(const NoteEvent& e)
{
    switch (e.instrument) {
    case Instrument::Kick:
    case Instrument::Snare:
    case Instrument::Clap:
    case Instrument::ClosedHat:
    case Instrument::OpenHat:
    case Instrument::Crash:
    case Instrument::Tom: return renderDrum(e);
    case Instrument::Riser:
    case Instrument::Impact: return renderEffect(e);
    case Instrument::SubBass:
    case Instrument::RollBass:
    case Instrument::DropBass:
    case Instrument::FunkBass: return renderBass(e);
    default: return renderSynth(e);
    }
}

} // namespace soundtrack
