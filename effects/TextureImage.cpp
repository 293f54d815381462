#include "effects/TextureImage.h"

#include "app/ContentReader.h"
#include "app/Globals.h"
#include "effects/BakedLayer.h"
#include "effects/FileException.h"
#include "effects/KeptRows.h"
#include "effects/OverlayLayer.h"
#include "effects/UniformCells.h"

#include <osg/BlendFunc>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace Demo {
namespace Image {

namespace {
const float kScreenWidth = PictureSize::kVirtualWidth;
const float kScreenHeight = PictureSize::kVirtualHeight;
} // namespace

TexelBox visibleTexels(const osg::Image& image, int margin)
{
    const int w = image.s(), h = image.t();
    if (image.getPixelFormat() != GL_RGBA || image.getDataType() != GL_UNSIGNED_BYTE)
        return {0, 0, w, h};
    TexelBox box{w, h, 0, 0};
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = image.data(0, y);
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = row + 4 * x;
            if (p[0] | p[1] | p[2] | p[3]) {
                box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x + 1), std::max(box.y1, y + 1)};
            }
        }
    }
    if (box.x0 >= box.x1)
        return {0, 0, 0, 0};
    return {std::max(0, box.x0 - margin), std::max(0, box.y0 - margin), std::min(w, box.x1 + margin),
            std::min(h, box.y1 + margin)};
}

std::optional<osg::Vec4> solidBlackOrWhite(const osg::Image& image)
{
    const bool rgb = image.getPixelFormat() == GL_RGB;
    if ((!rgb && image.getPixelFormat() != GL_RGBA) || image.getDataType() != GL_UNSIGNED_BYTE ||
        image.s() == 0 || image.t() == 0)
        return std::nullopt;
    const int channels = rgb ? 3 : 4;
    const unsigned char* first = image.data(0, 0);
    for (int c = 0; c < channels; ++c)
        if ((first[c] != 0 && first[c] != 255) || (c == 3 && first[c] != 255))
            return std::nullopt;
    // Every pixel equals the first when every byte equals the one a pixel
    // before it: one comparison a row, of the row against itself shifted.
    const std::size_t rowBytes = static_cast<std::size_t>(image.s()) * channels;
    for (int y = 0; y < image.t(); ++y) {
        const unsigned char* row = image.data(0, y);
        if (!std::equal(first, first + channels, row) ||
            std::memcmp(row, row + channels, rowBytes - channels) != 0)
            return std::nullopt;
    }
    return osg::Vec4(first[0] / 255.0f, first[1] / 255.0f, first[2] / 255.0f, 1.0f);
}

void stretchToPowersOfTwo(osg::Image& image)
{
    // What the texture would do on its first upload, with a notice on the
    // console each time; done when the file is read, the upload has nothing
    // to stretch.
    const int s = powerOfTwoAtLeast(image.s()), t = powerOfTwoAtLeast(image.t());
    if (s != image.s() || t != image.t())
        image.scaleImage(s, t, image.r());
}

CTextureImage::CTextureImage(const std::string& path) : CTextureImage(path, nullptr) {}

CTextureImage::CTextureImage(const std::string& path, const osg::ref_ptr<osg::Image>& picture)
{
    loadTexture(path, picture);
    buildQuad();
    root->setName(path);
}

bool CTextureImage::drawAsSolidColour()
{
    // The quad's colour times the one texel, with no lookup, gives every
    // pixel the same level: 0 and 255 multiply exactly.
    const std::optional<osg::Vec4> texel = solidBlackOrWhite(*image);
    if (!texel)
        return false;
    for (osg::Vec4& colour : *colours)
        colour = osg::componentMultiply(colour, *texel);
    stateSet->setTextureMode(0, GL_TEXTURE_2D, osg::StateAttribute::OFF);
    return true;
}

bool CTextureImage::fitsTheScreen() const
{
    return image->s() <= g_picture.width && image->t() <= g_picture.height;
}

void CTextureImage::skipMipmaps()
{
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
}

