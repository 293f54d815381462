#include "effects/Mipmaps.h"

#include <osg/GL>

#include <cstring>
#include <vector>

namespace Demo {
namespace Image {

namespace {

bool isPowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

unsigned char halfUp(int a, int b)
{
    return static_cast<unsigned char>((a + b + 1) >> 1);
}

struct Level {
    int width, height;
    unsigned rowBytes;
    std::size_t offset;
};

// The level below `above`, into `below`, both in `data`: one texel from the
// 2 x 2 over it, or from the 2 x 1 where a side is down to one texel.
void makeLevel(unsigned char* data, const Level& above, const Level& below, int components)
{
    unsigned char* out = data + below.offset;
    const int dx = above.width > 1 ? components : 0;
    for (int y = 0; y < below.height; ++y) {
        const unsigned char* upper = data + above.offset + static_cast<std::size_t>(2 * y) * above.rowBytes;
        const unsigned char* lower = above.height > 1 ? upper + above.rowBytes : upper;
        unsigned char* row = out + static_cast<std::size_t>(y) * below.rowBytes;
        for (int x = 0; x < below.width; ++x) {
            const unsigned char* a = upper + 2 * x * components;
            const unsigned char* c = lower + 2 * x * components;
            for (int k = 0; k < components; ++k)
                row[x * components + k] = halfUp(halfUp(a[k], a[k + dx]), halfUp(c[k], c[k + dx]));
        }
    }
}

} // namespace

void attachMipmaps(osg::Image& image)
{
    if (image.getDataType() != GL_UNSIGNED_BYTE || image.r() != 1 || image.getRowLength() != 0 ||
        !isPowerOfTwo(image.s()) || !isPowerOfTwo(image.t()) || image.isMipmap() || !image.data())
        return;
    const GLenum format = image.getPixelFormat();
    const int components = static_cast<int>(osg::Image::computeNumComponents(format));
    const int packing = image.getPacking();
    std::vector<Level> levels;
    std::size_t total = 0;
    for (int w = image.s(), h = image.t();; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1) {
        const unsigned rowBytes = osg::Image::computeRowWidthInBytes(w, format, GL_UNSIGNED_BYTE, packing);
        levels.push_back({w, h, rowBytes, total});
        total += static_cast<std::size_t>(rowBytes) * h;
        if (w == 1 && h == 1)
            break;
    }
    auto* data = new unsigned char[total];
    std::memcpy(data, image.data(), static_cast<std::size_t>(levels[0].rowBytes) * levels[0].height);
    for (std::size_t i = 1; i < levels.size(); ++i)
        makeLevel(data, levels[i - 1], levels[i], components);

    osg::Image::MipmapDataType offsets;
    for (std::size_t i = 1; i < levels.size(); ++i)
        offsets.push_back(static_cast<unsigned>(levels[i].offset));
    image.setImage(image.s(), image.t(), 1, image.getInternalTextureFormat(), format, GL_UNSIGNED_BYTE, data,
                   osg::Image::USE_NEW_DELETE, packing);
    image.setMipmapLevels(offsets);
}

bool rendererMakesLevelsAsAttached()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer && std::strstr(renderer, "llvmpipe") != nullptr;
}

} // namespace Image
} // namespace Demo
