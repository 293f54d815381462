// Builds the show in its fixed order, shows the splash while loading, starts
// the soundtrack and runs the frame loop until Escape ends the process.
#include "app/GFX.h"
#include "app/Globals.h"
#include "app/Timeline.h"
#include "audio/ScopeScene.h"
#include "camera/PathCamera.h"
#include "effects/FileException.h"
#include "effects/Sequences.h"
#include "scenes/Character.h"
#include "scenes/ColourCartoon.h"
#include "scenes/EnvironmentRoom.h"
#include "scenes/LightScene.h"
#include "scenes/ModelFile.h"
#include "scenes/Physics.h"

#include <SDL/SDL.h>

#include <cstdlib>
#include <iostream>

namespace {

const char* const kSplashImage = "demodata/bg003x.jpg";
const double kScopeEnd = 16.513636363636362;
const double kCartoonStart = 16.463636363636365;
const double kCartoonEnd = 29.09090909090909;
const double kOpeningCameraEnd = 28.18181818181818;

// The opening parts main registers itself. main holds them for the whole
// run, so they survive being detached by the timeline.
struct OpeningParts {
    osg::ref_ptr<osg::Group> scope;
    osg::ref_ptr<osg::Node> model;
    osg::ref_ptr<osgFX::Cartoon> cartoon;
};

void registerOpeningScope(OpeningParts& opening)
{
    buildStartScope(opening.scope);
    g_timeline->addNode(0.0, kScopeEnd, g_sceneSwitch.get(), opening.scope.get());
}

void registerOpeningModel(OpeningParts& opening)
{
    opening.model = readSceneModel("ddata/rutor.osg");
    opening.cartoon = new ColourCartoon;
    if (opening.model)
        opening.cartoon->addChild(opening.model.get());
    g_timeline->addNode(kCartoonStart, kCartoonEnd, g_sceneSwitch.get(), opening.cartoon.get());
    g_timeline->addCamera(0.0, kOpeningCameraEnd, new PathCamera("scripts/rutorcam.pos"));
}

OpeningParts buildShow()
{
    g_timeline = new Timeline;
    g_sceneSwitch = new osg::Switch;
    g_rootGroup->addChild(g_sceneSwitch.get());
    initPhysics();
    g_timeline->reload(Timeline::ReloadAll);
    OpeningParts opening;
    registerOpeningScope(opening);
    registerOpeningModel(opening);
    buildLogoSequence();
    buildEnvironmentRoom();
    buildCharacterScene();
    buildTitleSequence();
    buildSlimeOverlay();
    buildLightScene();
    return opening;
}

void printStatusLine()
{
    std::cout << "FPS:" << g_frameCount / g_time << " Time:" << g_time
              << " Frame: " << g_frameCount << std::endl;
}

[[noreturn]] void runShow(GFX& gfx)
{
    for (;;) {
        g_timeline->update(g_time);
        gfx.frame();
        if (g_frameCount % 10 == 0)
            printStatusLine();
    }
}

} // namespace

int main(int, char**)
{
    // SDL 1.2 has no entry glue on this platform; do what it would.
    SDL_Init(SDL_INIT_NOPARACHUTE);
    std::atexit(SDL_Quit);

    GFX gfx;
    try {
        gfx.init(true);
        gfx.showSplash(kSplashImage);
        const OpeningParts opening = buildShow();
        gfx.readStartTime();
        gfx.setTime(0.0);
        gfx.playMusic();
        runShow(gfx);
    } catch (const Demo::CFileException& e) {
        // The show does not run without its pictures: say which one is
        // missing and stop with a failure status.
        std::cout << e.message << std::endl;
        std::cerr << "Cannot start the show: " << e.message << std::endl;
        return 1;
    }
}
