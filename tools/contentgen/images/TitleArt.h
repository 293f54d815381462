#pragma once

#include "tools/contentgen/images/Raster.h"

namespace contentgen::img {

// The show's name in chrome lettering with a dark rim and a coloured halo,
// its ink box centred at (cx, cy) and fitted into maxWidth x maxHeight.
// Shared by the title overlay and the loading picture so both match.
void drawTitleLettering(Canvas& canvas, float cx, float cy, float maxWidth, float maxHeight);

} // namespace contentgen::img
