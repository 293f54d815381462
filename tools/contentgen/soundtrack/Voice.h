#pragma once

#include "tools/contentgen/soundtrack/Envelope.h"
#include "tools/contentgen/soundtrack/Score.h"
#include "tools/contentgen/soundtrack/Timing.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace soundtrack {

// Renders one event to a mono clip that starts at the event's beat.
std::vector<float> renderVoice(const NoteEvent& event);

std::vector<float> renderDrum(const NoteEvent& event);
std::vector<float> renderBass(const NoteEvent& event);
std::vector<float> renderSynth(const NoteEvent& event);
std::vector<float> renderEffect(const NoteEvent& event);

inline std::size_t gateFrames(const NoteEvent& event)
{
    return static_cast<std::size_t>(std::max(1.0, event.length * kFramesPerBeat));
}

// The beat the voice is at, i frames after it started.
inline double beatAt(const NoteEvent& event, std::size_t frame)
{
    return event.beat + static_cast<double>(frame) / kFramesPerBeat;
}

// Cutting a clip short would click; this rounds off its last few ms.
inline void fadeOut(std::vector<float>& clip, double seconds = 0.01)
{
    const std::size_t n = std::min(clip.size(), static_cast<std::size_t>(seconds * kSampleRate));
    for (std::size_t i = 0; i < n; ++i)
        clip[clip.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
}

// A voice held for the event's length, then released until it is silent.
template <typename SampleFn>
std::vector<float> renderGated(const NoteEvent& event, const AdsrShape& shape, SampleFn&& sample)
{
    const std::size_t gate = gateFrames(event);
    const std::size_t limit = gate + static_cast<std::size_t>(10.0 * shape.release * kSampleRate);
    Adsr envelope(shape);
    std::vector<float> clip;
    clip.reserve(limit);
    for (std::size_t i = 0; i < limit; ++i) {
        if (i == gate)
            envelope.release();
        const float level = envelope.next();
        if (envelope.finished())
            break;
        clip.push_back(sample(i) * level * event.velocity);
    }
    fadeOut(clip, 0.002);
    return clip;
}

// A hit of fixed length whose shape comes from its own decays. Long
// ringing hits need a long fade, or their cut-off shows in quiet passages.
template <typename SampleFn>
std::vector<float> renderHit(const NoteEvent& event, double seconds, SampleFn&& sample,
                             double fadeSeconds = 0.01)
{
    std::vector<float> clip(static_cast<std::size_t>(seconds * kSampleRate));
    for (std::size_t i = 0; i < clip.size(); ++i)
        clip[i] = sample(i) * event.velocity;
    fadeOut(clip, fadeSeconds);
    return clip;
}

} // namespace soundtrack
