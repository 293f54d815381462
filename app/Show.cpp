#include "app/Show.h"

#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/SpeedUps.h"
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

const char* const kOpeningModel = "ddata/rutor.osg";

void registerOpeningScope(OpeningParts& opening)
{
    buildStartScope(opening.scope);
    opening.scope->setName("opening scope");
    g_timeline->addNode(0.0, ShowTimes::kOpeningScopeEnd, g_sceneSwitch.get(), opening.scope.get());
}

void registerOpeningModel(OpeningParts& opening)
{
    SpeedUpList speedUps("the opening");
    opening.model = readSceneModel(kOpeningModel);
    osg::ref_ptr<ColourCartoon> cartoon = new ColourCartoon;
    if (opening.model) {
        cartoon->addChild(opening.model.get());
        speedUpOutline(speedUps, "opening model", *cartoon);
    }
    cartoon->setName(kOpeningModel);
    opening.cartoon = cartoon;
    g_timeline->addNode(ShowTimes::kCartoonCut, ShowTimes::kRoomCut, g_sceneSwitch.get(), opening.cartoon.get());
    g_timeline->addCamera(0.0, ShowTimes::kOpeningCameraEnd, new PathCamera("scripts/rutorcam.pos"));
}

ContentList openingContent()
{
    return {{kOpeningModel, true}};
}

// The scene builders in the order they run, each with the files it reads.
struct Builder {
    void (*build)();
    ContentList (*content)();
};
const Builder kBuilders[] = {
    {buildLogoSequence, logoSequenceContent},   {buildEnvironmentRoom, environmentRoomContent},
    {buildCharacterScene, characterSceneContent}, {buildTitleSequence, titleSequenceContent},
    {buildSlimeOverlay, slimeOverlayContent},   {buildLightScene, lightSceneContent},
};

} // namespace

ContentList showContentInLoadOrder()
{
    // Without the speed-ups every file is read when a builder asks for it.
    if (!speedUpsOn())
        return {};
    ContentList files = Timeline::scriptContent();
    append(files, openingContent());
    for (const Builder& builder : kBuilders)
        append(files, builder.content());
    return files;
}

ContentList startContentInLoadOrder()
{
    ContentList files = showContentInLoadOrder();
    // The splash first: it is shown as soon as the window is open, and read
    // there on the main thread it would hold the window black meanwhile.
    if (!files.empty())
        files.insert(files.begin(), {kSplashImage, false});
    return files;
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
    for (const Builder& builder : kBuilders)
        builder.build();
    return opening;
}
