#include "scenes/RenderToTextureCallback.h"

#include "app/Globals.h"

#include <osg/ColorMask>
#include <osg/CullFace>
#include <osg/PolygonOffset>
#include <osgUtil/CullVisitor>

namespace {

const auto kOnOverride = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;

osg::ref_ptr<osg::StateSet> makeDepthPassState(osg::Viewport* viewport)
{
    osg::ref_ptr<osg::StateSet> ss = new osg::StateSet;
    ss->setAttribute(viewport);
    ss->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
    // Depths pushed away from the lit surfaces, and only back faces drawn,
    // so surfaces do not shadow themselves.
    ss->setAttribute(new osg::PolygonOffset(1.1f, 4.0f), kOnOverride);
    ss->setMode(GL_POLYGON_OFFSET_FILL, kOnOverride);
    ss->setAttribute(new osg::CullFace(osg::CullFace::FRONT), kOnOverride);
    ss->setMode(GL_CULL_FACE, kOnOverride);
    // The subgraph samples the very map this pass writes: no texturing here.
    ss->setTextureMode(0, GL_TEXTURE_2D, osg::StateAttribute::OFF | osg::StateAttribute::OVERRIDE);
    return ss;
}

} // namespace

RenderToTextureCallback::RenderToTextureCallback(osg::Node* scene, osg::Texture2D* depthTexture,
                                                 osg::MatrixTransform* light, osg::TexGen* generation)
    : subgraph(scene), texture(depthTexture),
      viewport(new osg::Viewport(0, 0, depthTexture ? depthTexture->getTextureWidth() : 1,
                                 depthTexture ? depthTexture->getTextureHeight() : 1)),
      projection(new osg::RefMatrix(osg::Matrix::frustum(-2.0, 2.0, -2.0, 2.0, 2.0, 50.0))),
      lightTransform(light), texGen(generation)
{
    localStateSet = makeDepthPassState(viewport.get());
    target = new osg::Camera;
    target->setRenderTargetImplementation(osg::Camera::FRAME_BUFFER_OBJECT);
    target->setViewport(viewport.get());
    if (texture)
        target->attach(osg::Camera::DEPTH_BUFFER, texture.get());
}

osg::Matrix RenderToTextureCallback::shadowMatrix(const osg::Vec3& eye, const osg::Matrix& lightProjection)
{
    const osg::Matrix view = osg::Matrix::lookAt(eye, osg::Vec3(0.0f, 0.0f, 0.0f), osg::Vec3(0.0f, 0.0f, 1.0f));
    return view * lightProjection * *g_shadowBias;
}

void RenderToTextureCallback::setTexGenPlanes(osg::TexGen& generation, const osg::Matrix& m)
{
    generation.setPlane(osg::TexGen::S, osg::Plane(m(0, 0), m(1, 0), m(2, 0), m(3, 0)));
    generation.setPlane(osg::TexGen::T, osg::Plane(m(0, 1), m(1, 1), m(2, 1), m(3, 1)));
    generation.setPlane(osg::TexGen::R, osg::Plane(m(0, 2), m(1, 2), m(2, 2), m(3, 2)));
    generation.setPlane(osg::TexGen::Q, osg::Plane(m(0, 3), m(1, 3), m(2, 3), m(3, 3)));
}

void RenderToTextureCallback::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    auto* cv = dynamic_cast<osgUtil::CullVisitor*>(nv);
    if (cv && texture && subgraph)
        drawDepthPass(*cv);
    traverse(node, nv);
}

osgUtil::RenderStage* RenderToTextureCallback::prepareStage()
{
    if (!stage) {
        stage = new osgUtil::RenderStage;
        stage->setCamera(target.get());
        stage->setDrawBuffer(GL_NONE);
        stage->setReadBuffer(GL_NONE);
        stage->setCameraRequiresSetUp(true);
    } else {
        stage->reset();
    }
    stage->setClearMask(GL_DEPTH_BUFFER_BIT);
    stage->setColorMask(new osg::ColorMask(false, false, false, false));
    return stage.get();
}

void RenderToTextureCallback::drawDepthPass(osgUtil::CullVisitor& cv)
{
    osgUtil::RenderBin* previousBin = cv.getCurrentRenderBin();
    osgUtil::RenderStage* depthStage = prepareStage();
    const osg::CullSettings::ComputeNearFarMode nearFarMode = cv.getComputeNearFarMode();
    cv.setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
    cv.setCurrentRenderBin(depthStage);

    const osg::Vec3 eye = lightTransform->getMatrix().getTrans();
    osg::ref_ptr<osg::RefMatrix> view = new osg::RefMatrix(
        osg::Matrix::lookAt(eye, osg::Vec3(0.0f, 0.0f, 0.0f), osg::Vec3(0.0f, 0.0f, 1.0f)));
    setTexGenPlanes(*texGen, shadowMatrix(eye, *projection));

    cv.pushProjectionMatrix(projection.get());
    cv.pushModelViewMatrix(view.get(), osg::Transform::ABSOLUTE_RF);
    cv.pushStateSet(localStateSet.get());
    subgraph->accept(cv);
    cv.popStateSet();
    cv.popModelViewMatrix();
    cv.popProjectionMatrix();

    cv.setComputeNearFarMode(nearFarMode);
    cv.setCurrentRenderBin(previousBin);

    if (depthStage->getStateGraphList().empty() && depthStage->getRenderBinList().empty())
        return;
    depthStage->setViewport(viewport.get());
    previousBin->getStage()->addPreRenderStage(depthStage);
}
