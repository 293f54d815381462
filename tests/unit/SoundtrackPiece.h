#pragma once

#include "tools/contentgen/soundtrack/Soundtrack.h"

// The whole score, synthesized once per test program: it takes seconds.
inline const soundtrack::StereoBuffer& piece()
{
    static const soundtrack::StereoBuffer mix = soundtrack::renderSoundtrack();
    return mix;
}
