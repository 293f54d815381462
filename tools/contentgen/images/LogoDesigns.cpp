#include "tools/contentgen/images/LogoDesigns.h"

#include "tools/contentgen/images/MaskOps.h"
#include "tools/contentgen/images/Noise.h"
#include "tools/contentgen/images/Shapes.h"
#include "tools/contentgen/images/Text.h"

namespace contentgen::img {

namespace {

Paint ramp2(const Rgb& top, const Rgb& bottom, const Mask& ink)
{
    const Bounds b = inkBounds(ink);
    return verticalRamp({{0.f, top}, {1.f, bottom}}, b.y0, b.y1);
}

// Letters with a dark rim: the rim keeps them readable over any scene colour.
void letteringWithRim(Canvas& canvas, const Mask& letters, const Paint& fillPaint, const Rgb& rimColour,
                      float rimWidth)
{
    paintOver(canvas, dilated(letters, rimWidth), solid(rimColour));
    paintOver(canvas, letters, fillPaint);
}

void sparkle(Canvas& canvas, float x, float y, float size)
{
    const Grid& g = canvas.grid;
    const Mask star = shape(g, polygon(starPoints(x, y, 4, size, size * 0.22f)));
    paintOver(canvas, star, solid({1.f, 0.97f, 0.8f}));
}

} // namespace

// A crescent moon rising behind gold italic serif letters.
void drawLumbra(Canvas& canvas, const Cell& c)
{
    const Grid& g = canvas.grid;
    const Sdf outer = circle(c.cx - 62.f, c.cy - 22.f, 44.f);
    const Sdf cut = circle(c.cx - 44.f, c.cy - 34.f, 38.f);
    const Mask moon = shape(g, [&](float x, float y) { return std::max(outer(x, y), -cut(x, y)); });
    paintOver(canvas, dilated(moon, 3.f), solid({0.10f, 0.05f, 0.02f}));
    paintOver(canvas, moon, ramp2({1.f, 0.98f, 0.75f}, {1.f, 0.72f, 0.25f}, moon));
    const FontFace font(fonts::dejaSerifBoldItalic);
    TextStyle style;
    style.size = 70.f;
    const Mask letters = font.renderFitted(g, "lumbra", style, c.cx + 12.f, c.cy + 26.f, 190.f, 70.f);
    letteringWithRim(canvas, letters, ramp2({1.f, 1.f, 0.9f}, {1.f, 0.75f, 0.2f}, letters),
                     {0.12f, 0.05f, 0.02f}, 3.5f);
    sparkle(canvas, c.cx + 40.f, c.cy - 45.f, 11.f);
    sparkle(canvas, c.cx + 78.f, c.cy - 28.f, 7.f);
    sparkle(canvas, c.cx + 8.f, c.cy - 58.f, 5.f);
}

// Spaced monospace capitals on a dark badge with a neon double frame.
void drawOstra(Canvas& canvas, const Cell& c)
{
    const Grid& g = canvas.grid;
    const Rgb cyan{0.30f, 0.90f, 1.f};
    paintOver(canvas, shape(g, roundedBox(c.cx, c.cy, 104.f, 50.f, 16.f)), solid({0.02f, 0.05f, 0.16f}), 0.85f);
    paintOver(canvas, shape(g, rim(roundedBox(c.cx, c.cy, 101.f, 47.f, 13.f), 2.6f)), solid(cyan));
    paintOver(canvas, shape(g, rim(roundedBox(c.cx, c.cy, 92.f, 38.f, 8.f), 0.8f)), solid(cyan), 0.7f);
    const FontFace font(fonts::monoBold);
    TextStyle style;
    style.size = 60.f;
    style.tracking = 10.f;
    const Mask letters = font.renderFitted(g, "OSTRA", style, c.cx, c.cy - 4.f, 156.f, 44.f);
    paintOver(canvas, letters, ramp2({1.f, 1.f, 1.f}, {0.35f, 0.85f, 1.f}, letters));
    for (float dx : {-40.f, -20.f, 0.f, 20.f, 40.f})
        paintOver(canvas, shape(g, roundedBox(c.cx + dx, c.cy + 28.f, 6.f, 1.5f, 1.f)), solid(cyan));
}

// Tall slanted narrow capitals with speed lines and a hard drop shadow.
void drawKvell(Canvas& canvas, const Cell& c)
{
    const Grid& g = canvas.grid;
    const FontFace font(fonts::narrowBold);
    TextStyle style;
    style.size = 110.f;
    style.slant = 0.24f;
    style.widthScale = 0.8f;
    const Mask letters = font.renderFitted(g, "KVELL", style, c.cx + 20.f, c.cy - 4.f, 164.f, 104.f);
    const Mask rimmed = dilated(letters, 4.f);
    paintOver(canvas, shifted(rimmed, 6.f, 6.f), solid({0.f, 0.f, 0.f}), 0.6f);
    const Rgb magenta{1.f, 0.25f, 0.75f};
    for (int i = 0; i < 3; ++i) {
        const float y = c.cy - 24.f + 22.f * static_cast<float>(i);
        const float x0 = c.cx - 106.f + 6.f * static_cast<float>(i);
        paintOver(canvas, shape(g, segment({x0, y}, {x0 + 26.f, y}, 3.f)), solid(magenta));
    }
    letteringWithRim(canvas, letters, ramp2({1.f, 0.3f, 0.85f}, {1.f, 0.65f, 0.1f}, letters),
                     {0.16f, 0.f, 0.22f}, 4.f);
}

// A glowing amber triangle with bold capitals across its base.
void drawTrinna(Canvas& canvas, const Cell& c)
{
    const Grid& g = canvas.grid;
    const auto tri = [&](float r) { return polygon(starPoints(c.cx, c.cy - 8.f, 3, r, 0.5f * r)); };
    // A 3-point star whose notches sit at half radius is exactly a triangle.
    paintOver(canvas, shape(g, tri(66.f)), solid({0.12f, 0.04f, 0.f}), 0.75f);
    const Mask edge = shape(g, rim(tri(66.f), 4.5f));
    paintOver(canvas, edge, ramp2({1.f, 0.85f, 0.2f}, {1.f, 0.35f, 0.05f}, edge));
    paintOver(canvas, shape(g, rim(tri(46.f), 1.5f)), solid({1.f, 0.7f, 0.2f}), 0.8f);
    paintOver(canvas, shape(g, circle(c.cx, c.cy - 14.f, 9.f)), ramp2({1.f, 0.95f, 0.5f}, {1.f, 0.5f, 0.1f}, edge));
    const FontFace font(fonts::dejaSansBold);
    TextStyle style;
    style.size = 44.f;
    style.tracking = 3.f;
    const Mask letters = font.renderFitted(g, "TRINNA", style, c.cx, c.cy + 42.f, 200.f, 36.f);
    letteringWithRim(canvas, letters, ramp2({1.f, 1.f, 1.f}, {1.f, 0.9f, 0.55f}, letters),
                     {0.2f, 0.06f, 0.f}, 3.5f);
}

// Chunky serif letters as a lime sticker, with bubbles floating off it.
void drawBolma(Canvas& canvas, const Cell& c)
{
    const Grid& g = canvas.grid;
    const FontFace font(fonts::serifBold);
    TextStyle style;
    style.size = 90.f;
    const Mask letters = font.renderFitted(g, "Bolma", style, c.cx + 4.f, c.cy + 8.f, 176.f, 76.f);
    const Mask white = dilated(letters, 4.f);
    paintOver(canvas, dilated(white, 3.f), solid({0.02f, 0.18f, 0.04f}));
    paintOver(canvas, white, solid({0.97f, 1.f, 0.93f}));
    paintOver(canvas, letters, ramp2({0.8f, 1.f, 0.25f}, {0.15f, 0.75f, 0.1f}, letters));
    const Point bubbles[] = {{-86.f, -44.f}, {-66.f, -62.f}, {88.f, -46.f}, {72.f, 54.f}, {-90.f, 50.f}};
    const float radii[] = {12.f, 7.f, 9.f, 6.f, 5.f};
    for (int i = 0; i < 5; ++i) {
        const float x = c.cx + bubbles[i].x, y = c.cy + bubbles[i].y, r = radii[i];
        paintOver(canvas, shape(g, circle(x, y, r)), solid({0.6f, 1.f, 0.5f}), 0.35f);
        paintOver(canvas, shape(g, rim(circle(x, y, r), 1.4f)), solid({0.9f, 1.f, 0.85f}));
        paintOver(canvas, shape(g, circle(x - 0.35f * r, y - 0.35f * r, 0.22f * r)), solid({1.f, 1.f, 1.f}));
    }
}

// Fire-coloured oblique capitals bursting out of a jagged blue splash.
void drawSprett(Canvas& canvas, const Cell& c)
{
    const Grid& g = canvas.grid;
    Random rng(0x59e77);
    std::vector<Point> burst = starPoints(0.f, 0.f, 14, 1.f, 0.7f);
    for (Point& p : burst) {
        const float k = rng.range(0.88f, 1.08f);
        p = {c.cx + p.x * 104.f * k, c.cy + p.y * 70.f * k};
    }
    const Mask splash = shape(g, polygon(burst));
    paintOver(canvas, splash, ramp2({0.15f, 0.45f, 1.f}, {0.45f, 0.1f, 0.85f}, splash));
    paintOver(canvas, shape(g, rim(polygon(burst), 1.6f)), solid({0.85f, 0.95f, 1.f}));
    const FontFace font(fonts::dejaCondensedBoldOblique);
    TextStyle style;
    style.size = 60.f;
    const Mask letters = font.renderFitted(g, "SPRETT", style, c.cx, c.cy, 176.f, 52.f);
    letteringWithRim(canvas, letters, ramp2({1.f, 0.95f, 0.35f}, {1.f, 0.22f, 0.08f}, letters),
                     {0.03f, 0.f, 0.05f}, 4.f);
}

} // namespace contentgen::img
