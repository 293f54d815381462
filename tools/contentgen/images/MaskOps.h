#pragma once

#include "tools/contentgen/images/Raster.h"

namespace contentgen::img {

// Distances below are design units; the grid turns them into pixels per axis.

// Separable Gaussian, cut off at three sigma so far pixels stay exactly 0.
Mask blurred(const Mask& mask, float sigma);
// Grows the coverage by a disc of the given radius (outlines, halos).
Mask dilated(const Mask& mask, float radius);
Mask shifted(const Mask& mask, float dx, float dy);

Mask united(const Mask& a, const Mask& b);
// Coverage of a that b does not hide.
Mask without(const Mask& a, const Mask& b);
Mask intersected(const Mask& a, const Mask& b);
Mask scaled(const Mask& mask, float factor);

// Blurs colour weighted by coverage, so soft edges keep the colour of the
// shape instead of fading towards the black of empty pixels.
Canvas blurredCanvas(const Canvas& canvas, float sigma);

struct Bounds {
    float x0 = 0.f;
    float y0 = 0.f;
    float x1 = 0.f;
    float y1 = 0.f;
    bool empty = true;
};
// Design-unit box around every pixel with coverage above the threshold.
Bounds inkBounds(const Mask& mask, float threshold = 0.01f);

} // namespace contentgen::img
