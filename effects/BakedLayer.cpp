#include "effects/BakedLayer.h"

#include "app/Globals.h"

#include <osg/Geometry>

#include <algorithm>
#include <cmath>

namespace {

const int kScreenWidth = PictureSize::kVirtualWidth;
const int kScreenHeight = PictureSize::kVirtualHeight;

// A power of two that holds the picture: the renderer samples it on its
// fastest path. 1024 at 800 x 600.
int textureSize()
{
    return powerOfTwoAtLeast(std::max(g_picture.width, g_picture.height));
}

} // namespace

osg::ref_ptr<osg::Texture2D> makeBakedScreenTexture()
{
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D;
    texture->setTextureSize(textureSize(), textureSize());
    texture->setInternalFormat(GL_RGBA8);
    texture->setSourceFormat(GL_RGBA);
    texture->setSourceType(GL_UNSIGNED_BYTE);
    // Each pixel reads back exactly the texel it was drawn into.
    texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::NEAREST);
    texture->setFilter(osg::Texture::MAG_FILTER, osg::Texture::NEAREST);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::CLAMP_TO_EDGE);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::CLAMP_TO_EDGE);
    return texture;
}

void BakeOnRequest::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    if (!pending)
        return;
    pending = false;
    traverse(node, nv);
}

osg::ref_ptr<osg::Group> makeBakingPass(osg::Node* quads, osg::Texture2D* target, BakeOnRequest* trigger,
                                         bool clearFirst)
{
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    camera->attach(osg::Camera::COLOR_BUFFER, target);
    // The quads draw without depth.
    camera->setImplicitBufferAttachmentMask(0, 0);
    camera->setClearMask(clearFirst ? GL_COLOR_BUFFER_BIT : 0);
    camera->setClearColor(osg::Vec4(0.0f, 0.0f, 0.0f, 0.0f));
    camera->setViewport(0, 0, g_picture.width, g_picture.height);
    camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    // Upside down: the renderer counts the window's rows from the top and a
    // texture's from the bottom. Flipped, each pixel is worked out with the
    // very same arithmetic as on the screen, so the baked texels match the
    // screen's pixels to the bit, not to within a rounding.
    camera->setProjectionMatrixAsOrtho2D(0.0, kScreenWidth, kScreenHeight, 0.0);
    camera->setViewMatrix(osg::Matrix::identity());
    camera->addChild(quads);
    // The gate sits above the camera: a camera that is culled at all sets
    // up its pass, and would clear the texture or switch to it for nothing.
    osg::ref_ptr<osg::Group> gate = new osg::Group;
    gate->addChild(camera.get());
    gate->setCullCallback(trigger);
    return gate;
}

osg::ref_ptr<osg::Group> makeBakeOncePass(osg::Node* quads, osg::Texture2D* target)
{
    return makeBakingPass(quads, target, new BakeOnRequest, false);
}

osg::ref_ptr<osg::Geode> makeBakedScreenQuad(osg::Texture2D* baked)
{
    osg::ref_ptr<osg::Vec3Array> corners = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec2Array> texels = new osg::Vec2Array;
    for (const osg::Vec3& corner : {osg::Vec3(0, 0, 0), osg::Vec3(kScreenWidth, 0, 0),
                                    osg::Vec3(kScreenWidth, kScreenHeight, 0), osg::Vec3(0, kScreenHeight, 0)}) {
        corners->push_back(corner);
        texels->push_back(bakedTexCoord(corner));
    }
    osg::ref_ptr<osg::Vec4Array> white = new osg::Vec4Array;
    white->push_back(osg::Vec4(1, 1, 1, 1));
    osg::ref_ptr<osg::Geometry> quad = new osg::Geometry;
    quad->setVertexArray(corners.get());
    quad->setTexCoordArray(0, texels.get(), osg::Array::BIND_PER_VERTEX);
    quad->setColorArray(white.get(), osg::Array::BIND_OVERALL);
    quad->addPrimitiveSet(new osg::DrawArrays(GL_QUADS, 0, 4));
    // fitBakedQuad moves its corners.
    quad->setUseDisplayList(false);
    quad->setDataVariance(osg::Object::DYNAMIC);
    osg::StateSet* state = quad->getOrCreateStateSet();
    state->setTextureAttributeAndModes(0, baked, osg::StateAttribute::ON);
    state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(quad.get());
    return geode;
}

osg::Vec2 bakedTexCoord(const osg::Vec3& vertex)
{
    // The layer's units to the picture's pixels, then to texels.
    const float size = static_cast<float>(textureSize());
    const float across = static_cast<float>(g_picture.width) / kScreenWidth;
    const float down = static_cast<float>(g_picture.height) / kScreenHeight;
    return osg::Vec2(vertex.x() * across / size, (kScreenHeight - vertex.y()) * down / size);
}

void fitBakedQuad(osg::Geometry& quad, const osg::BoundingBox& area)
{
    auto* corners = static_cast<osg::Vec3Array*>(quad.getVertexArray());
    auto* texels = static_cast<osg::Vec2Array*>(quad.getTexCoordArray(0));
    // A pixel of margin beyond the area, for its edges' partly covered pixels.
    const float x0 = area.valid() ? std::max(0.0f, std::floor(area.xMin()) - 1.0f) : 0.0f;
    const float y0 = area.valid() ? std::max(0.0f, std::floor(area.yMin()) - 1.0f) : 0.0f;
    const float x1 = area.valid() ? std::min(float(kScreenWidth), std::ceil(area.xMax()) + 1.0f) : 0.0f;
    const float y1 = area.valid() ? std::min(float(kScreenHeight), std::ceil(area.yMax()) + 1.0f) : 0.0f;
    const osg::Vec3 fitted[4] = {{x0, y0, 0}, {x1, y0, 0}, {x1, y1, 0}, {x0, y1, 0}};
    for (int i = 0; i < 4; ++i) {
        (*corners)[i] = fitted[i];
        (*texels)[i] = bakedTexCoord(fitted[i]);
    }
    corners->dirty();
    texels->dirty();
    quad.dirtyBound();
}
