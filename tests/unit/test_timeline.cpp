#include "app/Globals.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/Switch>

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

struct TimelineTest : ::testing::Test {
    CaptureStdout quiet;
    PathCamera startCamera;
    Timeline* timeline = nullptr;
    osg::ref_ptr<osg::Switch> root = new osg::Switch;

    TimelineTest()
    {
        g_camera = &startCamera;
        timeline = new Timeline;
    }
    ~TimelineTest() override
    {
        delete timeline;
        g_camera = nullptr;
    }
    bool attached(osg::Node* node) const { return root->containsNode(node); }
    bool shown(osg::Node* node) const { return root->getChildValue(node); }
};

} // namespace

TEST_F(TimelineTest, NodeWindowOpensStrictlyInsideClosesStrictlyPastAndJumpsOverItShowNothing)
{
    osg::ref_ptr<osg::Node> scope = new osg::Group, empty = new osg::Group, skipped = new osg::Group;
    const double end = 16.513636363636362;
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
}

TEST_F(TimelineTest, WindowsReopenAfterABackwardJumpAndOpenOnesStayOpen)
{
    osg::ref_ptr<osg::Node> early = new osg::Group, current = new osg::Group;
    timeline->addNode(10.0, 20.0, root.get(), early.get());
    timeline->addNode(40.0, 60.0, root.get(), current.get());
    timeline->update(15.0);
    timeline->update(50.0); // early closed, current open
    EXPECT_FALSE(attached(early.get()));
    EXPECT_TRUE(attached(current.get()));
    timeline->update(0.01); // back to the start
    EXPECT_TRUE(attached(current.get())); // stays until its end passes again
    timeline->update(15.0);
    EXPECT_TRUE(attached(early.get()));
    timeline->update(61.0);
    EXPECT_FALSE(attached(current.get()));
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

TEST_F(TimelineTest, OverlappingCamerasRestoreWhatWasCurrentWhenTheyOpened)
{
    auto* a = new PathCamera;
    auto* b = new PathCamera;
    timeline->addCamera(10.0, 20.0, a);
    timeline->addCamera(15.0, 25.0, b);
    timeline->update(12.0);
    EXPECT_EQ(g_camera, a);
    timeline->update(16.0);
    EXPECT_EQ(g_camera, b);
    timeline->update(21.0); // A closes first: back to the camera from before A
    EXPECT_EQ(g_camera, &startCamera);
    timeline->update(26.0); // then B restores A's camera
    EXPECT_EQ(g_camera, a);
}

TEST_F(TimelineTest, CameraFollowsItsPathFractionInsideTheWindow)
{
    ScratchDir dir;
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
