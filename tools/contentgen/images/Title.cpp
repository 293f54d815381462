// The title overlay. It unfolds sideways from its centre column, so the
// lettering is centred and a light streak runs out from the middle.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/MaskOps.h"
#include "tools/contentgen/images/Shapes.h"
#include "tools/contentgen/images/TitleArt.h"

#include <cmath>

namespace contentgen::img {
namespace {

// Bright at the centre, thinning and fading towards the screen sides.
Mask lightStreak(const Grid& grid, float cy)
{
    return field(grid, [cy](float x, float y) {
        const float along = std::fabs(x - 400.f) / 380.f;
        if (along >= 1.f)
            return 0.f;
        const float halfHeight = 3.f * (1.f - along) + 0.5f;
        const float across = std::fabs(y - cy) / halfHeight;
        return std::exp(-across * across) * (1.f - along) * (1.f - along);
    });
}

} // namespace
} // namespace contentgen::img

CONTENT_ASSET(title)
{
    using namespace contentgen::img;
    Canvas canvas(Grid{1024, 512});
    const Mask streak = lightStreak(canvas.grid, 300.f);
    paintOver(canvas, blurred(streak, 6.f), solid({0.4f, 0.6f, 1.f}), 0.8f);
    drawTitleLettering(canvas, 400.f, 300.f, 700.f, 175.f);
    paintOver(canvas, streak, solid({0.9f, 0.97f, 1.f}), 0.9f);
    contentgen::writeImageIfChanged(showDir, "ddata/velmo.png", *toImageRgba(canvas));
}
