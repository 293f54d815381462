#pragma once

#include "app/panel/PanelDrawing.h"
#include "app/panel/PanelLayout.h"
#include "app/panel/ScriptEditor.h"
#include "app/panel/TimeAxis.h"
#include "platform/osgSDL/Viewer.h"

#include <osg/Group>
#include <osg/Texture2D>
#include <osgText/Text>

#include <functional>
#include <memory>
#include <vector>

class BakeOnRequest;
class Loudness;
class Timeline;

// The author's timeline, laid over the lower part of the running show: every
// window of the timeline drawn over the soundtrack's loudness, with the play
// head. A click jumps the show there, a drag scrubs, and the flash and
// black-fade windows can be selected, moved by the beat, removed, added and
// saved. Tab shows and hides it; while hidden it is not in the scene graph
// and takes no key.
class AuthorPanel
{
public:
    // Jumps the show to a time; with `placeMusic` the music goes there too
    // and the console says where it landed.
    using JumpTo = std::function<void(double seconds, bool placeMusic)>;

    AuthorPanel(osg::Group& sceneRoot, Timeline& timeline, double soundtrackSeconds, const char* soundtrack,
                JumpTo jump);
    ~AuthorPanel();

    bool isOpen() const { return open; }
    void toggle();

    // A key pressed while the panel is open; true when the panel took it.
    bool handleKey(int key, int modifiers);
    void handlePointer(const std::vector<osgSDL::PointerEvent>& events);
    // Clears in SDL's key-state array the held keys the panel has taken
    // from the camera: the arrows while a window is selected, s with Ctrl.
    void maskHeldKeys(Uint8* keys) const;

    // Once a frame, before it is drawn, with the time it shows.
    void update(double demoTime);
    // The timeline has read its scripts again.
    void reloaded();
    // The show ends: unsaved edits go to recovery files, the loudness
    // thread stops.
    void beforeExit();

    const TimeAxis& timeAxis() const { return axis; }
    ScriptEditor& editor() { return edits; }

private:
    void build();
    void press(float x, float y);
    void drag(float x);
    void release(float x);
    void changed() { stale = true; }
    void rebake();
    void drawDynamic(double demoTime);

    osg::ref_ptr<osg::Group> sceneRoot;
    Timeline& timeline;
    const char* soundtrack;
    JumpTo jump;
    TimeAxis axis;
    PanelLayout layout;
    ScriptEditor edits;
    std::unique_ptr<Loudness> loudness;

    osg::ref_ptr<osg::Group> root;
    osg::ref_ptr<osg::Group> staticContent;
    osg::ref_ptr<BakeOnRequest> bakeTrigger;
    QuadBatch dynamicQuads;
    osg::ref_ptr<osgText::Text> status;
    std::string statusLine;

    bool open = false;
    bool stale = true;
    bool bakedLoudness = false;
    double shownTime = 0.0;

    enum class Gesture { None, Scrub, MoveBar } gesture = Gesture::None;
    float pressX = 0.0f;
    double pressStart = 0.0; // the selected window's start when the drag began
    double scrubTime = 0.0;
};
