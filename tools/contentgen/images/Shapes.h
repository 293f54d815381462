#pragma once

#include "tools/contentgen/images/Raster.h"

#include <functional>
#include <vector>

namespace contentgen::img {

// Signed distance in design units: negative inside, positive outside.
using Sdf = std::function<float(float x, float y)>;

struct Point {
    float x;
    float y;
};

// Anti-aliased coverage of the shape the distance function describes.
Mask shape(const Grid& grid, const Sdf& sdf);

Sdf circle(float cx, float cy, float radius);
Sdf roundedBox(float cx, float cy, float halfWidth, float halfHeight, float cornerRadius);
// Closed polygon, either winding.
Sdf polygon(std::vector<Point> points);
// Band of the given half width around the shape's outline.
Sdf rim(Sdf inner, float halfWidth);

// Regular star or polygon: `points` tips at `outer`, notches at `inner`.
std::vector<Point> starPoints(float cx, float cy, int points, float outer, float inner,
                              float turn = 0.f);

} // namespace contentgen::img

namespace contentgen::img {

// Capsule around the segment from a to b.
Sdf segment(Point a, Point b, float halfWidth);
// Coverage computed directly from the design position (patterns, fields).
Mask field(const Grid& grid, const std::function<float(float x, float y)>& coverage);

} // namespace contentgen::img
