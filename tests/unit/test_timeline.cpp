// The timeline's windows, and the timing scripts read into it.
#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <osg/Switch>

#include <cstdio>
#include <vector>

namespace {

// Records what the timeline does to it.
class RecordingEffect : public Demo::CFX
{
public:
    RecordingEffect() : m_node(new osg::Group) {}
    void update() override { clockAtUpdate.push_back(time()); }
    osg::ref_ptr<osg::Group> getNode() override { return m_node; }
    std::vector<double> clockAtUpdate;

private:
    osg::ref_ptr<osg::Group> m_node;
};

// A run folder with the flash images, the scene switch and a start camera.
struct TimelineTest : ::testing::Test {
    ScratchDir dir;
    CaptureStdout quiet;
    PathCamera startCamera;
    osg::ref_ptr<osg::Switch> root = new osg::Switch;
    Timeline* timeline = nullptr;

    TimelineTest()
    {
        writeTestImage("demodata/white.jpg", 255);
        writeTestImage("demodata/black.jpg", 0);
        g_camera = &startCamera;
        g_sceneSwitch = root;
        timeline = new Timeline;
    }
    ~TimelineTest() override
    {
        delete timeline;
        g_camera = nullptr;
        g_sceneSwitch = nullptr;
    }
    bool attached(osg::Node* node) const { return root->containsNode(node); }
    bool shown(osg::Node* node) const { return root->getChildValue(node); }
    std::string reload(int which)
    {
        CaptureStdout out;
        timeline->reload(which);
        return out.text();
    }
};

} // namespace

TEST_F(TimelineTest, NodeWindowOpensStrictlyInsideClosesStrictlyPastReopensAfterABackwardJumpAndJumpsOverItShowNothing)
{
    osg::ref_ptr<osg::Node> scope = new osg::Group, empty = new osg::Group, skipped = new osg::Group;
    const double end = ShowTimes::kOpeningScopeEnd;
    timeline->addNode(0.0, end, root.get(), scope.get());
    timeline->addNode(5.0, 5.0, root.get(), empty.get());
    timeline->addNode(20.0, 22.0, root.get(), skipped.get());
    timeline->update(0.0);
    EXPECT_FALSE(attached(scope.get()));
    timeline->update(0.001);
    EXPECT_TRUE(attached(scope.get()));
    EXPECT_TRUE(shown(scope.get()));
    timeline->update(end);
    EXPECT_TRUE(attached(scope.get()));
    timeline->update(end + 1e-9);
    EXPECT_FALSE(attached(scope.get()));
    for (double t : {4.0, 5.0, 6.0, 19.0, 30.0}) {
        timeline->update(t);
        EXPECT_FALSE(attached(empty.get()));
        EXPECT_FALSE(attached(skipped.get()));
    }
    EXPECT_FALSE(timeline->nodeWindows()[2].attached);

    // After a backward jump closed windows reopen, and open ones stay open
    // until their end passes again.
    timeline->update(21.0);
    EXPECT_TRUE(attached(skipped.get()));
    timeline->update(0.01);
    EXPECT_TRUE(attached(scope.get()));
    EXPECT_TRUE(attached(skipped.get()));
    timeline->update(23.0);
    EXPECT_FALSE(attached(skipped.get()));
}

TEST_F(TimelineTest, EffectOpensWithARestartedClockAndIsUpdatedThatFrame)
{
    RecordingEffect effect;
    effect.time(); // a clock that ran before must restart at the opening
    timeline->addEffect(1.0, 2.0, root.get(), &effect);
    osg::Node* node = effect.getNode().get();
    EXPECT_TRUE(attached(node));
    EXPECT_FALSE(shown(node)); // registered switched off
    timeline->update(0.5);
    EXPECT_TRUE(effect.clockAtUpdate.empty());
    timeline->update(1.5);
    EXPECT_TRUE(shown(node));
    ASSERT_EQ(effect.clockAtUpdate.size(), 1u);
    EXPECT_EQ(effect.clockAtUpdate[0], 0.0);
    timeline->update(2.0); // at the end: neither updated nor switched off
    EXPECT_EQ(effect.clockAtUpdate.size(), 1u);
    EXPECT_TRUE(shown(node));
    timeline->update(2.1);
    EXPECT_FALSE(shown(node));
    EXPECT_EQ(effect.clockAtUpdate.size(), 1u);
}

