#pragma once

#include <osg/BlendFunc>
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
#include <vector>

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
// The colour of an 8-bit image whose every texel is the same opaque black,
// white or other mix of 0 and 255 channels; nothing for any other image.
std::optional<osg::Vec4> solidBlackOrWhite(const osg::Image& image);
// Scales an image whose sides are not powers of two up to the next ones, as
// the texture would on upload.
void stretchToPowersOfTwo(osg::Image& image);

class CTextureImage
{
public:
    // Throws CFileException when the image cannot be read.
    explicit CTextureImage(const std::string& path);
    // With the picture of `path` already read (when not null), shared with
    // other effects: it is not read again, and changed only as every effect
    // that shares it changes it (its smaller levels dropped when the driver
    // is to make its own).
    CTextureImage(const std::string& path, const osg::ref_ptr<osg::Image>& picture);

    void setAlpha(float alpha);
    osg::ref_ptr<osg::Group> getNode() { return root; }
    const osg::Image& getImage() const { return *image; }

    // The speed-ups an overlay can take; effects/OverlaySpeedUps.h checks
    // their conditions and applies them in order.

    // Draws the quad in the colour of a solid black or white image, without
    // a texture lookup; false, changing nothing, for any other image.
    bool drawAsSolidColour();
    // Whether the image is no larger than the screen. The quad spreads the
    // image over the whole screen and the effects only shift or narrow it,
    // so such an image is never drawn smaller than its texels.
    bool fitsTheScreen() const;
    // Filters from the largest level only: the renderer then need not work
    // out a level of detail for each pixel. For an image that fits the
    // screen, whose smaller levels would never be chosen.
    void skipMipmaps();
    // The blending the quad is drawn with, set on the quad or on the node.
    const osg::BlendFunc* blendFunc() const;

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

    // Draws the quad as quads over the cells of a grid that show more than
    // `texel`, leaving out those that show only it. Only where such a texel
    // leaves the picture as it is under the image's blending: there the
    // picture is the same to the bit, and the cells left out cost nothing.
    void leaveOutCells(const osg::Vec4ub& texel);

    // Whether the quad is drawn from its own image with no smaller levels.
    bool filtersItsImageWithoutMipmaps() const;
    // Draws the quad only over the window rows whose lookups can read an
    // image row not in `keptRows` (effects/KeptRows.h), while each frame
    // allows it. Only where the kept rows leave the picture as it is under
    // the quad's blending, at full opacity.
    void leaveOutKeptRows(std::vector<bool> keptRows);
protected:
    osg::ref_ptr<osg::Geode> makeBakingQuad() const;
    void loadTexture(const std::string& path, const osg::ref_ptr<osg::Image>& picture);
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
