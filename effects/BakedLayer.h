#pragma once

#include <osg/Camera>
#include <osg/Geode>
#include <osg/NodeCallback>
#include <osg/Texture2D>
#include <osg/Vec2>
#include <osg/Vec3>
#include <osg/ref_ptr>

// A still overlay whose image is filtered down from a larger texture costs
// the software renderer a trilinear lookup per pixel every frame, for the
// same pixels each time. Drawn once into a texture the size of the screen,
// it can be shown texel for pixel from then on.

// An 8-bit RGBA texture that holds the picture, a texel a pixel, read
// without filtering.
osg::ref_ptr<osg::Texture2D> makeBakedScreenTexture();

// Lets a baking pass draw on the first frame it is culled after each
// request, and skips it on all other frames. A new one is requested.
class BakeOnRequest : public osg::NodeCallback
{
public:
    explicit BakeOnRequest(bool pendingAtFirst = true) : pending(pendingAtFirst) {}
    void request() { pending = true; }
    void cancel() { pending = false; }
    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

private:
    bool pending;
};

// A pass that draws `quads`, given in the overlay layer's 800 x 600
// coordinates, into `target` at the picture's size whenever `trigger` asks
// for it. With
// `clearFirst` the texture is cleared to transparent black before.
osg::ref_ptr<osg::Group> makeBakingPass(osg::Node* quads, osg::Texture2D* target, BakeOnRequest* trigger,
                                        bool clearFirst);

// A pass that bakes `quads` into `target` once, on the first frame it is
// culled.
osg::ref_ptr<osg::Group> makeBakeOncePass(osg::Node* quads, osg::Texture2D* target);

// A quad over the whole layer that shows `baked` texel for pixel.
osg::ref_ptr<osg::Geode> makeBakedScreenQuad(osg::Texture2D* baked);

// Shrinks a quad made by makeBakedScreenQuad to the whole pixels around
// `area` (layer coordinates), where all that was baked lies: the texels
// outside are clear and would only be blended in as nothing. An invalid
// area leaves nothing to draw.
void fitBakedQuad(osg::Geometry& quad, const osg::BoundingBox& area);

// Where the texel baked for the layer point `vertex` lies in the texture.
osg::Vec2 bakedTexCoord(const osg::Vec3& vertex);
