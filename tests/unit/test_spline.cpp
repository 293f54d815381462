#include "camera/Spline.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Spline lineOf(int count)
{
    Spline s;
    for (int i = 0; i < count; ++i)
        s.addPoint(Vector3(i * 10.0, i * i, -i));
    return s;
}

void expectNear(const Vector3& a, const Vector3& b)
{
    EXPECT_NEAR(a.x, b.x, 1e-4);
    EXPECT_NEAR(a.y, b.y, 1e-4);
    EXPECT_NEAR(a.z, b.z, 1e-4);
}

} // namespace

TEST(Spline, SegmentPassesThroughItsInnerPoints)
{
    const Spline s = lineOf(4);
    expectNear(s.segment(0, 0.0f), s.point(1));
    expectNear(s.segment(0, 1.0f), s.point(2));
}

TEST(Spline, FivePointsRunFromTheSecondToTheThird)
{
    const Spline s = lineOf(5);
    expectNear(s.at(0.0f), s.point(1));
    expectNear(s.at(0.5f), s.segment(0, 0.5f));
    expectNear(s.at(1.0f), s.point(2));
}

TEST(Spline, FractionIsClampedToTheCurve)
{
    const Spline s = lineOf(6);
    expectNear(s.at(-0.3f), s.at(0.0f));
    expectNear(s.at(1.7f), s.at(1.0f));
    expectNear(s.at(std::nanf("")), s.at(0.0f));
}

TEST(Spline, FourPointsGiveTheSecondPointEverywhere)
{
    const Spline s = lineOf(4);
    for (float u : {0.0f, 0.3f, 1.0f})
        expectNear(s.at(u), s.point(1));
}

TEST(Spline, RecordedPathVisitsEveryWayPointAtEqualShares)
{
    // As recorded: the first pose twice, three way points, the last three times.
    const Vector3 start(0, 0, 0), a(5, 1, 0), b(9, -3, 2), c(2, 8, 1), end(-4, 4, 4);
    Spline s;
    for (const Vector3& p : {start, start, a, b, c, end, end, end})
        s.addPoint(p);
    expectNear(s.at(0.0f), start);
    expectNear(s.at(0.25f), a);
    expectNear(s.at(0.5f), b);
    expectNear(s.at(0.75f), c);
    expectNear(s.at(1.0f), end);
}

TEST(Spline, TooFewPointsCannotBeEvaluated)
{
    EXPECT_FALSE(lineOf(3).canEvaluate());
    EXPECT_TRUE(lineOf(4).canEvaluate());
}
