// The loading picture: a night sky over a glowing grid floor, a striped sun
// and the show's name, with a quiet "loading" line underneath.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/MaskOps.h"
#include "tools/contentgen/images/Noise.h"
#include "tools/contentgen/images/Shapes.h"
#include "tools/contentgen/images/Text.h"
#include "tools/contentgen/images/TitleArt.h"

#include <algorithm>
#include <cmath>

namespace contentgen::img {
namespace {

constexpr float kHorizon = 390.f;

Rgb skyAndFloor(float, float y)
{
    if (y < kHorizon)
        return ramp({{0.f, {0.02f, 0.01f, 0.06f}}, {250.f, {0.10f, 0.03f, 0.22f}},
                     {kHorizon, {0.42f, 0.08f, 0.36f}}}, y);
    return ramp({{kHorizon, {0.10f, 0.02f, 0.16f}}, {600.f, {0.01f, 0.00f, 0.03f}}}, y);
}

Mask stars(const Grid& grid)
{
    Random rng(0x5747a25);
    Mask out(grid);
    for (int i = 0; i < 170; ++i) {
        const float x = rng.range(0.f, 800.f), y = rng.range(0.f, kHorizon - 40.f);
        const float r = rng.range(0.5f, 1.5f);
        out = united(out, scaled(shape(grid, circle(x, y, r)), rng.range(0.3f, 1.f)));
    }
    return out;
}

// Coverage from the distance to the nearest line in pixels, given the line
// coordinate and its change per pixel. Lines that crowd closer than a few
// pixels fade out instead of turning into moire.
float lineCoverage(float coordinate, float perPixel, float halfWidth)
{
    const float d = std::fabs(coordinate - std::round(coordinate)) / perPixel;
    const float spacing = 1.f / perPixel;
    const float crowding = std::min(1.f, std::max(0.f, (spacing - 3.f) / 10.f));
    return std::max(0.f, 1.f - d / halfWidth) * crowding;
}

Mask floorGrid(const Grid& grid, float halfWidth)
{
    const float ppu = grid.pixelsPerUnit();
    return field(grid, [=](float x, float y) {
        const float d = y - kHorizon;
        if (d <= 0.5f)
            return 0.f;
        const float depth = 160.f / d, side = (x - 400.f) / d * 2.f;
        const float rows = lineCoverage(depth, 160.f / (d * d) / ppu, halfWidth);
        // Side lines slant, so measure across them with the full gradient.
        const float sideGradient = std::hypot(2.f / d, side / d) / ppu;
        const float cols = lineCoverage(side, sideGradient, halfWidth);
        return std::max(rows, cols) * std::min(1.f, d / 60.f);
    });
}

Mask stripedSun(const Grid& grid)
{
    const Mask disc = shape(grid, circle(400.f, 300.f, 150.f));
    // Bars that widen towards the horizon, cut out of the lower half.
    const Mask bars = field(grid, [](float, float y) {
        if (y < 310.f)
            return 0.f;
        const float phase = std::fmod(y - 310.f, 20.f);
        return phase < 3.f + (y - 310.f) * 0.09f ? 1.f : 0.f;
    });
    const Mask above = field(grid, [](float, float y) { return kHorizon - y; });
    return intersected(without(disc, bars), above);
}

void drawScenery(Canvas& canvas)
{
    const Grid& g = canvas.grid;
    fill(canvas, skyAndFloor);
    const Mask sky = stars(g);
    paintAdd(canvas, blurred(sky, 2.f), solid({0.5f, 0.6f, 1.f}), 0.8f);
    paintAdd(canvas, sky, solid({1.f, 1.f, 1.f}));
    const Mask sun = stripedSun(g);
    paintAdd(canvas, blurred(sun, 30.f), solid({1.f, 0.25f, 0.55f}), 0.7f);
    paintOver(canvas, sun, verticalRamp({{0.f, {1.f, 0.92f, 0.35f}}, {1.f, {1.f, 0.15f, 0.55f}}}, 150.f, kHorizon));
    const Mask lines = floorGrid(g, 1.2f);
    paintAdd(canvas, blurred(lines, 3.f), solid({0.9f, 0.2f, 1.f}), 1.2f);
    paintAdd(canvas, lines, solid({0.5f, 0.9f, 1.f}), 0.9f);
    paintAdd(canvas, blurred(shape(g, roundedBox(400.f, kHorizon, 420.f, 2.f, 2.f)), 6.f),
             solid({1.f, 0.5f, 0.9f}), 0.9f);
}

void drawLoadingLine(Canvas& canvas)
{
    const Grid& g = canvas.grid;
    const FontFace font(fonts::sansRegular);
    TextStyle style;
    style.size = 15.f;
    style.tracking = 6.f;
    const Rgb grey{0.78f, 0.74f, 0.88f};
    paintOver(canvas, font.render(g, "LOADING", style, 400.f, 560.f), solid(grey));
    paintOver(canvas, shape(g, roundedBox(300.f, 560.f, 40.f, 0.6f, 0.6f)), solid(grey), 0.6f);
    paintOver(canvas, shape(g, roundedBox(500.f, 560.f, 40.f, 0.6f, 0.6f)), solid(grey), 0.6f);
}

} // namespace
} // namespace contentgen::img

CONTENT_ASSET(splash)
{
    using namespace contentgen::img;
    // 4:3 like the screen, so the stretched picture keeps square pixels.
    Canvas canvas(Grid{1024, 768});
    drawScenery(canvas);
    drawTitleLettering(canvas, 400.f, 235.f, 620.f, 150.f);
    drawLoadingLine(canvas);
    contentgen::writeImageIfChanged(showDir, "demodata/bg003x.jpg", *toImageRgb(canvas));
}
