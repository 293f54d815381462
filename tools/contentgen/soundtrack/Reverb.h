#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace soundtrack {

// Schroeder-Moorer hall: eight damped combs in parallel, four all-passes in
// series, per side, the right side tuned a little longer for width.
class Reverb
{
public:
    Reverb(float roomSize, float damping);
    void process(float inL, float inR, float& outL, float& outR);

private:
    struct Comb {
        std::vector<float> buffer;
        std::size_t pos = 0;
        float store = 0.0f;
        float run(float input, float feedback, float damping);
    };
    struct AllPass {
        std::vector<float> buffer;
        std::size_t pos = 0;
        float run(float input);
    };
    struct Side {
        std::array<Comb, 8> combs;
        std::array<AllPass, 4> allPasses;
        float run(float input, float feedback, float damping);
    };

    Side left_, right_;
    float feedback_, damping_;
};

} // namespace soundtrack
