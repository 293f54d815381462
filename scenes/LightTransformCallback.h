#pragma once

#include <osg/Matrix>
#include <osg/NodeCallback>

#include <cstdint>

// Moves a light's transform round a horizontal circle above the origin,
// tilted so that its local -z always points at the origin. The angle grows
// with the viewer's frame time once per traversal and is never reset, so
// the light keeps its place across jumps in the demo time.
class LightTransformCallback : public osg::NodeCallback
{
public:
    LightTransformCallback(float angularVelocity, float height, float radius);
    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

    float getCurrentAngle() const { return currentAngle; }
    // The transform at the current angle.
    osg::Matrix currentPlacement() const { return placement(currentAngle, height, radius); }

    // The light's transform at a given angle of the circle.
    static osg::Matrix placement(float angle, float height, float radius);

private:
    float angularVelocity;
    float height;
    float radius;
    std::int32_t previousTraversal = -1;
    double previousTime = -1.0;
    float currentAngle = 0.0f;
};
