#pragma once

#include <osg/Node>
#include <osg/ref_ptr>

// A 2D layer of width x height units (origin bottom left) that shows the node
// in front of the 3D scene, whatever the camera does.
osg::ref_ptr<osg::Node> makeOverlayLayer(osg::Node* node, float width = 800.0f, float height = 600.0f);

// Blending with the given OpenGL factors, drawn in the overlay render bin
// (100, "RenderBin") after the opaque scene.
void setBlending(osg::Node* node, unsigned source, unsigned destination);

// Drawn before the 3D scene (render bin -10: after the scope's capture pass
// at -100, which clears the frame, and before the opaque scene at 0), so the
// scene stands in front. setBlending on the same node moves it back on top.
void setBackground(osg::Node* node);
