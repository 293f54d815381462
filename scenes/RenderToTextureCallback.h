#pragma once

#include <osg/Camera>
#include <osg/Matrix>
#include <osg/MatrixTransform>
#include <osg/NodeCallback>
#include <osg/StateSet>
#include <osg/TexGen>
#include <osg/Texture2D>
#include <osg/Viewport>
#include <osgUtil/RenderStage>

namespace osgUtil { class CullVisitor; }

// Renders the depth of a subgraph as seen from a light into a depth texture
// (of the size it was given) during the cull traversal, and points the texture
// generation's planes at that map, so the scene below samples its shadows.
// When the subgraph culls to nothing from the light, no pass is drawn and
// the texture keeps its last map.
class RenderToTextureCallback : public osg::NodeCallback
{
public:
    RenderToTextureCallback(osg::Node* subgraph, osg::Texture2D* texture,
                            osg::MatrixTransform* lightTransform, osg::TexGen* texGen);

    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

    // World to shadow-map coordinates for a light at `eye` looking at the
    // origin: view x projection x bias, row vectors.
    static osg::Matrix shadowMatrix(const osg::Vec3& eye, const osg::Matrix& projection);
    static void setTexGenPlanes(osg::TexGen& texGen, const osg::Matrix& m);

private:
    void drawDepthPass(osgUtil::CullVisitor& cv);
    osgUtil::RenderStage* prepareStage();

    osg::ref_ptr<osg::Node> subgraph;
    osg::ref_ptr<osg::Texture2D> texture;
    osg::ref_ptr<osg::StateSet> localStateSet;
    osg::ref_ptr<osg::Viewport> viewport;
    osg::ref_ptr<osg::RefMatrix> projection;
    osg::ref_ptr<osg::MatrixTransform> lightTransform;
    osg::ref_ptr<osg::TexGen> texGen;
    // The library has no stage that copies a window region into a texture
    // any more; the pass draws into a frame-buffer object instead, described
    // by this camera (never part of the scene) and reused frame after frame.
    osg::ref_ptr<osg::Camera> target;
    osg::ref_ptr<osgUtil::RenderStage> stage;
};
