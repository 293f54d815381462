#include "scenes/LightTransformCallback.h"

#include <osg/MatrixTransform>
#include <osg/NodeVisitor>

#include <cmath>

LightTransformCallback::LightTransformCallback(float velocity, float circleHeight, float circleRadius)
    : angularVelocity(velocity), height(circleHeight), radius(circleRadius)
{
}

osg::Matrix LightTransformCallback::placement(float angle, float height, float radius)
{
    // Row-vector order: the first factor acts first. Tilt the -z marker down
    // towards the axis, face it to -x, move it out to the circle, turn it
    // round the vertical axis and lift it.
    return osg::Matrix::rotate(std::atan(height / radius), osg::Vec3(-1.0f, 0.0f, 0.0f)) *
           osg::Matrix::rotate(osg::PI_2, osg::Vec3(0.0f, 1.0f, 0.0f)) *
           osg::Matrix::translate(radius, 0.0f, 0.0f) *
           osg::Matrix::rotate(angle, osg::Vec3(0.0f, 1.0f, 0.0f)) *
           osg::Matrix::translate(0.0f, height, 0.0f);
}

void LightTransformCallback::operator()(osg::Node* node, osg::NodeVisitor* nv)
{
    auto* transform = dynamic_cast<osg::MatrixTransform*>(node);
    if (!nv || !transform) {
        traverse(node, nv);
        return;
    }
    const osg::FrameStamp* frameStamp = nv->getFrameStamp();
    if (!frameStamp)
        return;
    const double t = frameStamp->getReferenceTime();
    const auto traversal = static_cast<std::int32_t>(nv->getTraversalNumber());
    if (traversal != previousTraversal) {
        // previousTime starts at -1, so the first step covers t + 1 seconds.
        currentAngle += static_cast<float>((t - previousTime) * angularVelocity);
        transform->setMatrix(placement(currentAngle, height, radius));
        previousTraversal = traversal;
    }
    previousTime = t;
    traverse(node, nv);
}
