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
