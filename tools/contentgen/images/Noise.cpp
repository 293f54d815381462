#include "tools/contentgen/images/Noise.h"

#include <cmath>

namespace contentgen::img {

std::uint64_t Random::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Random::uniform()
{
    return static_cast<float>(next() >> 40) / static_cast<float>(1ull << 24);
}

PeriodicNoise::PeriodicNoise(std::uint64_t seed, int periodX, int periodY)
    : periodX_(periodX), periodY_(periodY)
{
    Random rng(seed);
    const size_t cells = static_cast<size_t>(periodX * periodY);
    gx_.resize(cells);
    gy_.resize(cells);
    for (size_t i = 0; i < cells; ++i) {
        const float a = rng.uniform() * 6.28318530718f;
        gx_[i] = std::cos(a);
        gy_[i] = std::sin(a);
    }
}

float PeriodicNoise::corner(int ix, int iy, float fx, float fy) const
{
    const int wx = ((ix % periodX_) + periodX_) % periodX_;
    const int wy = ((iy % periodY_) + periodY_) % periodY_;
    const size_t i = static_cast<size_t>(wy * periodX_ + wx);
    return gx_[i] * fx + gy_[i] * fy;
}

float PeriodicNoise::at(float x, float y) const
{
    const float flx = std::floor(x), fly = std::floor(y);
    const int ix = static_cast<int>(flx), iy = static_cast<int>(fly);
    const float fx = x - flx, fy = y - fly;
    // Quintic fade keeps the surface smooth across cell borders.
    const auto fade = [](float t) { return t * t * t * (t * (t * 6.f - 15.f) + 10.f); };
    const float u = fade(fx), v = fade(fy);
    const float a = corner(ix, iy, fx, fy) + u * (corner(ix + 1, iy, fx - 1.f, fy) - corner(ix, iy, fx, fy));
    const float b = corner(ix, iy + 1, fx, fy - 1.f)
                    + u * (corner(ix + 1, iy + 1, fx - 1.f, fy - 1.f) - corner(ix, iy + 1, fx, fy - 1.f));
    return 1.4f * (a + v * (b - a));
}

TileableFbm::TileableFbm(std::uint64_t seed, int baseX, int baseY, int octaves, float gain)
    : gain_(gain)
{
    for (int k = 0; k < octaves; ++k)
        octaves_.emplace_back(seed * 1000003ull + static_cast<std::uint64_t>(k), baseX << k, baseY << k);
}

float TileableFbm::at(float u, float v) const
{
    float sum = 0.f, weight = 1.f, total = 0.f;
    for (const PeriodicNoise& n : octaves_) {
        sum += weight * n.at(u * static_cast<float>(n.periodX()), v * static_cast<float>(n.periodY()));
        total += weight;
        weight *= gain_;
    }
    return sum / total;
}

} // namespace contentgen::img
