#include "camera/Spline.h"

namespace {

float catmullRom(float t, float p0, float p1, float p2, float p3)
{
    return 0.5f * (t * ((1.0f + 4.0f * t - 3.0f * t * t) * p2 - (1.0f - t) * (1.0f - t) * p0)
                   + (2.0f - 5.0f * t * t + 3.0f * t * t * t) * p1
                   - (1.0f - t) * t * t * p3);
}

} // namespace

Vector3 Spline::segment(std::size_t i, float t) const
{
    const Vector3& p0 = m_points.at(i);
    const Vector3& p1 = m_points.at(i + 1);
    const Vector3& p2 = m_points.at(i + 2);
    const Vector3& p3 = m_points.at(i + 3);
    Vector3 r;
    r.x = catmullRom(t, p0.x, p1.x, p2.x, p3.x);
    r.y = catmullRom(t, p0.y, p1.y, p2.y, p3.y);
    r.z = catmullRom(t, p0.z, p1.z, p2.z, p3.z);
    return r;
}

Vector3 Spline::at(float u) const
{
    if (!(u > 0.0f)) // also catches NaN
        u = 0.0f;
    if (u > 1.0f)
        u = 1.0f;
    const float s = u * static_cast<float>(m_points.size() - 4);
    const auto i = static_cast<std::size_t>(s);
    return segment(i, s - static_cast<float>(i));
}
