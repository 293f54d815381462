#pragma once

#include <osg/Node>
#include <osg/State>
#include <osg/ref_ptr>

#include <cstddef>
#include <vector>

namespace osgUtil { class SceneView; }

class Timeline;
namespace Demo { class CFX; }

// Prepares the show's later parts while the opening scope plays, one step a
// frame. The opening costs about a millisecond a frame, so a part's first
// frame later on need not also do what only a first draw does:
// - stretch and upload its pictures and compile its shader programs, which
//   made frames of 50 to 150 ms as the logos, the turning model and the
//   light scene came on;
// - do what an effect's first frame does on the processor (the scroller's
//   measuring of its font);
// - then draw it once, unseen, before the frame clears the screen: the
//   software rasteriser builds its code and buffers for each new state, the
//   depth map and the baking targets are set up, and the first frames of
//   the light scene took 55 to 70 ms each for that alone.
// A part whose drawing moves its own state on (the scope's echo feeds on
// its last picture) carries a WarmUpRehearsal as its user data.
class GLWarmUp
{
public:
    // The timeline's scene parts and effects that open after `after`
    // seconds, in the order they open.
    GLWarmUp(const Timeline& timeline, double after);

    // The next step, in the context of `shown`, before it draws its frame.
    void prepareNext(osgUtil::SceneView& shown);
    // Every step left, now.
    void prepareAll(osgUtil::SceneView& shown);
    bool done() const { return next == parts.size(); }

private:
    void compile(osg::Node& part, osg::State& state);
    void draw(osg::Node& part, osgUtil::SceneView& shown);

    struct Part {
        osg::ref_ptr<osg::Node> node;
        Demo::CFX* effect; // null for a scene part; the timeline keeps it
    };
    std::vector<Part> parts;
    std::size_t next = 0;
    bool compiled = false; // the next part's, drawn in the step after
    osg::ref_ptr<osgUtil::SceneView> drawer;
};

// Lets the warm-up draw a part whose drawing moves its own state on: begin
// says whether the part can be put back as it is now (if not, it is not
// drawn), end puts it back.
class WarmUpRehearsal : public osg::Referenced
{
public:
    virtual bool begin() = 0;
    virtual void end() = 0;
};
