#pragma once

#include <osg/Drawable>
#include <osg/Node>
#include <osg/State>
#include <osg/StateSet>
#include <osg/ref_ptr>

#include <cstddef>
#include <vector>

namespace osgUtil { class SceneView; }

class Timeline;
namespace Demo { class CFX; }

// Prepares the show's later parts while the opening scope plays. The
// opening costs about a millisecond a frame, so a part's first frame later
// on need not also do what only a first draw does:
// - do what an effect's first frame does on the processor (the scroller's
//   measuring of its font);
// - upload its pictures and compile its shader programs, a state set at a
//   time, which made frames of 50 to 150 ms as the logos, the turning model
//   and the light scene came on;
// - build its drawables' buffers and display lists, one at a time;
// - then draw it, unseen, before the frame clears the screen: the software
//   rasteriser builds its code for each new state, the depth map and the
//   baking targets are set up, and the first frames of the light scene took
//   55 to 70 ms each for that alone. It is drawn twice, in two frames: the
//   code the rasteriser builds for a drawable depends on more than the
//   drawable's own state, and drawn once after the opening's scope, the room
//   still built code in its first frame (about 50 ms with Mesa's shader
//   cache empty); drawn again, after itself, it did not.
// The work comes in slices a frame can carry: the cheap ones are taken
// together up to a few milliseconds, a draw takes a frame of its own.
// A part whose drawing moves its own state on (the scope's echo feeds on
// its last picture) carries a WarmUpRehearsal as its user data.
class GLWarmUp
{
public:
    // The timeline's scene parts, effects, flashes and fades that open after
    // `after` seconds, in the order they open.
    GLWarmUp(const Timeline& timeline, double after);

    // The next slice, in the context of `shown`, before it draws its frame.
    void prepareNext(osgUtil::SceneView& shown);
    // Every slice left, now.
    void prepareAll(osgUtil::SceneView& shown);
    bool done() const { return next == parts.size(); }

private:
    struct Part {
        osg::ref_ptr<osg::Node> node;
        Demo::CFX* effect = nullptr; // null for a scene part; the timeline keeps it
    };
    enum class Stage { Start, States, Drawables, Draw, DrawAgain };

    // One piece of the current part's work; whether it was a draw.
    bool prepareSome(osgUtil::SceneView& shown);
    void start(const Part& part);
    void draw(const Part& part, osgUtil::SceneView& shown);
    void nextStage();

    std::vector<Part> parts;
    std::size_t next = 0;
    Stage stage = Stage::Start;
    std::vector<osg::ref_ptr<osg::StateSet>> states;
    std::vector<osg::ref_ptr<osg::Drawable>> drawables;
    std::size_t item = 0;
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
