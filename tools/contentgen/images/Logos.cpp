// The six greeting logos, each a full-screen overlay with the logo in its own
// part of the screen, plus a blurred, brightened copy for the additive glow
// that flares up when the logo appears.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/LogoDesigns.h"
#include "tools/contentgen/images/MaskOps.h"

#include <algorithm>
#include <string>

namespace contentgen::img {
namespace {

struct Logo {
    const char* name;
    Cell cell;
    void (*draw)(Canvas&, const Cell&);
};

// Top and bottom thirds leave the middle band free for the title, and the
// logos alternate between them in the order they appear.
const Logo kLogos[] = {
    {"lumbra", {150.f, 118.f, 220.f, 150.f}, drawLumbra},
    {"ostra", {650.f, 482.f, 220.f, 150.f}, drawOstra},
    {"kvell", {650.f, 118.f, 220.f, 150.f}, drawKvell},
    {"trinna", {150.f, 482.f, 220.f, 150.f}, drawTrinna},
    {"bolma", {400.f, 118.f, 220.f, 150.f}, drawBolma},
    {"sprett", {400.f, 482.f, 220.f, 150.f}, drawSprett},
};

// Power-of-two texture, stretched over the 800 x 600 screen.
const Grid kGrid{1024, 512};

// Bright parts shine, dark rims hardly do: weight coverage by brightness.
Canvas glowSource(const Canvas& sharp)
{
    Canvas out = sharp;
    for (Rgba& p : out.px)
        p.a *= std::max({p.r, p.g, p.b});
    return out;
}

Canvas glowFrom(const Canvas& sharp)
{
    const Canvas source = glowSource(sharp);
    const Canvas tight = blurredCanvas(source, 4.f);
    const Canvas wide = blurredCanvas(source, 12.f);
    Canvas out(sharp.grid);
    for (size_t i = 0; i < out.px.size(); ++i) {
        const Rgba& a = tight.px[i];
        const Rgba& b = wide.px[i];
        const float wa = 1.3f * a.a, wb = 1.1f * b.a, sum = wa + wb;
        if (sum <= 0.f)
            continue;
        const auto lift = [](float x) { return std::min(1.f, 0.25f + 1.2f * x); };
        out.px[i] = {lift((a.r * wa + b.r * wb) / sum), lift((a.g * wa + b.g * wb) / sum),
                     lift((a.b * wa + b.b * wb) / sum), std::min(1.f, sum)};
    }
    return out;
}

} // namespace
} // namespace contentgen::img

CONTENT_ASSET(logos)
{
    using namespace contentgen::img;
    for (const Logo& logo : kLogos) {
        Canvas sharp(kGrid);
        logo.draw(sharp, logo.cell);
        const std::string base = std::string("ddata/") + logo.name;
        contentgen::writeImageIfChanged(showDir, base + ".png", *toImageRgba(sharp));
        contentgen::writeImageIfChanged(showDir, base + "-blur.png", *toImageRgba(glowFrom(sharp)));
    }
}
