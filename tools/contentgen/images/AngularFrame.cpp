// The angular frame laid over the room. The show draws it with the stripe
// blend (source factor DST_COLOR, destination factor SRC_ALPHA, vertex alpha
// at 1 in its window), so each texel multiplies the room below by its colour
// plus its alpha, per channel:
//   - transparent white (1 + 0) leaves the room as it is: the open middle;
//   - transparent grey darkens it: a soft shade along the inner edge;
//   - a dark, faintly opaque tint (about 0.25) dims it: the frame itself;
//   - opaque colour (1 + colour) lights it up to twice: the edge lines.
// Transparent texels keep their colour, since that colour is what they
// multiply by; black there would blot out the room.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/MaskOps.h"
#include "tools/contentgen/images/Raster.h"
#include "tools/contentgen/images/Shapes.h"

#include <algorithm>
#include <cmath>

namespace contentgen::img {
namespace {

// The open middle, in screen units (800 x 600, y down): chamfered corners,
// two big diagonal wedges across opposite corners, a notch top and bottom.
const std::vector<Point> kOpening = {
    {70, 40},   {330, 40},  {352, 62},  {448, 62},  {470, 40},  {610, 40},  {760, 150}, {760, 530},
    {730, 560}, {470, 560}, {448, 538}, {352, 538}, {330, 560}, {190, 560}, {40, 450},  {40, 70},
};

std::vector<Point> scaledAbout(const std::vector<Point>& points, float cx, float cy, float sx, float sy)
{
    std::vector<Point> out;
    for (const Point& p : points)
        out.push_back({cx + (p.x - cx) * sx, cy + (p.y - cy) * sy});
    return out;
}

// A short slanted bar, as the ticks on the wedges.
std::vector<Point> tick(Point at, Point along, float length, float width)
{
    const float ax = along.x * length / 2, ay = along.y * length / 2;
    const float nx = -along.y * width / 2, ny = along.x * width / 2;
    return {{at.x - ax - nx, at.y - ay - ny}, {at.x + ax - nx, at.y + ay - ny},
            {at.x + ax + nx, at.y + ay + ny}, {at.x - ax + nx, at.y - ay + ny}};
}

// What a texel multiplies by is colour + alpha; both blend linearly between
// layers, and so does that factor.
void layOver(Canvas& canvas, const Mask& mask, const Rgba& texel)
{
    for (size_t i = 0; i < canvas.px.size(); ++i) {
        const float m = mask.v[i];
        Rgba& d = canvas.px[i];
        d = {d.r + (texel.r - d.r) * m, d.g + (texel.g - d.g) * m, d.b + (texel.b - d.b) * m,
             d.a + (texel.a - d.a) * m};
    }
}

unsigned char toByte(float x) { return static_cast<unsigned char>(std::lround(std::clamp(x, 0.f, 1.f) * 255.f)); }

// Straight RGBA that keeps the colour of transparent texels.
osg::ref_ptr<osg::Image> toMultiplyImage(const Canvas& canvas)
{
    const Grid& g = canvas.grid;
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(g.width, g.height, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    image->setInternalTextureFormat(GL_RGBA);
    for (int y = 0; y < g.height; ++y) {
        unsigned char* row = image->data(0, g.height - 1 - y);
        for (int x = 0; x < g.width; ++x) {
            const Rgba& p = canvas.at(x, y);
            row[4 * x + 0] = toByte(p.r);
            row[4 * x + 1] = toByte(p.g);
            row[4 * x + 2] = toByte(p.b);
            row[4 * x + 3] = toByte(p.a);
        }
    }
    return image;
}

Canvas angularFrame(const Grid& grid)
{
    Canvas canvas(grid);
    for (Rgba& p : canvas.px)
        p = {1.f, 1.f, 1.f, 0.f};
    const Sdf opening = polygon(kOpening);

    // Shade: the room darkens towards the frame over the last 50 units.
    const Mask shade = field(grid, [&](float x, float y) { return 1.f + opening(x, y) / 50.f; });
    layOver(canvas, scaled(shade, 0.35f), {0.45f, 0.42f, 0.55f, 0.f});

    const Mask frame = shape(grid, [&](float x, float y) { return -opening(x, y); });
    layOver(canvas, frame, {0.04f, 0.02f, 0.10f, 0.22f});

    const Sdf outerLine = polygon(scaledAbout(kOpening, 400.f, 300.f, 1.04f, 1.055f));
    layOver(canvas, shape(grid, rim(outerLine, 0.9f)), {0.30f, 0.62f, 1.f, 1.f});

    // Ticks across the two big wedges.
    const Point down{0.7071f, 0.7071f}, up{0.7071f, -0.7071f};
    for (int i = 0; i < 5; ++i) {
        const float t = 0.22f + 0.14f * static_cast<float>(i);
        const Point wedgeTop{610.f + 150.f * t + 14.f, 40.f + 110.f * t - 19.f};
        const Point wedgeBottom{190.f - 150.f * t - 14.f, 560.f - 110.f * t + 19.f};
        layOver(canvas, shape(grid, polygon(tick(wedgeTop, down, 16.f, 4.f))), {0.85f, 0.55f, 0.9f, 1.f});
        layOver(canvas, shape(grid, polygon(tick(wedgeBottom, up, 16.f, 4.f))), {0.85f, 0.55f, 0.9f, 1.f});
    }

    layOver(canvas, shape(grid, rim(opening, 1.6f)), {1.f, 0.78f, 0.45f, 1.f});
    return canvas;
}

} // namespace
} // namespace contentgen::img

CONTENT_ASSET(angularFrame)
{
    using namespace contentgen::img;
    const Canvas canvas = angularFrame(Grid{1024, 512});
    contentgen::writeImageIfChanged(showDir, "ddata/kantig-overlay-igen.png", *toMultiplyImage(canvas));
}
