#pragma once

#include <cstdint>
#include <vector>

namespace contentgen::img {

// SplitMix64: tiny, seedable and identical on every platform, so generated
// files come out byte-identical from run to run.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, 1).
    float uniform();
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

private:
    std::uint64_t state_;
};

// Gradient noise whose lattice wraps every periodX cells across and periodY
// cells down, so sampling it over whole periods gives a seamless tile.
// Different periods per axis stretch the features (streaks, drips).
class PeriodicNoise {
public:
    PeriodicNoise(std::uint64_t seed, int periodX, int periodY);
    // Position in lattice cells; result roughly in -1..1.
    float at(float x, float y) const;
    int periodX() const { return periodX_; }
    int periodY() const { return periodY_; }

private:
    float corner(int ix, int iy, float fx, float fy) const;

    int periodX_;
    int periodY_;
    std::vector<float> gx_;
    std::vector<float> gy_;
};

// Sum of octaves; octave k uses the base periods times 2^k. Inputs are in
// 0..1 of the tile, so every octave wraps at the tile's edge. Result roughly
// in -1..1.
class TileableFbm {
public:
    TileableFbm(std::uint64_t seed, int baseX, int baseY, int octaves, float gain = 0.5f);
    float at(float u, float v) const;

private:
    std::vector<PeriodicNoise> octaves_;
    float gain_;
};

} // namespace contentgen::img
