#include "app/capture/FrameLayout.h"

#include <algorithm>
#include <cstddef>

namespace {

int evenBelow(int n)
{
    return n - n % 2;
}

} // namespace

FrameLayout frameLayoutFor(int width, int height, int supersample)
{
    FrameLayout layout;
    layout.outputWidth = width;
    layout.outputHeight = height;
    layout.supersample = supersample;
    if (static_cast<long long>(width) * 3 >= static_cast<long long>(height) * 4) {
        layout.pictureHeight = height;
        layout.pictureWidth = std::min(width, evenBelow(height * 4 / 3));
    } else {
        layout.pictureWidth = width;
        layout.pictureHeight = std::min(height, evenBelow(width * 3 / 4));
    }
    layout.pictureX = (width - layout.pictureWidth) / 2;
    layout.pictureY = (height - layout.pictureHeight) / 2;
    return layout;
}

FrameComposer::FrameComposer(const FrameLayout& frameLayout, int bytesPerPixel)
    : layout(frameLayout), channels(bytesPerPixel),
      frame(static_cast<size_t>(frameLayout.outputWidth) * frameLayout.outputHeight * bytesPerPixel, 0),
      sums(static_cast<size_t>(frameLayout.pictureWidth) * bytesPerPixel, 0)
{
}

unsigned char* FrameComposer::pictureRow(int y)
{
    const size_t row = static_cast<size_t>(layout.outputWidth) * channels;
    return frame.data() + row * static_cast<size_t>(layout.pictureY + y) +
           static_cast<size_t>(layout.pictureX) * channels;
}

const std::vector<unsigned char>& FrameComposer::compose(const std::vector<unsigned char>& rendered)
{
    if (layout.supersample == 1)
        copyRows(rendered.data());
    else
        filterRows(rendered.data());
    return frame;
}

void FrameComposer::copyRows(const unsigned char* rendered)
{
    const size_t row = static_cast<size_t>(layout.pictureWidth) * channels;
    for (int y = 0; y < layout.pictureHeight; ++y)
        std::copy_n(rendered + row * static_cast<size_t>(layout.pictureHeight - 1 - y), row, pictureRow(y));
}

void FrameComposer::filterRows(const unsigned char* rendered)
{
    const int n = layout.supersample;
    const unsigned area = static_cast<unsigned>(n * n);
    const size_t renderedRow = static_cast<size_t>(layout.renderWidth()) * channels;
    for (int y = 0; y < layout.pictureHeight; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int j = 0; j < n; ++j) {
            // Rendered rows run bottom up: row y*n + j from the top.
            const unsigned char* source = rendered + renderedRow * static_cast<size_t>(layout.renderHeight() - 1 - (y * n + j));
            for (int x = 0; x < layout.pictureWidth; ++x)
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < channels; ++c)
                        sums[static_cast<size_t>(x) * channels + c] += source[(static_cast<size_t>(x) * n + i) * channels + c];
        }
        unsigned char* out = pictureRow(y);
        for (size_t k = 0; k < sums.size(); ++k)
            out[k] = static_cast<unsigned char>((sums[k] + area / 2) / area);
    }
}
