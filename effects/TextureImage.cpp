#include "effects/TextureImage.h"

#include "app/ContentPreloader.h"
#include "effects/BakedLayer.h"
#include "effects/FileException.h"
#include "effects/OverlayLayer.h"


#include <algorithm>

namespace Demo {
namespace Image {

namespace {
const int kScreenWidth = 800;
const int kScreenHeight = 600;
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

CTextureImage::CTextureImage(const std::string& path)
{
    loadTexture(path);
    buildQuad();
}

void CTextureImage::loadTexture(const std::string& path)
{
    texture = new osg::Texture2D;
    image = readShowImage(path);
    if (!image)
        throw CFileException{"Texutre image file not found: " + path};
    texture->setDataVariance(osg::Object::DYNAMIC);
    texture->setImage(image);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
    // The quad spreads the image over the whole screen, and its effects only
    // shift or narrow the image, never shrink it. An image no larger than
    // the screen is then never drawn smaller than its texels, and its
    // mipmaps would never be chosen: without them the renderer need not
    // work out a level of detail for every pixel it draws.
    if (image->s() <= kScreenWidth && image->t() <= kScreenHeight)
        texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR);
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
    quad->addPrimitiveSet(indices.get());
    osg::StateSet* state = quad->getOrCreateStateSet();
    state->setTextureAttributeAndModes(0, texture, osg::StateAttribute::ON);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    state->setMode(GL_BLEND, osg::StateAttribute::OFF);
    osg::ref_ptr<osg::Geode> baking = new osg::Geode;
    baking->addDrawable(quad.get());
    return baking;
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
