#pragma once

#include <cmath>

// The camera code's single-precision vector. Scalars arrive as doubles and
// products are rounded back to float, as the recorded paths expect.
struct Vector3
{
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vector3() = default;
    Vector3(double ax, double ay, double az)
        : x(static_cast<float>(ax)), y(static_cast<float>(ay)), z(static_cast<float>(az)) {}

    Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vector3& operator+=(const Vector3& o)
    {
        x += o.x; y += o.y; z += o.z;
        return *this;
    }
    Vector3 operator*(double s) const { return {x * s, y * s, z * s}; }
    bool operator==(const Vector3& o) const { return x == o.x && y == o.y && z == o.z; }

    float length() const { return std::sqrt(x * x + y * y + z * z); }
};

inline Vector3 cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A zero-length vector stays zero instead of turning into NaNs: a degenerate
// pose (eye on the center, up along the view) then simply does not move,
// rather than poisoning every later frame.
inline Vector3 normalized(const Vector3& v)
{
    const float len = v.length();
    if (!(len > 0.0f) || !std::isfinite(len))
        return {};
    const float inv = 1.0f / len;
    return {v.x * inv, v.y * inv, v.z * inv};
}
