#include "app/Globals.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// A run folder with the flash images, a scene switch and a start camera.
struct ScriptFiles : ::testing::Test {
    ScratchDir dir;
    PathCamera* startCamera;
    Timeline* timeline;

    ScriptFiles()
    {
        writeTestImage("demodata/white.jpg", 255);
        writeTestImage("demodata/black.jpg", 0);
        CaptureStdout quiet;
        startCamera = new PathCamera;
        g_camera = startCamera;
        g_sceneSwitch = new osg::Switch;
        timeline = new Timeline;
    }
    ~ScriptFiles() override
    {
        delete timeline;
        delete startCamera;
        g_camera = nullptr;
        g_sceneSwitch = nullptr;
    }
    std::string reload(int which)
    {
        CaptureStdout out;
        timeline->reload(which);
        return out.text();
    }
};

} // namespace

TEST_F(ScriptFiles, FlashLinesArePrintedAndStopAtTheFirstIncompleteRecord)
{
    writeFile("scripts/flash.txt", "3.2 3.6 0.1 0.2 0 1\n16.51 17 0.05 0.5 0 1\n20 21 0.1 0.2 0\n");
    EXPECT_EQ(reload(Timeline::ReloadFlashes),
              "Adding Flash, Start: 3.2 End: 3.6 Up: 0.1 Down: 0.2 Peek: 0 Strength: 1\n"
              "Adding Flash, Start: 16.51 End: 17 Up: 0.05 Down: 0.5 Peek: 0 Strength: 1\n");
    ASSERT_EQ(timeline->flashWindows().size(), 2u);
    EXPECT_EQ(timeline->flashWindows()[1].start, 16.510000228881836); // single precision
    EXPECT_EQ(g_sceneSwitch->getNumChildren(), 2u);
    EXPECT_FALSE(g_sceneSwitch->getValue(0)); // switched off until the window opens
}

TEST_F(ScriptFiles, BlackLinesRunTheEndValueIntoUp)
{
    writeFile("scripts/black.txt", "1 2 0.5 0.25 0 1");
    EXPECT_EQ(reload(Timeline::ReloadBlacks),
              "Adding Black, Start: 1 End:2Up: 0.5 Down: 0.25 Peek: 0 Strength: 1\n");
    EXPECT_EQ(timeline->blackWindows().size(), 1u);
}

TEST_F(ScriptFiles, EmptyAndMissingFilesAndUnknownKindsAddNothing)
{
    writeFile("scripts/flash.txt", "");
    EXPECT_EQ(reload(Timeline::ReloadFlashes), "");
    EXPECT_EQ(reload(Timeline::ReloadCameras), "Could not open file: scripts/cameras.txt\n");
    EXPECT_EQ(reload(Timeline::ReloadBlacks), "Could not open file: scripts/black.txt\n");
    EXPECT_EQ(reload(42), "");
    timeline->addFlash(1, 2, 0, 1, 0, 1, 5); // only white and black flashes exist
    EXPECT_TRUE(timeline->flashWindows().empty());
    EXPECT_TRUE(timeline->blackWindows().empty());
    EXPECT_TRUE(timeline->cameraWindows().empty());
    EXPECT_EQ(g_sceneSwitch->getNumChildren(), 0u);
}

TEST_F(ScriptFiles, CameraWithAMissingPathIsStillMadeAndHarmless)
{
    writeFile("scripts/cameras.txt", "12 18.5 path2.pos\n30 20 backwards.pos\n");
    EXPECT_EQ(reload(Timeline::ReloadCameras),
              "Adding Camera, Start: 12 End: 18.5 Filename: scripts/path2.pos\n"
              "Creating camera\n"
              "Loading camera pos from file: scripts/path2.pos\n"
              "File Not Found : scripts/path2.posAdding Camera, Start: 30 End: 20 Filename: scripts/backwards.pos\n"
              "Creating camera\n"
              "Loading camera pos from file: scripts/backwards.pos\n"
              "File Not Found : scripts/backwards.pos");
    ASSERT_EQ(timeline->cameraWindows().size(), 2u);
    startCamera->setLookAt(1, 2, 3, 0, 0, 0, 0, 0, 1);
    timeline->update(15.0); // the empty path leaves the pose as it was
    EXPECT_EQ(g_camera, timeline->cameraWindows()[0].camera);
    EXPECT_TRUE(g_camera->getEye() == Vector3(0, 0, -10));
    timeline->update(25.0); // a window ending before it starts never opens
    EXPECT_EQ(g_camera, startCamera);
}

TEST_F(ScriptFiles, ReloadingReplacesRatherThanAdds)
{
    writeFile("scripts/cameras.txt", "1 2 a.pos 3 4 b.pos");
    writeFile("scripts/flash.txt", "1 2 0 1 0 1\n3 4 0 1 0 1\n");
    writeFile("scripts/black.txt", "5 6 0 1 0 1\n");
    reload(Timeline::ReloadAll);
    reload(Timeline::ReloadAll);
    EXPECT_EQ(timeline->cameraWindows().size(), 2u);
    EXPECT_EQ(timeline->flashWindows().size(), 2u);
    EXPECT_EQ(timeline->blackWindows().size(), 1u);
    EXPECT_EQ(g_sceneSwitch->getNumChildren(), 3u); // old flash nodes are gone

    // Reloading while a flash is shown leaves nothing stale: the new one
    // waits for its window.
    const auto shownCount = [] {
        unsigned on = 0;
        for (unsigned i = 0; i < g_sceneSwitch->getNumChildren(); ++i)
            on += g_sceneSwitch->getValue(i) ? 1 : 0;
        return on;
    };
    timeline->update(1.5);
    EXPECT_EQ(shownCount(), 1u);
    writeFile("scripts/flash.txt", "7 8 0 1 0 1\n");
    reload(Timeline::ReloadFlashes);
    ASSERT_EQ(timeline->flashWindows().size(), 1u);
    EXPECT_EQ(timeline->flashWindows()[0].start, 7.0);
    EXPECT_EQ(g_sceneSwitch->getNumChildren(), 2u);
    EXPECT_EQ(shownCount(), 0u);
}

TEST_F(ScriptFiles, ReloadingTheCurrentCameraHandsTheViewBackToTheStartCamera)
{
    writeFile("scripts/cameras.txt", "1 10 a.pos\n5 20 b.pos\n");
    reload(Timeline::ReloadCameras);
    timeline->update(6.0);
    ASSERT_NE(g_camera, startCamera);
    reload(Timeline::ReloadCameras);
    EXPECT_EQ(g_camera, startCamera);
    timeline->update(6.5); // the new windows take over again
    EXPECT_EQ(g_camera, timeline->cameraWindows()[1].camera);
}
