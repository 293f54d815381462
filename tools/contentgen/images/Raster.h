#pragma once

#include <osg/Image>
#include <osg/ref_ptr>

#include <functional>
#include <vector>

namespace contentgen::img {

// A pixel grid laid over a design area measured in screen units (800 x 600,
// y down). Overlays are stretched over the whole screen, so drawing in screen
// units keeps shapes undistorted whatever the texture size.
struct Grid {
    int width = 0;
    int height = 0;
    float designWidth = 800.f;
    float designHeight = 600.f;

    float sx() const { return static_cast<float>(width) / designWidth; }
    float sy() const { return static_cast<float>(height) / designHeight; }
    float pixelsPerUnit() const { return 0.5f * (sx() + sy()); }
    float designX(int px) const { return (static_cast<float>(px) + 0.5f) / sx(); }
    float designY(int py) const { return (static_cast<float>(py) + 0.5f) / sy(); }
    int count() const { return width * height; }
};

// Coverage in 0..1 per pixel, row 0 at the top.
struct Mask {
    Grid grid;
    std::vector<float> v;

    explicit Mask(const Grid& g) : grid(g), v(static_cast<size_t>(g.count()), 0.f) {}
    float& at(int x, int y) { return v[static_cast<size_t>(y * grid.width + x)]; }
    float at(int x, int y) const { return v[static_cast<size_t>(y * grid.width + x)]; }
};

struct Rgb {
    float r = 0.f;
    float g = 0.f;
    float b = 0.f;
};

// Straight (not premultiplied) colour with coverage.
struct Rgba {
    float r = 0.f;
    float g = 0.f;
    float b = 0.f;
    float a = 0.f;
};

struct Canvas {
    Grid grid;
    std::vector<Rgba> px;

    explicit Canvas(const Grid& g) : grid(g), px(static_cast<size_t>(g.count())) {}
    Rgba& at(int x, int y) { return px[static_cast<size_t>(y * grid.width + x)]; }
    const Rgba& at(int x, int y) const { return px[static_cast<size_t>(y * grid.width + x)]; }
};

// Colour as a function of the design position.
using Paint = std::function<Rgb(float x, float y)>;

struct Stop {
    float at;
    Rgb colour;
};

Rgb mix(const Rgb& a, const Rgb& b, float t);
// Piecewise-linear colour ramp; stops sorted by position.
Rgb ramp(const std::vector<Stop>& stops, float t);
Paint solid(const Rgb& colour);
// Ramp along y from y0 (t = 0) to y1 (t = 1).
Paint verticalRamp(std::vector<Stop> stops, float y0, float y1);

// Fills every pixel opaquely.
void fill(Canvas& canvas, const Paint& paint);
// Lays paint through the mask over what is already there ("over" operator).
void paintOver(Canvas& canvas, const Mask& mask, const Paint& paint, float opacity = 1.f);
// Adds light: colour times mask strength on top, keeping coverage.
void paintAdd(Canvas& canvas, const Mask& mask, const Paint& paint, float strength = 1.f);

// 8-bit osg::Image, bottom row first as textures expect. Pixels whose alpha
// rounds to zero get black colour so nothing leaks through colour blends.
osg::ref_ptr<osg::Image> toImageRgba(const Canvas& canvas);
osg::ref_ptr<osg::Image> toImageRgb(const Canvas& canvas);

} // namespace contentgen::img
