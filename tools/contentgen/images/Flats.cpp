// Plain white and black pictures: the flash and fade effects take all their
// shape from blending, so the images only carry the colour.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/Raster.h"

CONTENT_ASSET(flats)
{
    using namespace contentgen::img;
    const Grid grid{64, 64};
    Canvas white(grid);
    fill(white, solid({1.f, 1.f, 1.f}));
    contentgen::writeImageIfChanged(showDir, "demodata/white.jpg", *toImageRgb(white));
    Canvas black(grid);
    fill(black, solid({0.f, 0.f, 0.f}));
    contentgen::writeImageIfChanged(showDir, "demodata/black.jpg", *toImageRgb(black));
}
