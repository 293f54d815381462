#include "tools/contentgen/soundtrack/Soundtrack.h"

#include "tools/contentgen/soundtrack/Master.h"
#include "tools/contentgen/soundtrack/Mixer.h"
#include "tools/contentgen/soundtrack/Mp3Encoder.h"

namespace soundtrack {

StereoBuffer renderSoundtrack()
{
    StereoBuffer mix = renderMix(composeSoundtrack(), [](const NoteEvent&) { return true; });
    master(mix, kTargetPeak);
    return mix;
}

std::vector<unsigned char> encodeSoundtrack(const StereoBuffer& mastered)
{
    return encodeMp3(toPcm16(mastered));
}

} // namespace soundtrack
