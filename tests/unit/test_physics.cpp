// The box rain: the table limit, the pose copy guarded by the body's index,
// gravity halved once, and the timeline's step and restart windows.
#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "scenes/Physics.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/NodeVisitor>

#include <cstdint>
#include <vector>

namespace {

struct BoxRain : ::testing::Test {
    BoxRain()
    {
        if (!g_world)
            initPhysics();
        g_gravityHalvingPending = true;
        dWorldSetGravity(g_world, 0.0, g_gravityY, 0.0);
        g_frameDelta = 1.0 / 60.0;
    }

    // A few boxes of this test's own, while the table has room.
    std::vector<PhysicsBox*> addBoxes(int count)
    {
        std::vector<PhysicsBox*> made;
        for (int i = 0; i < count && g_boxCount < kMaxPhysicsBoxes; ++i) {
            addPhysicsBox(osg::Vec3(static_cast<float>(i * 3), 4.0f + i, 0.0f));
            made.push_back(g_boxes[g_boxCount - 1]);
        }
        return made;
    }

    static void runCallbacks(const std::vector<PhysicsBox*>& boxes)
    {
        osg::NodeVisitor visitor(osg::NodeVisitor::UPDATE_VISITOR, osg::NodeVisitor::TRAVERSE_ALL_CHILDREN);
        for (PhysicsBox* box : boxes)
            box->transform->getUpdateCallback()->run(box->transform, &visitor);
    }
};

TEST_F(BoxRain, BoxesFallAndComeToRestOnTheGround)
{
    const std::vector<PhysicsBox*> boxes = addBoxes(3);
    for (int frame = 0; frame < 240; ++frame)
        stepPhysics();
    runCallbacks(boxes);
    for (PhysicsBox* box : boxes) {
        const float y = box->transform->getPosition().y();
        // Resting on the plane: the soft contacts let it sink a little, but
        // the centre stays about half an edge up, never through it.
        EXPECT_GT(y, box->size * 0.5f - 0.1f);
        EXPECT_LT(y, box->size * 0.9f);
        EXPECT_LT(dLENGTH(dBodyGetLinearVel(box->body)), 0.5);
    }
}

TEST_F(BoxRain, AStepAndARestartInOneFrameEndAtTheStartPosesAndHalveGravityOnce)
{
    const std::vector<PhysicsBox*> boxes = addBoxes(2);
    CaptureStdout quiet;
    PathCamera camera;
    g_camera = &camera;
    Timeline timeline;
    namespace Segment = ShowTimes::LightScene;
    const double restart = Segment::kRestarts[0];
    timeline.addPhysics(Segment::kBoxRainStart, Segment::kEnd, Timeline::StepPhysics);
    timeline.addPhysics(restart, restart + Segment::kRestartSeconds, Timeline::RestartBoxRain);
    for (double t = Segment::kBoxRainStart + 0.5; t < restart; t += 1.0 / 60.0)
        timeline.update(t);
    runCallbacks(boxes);
    ASSERT_LT(boxes[0]->transform->getPosition().y(), boxes[0]->startPosition.y() - 1.0f) << "the boxes fell";

    timeline.update(restart + 0.5);
    runCallbacks(boxes);
    // The first restart halves gravity, once: the second leaves it.
    restartBoxRain();
    dVector3 gravity;
    dWorldGetGravity(g_world, gravity);
    EXPECT_DOUBLE_EQ(gravity[1], -45.0);
    EXPECT_DOUBLE_EQ(g_gravityY, -90.0);
    for (PhysicsBox* box : boxes) {
        EXPECT_EQ(box->transform->getPosition(), box->startPosition);
        const dReal* p = dBodyGetPosition(box->body);
        EXPECT_FLOAT_EQ(static_cast<float>(p[1]), box->startPosition.y());
        const osg::Quat start(box->angle, box->axis);
        const osg::Quat now = box->transform->getAttitude();
        EXPECT_NEAR(std::abs(now.asVec4() * start.asVec4()), 1.0, 1e-5);
    }
}

TEST_F(BoxRain, ThePoseCopyIgnoresBodiesOutsideTheTable)
{
    const std::vector<PhysicsBox*> boxes = addBoxes(1);
    ASSERT_EQ(boxes.size(), 1u);
    const osg::Vec3 before = boxes[0]->transform->getPosition();
    for (std::intptr_t index : {std::intptr_t(-1), std::intptr_t(kMaxPhysicsBoxes)}) {
        dBodyID stranger = dBodyCreate(g_world);
        dBodySetPosition(stranger, 50.0, 50.0, 50.0);
        dBodySetData(stranger, reinterpret_cast<void*>(index));
        osg::ref_ptr<MyCallback> callback = new MyCallback(stranger);
        osg::NodeVisitor visitor;
        (*callback)(boxes[0]->transform, &visitor);
        dBodyDestroy(stranger);
    }
    for (int i = 0; i < g_boxCount; ++i)
        EXPECT_NE(g_boxes[i]->transform->getPosition(), osg::Vec3(50.0f, 50.0f, 50.0f));
    EXPECT_EQ(boxes[0]->transform->getPosition(), before);
}

// Last in the file: it fills the table.
TEST_F(BoxRain, TheTableHoldsAtMost128Boxes)
{
    while (g_boxCount < kMaxPhysicsBoxes)
        ASSERT_EQ(addPhysicsBox(osg::Vec3(0.0f, 200.0f, 0.0f))->getNumChildren(), 1u);
    osg::ref_ptr<osg::PositionAttitudeTransform> extra = addPhysicsBox(osg::Vec3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(extra->getNumChildren(), 0u);
    EXPECT_EQ(g_boxCount, kMaxPhysicsBoxes);
}

} // namespace
