#include "tools/contentgen/room/BlobShapes.h"

#include <algorithm>
#include <cmath>

namespace contentgen::room {

namespace {

const double kPi = 3.14159265358979323846;

int stepsFor(double length, double spacing)
{
    return std::max(2, static_cast<int>(std::lround(length / spacing)));
}

double signedPow(double x, double e)
{
    return std::copysign(std::pow(std::fabs(x), e), x);
}

double bumpsAt(const std::vector<Bump>& bumps, const osg::Vec3d& p)
{
    double sum = 0.0;
    for (const Bump& b : bumps)
        sum += b.height * std::exp(-(p - b.centre).length2() / (b.width * b.width));
    return sum;
}

// Each ball alone is 1/2 at its radius; the sum of all balls at 1/2 is the
// surface.
double ballField(const std::vector<Ball>& balls, const osg::Vec3d& p)
{
    double sum = 0.0;
    for (const Ball& b : balls)
        sum += std::exp2(-(p - b.centre).length2() / (b.radius * b.radius));
    return sum;
}

// The outermost point where the field falls to the surface level along the
// ray from the origin of the cluster.
osg::Vec3d surfaceAlong(const std::vector<Ball>& balls, const osg::Vec3d& dir)
{
    const osg::Vec3d origin = balls.front().centre;
    double reach = 0.0;
    for (const Ball& b : balls)
        reach = std::max(reach, (b.centre - origin).length() + 2.0 * b.radius);
    const auto inside = [&](double r) { return ballField(balls, origin + dir * r) >= 0.5; };
    const double step = reach / 400.0;
    double hi = reach, lo = reach - step;
    while (lo > 0.0 && !inside(lo)) {
        hi = lo;
        lo -= step;
    }
    lo = std::max(lo, 0.0);
    for (int i = 0; i < 40; ++i) {
        const double mid = 0.5 * (lo + hi);
        (inside(mid) ? lo : hi) = mid;
    }
    return origin + dir * (0.5 * (lo + hi));
}

} // namespace

TriMesh roomShell(const ShellSpec& spec)
{
    const osg::Vec3d& h = spec.halfSize;
    const double n = spec.exponent;
    const auto surface = [&](const osg::Vec3d& q) {
        const double f = std::pow(std::fabs(q.x()), n) + std::pow(std::fabs(q.y()), n) + std::pow(std::fabs(q.z()), n);
        const osg::Vec3d local = osg::Vec3d(q.x() * h.x(), q.y() * h.y(), q.z() * h.z()) * std::pow(f, -1.0 / n);
        // Gradient of the superellipsoid's implicit function: the outward normal.
        osg::Vec3d outward(signedPow(local.x() / h.x(), n - 1.0) / h.x(), signedPow(local.y() / h.y(), n - 1.0) / h.y(),
                           signedPow(local.z() / h.z(), n - 1.0) / h.z());
        outward.normalize();
        const osg::Vec3d p = local + osg::Vec3d(0.0, 0.0, h.z());
        return p - outward * bumpsAt(spec.bulges, p);
    };
    const TriMesh cube = sampleCube(surface, stepsFor(2.0 * h.x(), spec.spacing), stepsFor(2.0 * h.y(), spec.spacing),
                                    stepsFor(2.0 * h.z(), spec.spacing));
    return flipped(welded(cube));
}

TriMesh pillar(const PillarSpec& spec)
{
    const double z0 = spec.floorZ - 0.6, z1 = spec.ceilingZ + 0.6;
    const double falloff = 0.7;
    const auto radiusAt = [&](double z) {
        double r = spec.radius
                   + spec.flare * (std::exp(-(z - spec.floorZ) / falloff) + std::exp(-(spec.ceilingZ - z) / falloff));
        for (const Swelling& s : spec.swellings)
            r += s.amount * std::exp(-(z - s.z) * (z - s.z) / (s.width * s.width));
        return r;
    };
    const auto surface = [&](double u, double v) {
        const double theta = 2.0 * kPi * u;
        const double z = z0 + (z1 - z0) * v;
        const double rise = (z - spec.floorZ) / (spec.ceilingZ - spec.floorZ);
        const osg::Vec2d axis = spec.base + spec.sway * std::sin(kPi * std::clamp(rise, 0.0, 1.0));
        const double r = radiusAt(z) * (1.0 + spec.lobes * std::cos(3.0 * (theta + spec.twist * z)));
        return osg::Vec3d(axis.x() + r * std::cos(theta), axis.y() + r * std::sin(theta), z);
    };
    return welded(sampleGrid(surface, spec.around, spec.along));
}

TriMesh metaballs(const std::vector<Ball>& balls, int stepsPerCubeEdge)
{
    const auto surface = [&](const osg::Vec3d& q) {
        // Tangent warp spreads the cube's grid evenly over the sphere.
        osg::Vec3d dir(std::tan(q.x() * kPi / 4.0), std::tan(q.y() * kPi / 4.0), std::tan(q.z() * kPi / 4.0));
        dir.normalize();
        return surfaceAlong(balls, dir);
    };
    return welded(sampleCube(surface, stepsPerCubeEdge, stepsPerCubeEdge, stepsPerCubeEdge));
}

} // namespace contentgen::room
