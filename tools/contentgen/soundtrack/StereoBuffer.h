#pragma once

#include <cstddef>
#include <vector>

namespace soundtrack {

struct StereoBuffer {
    explicit StereoBuffer(std::size_t frames = 0) : left(frames), right(frames) {}
    std::size_t frames() const { return left.size(); }

    std::vector<float> left, right;
};

// Runs an effect over the loop as if it had already been playing: it is fed
// the loop's closing seconds first, so the tails that ring past the end come
// out again at the start and the seam is as smooth as any other moment.
template <typename Effect>
StereoBuffer processLoop(Effect& effect, const StereoBuffer& in, std::size_t warmFrames)
{
    const std::size_t n = in.frames();
    float l = 0.0f, r = 0.0f;
    for (std::size_t i = n - (warmFrames < n ? warmFrames : n); i < n; ++i)
        effect.process(in.left[i], in.right[i], l, r);
    StereoBuffer out(n);
    for (std::size_t i = 0; i < n; ++i)
        effect.process(in.left[i], in.right[i], out.left[i], out.right[i]);
    return out;
}

} // namespace soundtrack
