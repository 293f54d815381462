#pragma once

#include "camera/Vector3.h"

#include <cstddef>
#include <vector>

// A uniform Catmull-Rom curve over a list of points. The curve runs from the
// second point (u = 0) to the fourth-last point (u = 1); the outer points only
// shape the ends, which is why recordings repeat their first and last pose.
class Spline
{
public:
    void addPoint(const Vector3& p) { m_points.push_back(p); }
    std::size_t size() const { return m_points.size(); }
    const Vector3& point(std::size_t i) const { return m_points.at(i); }

    // Segment i through points i..i+3 at local parameter t in [0, 1].
    // Requires i + 3 < size().
    Vector3 segment(std::size_t i, float t) const;

    // The curve at fraction u of its whole length in segments (u clamped to
    // [0, 1]). Requires canEvaluate().
    Vector3 at(float u) const;

    bool canEvaluate() const { return m_points.size() >= 4; }

private:
    std::vector<Vector3> m_points;
};
