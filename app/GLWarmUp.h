#pragma once

#include <osg/Node>
#include <osg/State>
#include <osg/ref_ptr>

#include <cstddef>
#include <vector>

class Timeline;

// Uploads the textures and compiles the shader programs of the show's later
// parts while the opening scope plays, one part a frame. The opening costs
// about a millisecond a frame, so a part's first frame later on need not
// also stretch and upload its pictures: that made frames of 50 to 150 ms as
// the logos, the turning model and the light scene came on.
class GLWarmUp
{
public:
    // The timeline's scene parts and effects that open after `after`
    // seconds, in the order they open.
    GLWarmUp(const Timeline& timeline, double after);

    // Compiles the next part in the given state, which must be the current
    // context's, between frames.
    void compileNext(osg::State& state);
    bool done() const { return next == parts.size(); }

private:
    std::vector<osg::ref_ptr<osg::Node>> parts;
    std::size_t next = 0;
};
