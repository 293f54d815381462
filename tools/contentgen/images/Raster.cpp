#include "tools/contentgen/images/Raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace contentgen::img {

namespace {

float clamp01(float x) { return std::min(1.f, std::max(0.f, x)); }

unsigned char toByte(float x) { return static_cast<unsigned char>(std::lround(clamp01(x) * 255.f)); }

osg::ref_ptr<osg::Image> allocate(const Grid& grid, GLenum format)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(grid.width, grid.height, 1, format, GL_UNSIGNED_BYTE);
    image->setInternalTextureFormat(format == GL_RGBA ? GL_RGBA : GL_RGB);
    return image;
}

} // namespace

Rgb mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb ramp(const std::vector<Stop>& stops, float t)
{
    if (t <= stops.front().at)
        return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].at) {
            const float span = stops[i].at - stops[i - 1].at;
            const float f = span > 0.f ? (t - stops[i - 1].at) / span : 1.f;
            return mix(stops[i - 1].colour, stops[i].colour, f);
        }
    }
    return stops.back().colour;
}

Paint solid(const Rgb& colour)
{
    return [colour](float, float) { return colour; };
}

Paint verticalRamp(std::vector<Stop> stops, float y0, float y1)
{
    return [stops = std::move(stops), y0, y1](float, float y) {
        return ramp(stops, (y - y0) / (y1 - y0));
    };
}

void fill(Canvas& canvas, const Paint& paint)
{
    const Grid& g = canvas.grid;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const Rgb c = paint(g.designX(x), g.designY(y));
            canvas.at(x, y) = {c.r, c.g, c.b, 1.f};
        }
}

void paintOver(Canvas& canvas, const Mask& mask, const Paint& paint, float opacity)
{
    const Grid& g = canvas.grid;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const float a = mask.at(x, y) * opacity;
            if (a <= 0.f)
                continue;
            const Rgb c = paint(g.designX(x), g.designY(y));
            Rgba& d = canvas.at(x, y);
            const float below = d.a * (1.f - a);
            const float out = a + below;
            d = {(c.r * a + d.r * below) / out, (c.g * a + d.g * below) / out,
                 (c.b * a + d.b * below) / out, out};
        }
}

void paintAdd(Canvas& canvas, const Mask& mask, const Paint& paint, float strength)
{
    const Grid& g = canvas.grid;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const float a = mask.at(x, y) * strength;
            if (a <= 0.f)
                continue;
            const Rgb c = paint(g.designX(x), g.designY(y));
            Rgba& d = canvas.at(x, y);
            d.r = clamp01(d.r + c.r * a);
            d.g = clamp01(d.g + c.g * a);
            d.b = clamp01(d.b + c.b * a);
        }
}

osg::ref_ptr<osg::Image> toImageRgba(const Canvas& canvas)
{
    const Grid& g = canvas.grid;
    osg::ref_ptr<osg::Image> image = allocate(g, GL_RGBA);
    for (int y = 0; y < g.height; ++y) {
        unsigned char* row = image->data(0, g.height - 1 - y);
        for (int x = 0; x < g.width; ++x) {
            const Rgba& p = canvas.at(x, y);
            const unsigned char a = toByte(p.a);
            row[4 * x + 0] = a ? toByte(p.r) : 0;
            row[4 * x + 1] = a ? toByte(p.g) : 0;
            row[4 * x + 2] = a ? toByte(p.b) : 0;
            row[4 * x + 3] = a;
        }
    }
    return image;
}

osg::ref_ptr<osg::Image> toImageRgb(const Canvas& canvas)
{
    const Grid& g = canvas.grid;
    osg::ref_ptr<osg::Image> image = allocate(g, GL_RGB);
    for (int y = 0; y < g.height; ++y) {
        unsigned char* row = image->data(0, g.height - 1 - y);
        for (int x = 0; x < g.width; ++x) {
            const Rgba& p = canvas.at(x, y);
            row[3 * x + 0] = toByte(p.r * p.a);
            row[3 * x + 1] = toByte(p.g * p.a);
            row[3 * x + 2] = toByte(p.b * p.a);
        }
    }
    return image;
}

} // namespace contentgen::img