const osg::BlendFunc* CTextureImage::blendFunc() const
{
    for (const osg::Node* node : {static_cast<const osg::Node*>(geode.get()), static_cast<const osg::Node*>(root.get())}) {
        const osg::StateSet* state = node->getStateSet();
        if (const osg::StateAttribute* blend = state ? state->getAttribute(osg::StateAttribute::BLENDFUNC) : nullptr)
            return static_cast<const osg::BlendFunc*>(blend);
    }
    return nullptr;
}

void CTextureImage::loadTexture(const std::string& path, const osg::ref_ptr<osg::Image>& picture)
{
    texture = new osg::Texture2D;
    image = picture ? picture : readShowImage(path);
    if (!image)
        throw CFileException{"Texutre image file not found: " + path};
    if (!g_levelsMadeOnReading)
        image->setMipmapLevels({});
    texture->setDataVariance(osg::Object::DYNAMIC);
    texture->setImage(image);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
}

void CTextureImage::buildQuad()
{
    vertices = new osg::Vec3Array;
    vertices->push_back(osg::Vec3(0, 0, 0));
    vertices->push_back(osg::Vec3(800, 0, 0));
    vertices->push_back(osg::Vec3(800, 600, 0));
    vertices->push_back(osg::Vec3(0, 600, 0));
    texCoords = new osg::Vec2Array;
    texCoords->push_back(osg::Vec2(0, 0));
    texCoords->push_back(osg::Vec2(1, 0));
    texCoords->push_back(osg::Vec2(1, 1));
    texCoords->push_back(osg::Vec2(0, 1));
    colours = new osg::Vec4Array;
    colours->assign(4, osg::Vec4(1, 1, 1, 1));
    indices = new osg::DrawElementsUInt(GL_QUADS);
    for (unsigned index : {3u, 2u, 1u, 0u})
        indices->push_back(index);

    geometry = new osg::Geometry;
    geometry->setVertexArray(vertices);
    geometry->addPrimitiveSet(indices);
    geometry->setTexCoordArray(0, texCoords, osg::Array::BIND_PER_VERTEX);
    geometry->setColorArray(colours, osg::Array::BIND_PER_VERTEX);
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(false);

    stateSet = new osg::StateSet;
    stateSet->setTextureAttributeAndModes(0, texture, osg::StateAttribute::ON);
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    stateSet->setMode(GL_LIGHTING, osg::StateAttribute::OFF);

    geode = new osg::Geode;
    geode->addDrawable(geometry);
    geode->setStateSet(stateSet);

    layer = makeOverlayLayer(geode, 800.0f, 600.0f);
    root = new osg::Group;
    root->addChild(layer);
}

void CTextureImage::cropToVisibleTexels()
{
    // Eight texels cover the bilinear footprint on the two finest mipmap
    // levels, the only ones an overlay near screen size samples.
    const TexelBox box = visibleTexels(*image, 8);
    const float s0 = float(box.x0) / float(image->s()), s1 = float(box.x1) / float(image->s());
    const float t0 = float(box.y0) / float(image->t()), t1 = float(box.y1) / float(image->t());
    (*texCoords)[0].set(s0, t0);
    (*texCoords)[1].set(s1, t0);
    (*texCoords)[2].set(s1, t1);
    (*texCoords)[3].set(s0, t1);
    for (std::size_t i = 0; i < 4; ++i)
        (*vertices)[i].set((*texCoords)[i].x() * 800.0f, (*texCoords)[i].y() * 600.0f, 0.0f);
    geometry->dirtyBound();
}

void CTextureImage::setAlpha(float alpha)
{
    for (osg::Vec4& colour : *colours)
        colour.a() = alpha;
}

osg::ref_ptr<osg::Geode> CTextureImage::makeBakingQuad() const
{
    osg::ref_ptr<osg::Geometry> quad = new osg::Geometry;
    quad->setVertexArray(new osg::Vec3Array(*vertices));
    quad->setTexCoordArray(0, new osg::Vec2Array(*texCoords), osg::Array::BIND_PER_VERTEX);
    osg::ref_ptr<osg::Vec4Array> white = new osg::Vec4Array;
    white->assign(4, osg::Vec4(1, 1, 1, 1));
    quad->setColorArray(white.get(), osg::Array::BIND_PER_VERTEX);
    quad->addPrimitiveSet(new osg::DrawElementsUInt(*indices));
    osg::StateSet* state = quad->getOrCreateStateSet();
    state->setTextureAttributeAndModes(0, texture, osg::StateAttribute::ON);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    state->setMode(GL_BLEND, osg::StateAttribute::OFF);
    osg::ref_ptr<osg::Geode> baking = new osg::Geode;
    baking->addDrawable(quad.get());
    return baking;
}

