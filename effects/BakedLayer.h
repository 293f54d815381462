#pragma once

#include <osg/Camera>
#include <osg/Texture2D>
#include <osg/Vec2>
#include <osg/Vec3>
#include <osg/ref_ptr>

// A still overlay whose image is filtered down from a larger texture costs
// the software renderer a trilinear lookup per pixel every frame, for the
// same pixels each time. Drawn once into a texture the size of the screen,
// it can be shown texel for pixel from then on.

// An 8-bit RGBA texture that holds the 800 x 600 screen, read without
// filtering.
osg::ref_ptr<osg::Texture2D> makeBakedScreenTexture();

// A camera that draws `quads`, given in the overlay layer's 800 x 600
// coordinates, into `target` on the first frame it is culled, and never
// again.
osg::ref_ptr<osg::Camera> makeBakeOnceCamera(osg::Node* quads, osg::Texture2D* target);

// Where the texel baked for the layer point `vertex` lies in the texture.
osg::Vec2 bakedTexCoord(const osg::Vec3& vertex);
