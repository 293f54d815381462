#pragma once

#include <osg/Node>
#include <osg/ref_ptr>

// A 2D layer of width x height units (origin bottom left) that shows the node
// in front of the 3D scene, whatever the camera does.
osg::ref_ptr<osg::Node> makeOverlayLayer(osg::Node* node, float width = 800.0f, float height = 600.0f);

// Blending with the given OpenGL factors, drawn in the overlay render bin
// (100, "RenderBin") after the opaque scene.
void setBlending(osg::Node* node, unsigned source, unsigned destination);
