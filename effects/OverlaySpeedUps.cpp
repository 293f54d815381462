#include "effects/OverlaySpeedUps.h"

#include "effects/KeptRows.h"

#include <algorithm>
#include <cmath>

using Demo::Image::CImageFX;
using Demo::Image::CTextureImage;

namespace {

// One channel's blend factor, as OpenGL defines it; nothing for a factor
// this check does not know, which then keeps nothing.
std::optional<float> factor(GLenum name, float src, float srcAlpha, float dst, float dstAlpha)
{
    switch (name) {
    case GL_ZERO: return 0.0f;
    case GL_ONE: return 1.0f;
    case GL_SRC_COLOR: return src;
    case GL_ONE_MINUS_SRC_COLOR: return 1.0f - src;
    case GL_SRC_ALPHA: return srcAlpha;
    case GL_ONE_MINUS_SRC_ALPHA: return 1.0f - srcAlpha;
    case GL_DST_COLOR: return dst;
    case GL_ONE_MINUS_DST_COLOR: return 1.0f - dst;
    case GL_DST_ALPHA: return dstAlpha;
    case GL_ONE_MINUS_DST_ALPHA: return 1.0f - dstAlpha;
    default: return std::nullopt;
    }
}

Condition isStill(const CImageFX& animation)
{
    return holdsIf(animation.isStill(), "its texture coordinates move");
}

Condition keepsFrameWith(const CTextureImage& image, const osg::Vec4ub& texel)
{
    const osg::BlendFunc* blend = image.blendFunc();
    if (!blend)
        return unmet("it is not blended");
    const osg::Vec4 level(texel.r() / 255.0f, texel.g() / 255.0f, texel.b() / 255.0f, texel.a() / 255.0f);
    return holdsIf(keepsTheFrame(*blend, level), "its blending changes the frame there");
}

Condition both(const Condition& a, const Condition& b)
{
    return a.holds ? b : a;
}

} // namespace

bool keepsTheFrameAt(const osg::BlendFunc& blend, const osg::Vec4& texel, float opacity)
{
    const float srcAlpha = texel.a() * opacity;
    for (float dst : {0.0f, 0.25f, 1.0f}) {
        for (int c = 0; c < 3; ++c) {
            const float src = texel[c];
            const auto s = factor(blend.getSourceRGB(), src, srcAlpha, dst, dst);
            const auto d = factor(blend.getDestinationRGB(), src, srcAlpha, dst, dst);
            if (!s || !d)
                return false;
            const float out = std::clamp(*s * src + *d * dst, 0.0f, 1.0f);
            if (std::fabs(out - dst) > 1e-6f)
                return false;
        }
    }
    return true;
}

bool keepsTheFrame(const osg::BlendFunc& blend, const osg::Vec4& texel)
{
    for (float opacity : {0.0f, 0.5f, 1.0f})
        if (!keepsTheFrameAt(blend, texel, opacity))
            return false;
    return true;
}

void speedUpOverlay(SpeedUpList& list, const std::string& overlay, CTextureImage& image, CImageFX& animation,
                    const OverlaySpeedUps& wanted)
{
    if (wanted.solidColour)
        list.apply(overlay + ": solid colour without a texture",
                   [&] { return holdsIf(Demo::Image::solidBlackOrWhite(image.getImage()).has_value(), "its image has other texels"); },
                   [&] { image.drawAsSolidColour(); });
    if (wanted.noMipmaps)
        list.apply(overlay + ": no mipmaps", [&] { return holdsIf(image.fitsTheScreen(), "its image is larger than the screen"); },
                   [&] { image.skipMipmaps(); });
    if (wanted.crop)
        list.apply(overlay + ": cropped to its visible texels",
                   [&] { return both(isStill(animation), keepsFrameWith(image, osg::Vec4ub(0, 0, 0, 0))); },
                   [&] {
                       animation.holdStill();
                       image.cropToVisibleTexels();
                   });
    if (wanted.bake)
        list.apply(overlay + ": filtering baked", [&] { return isStill(animation); },
                   [&] {
                       animation.holdStill();
                       image.bakeFiltering();
                   });
    if (wanted.leaveOutCells)
        list.apply(overlay + ": cells of one texel left out",
                   [&] { return both(isStill(animation), keepsFrameWith(image, *wanted.leaveOutCells)); },
                   [&] {
                       animation.holdStill();
                       image.leaveOutCells(*wanted.leaveOutCells);
                   });
    if (wanted.leaveOutKeptRows) {
        std::vector<bool> kept;
        list.apply(overlay + ": rows that keep the frame left out", [&] {
            const osg::BlendFunc* blend = image.blendFunc();
            if (!blend)
                return unmet("it is not blended");
            if (!image.filtersItsImageWithoutMipmaps())
                return unmet("it is not drawn from its image without mipmaps");
            kept = rowsThatKeepTheFrame(image.getImage(), *blend);
            return holdsIf(std::find(kept.begin(), kept.end(), true) != kept.end(), "no row of its image keeps the frame");
        }, [&] { image.leaveOutKeptRows(std::move(kept)); });
    }
}
