#include "app/PictureSize.h"

#include <cmath>

int PictureSize::scaledEdge(int pixels) const
{
    return static_cast<int>(std::lround(pixels * static_cast<double>(height) / kVirtualHeight));
}

int powerOfTwoAtLeast(int n)
{
    int p = 1;
    while (p < n)
        p *= 2;
    return p;
}
