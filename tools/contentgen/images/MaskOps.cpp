#include "tools/contentgen/images/MaskOps.h"

#include <algorithm>
#include <cmath>

namespace contentgen::img {

namespace {

std::vector<float> gaussianKernel(float sigmaPixels)
{
    const int radius = std::max(1, static_cast<int>(std::ceil(3.f * sigmaPixels)));
    std::vector<float> k(static_cast<size_t>(2 * radius + 1));
    float sum = 0.f;
    for (int i = -radius; i <= radius; ++i) {
        const float w = std::exp(-0.5f * static_cast<float>(i * i) / (sigmaPixels * sigmaPixels));
        k[static_cast<size_t>(i + radius)] = w;
        sum += w;
    }
    for (float& w : k)
        w /= sum;
    return k;
}

// One blur pass over `count` values spaced `stride` apart, clamped at ends.
void blurLine(const float* in, float* out, int count, int stride, const std::vector<float>& k)
{
    const int radius = static_cast<int>(k.size() / 2);
    int first = count, last = -1;
    for (int i = 0; i < count; ++i)
        if (in[i * stride] != 0.f) {
            first = std::min(first, i);
            last = i;
        }
    // Most of an overlay is empty; only the span near ink can change.
    for (int i = 0; i < count; ++i) {
        if (i < first - radius || i > last + radius) {
            out[i * stride] = 0.f;
            continue;
        }
        float sum = 0.f;
        for (int j = -radius; j <= radius; ++j) {
            const int src = std::min(count - 1, std::max(0, i + j));
            sum += in[src * stride] * k[static_cast<size_t>(j + radius)];
        }
        out[i * stride] = sum;
    }
}

// Blurs `planes` values interleaved per pixel.
void blurPlanes(std::vector<float>& data, const Grid& g, int planes, float sigma)
{
    const auto kx = gaussianKernel(sigma * g.sx());
    const auto ky = gaussianKernel(sigma * g.sy());
    std::vector<float> tmp(data.size());
    for (int p = 0; p < planes; ++p) {
        for (int y = 0; y < g.height; ++y) {
            const size_t o = static_cast<size_t>(y * g.width * planes + p);
            blurLine(&data[o], &tmp[o], g.width, planes, kx);
        }
        for (int x = 0; x < g.width; ++x) {
            const size_t o = static_cast<size_t>(x * planes + p);
            blurLine(&tmp[o], &data[o], g.height, g.width * planes, ky);
        }
    }
}

template <typename F>
Mask combine(const Mask& a, const Mask& b, F f)
{
    Mask out(a.grid);
    for (size_t i = 0; i < out.v.size(); ++i)
        out.v[i] = f(a.v[i], b.v[i]);
    return out;
}

} // namespace

Mask blurred(const Mask& mask, float sigma)
{
    Mask out = mask;
    blurPlanes(out.v, out.grid, 1, sigma);
    return out;
}

Mask dilated(const Mask& mask, float radius)
{
    const Grid& g = mask.grid;
    const Bounds ink = inkBounds(mask, 0.f);
    if (ink.empty)
        return mask;
    const float rx = radius * g.sx();
    const float ry = radius * g.sy();
    const int ix = static_cast<int>(std::ceil(rx + 0.5f));
    const int iy = static_cast<int>(std::ceil(ry + 0.5f));
    Mask out(g);
    for (int oy = -iy; oy <= iy; ++oy)
        for (int ox = -ix; ox <= ix; ++ox) {
            // Soft rim: the offset's weight fades over the last pixel.
            const float d = std::hypot(static_cast<float>(ox) / rx, static_cast<float>(oy) / ry);
            const float w = std::min(1.f, std::max(0.f, (1.f - d) * 0.5f * (rx + ry) + 0.5f));
            if (w <= 0.f)
                continue;
            // Only pixels whose source lies inside the ink box can gain coverage.
            const int yBegin = std::max({0, -oy, static_cast<int>(ink.y0 * g.sy()) - oy});
            const int yEnd = std::min({g.height, g.height - oy, static_cast<int>(ink.y1 * g.sy()) + 1 - oy});
            const int xBegin = std::max({0, -ox, static_cast<int>(ink.x0 * g.sx()) - ox});
            const int xEnd = std::min({g.width, g.width - ox, static_cast<int>(ink.x1 * g.sx()) + 1 - ox});
            for (int y = yBegin; y < yEnd; ++y)
                for (int x = xBegin; x < xEnd; ++x)
                    out.at(x, y) = std::max(out.at(x, y), mask.at(x + ox, y + oy) * w);
        }
    return out;
}

Mask shifted(const Mask& mask, float dx, float dy)
{
    const Grid& g = mask.grid;
    const int ox = static_cast<int>(std::lround(dx * g.sx()));
    const int oy = static_cast<int>(std::lround(dy * g.sy()));
    Mask out(g);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const int sx = x - ox;
            const int sy = y - oy;
            if (sx >= 0 && sy >= 0 && sx < g.width && sy < g.height)
                out.at(x, y) = mask.at(sx, sy);
        }
    return out;
}

Mask united(const Mask& a, const Mask& b)
{
    return combine(a, b, [](float x, float y) { return std::max(x, y); });
}

Mask without(const Mask& a, const Mask& b)
{
    return combine(a, b, [](float x, float y) { return x * (1.f - y); });
}

Mask intersected(const Mask& a, const Mask& b)
{
    return combine(a, b, [](float x, float y) { return std::min(x, y); });
}

Mask scaled(const Mask& mask, float factor)
{
    Mask out = mask;
    for (float& x : out.v)
        x = std::min(1.f, x * factor);
    return out;
}

Canvas blurredCanvas(const Canvas& canvas, float sigma)
{
    std::vector<float> data;
    data.reserve(canvas.px.size() * 4);
    for (const Rgba& p : canvas.px) {
        data.insert(data.end(), {p.r * p.a, p.g * p.a, p.b * p.a, p.a});
    }
    blurPlanes(data, canvas.grid, 4, sigma);
    Canvas out(canvas.grid);
    for (size_t i = 0; i < out.px.size(); ++i) {
        const float a = data[4 * i + 3];
        if (a > 1e-6f)
            out.px[i] = {data[4 * i] / a, data[4 * i + 1] / a, data[4 * i + 2] / a, a};
    }
    return out;
}

Bounds inkBounds(const Mask& mask, float threshold)
{
    const Grid& g = mask.grid;
    int x0 = g.width, y0 = g.height, x1 = -1, y1 = -1;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            if (mask.at(x, y) > threshold) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return {};
    return {x0 / g.sx(), y0 / g.sy(), (x1 + 1) / g.sx(), (y1 + 1) / g.sy(), false};
}

} // namespace contentgen::img
