#include "app/Show.h"

#include "app/Globals.h"
#include "app/Timeline.h"
#include "audio/ScopeScene.h"
#include "camera/PathCamera.h"
#include "effects/Sequences.h"
#include "scenes/Character.h"
#include "scenes/ColourCartoon.h"
#include "scenes/EnvironmentRoom.h"
#include "scenes/LightScene.h"
#include "scenes/ModelFile.h"
#include "scenes/Physics.h"

#include <cstdlib>

const char* const kSplashImage = "demodata/bg003x.jpg";

namespace {

const double kScopeEnd = 16.513636363636362;
const double kCartoonStart = 16.463636363636365;
const double kCartoonEnd = 29.09090909090909;
const double kOpeningCameraEnd = 28.18181818181818;

void registerOpeningScope(OpeningParts& opening)
{
    buildStartScope(opening.scope);
    g_timeline->addNode(0.0, kScopeEnd, g_sceneSwitch.get(), opening.scope.get());
}

void registerOpeningModel(OpeningParts& opening)
{
    opening.model = readSceneModel("ddata/rutor.osg");
    opening.cartoon = new ColourCartoon;
    if (opening.model) {
        cullHiddenBackFaces(*opening.model);
        opening.cartoon->addChild(opening.model.get());
    }
    g_timeline->addNode(kCartoonStart, kCartoonEnd, g_sceneSwitch.get(), opening.cartoon.get());
    g_timeline->addCamera(0.0, kOpeningCameraEnd, new PathCamera("scripts/rutorcam.pos"));
}

} // namespace

std::vector<ContentPreloader::File> showContentInLoadOrder()
{
    const bool model = true;
    const bool image = false;
    return {
        {"ddata/rutor.osg", model},
        {"ddata/lumbra.png", image},      {"ddata/lumbra-blur.png", image},
        {"ddata/ostra.png", image},       {"ddata/ostra-blur.png", image},
        {"ddata/kvell.png", image},       {"ddata/kvell-blur.png", image},
        {"ddata/trinna.png", image},      {"ddata/bolma.png", image},
        {"ddata/sprett.png", image},      {"ddata/trinna-blur.png", image},
        {"ddata/bolma-blur.png", image},  {"ddata/sprett-blur.png", image},
        {"ddata/blobroom.3ds", model},    {"demodata/tunnel2.jpg", image},
        {"ddata/kantig-overlay-igen.png", image},
        {"ddata/snorkrka1.osg", model},   {"ddata/nybak1.png", image},
        {"ddata/velmo.png", image},       {"ddata/slime.png", image},
        {"demodata/torus.3ds", model},
    };
}

OpeningParts buildShow(unsigned randomSeed)
{
    g_timeline = new Timeline;
    g_sceneSwitch = new osg::Switch;
    g_rootGroup->addChild(g_sceneSwitch.get());
    initPhysics();
    if (randomSeed != 0)
        std::srand(randomSeed);
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
