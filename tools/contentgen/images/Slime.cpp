// The slime texture. The show stretches single rows and single columns of it
// over the screen while scrolling through it, with wrap-around, so it tiles
// seamlessly both ways and changes smoothly from row to row and column to
// column; alpha varies too, since the multiplying layer reads it.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/Noise.h"
#include "tools/contentgen/images/Raster.h"

#include <algorithm>
#include <cmath>

namespace contentgen::img {
namespace {

constexpr int kSize = 256;

struct SlimeField {
    TileableFbm warpU{11, 2, 2, 3};
    TileableFbm warpV{12, 2, 2, 3};
    TileableFbm body{13, 3, 3, 5};
    TileableFbm drips{14, 12, 2, 3};  // narrow across, long down: strands
    TileableFbm veins{15, 4, 4, 3};
    TileableFbm tint{16, 1, 2, 2};
};

float smooth(float lo, float hi, float x)
{
    const float t = std::min(1.f, std::max(0.f, (x - lo) / (hi - lo)));
    return t * t * (3.f - 2.f * t);
}

Rgb slimeColour(float level, float tint)
{
    const Rgb acid = ramp({{0.00f, {0.01f, 0.07f, 0.02f}},
                           {0.35f, {0.04f, 0.32f, 0.08f}},
                           {0.60f, {0.40f, 0.90f, 0.08f}},
                           {0.82f, {0.82f, 1.00f, 0.25f}},
                           {1.00f, {0.97f, 1.00f, 0.75f}}},
                          level);
    const Rgb toxic = ramp({{0.00f, {0.00f, 0.06f, 0.06f}},
                            {0.40f, {0.02f, 0.38f, 0.30f}},
                            {0.70f, {0.20f, 0.95f, 0.55f}},
                            {1.00f, {0.85f, 1.00f, 0.85f}}},
                           level);
    return mix(acid, toxic, smooth(0.1f, 0.6f, tint));
}

Rgba slimeAt(const SlimeField& f, float u, float v)
{
    // Warping the lookup with noise of the same tile keeps the wrap seamless
    // and turns blobs into flowing, stretched slime.
    const float wu = u + 0.12f * f.warpU.at(u, v);
    const float wv = v + 0.12f * f.warpV.at(u, v);
    const float level = 0.5f + 0.9f * f.body.at(wu, wv) + 0.35f * f.drips.at(u, wv);
    const float ridge = 1.f - std::fabs(f.veins.at(wu, wv));
    const float vein = std::pow(std::max(0.f, ridge), 12.f);
    Rgb c = slimeColour(std::min(1.f, std::max(0.f, level)), f.tint.at(u, v) + 0.3f);
    c = mix(c, {0.85f, 1.f, 0.3f}, 0.8f * vein);
    const float alpha = 0.3f + 0.6f * smooth(0.2f, 0.9f, level) + 0.1f * vein;
    return {c.r, c.g, c.b, std::min(1.f, alpha)};
}

} // namespace
} // namespace contentgen::img

CONTENT_ASSET(slime)
{
    using namespace contentgen::img;
    const SlimeField field;
    Canvas canvas(Grid{kSize, kSize, static_cast<float>(kSize), static_cast<float>(kSize)});
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            canvas.at(x, y) = slimeAt(field, (x + 0.5f) / kSize, (y + 0.5f) / kSize);
    contentgen::writeImageIfChanged(showDir, "ddata/slime.png", *toImageRgba(canvas));
}
