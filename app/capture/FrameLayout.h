#pragma once

#include <vector>

// Where the show's picture lies in the video's frame. The show is composed
// for 4:3: it is rendered at the largest 4:3 size that fits the frame,
// centred on black (1440 x 1080 inside 1920 x 1080), and with supersampling
// n times larger each way, to be filtered down to that size.
struct FrameLayout
{
    int outputWidth = 800;
    int outputHeight = 600;
    int pictureX = 0; // from the left
    int pictureY = 0; // from the top
    int pictureWidth = 800;
    int pictureHeight = 600;
    int supersample = 1;

    int renderWidth() const { return pictureWidth * supersample; }
    int renderHeight() const { return pictureHeight * supersample; }
    bool hasBars() const { return pictureWidth != outputWidth || pictureHeight != outputHeight; }
};

// For an output of width x height (even numbers). The picture's sides are
// even too, and as near 4:3 as even numbers allow.
FrameLayout frameLayoutFor(int width, int height, int supersample);

// Makes each video frame from the rendered picture: the rows turned top
// down, the supersampled picture filtered down by a box filter (each pixel
// the rounded mean of its n x n rendered pixels, which blurs no edge wider
// than a pixel and rings nowhere), and black around it.
class FrameComposer
{
public:
    // `channels` bytes a pixel, in and out, in the same order.
    FrameComposer(const FrameLayout& layout, int channels);

    // The rendered picture, rows bottom up, renderWidth x renderHeight.
    const std::vector<unsigned char>& compose(const std::vector<unsigned char>& rendered);

private:
    void copyRows(const unsigned char* rendered);
    void filterRows(const unsigned char* rendered);
    unsigned char* pictureRow(int y);

    FrameLayout layout;
    int channels;
    std::vector<unsigned char> frame;
    std::vector<unsigned> sums;
};