// A recording started before the switches follows the current camera, so the
// key that ends it, read by whichever camera is current then, closes it.
TEST_F(TimelineTest, OverlappingCamerasRestoreWhatWasCurrentWhenTheyOpenedAndTakeTheRecordingAlong)
{
    auto* a = new PathCamera;
    auto* b = new PathCamera;
    timeline->addCamera(10.0, 20.0, a);
    timeline->addCamera(15.0, 25.0, b);
    ASSERT_TRUE(startCamera.openPoseRecording("rec.pos"));
    timeline->update(12.0);
    EXPECT_EQ(g_camera, a);
    timeline->update(16.0);
    EXPECT_EQ(g_camera, b);
    timeline->update(21.0); // A closes first: back to the camera from before A
    EXPECT_EQ(g_camera, &startCamera);
    timeline->update(26.0); // then B restores A's camera
    EXPECT_EQ(g_camera, a);
    g_camera->writePose();
    g_camera->closeRecordings();
    EXPECT_FALSE(startCamera.isRecordingPoses() || b->isRecordingPoses());
    const std::string recorded = readFile("rec.pos");
    EXPECT_EQ(std::count(recorded.begin(), recorded.end(), '\n'), 1);
}

TEST_F(TimelineTest, CameraFollowsItsPathFractionInsideTheWindow)
{
    auto* camera = new PathCamera;
    // Eye x runs 0..4 over five poses: the curve spans x 1 to 2.
    writeFile("path.pos", "0 0 0 0 1 0 0 0 1\n1 0 0 0 1 0 0 0 1\n2 0 0 0 1 0 0 0 1\n"
                          "3 0 0 0 1 0 0 0 1\n4 0 0 0 1 0 0 0 1\n");
    camera->load("path.pos");
    timeline->addCamera(10.0, 20.0, camera);
    timeline->update(10.001);
    EXPECT_GT(camera->getEye().x, 1.0f);
    EXPECT_LT(camera->getEye().x, 1.01f);
    timeline->update(19.999);
    EXPECT_LT(camera->getEye().x, 2.0f);
    EXPECT_GT(camera->getEye().x, 1.99f);
}

TEST_F(TimelineTest, ScriptLinesArePrintedAndStopAtTheFirstIncompleteRecordEmptyAndMissingFilesAddNothing)
{
    writeFile("scripts/flash.txt", "3.2 3.6 0.1 0.2 0 1\n16.51 17 0.05 0.5 0 1\n20 21 0.1 0.2 0\n");
    EXPECT_EQ(reload(Timeline::ReloadFlashes),
              "Adding Flash, Start: 3.2 End: 3.6 Up: 0.1 Down: 0.2 Peek: 0 Strength: 1\n"
              "Adding Flash, Start: 16.51 End: 17 Up: 0.05 Down: 0.5 Peek: 0 Strength: 1\n");
    ASSERT_EQ(timeline->flashWindows().size(), 2u);
    EXPECT_EQ(timeline->flashWindows()[1].start, 16.510000228881836); // single precision
    EXPECT_EQ(g_sceneSwitch->getNumChildren(), 2u);
    EXPECT_FALSE(g_sceneSwitch->getValue(0)); // switched off until the window opens

    // A black line runs the end value into "Up".
    writeFile("scripts/black.txt", "1 2 0.5 0.25 0 1");
    EXPECT_EQ(reload(Timeline::ReloadBlacks), "Adding Black, Start: 1 End:2Up: 0.5 Down: 0.25 Peek: 0 Strength: 1\n");
    EXPECT_EQ(timeline->blackWindows().size(), 1u);

    // Empty and missing files leave the lists empty, as do unknown kinds.
    std::remove("scripts/black.txt");
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

TEST_F(TimelineTest, CameraWithAMissingPathIsStillMadeAndHarmless)
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
    startCamera.setLookAt(1, 2, 3, 0, 0, 0, 0, 0, 1);
    timeline->update(15.0); // the empty path leaves the pose as it was
    EXPECT_EQ(g_camera, timeline->cameraWindows()[0].camera);
    EXPECT_TRUE(g_camera->getEye() == Vector3(0, 0, -10));
    timeline->update(25.0); // a window ending before it starts never opens
    EXPECT_EQ(g_camera, &startCamera);
}

TEST_F(TimelineTest, ReloadingReplacesRatherThanAddsAndHandsTheViewBackToTheStartCamera)
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

    // Reloading the current camera hands the view back to the start camera.
    writeFile("scripts/cameras.txt", "1 10 a.pos\n5 20 b.pos\n");
    reload(Timeline::ReloadCameras);
    timeline->update(6.0);
    ASSERT_NE(g_camera, &startCamera);
    reload(Timeline::ReloadCameras);
    EXPECT_EQ(g_camera, &startCamera);
    timeline->update(6.5); // the new windows take over again
    EXPECT_EQ(g_camera, timeline->cameraWindows()[1].camera);
}
