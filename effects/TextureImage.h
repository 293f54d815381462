#pragma once

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Image>
#include <osg/PrimitiveSet>
#include <osg/StateSet>
#include <osg/Texture2D>
#include <osg/Vec4ub>
#include <osg/ref_ptr>

#include <optional>
#include <string>

namespace Demo {
namespace Image {

// An image on a quad covering the whole 800 x 600 overlay layer. The quad's
// colours and texture coordinates are written in place by the effects built
// on it, so it draws without display lists.
// Texel bounds [x0, x1) x [y0, y1) of the texels of an 8-bit RGBA image that
// are not all zero, grown by `margin` and clamped to the image; the whole
// image for other formats, an empty box for an image of zeros.
struct TexelBox {
    int x0, y0, x1, y1;
};
TexelBox visibleTexels(const osg::Image& image, int margin);
// A rectangle around the middle of an 8-bit RGBA image whose texels all
// equal `texel`, grown from the middle texel a row or a column at a time
// while it can, then shrunk by `margin`; empty when there is none.
TexelBox uniformMiddle(const osg::Image& image, const osg::Vec4ub& texel, int margin);
// The colour of an 8-bit image whose every texel is the same opaque black,
// white or other mix of 0 and 255 channels; nothing for any other image.
std::optional<osg::Vec4> solidBlackOrWhite(const osg::Image& image);

class CTextureImage
{
public:
    // Throws CFileException when the image cannot be read.
    explicit CTextureImage(const std::string& path);

    void setAlpha(float alpha);
    osg::ref_ptr<osg::Group> getNode() { return root; }

    // Shrinks the quad to the rectangle of texels that are not all zero,
    // with a margin wider than any filter footprint, so the software
    // rasterizer stops blending nothing over most of the screen. Only for a
    // still image whose blending keeps the frame where a texel is zero (a
    // destination factor of one or one minus source alpha): there the
    // picture is the same to the bit.
    void cropToVisibleTexels();

    // Draws the image once, filtered as the quad shows it now, into a
    // screen-sized texture, and shows that texture texel for pixel from then
    // on: the same picture, without a trilinear lookup per pixel. Only for a
    // still image: its texture coordinates must never change. Its colours
    // and blending still apply each frame.
    void bakeFiltering();

    // Draws the quad as a frame around the middle of the image where every
    // texel is `texel`, leaving that middle out. Only where such a texel
    // leaves the picture as it is under the image's blending: there the
    // picture is the same to the bit, and the middle costs nothing.
    void leaveOutMiddle(const osg::Vec4ub& texel);

protected:
    osg::ref_ptr<osg::Geode> makeBakingQuad() const;
    void loadTexture(const std::string& path);
    void buildQuad();

    osg::ref_ptr<osg::Texture2D> texture;
    osg::ref_ptr<osg::Image> image;
    osg::ref_ptr<osg::Geode> geode;
    osg::ref_ptr<osg::StateSet> stateSet;
    osg::ref_ptr<osg::Geometry> geometry;
    osg::ref_ptr<osg::DrawElementsUInt> indices;
    osg::ref_ptr<osg::Vec3Array> vertices;
    osg::ref_ptr<osg::Vec2Array> texCoords;
    osg::ref_ptr<osg::Vec4Array> colours;
    osg::ref_ptr<osg::Node> layer;
    osg::ref_ptr<osg::Group> root;
};

} // namespace Image
} // namespace Demo
