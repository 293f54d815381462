#pragma once

#include <osg/Group>
#include <osg/Node>
#include <osg/ref_ptr>
#include <osgFX/Cartoon>

#include "app/ContentPreloader.h"

// The show's whole start-up between the splash frame and the music: the
// timeline, the scene switch, the physics world, the timing scripts, the
// opening parts and every scene builder, in their fixed order. The show and
// the capture both build through here, so they show the same thing.

extern const char* const kSplashImage;

// The opening parts the entry registers itself. The caller keeps them for
// the whole run, so they survive being detached by the timeline.
struct OpeningParts {
    osg::ref_ptr<osg::Group> scope;
    osg::ref_ptr<osg::Node> model;
    osg::ref_ptr<osgFX::Cartoon> cartoon;
};

// Needs the application object initialised (g_camera, g_rootGroup). A
// non-zero `randomSeed` replaces the clock-seeded random numbers the physics
// world starts with, so the box rain comes out the same on every run.
OpeningParts buildShow(unsigned randomSeed = 0);

// The pictures and models buildShow reads, in the order it reads them, for
// a ContentPreloader made before the window opens; empty on the plain path.
ContentList showContentInLoadOrder();
// The splash, then showContentInLoadOrder(): what the preloader reads while
// the window opens. Empty on the plain path.
ContentList startContentInLoadOrder();
