// The show's music, synthesized and encoded here so it needs no source files.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/soundtrack/Soundtrack.h"

CONTENT_ASSET(soundtrack)
{
    const soundtrack::StereoBuffer mix = soundtrack::renderSoundtrack();
    contentgen::writeFileIfChanged(showDir, "ddata/velmo-tesk.mp3", soundtrack::encodeSoundtrack(mix));
}
