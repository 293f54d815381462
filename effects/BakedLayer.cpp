#include "effects/BakedLayer.h"

#include <osg/NodeCallback>

namespace {

const int kScreenWidth = 800;
const int kScreenHeight = 600;
// A power of two: the renderer samples it on its fastest path.
const int kTextureSize = 1024;

class CullOnce : public osg::NodeCallback
{
public:
    void operator()(osg::Node* node, osg::NodeVisitor* nv) override
    {
        if (done)
            return;
        done = true;
        traverse(node, nv);
    }

private:
    bool done = false;
};

} // namespace

osg::ref_ptr<osg::Texture2D> makeBakedScreenTexture()
{
    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D;
    texture->setTextureSize(kTextureSize, kTextureSize);
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

osg::ref_ptr<osg::Camera> makeBakeOnceCamera(osg::Node* quads, osg::Texture2D* target)
{
    osg::ref_ptr<osg::Camera> camera = new osg::Camera;
    camera->setRenderOrder(osg::Camera::PRE_RENDER);
    camera->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    camera->attach(osg::Camera::COLOR_BUFFER, target);
    // The quads draw without depth, over whatever the texture held.
    camera->setImplicitBufferAttachmentMask(0, 0);
    camera->setClearMask(0);
    camera->setViewport(0, 0, kScreenWidth, kScreenHeight);
    camera->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    // Upside down: the renderer counts the window's rows from the top and a
    // texture's from the bottom. Flipped, each pixel is worked out with the
    // very same arithmetic as on the screen, so the baked texels match the
    // screen's pixels to the bit, not to within a rounding.
    camera->setProjectionMatrixAsOrtho2D(0.0, kScreenWidth, kScreenHeight, 0.0);
    camera->setViewMatrix(osg::Matrix::identity());
    camera->addChild(quads);
    camera->setCullCallback(new CullOnce);
    return camera;
}

osg::Vec2 bakedTexCoord(const osg::Vec3& vertex)
{
    return osg::Vec2(vertex.x() / kTextureSize, (kScreenHeight - vertex.y()) / kTextureSize);
}
