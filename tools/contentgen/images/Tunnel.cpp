// The tunnel texture that the room is seen through. The show stretches one
// column of it over the whole screen (so every screen row takes the colour of
// one texel of that column) and sweeps through the columns at a tenth of the
// width per second, wrapping around. The stripe blend multiplies the room by
// one plus the texel colour: black leaves the room as it is, bright colour
// lights it up to twice its brightness.
//
// Each column holds the rings of a tunnel seen in perspective: pairs of bands
// that open from a dark horizon across the middle of the screen towards the
// top and bottom edges, widening as they come closer. From column to column
// the rings move on by a fixed fraction, so sweeping through the image flies
// through the tunnel; a whole number of rings per width makes it tile.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/Raster.h"

#include <algorithm>
#include <cmath>

namespace contentgen::img {
namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 512;
constexpr int kRingsPerWidth = 6;   // one width is ten seconds of sweep
constexpr float kDepthScale = 0.9f; // ring number times distance from the horizon
constexpr int kSamples = 4;         // per pixel and axis, against aliasing

float smoothStep(float lo, float hi, float x)
{
    const float t = std::min(1.f, std::max(0.f, (x - lo) / (hi - lo)));
    return t * t * (3.f - 2.f * t);
}

// Ring colours in turn; their count divides the rings per width, so the
// colours tile too.
Rgb ringColour(int ring)
{
    static const Rgb colours[3] = {
        {0.18f, 0.46f, 0.66f},  // cold cyan
        {0.54f, 0.24f, 0.60f},  // violet
        {0.66f, 0.36f, 0.18f},  // ember
    };
    return colours[((ring % 3) + 3) % 3];
}

// u across the image (the sweep), v down the screen in 0..1.
Rgb tunnelAt(float u, float v)
{
    const float distance = std::fabs(v - 0.5f);  // from the horizon
    if (distance < 1e-3f)
        return {};
    const float ring = kDepthScale / distance + kRingsPerWidth * u;
    const float n = std::floor(ring);
    const float across = ring - n - 0.5f;  // -0.5 .. 0.5 through one ring
    const float band = std::exp(-(across * across) / (0.2f * 0.2f));
    // Far rings crowd at the horizon; fog hides them before they alias.
    const float fog = smoothStep(0.1f, 0.36f, distance);
    const Rgb c = ringColour(static_cast<int>(n));
    const float glow = band * fog;
    return {c.r * glow, c.g * glow, c.b * glow};
}

} // namespace
} // namespace contentgen::img

CONTENT_ASSET(tunnel)
{
    using namespace contentgen::img;
    Canvas canvas(Grid{kWidth, kHeight, static_cast<float>(kWidth), static_cast<float>(kHeight)});
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            Rgb sum;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgb c = tunnelAt((x + (sx + 0.5f) / kSamples) / kWidth, (y + (sy + 0.5f) / kSamples) / kHeight);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            const float n = kSamples * kSamples;
            canvas.at(x, y) = {sum.r / n, sum.g / n, sum.b / n, 1.f};
        }
    contentgen::writeImageIfChanged(showDir, "demodata/tunnel2.jpg", *toImageRgb(canvas));
}
