#pragma once

// Every piece of process-wide state the show shares lives here, so there is
// one place to look for what the frame loop, the timeline and the builders
// all touch. Defined in Globals.cpp; zero or null until start-up sets them.

#include "app/PictureSize.h"

#include <osg/Group>
#include <osg/Matrix>
#include <osg/Switch>
#include <osg/ref_ptr>

#include <vector>

#include <ode/common.h>

class Timeline;
class PathCamera;
class MusicStream;
class PhysicsBox;
class ContentReader;
namespace osg { class Program; class Texture1D; }

extern Timeline* g_timeline;               // the sequencer, created by main
extern osg::ref_ptr<osg::Switch> g_sceneSwitch; // parent of every scene part and effect
extern osg::ref_ptr<osg::Group> g_rootGroup;    // what the viewport draws
extern PathCamera* g_camera;               // the view used for each frame
extern MusicStream* g_music;               // the soundtrack
extern ContentReader* g_contentReader;    // where the builders read content: ahead, while the show starts
// Scene parts the builders made: the timeline holds plain pointers, so this
// keeps each part alive while it is detached.
extern std::vector<osg::ref_ptr<osg::Node>> g_sceneParts;

extern double g_time;       // demo time of the current pass, seconds
extern double g_timeOffset; // added to the application clock to give g_time
extern int g_frameCount;    // frames since start or the last time reset
extern double g_frameDelta; // the viewer's frame time of the last frame

// Whether pictures keep the smaller levels made when they were read
// (effects/Mipmaps.h) instead of leaving them to the driver: a speed-up,
// decided once the window's renderer is known, before any picture is drawn.
extern bool g_levelsMadeOnReading;

// The size the picture is rendered at: the window's 800 x 600, or the
// capture's own, set before the show is built.
extern PictureSize g_picture;

// The box rain's rigid-body world, made once by initPhysics.
constexpr int kMaxPhysicsBoxes = 128;
extern dWorldID g_world;
extern dSpaceID g_space;              // ground plane and every box geometry
extern dJointGroupID g_contactGroup;  // contact joints of the current step
extern PhysicsBox* g_boxes[kMaxPhysicsBoxes];
extern int g_boxCount;
extern double g_gravityY;             // the world's gravity at creation
extern bool g_gravityHalvingPending;  // cleared by the first restart

// The cartoon effect's two programs and its banded ramp, made by the first
// cartoon and shared by every later one (scenes/ColourCartoon.cpp): the
// software rasteriser builds its code per program, so the light scene's
// fifteen boxes with programs of their own took 1.2 s more in their first
// draw when Mesa's shader cache was empty.
extern osg::ref_ptr<osg::Program> g_toonProgram;
extern osg::ref_ptr<osg::Program> g_outlineProgram;
extern osg::ref_ptr<osg::Texture1D> g_toonRamp;

// Clip coordinates -1..1 to texture coordinates 0..1, for the light scene's
// projected depth map.
extern osg::ref_ptr<osg::RefMatrix> g_shadowBias;

// Ends the process; every exit of the show and the capture goes through
// here. A file still being read ahead is finished first: the libraries that
// read it must not be torn down under the reading thread.
[[noreturn]] void exitProcess(int status);
