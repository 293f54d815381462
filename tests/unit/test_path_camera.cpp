// The spline and the camera that follows it: the curve's span, the fly
// controls and their keys, shake and bump.
#include "app/Globals.h"
#include "camera/PathCamera.h"
#include "camera/Spline.h"
#include "TestSupport.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

void expectNear(const Vector3& a, const Vector3& b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

Spline lineOf(int count)
{
    Spline s;
    for (int i = 0; i < count; ++i)
        s.addPoint(Vector3(i * 10.0, i * i, -i));
    return s;
}

// Eye at the origin looking along +y with up along +z.
struct LookingNorth : ::testing::Test {
    CaptureStdout quiet;
    PathCamera camera;
    LookingNorth() { camera.setLookAt(0, 0, 0, 0, 1, 0, 0, 0, 1); }
};

} // namespace

TEST(Spline, RunsFromTheSecondPointToTheLastButOneAndClamps)
{
    EXPECT_FALSE(lineOf(3).canEvaluate());
    for (float u : {0.0f, 0.3f, 1.0f})
        expectNear(lineOf(4).at(u), lineOf(4).point(1)); // one segment's worth: the second point

    const Spline five = lineOf(5);
    expectNear(five.segment(0, 0.0f), five.point(1));
    expectNear(five.segment(0, 1.0f), five.point(2));
    expectNear(five.at(0.0f), five.point(1));
    expectNear(five.at(0.5f), five.segment(0, 0.5f));
    expectNear(five.at(1.0f), five.point(2));

    const Spline six = lineOf(6);
    expectNear(six.at(-0.3f), six.at(0.0f));
    expectNear(six.at(1.7f), six.at(1.0f));
    expectNear(six.at(std::nanf("")), six.at(0.0f));
}

TEST_F(LookingNorth, FlyControlsMoveTheWayTheKeysSay)
{
    camera.moveForward(2.0f);
    expectNear(camera.getEye(), Vector3(0, 2, 0));
    expectNear(camera.getCenter(), Vector3(0, 3, 0));
    camera.strafe(1.0f); // positive goes left
    expectNear(camera.getEye(), Vector3(-1, 2, 0));
    camera.moveUp(0.5f);
    expectNear(camera.getEye(), Vector3(-1, 2, 0.5));
    expectNear(camera.getCenter(), Vector3(-1, 3, 0.5));

    PathCamera turned, pitched, rolled;
    for (PathCamera* c : {&turned, &pitched, &rolled})
        c->setLookAt(0, 0, 0, 0, 1, 0, 0, 0, 1);
    turned.turn(0.1f);
    EXPECT_GT(turned.getCenter().x, 0.0f); // right of +y with up +z is +x
    EXPECT_EQ(turned.getEye().x, 0.0f);
    pitched.pitch(0.1f);
    EXPECT_LT(pitched.getCenter().z, 0.0f); // looks down
    EXPECT_NEAR(pitched.getUp().length(), 1.0f, 1e-5f);
    rolled.roll(0.01f); // tilts up without normalising
    EXPECT_NEAR(rolled.getUp().x, 0.01f, 1e-6f);
    EXPECT_GT(rolled.getUp().length(), 1.0f);
}

TEST_F(LookingNorth, SpeedIsInHundredthsSoTwentyFramesOfWMoveOneUnitAndZeroStopsTheKeys)
{
    std::vector<std::uint8_t> keys(SDLK_LAST, 0);
    PathCamera byKey, byHand;
    for (PathCamera* c : {&byKey, &byHand})
        c->setLookAt(0, 0, 0, 0, 1, 0, 0, 0, 1);
    byKey.setSpeed(10);
    keys[SDLK_RIGHT] = 1;
    byKey.handleKeys(keys.data());
    byHand.turn(0.1f);
    expectNear(byKey.getCenter(), byHand.getCenter());

    camera.setSpeed(5);
    keys[SDLK_RIGHT] = 0;
    keys[SDLK_w] = 1;
    for (int frame = 0; frame < 20; ++frame)
        camera.handleKeys(keys.data());
    expectNear(camera.getEye(), Vector3(0, 1, 0));
    expectNear(camera.getCenter(), Vector3(0, 2, 0));

    camera.setSpeed(0);
    keys[SDLK_a] = keys[SDLK_LEFT] = 1;
    camera.handleKeys(keys.data());
    expectNear(camera.getEye(), Vector3(0, 1, 0));
    expectNear(camera.getCenter(), Vector3(0, 2, 0));
}

TEST(PathCameraPose, LookAtNormalisesUpAPathOfTooFewPosesLeavesThePoseAloneAndADegeneratePoseDoesNotPoisonIt)
{
    CaptureStdout quiet;
    PathCamera camera("no-such-file.pos");
    camera.setLookAt(1, 2, 3, 4, 5, 6, 0, 0, 3);
    expectNear(camera.getUp(), Vector3(0, 0, 1));
    EXPECT_TRUE(camera.setPathFraction(0.5f));
    expectNear(camera.getEye(), Vector3(1, 2, 3));
    expectNear(camera.getCenter(), Vector3(4, 5, 6));

    camera.setLookAt(1, 1, 1, 1, 1, 1, 0, 0, 1); // eye on the center
    camera.moveForward(1.0f);
    camera.turn(1.0f);
    camera.pitch(1.0f);
    const Vector3 eye = camera.getEye();
    EXPECT_TRUE(std::isfinite(eye.x) && std::isfinite(eye.y) && std::isfinite(eye.z)) << "poisoned";
}

TEST_F(LookingNorth, ShakeJittersThenRestoresThePose)
{
    std::srand(7);
    camera.startShake(50);
    for (int frame = 0; frame < 49; ++frame)
        camera.updateShake();
    EXPECT_FALSE(camera.getEye() == Vector3(0, 0, 0)); // 49 frames of jitter
    camera.updateShake(); // the 50th restores
    expectNear(camera.getEye(), Vector3(0, 0, 0));
    expectNear(camera.getCenter(), Vector3(0, 1, 0));
    camera.moveForward(1.0f);
    camera.updateShake(); // finished: no more effect
    expectNear(camera.getEye(), Vector3(0, 1, 0));

    camera.startShake(1); // restores at once
    camera.moveForward(3.0f);
    camera.updateShake();
    expectNear(camera.getEye(), Vector3(0, 1, 0));
    camera.startShake(0); // does nothing
    camera.moveForward(3.0f);
    camera.updateShake();
    expectNear(camera.getEye(), Vector3(0, 4, 0));
}

TEST(PathCameraBump, PushesTheEyeTowardTheCenterOverAHalfSine)
{
    CaptureStdout quiet;
    PathCamera camera;
    camera.setLookAt(0, -20, 0, 0, 0, 0, 0, 0, 1);
    g_time = 20.0;
    camera.startBump(0.1);
    g_time = 20.05;
    camera.updateBump();
    EXPECT_NEAR(camera.getEye().y, -20.0f + 1.2f, 1e-4f);
    g_time = 20.11;
    camera.updateBump();
    expectNear(camera.getEye(), Vector3(0, -20, 0));
    g_time = 0.0;
}
