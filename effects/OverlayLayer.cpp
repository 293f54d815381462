#include "effects/OverlayLayer.h"

#include <osg/BlendFunc>
#include <osg/MatrixTransform>
#include <osg/Projection>

osg::ref_ptr<osg::Node> makeOverlayLayer(osg::Node* node, float width, float height)
{
    osg::ref_ptr<osg::Projection> projection = new osg::Projection;
    osg::ref_ptr<osg::MatrixTransform> transform = new osg::MatrixTransform;
    transform->setReferenceFrame(osg::Transform::ABSOLUTE_RF);
    transform->addChild(node);
    projection->setMatrix(osg::Matrixd::ortho2D(0.0, width, 0.0, height));
    projection->addChild(transform);
    return projection;
}

void setBlending(osg::Node* node, unsigned source, unsigned destination)
{
    osg::StateSet* stateSet = node->getOrCreateStateSet();
    stateSet->setAttributeAndModes(new osg::BlendFunc(source, destination), osg::StateAttribute::ON);
    stateSet->setRenderBinDetails(100, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
}

void setBackground(osg::Node* node)
{
    // The overlay quads draw without depth test, which in OpenGL also means
    // without depth writes: the scene drawn afterwards is not hidden by them.
    node->getOrCreateStateSet()->setRenderBinDetails(-10, "RenderBin", osg::StateSet::USE_RENDERBIN_DETAILS);
}
