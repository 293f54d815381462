#pragma once

// Every piece of process-wide state the show shares lives here, so there is
// one place to look for what the frame loop, the timeline and the builders
// all touch. Defined in Globals.cpp; zero or null until start-up sets them.

#include <osg/Group>
#include <osg/Switch>
#include <osg/ref_ptr>

class Timeline;
class PathCamera;
class MusicStream;

extern Timeline* g_timeline;               // the sequencer, created by main
extern osg::ref_ptr<osg::Switch> g_sceneSwitch; // parent of every scene part and effect
extern osg::ref_ptr<osg::Group> g_rootGroup;    // what the viewport draws
extern PathCamera* g_camera;               // the view used for each frame
extern MusicStream* g_music;               // the soundtrack

extern double g_time;       // demo time of the current pass, seconds
extern double g_timeOffset; // added to the application clock to give g_time
extern int g_frameCount;    // frames since start or the last time reset
extern double g_frameDelta; // the viewer's frame time of the last frame
