// The background picture behind the turning snork (58 to 70 s): deep water
// lit from above, with sun rays, drifting bubbles and swaying weed along the
// sea floor. Dark enough at the middle for the model to stand out.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/MaskOps.h"
#include "tools/contentgen/images/Noise.h"
#include "tools/contentgen/images/Shapes.h"

#include <algorithm>
#include <cmath>

namespace contentgen::img {
namespace {

Rgb water(float x, float y)
{
    const Rgb depth = ramp({{0.f, {0.10f, 0.42f, 0.55f}}, {260.f, {0.04f, 0.20f, 0.36f}},
                            {600.f, {0.01f, 0.05f, 0.14f}}}, y);
    // Darker towards the corners, lighter where the sun comes in.
    const float dx = (x - 400.f) / 400.f, dy = (y - 300.f) / 300.f;
    const float vignette = 1.f - 0.35f * std::min(1.f, dx * dx + dy * dy);
    return {depth.r * vignette, depth.g * vignette, depth.b * vignette};
}

// Slanted shafts of light that fade with depth.
Mask sunRays(const Grid& grid)
{
    const TileableFbm wobble(31, 6, 1, 2);
    return field(grid, [&](float x, float y) {
        const float across = (x - 0.45f * y) / 800.f;
        const float shafts = 0.5f + 0.5f * std::sin(across * 38.f + 3.f * wobble.at(std::fmod(across + 2.f, 1.f), 0.f));
        const float fade = std::max(0.f, 1.f - y / 480.f);
        return std::pow(shafts, 6.f) * fade * fade;
    });
}

Mask bubbles(const Grid& grid)
{
    Random rng(0xb0bb1e5);
    Mask out(grid);
    for (int i = 0; i < 45; ++i) {
        const float x = rng.range(20.f, 780.f), y = rng.range(40.f, 520.f), r = rng.range(2.f, 9.f);
        out = united(out, scaled(shape(grid, rim(circle(x, y, r), 0.9f)), rng.range(0.4f, 0.9f)));
        out = united(out, scaled(shape(grid, circle(x - r * 0.35f, y - r * 0.35f, r * 0.25f)), 0.8f));
    }
    return out;
}

// Blades of weed rooted on the floor, each bending with its own sway.
Mask seaweed(const Grid& grid)
{
    Random rng(0x5eaeed);
    Mask out(grid);
    for (int i = 0; i < 26; ++i) {
        const float root = rng.range(-10.f, 810.f), height = rng.range(70.f, 190.f);
        const float bend = rng.range(-40.f, 40.f), width = rng.range(5.f, 10.f), phase = rng.range(0.f, 6.f);
        Point last{root, 600.f};
        for (int k = 1; k <= 8; ++k) {
            const float t = k / 8.f;
            const Point next{root + bend * t * t + 8.f * std::sin(phase + 5.f * t), 600.f - height * t};
            out = united(out, shape(grid, segment(last, next, width * (1.f - 0.7f * t))));
            last = next;
        }
    }
    return out;
}

} // namespace
} // namespace contentgen::img

CONTENT_ASSET(nybak)
{
    using namespace contentgen::img;
    Canvas canvas(Grid{1024, 768});
    fill(canvas, water);
    paintAdd(canvas, blurred(sunRays(canvas.grid), 6.f), solid({0.45f, 0.75f, 0.80f}), 0.35f);
    const Mask weed = seaweed(canvas.grid);
    paintOver(canvas, blurred(weed, 5.f), solid({0.0f, 0.02f, 0.05f}), 0.6f);
    paintOver(canvas, weed, verticalRamp({{0.f, {0.10f, 0.40f, 0.30f}}, {1.f, {0.02f, 0.14f, 0.12f}}}, 420.f, 600.f));
    paintAdd(canvas, bubbles(canvas.grid), solid({0.55f, 0.85f, 0.95f}), 0.7f);
    // Stretched here to the 1024 x 1024 its texture needs, as the show would
    // stretch it when it reads the file: the same pixels, with the 70-80 ms
    // that costs taken out of every start-up.
    osg::ref_ptr<osg::Image> picture = toImageRgb(canvas);
    picture->scaleImage(1024, 1024, 1);
    contentgen::writeImageIfChanged(showDir, "ddata/nybak1.png", *picture);
}
