#pragma once

#include <cstdint>

namespace soundtrack {

// xorshift64*: our own generator, so the noise in every drum hit is the same
// on every run, compiler and C library, and the MP3 comes out byte-identical.
class Prng
{
public:
    explicit Prng(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}

    uint64_t next()
    {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    // 24 bits are all a float sample can hold.
    float uniform() { return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f); }
    float bipolar() { return uniform() * 2.0f - 1.0f; }

private:
    uint64_t state_;
};

} // namespace soundtrack
