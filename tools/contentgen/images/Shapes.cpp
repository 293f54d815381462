#include "tools/contentgen/images/Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace contentgen::img {

namespace {

float segmentDistance(const Point& p, const Point& a, const Point& b)
{
    const float ex = b.x - a.x, ey = b.y - a.y;
    const float wx = p.x - a.x, wy = p.y - a.y;
    const float t = std::min(1.f, std::max(0.f, (wx * ex + wy * ey) / (ex * ex + ey * ey)));
    return std::hypot(wx - ex * t, wy - ey * t);
}

// Even-odd crossing test along +x.
bool inside(const std::vector<Point>& poly, const Point& p)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const Point& a = poly[i];
        const Point& b = poly[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

} // namespace

Mask shape(const Grid& grid, const Sdf& sdf)
{
    Mask out(grid);
    const float ppu = grid.pixelsPerUnit();
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x) {
            const float d = sdf(grid.designX(x), grid.designY(y));
            out.at(x, y) = std::min(1.f, std::max(0.f, 0.5f - d * ppu));
        }
    return out;
}

Sdf circle(float cx, float cy, float radius)
{
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

Sdf roundedBox(float cx, float cy, float halfWidth, float halfHeight, float cornerRadius)
{
    return [=](float x, float y) {
        const float qx = std::fabs(x - cx) - halfWidth + cornerRadius;
        const float qy = std::fabs(y - cy) - halfHeight + cornerRadius;
        const float outside = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
        return outside + std::min(std::max(qx, qy), 0.f) - cornerRadius;
    };
}

Sdf polygon(std::vector<Point> points)
{
    return [poly = std::move(points)](float x, float y) {
        const Point p{x, y};
        float d = 1e30f;
        for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
            d = std::min(d, segmentDistance(p, poly[j], poly[i]));
        return inside(poly, p) ? -d : d;
    };
}

Sdf rim(Sdf inner, float halfWidth)
{
    return [inner = std::move(inner), halfWidth](float x, float y) {
        return std::fabs(inner(x, y)) - halfWidth;
    };
}

std::vector<Point> starPoints(float cx, float cy, int points, float outer, float inner, float turn)
{
    std::vector<Point> out;
    const float pi = 3.14159265358979f;
    for (int i = 0; i < 2 * points; ++i) {
        const float r = (i % 2 == 0) ? outer : inner;
        const float a = turn + pi * static_cast<float>(i) / static_cast<float>(points) - 0.5f * pi;
        out.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return out;
}

} // namespace contentgen::img

namespace contentgen::img {

Sdf segment(Point a, Point b, float halfWidth)
{
    return [=](float x, float y) { return segmentDistance({x, y}, a, b) - halfWidth; };
}

Mask field(const Grid& grid, const std::function<float(float x, float y)>& coverage)
{
    Mask out(grid);
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x)
            out.at(x, y) = std::min(1.f, std::max(0.f, coverage(grid.designX(x), grid.designY(y))));
    return out;
}

} // namespace contentgen::img