void CTextureImage::leaveOutCells(const osg::Vec4ub& texel)
{
    // Cells of 16 x 15 pixels at 800 x 600: small enough to follow the
    // slanted corners of a frame, few enough to cost nothing to draw.
    const CellGrid grid{50, 40, g_picture.width, g_picture.height};
    // Eight texels cover the footprint of any filter the image is drawn or
    // baked with, so every pixel left out shows only `texel`.
    const std::vector<bool> leftOut = uniformCells(*image, texel, 8, grid);
    if (std::find(leftOut.begin(), leftOut.end(), true) == leftOut.end())
        return;
    // The texture coordinates run across the quad linearly, baked or not.
    const osg::Vec2 origin = (*texCoords)[0];
    const osg::Vec2 alongX = ((*texCoords)[1] - origin) / kScreenWidth;
    const osg::Vec2 alongY = ((*texCoords)[3] - origin) / kScreenHeight;
    const osg::Vec4 colour = colours->front();
    vertices->clear();
    texCoords->clear();
    colours->clear();
    indices->clear();
    const float unitsX = kScreenWidth / grid.width, unitsY = kScreenHeight / grid.height;
    // Each row of cells as runs of the cells drawn, one quad a run: the
    // quads meet on whole pixels, so each pixel is drawn by one or by none.
    for (int row = 0; row < grid.down; ++row)
        for (int column = 0; column < grid.across;) {
            if (leftOut[size_t(row) * grid.across + column]) {
                ++column;
                continue;
            }
            const int first = column;
            while (column < grid.across && !leftOut[size_t(row) * grid.across + column])
                ++column;
            const float x0 = grid.left(first) * unitsX, x1 = grid.left(column) * unitsX;
            const float y0 = grid.bottom(row) * unitsY, y1 = grid.bottom(row + 1) * unitsY;
            const unsigned base = static_cast<unsigned>(vertices->size());
            for (const osg::Vec3& corner : {osg::Vec3(x0, y0, 0), osg::Vec3(x1, y0, 0), osg::Vec3(x1, y1, 0), osg::Vec3(x0, y1, 0)}) {
                vertices->push_back(corner);
                texCoords->push_back(origin + alongX * corner.x() + alongY * corner.y());
                colours->push_back(colour);
            }
            // Wound as the whole quad.
            for (unsigned corner : {3u, 2u, 1u, 0u})
                indices->push_back(base + corner);
        }
    vertices->dirty();
    texCoords->dirty();
    colours->dirty();
    indices->dirty();
    geometry->dirtyBound();
}

bool CTextureImage::filtersItsImageWithoutMipmaps() const
{
    const osg::Texture::FilterMode filter = texture->getFilter(osg::Texture::MIN_FILTER);
    return stateSet->getTextureAttribute(0, osg::StateAttribute::TEXTURE) == texture.get() &&
           (filter == osg::Texture::LINEAR || filter == osg::Texture::NEAREST);
}

void CTextureImage::leaveOutKeptRows(std::vector<bool> keptRows)
{
    geometry->setDrawCallback(new LeaveOutKeptRows(std::move(keptRows), *texture));
}

void CTextureImage::bakeFiltering()
{
    osg::ref_ptr<osg::Texture2D> baked = makeBakedScreenTexture();
    root->insertChild(0, makeBakeOncePass(makeBakingQuad().get(), baked.get()));
    for (std::size_t i = 0; i < vertices->size(); ++i)
        (*texCoords)[i] = bakedTexCoord((*vertices)[i]);
    stateSet->setTextureAttributeAndModes(0, baked.get(), osg::StateAttribute::ON);
}

} // namespace Image
} // namespace Demo
