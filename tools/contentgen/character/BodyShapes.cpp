#include "tools/contentgen/character/BodyShapes.h"

#include <algorithm>
#include <cmath>

namespace contentgen::character {

namespace {

const double kPi = 3.14159265358979323846;

double ease(double a, double b, double t)
{
    const double s = t * t * (3.0 - 2.0 * t);
    return a + (b - a) * s;
}

// Where along the polyline, by arc length: centre, direction, radius.
struct Station {
    osg::Vec3d centre;
    osg::Vec3d direction;
    double radius;
};

Station stationAt(const Tube& tube, double arc)
{
    const size_t last = tube.points.size() - 1;
    double walked = 0.0;
    for (size_t i = 0; i < last; ++i) {
        osg::Vec3d step = tube.points[i + 1] - tube.points[i];
        const double length = step.length();
        step /= length;
        if (arc <= walked + length || i + 1 == last) {
            const double t = std::clamp((arc - walked) / length, 0.0, 1.0);
            // Turn the cross-section smoothly through the bends.
            osg::Vec3d direction = step;
            if (t < 0.25 && i > 0) {
                osg::Vec3d before = tube.points[i] - tube.points[i - 1];
                before.normalize();
                direction = before + (step - before) * (0.5 + 2.0 * t);
            } else if (t > 0.75 && i + 1 < last) {
                osg::Vec3d after = tube.points[i + 2] - tube.points[i + 1];
                after.normalize();
                direction = step + (after - step) * (2.0 * (t - 0.75));
            }
            direction.normalize();
            return {tube.points[i] + step * (arc - walked), direction,
                    ease(tube.radii[i], tube.radii[i + 1], t)};
        }
        walked += length;
    }
    return {tube.points.back(), osg::Vec3d(0, 0, 1), tube.radii.back()};
}

double polylineLength(const std::vector<osg::Vec3d>& points)
{
    double length = 0.0;
    for (size_t i = 0; i + 1 < points.size(); ++i)
        length += (points[i + 1] - points[i]).length();
    return length;
}

} // namespace

model::SurfaceFn tubeSurface(const Tube& tube)
{
    const double body = polylineLength(tube.points);
    const double start = tube.radii.front() * tube.startCap;
    const double end = tube.radii.back() * tube.endCap;
    return [=](double u, double v) {
        const double arc = v * (start + body + end) - start;
        Station s = stationAt(tube, std::clamp(arc, 0.0, body));
        double radius = s.radius;
        if (arc < 0.0) {
            const double k = arc / start;
            radius *= std::sqrt(std::max(0.0, 1.0 - k * k));
            s.centre += s.direction * arc;
        } else if (arc > body) {
            const double k = (arc - body) / end;
            radius *= std::sqrt(std::max(0.0, 1.0 - k * k));
            s.centre += s.direction * (arc - body);
        }
        // Right-handed (side, front, direction) keeps dP/du x dP/dv outwards.
        osg::Vec3d side = osg::Vec3d(1, 0, 0) - s.direction * s.direction.x();
        if (side.length2() < 1e-8)
            side = osg::Vec3d(0, 1, 0) - s.direction * s.direction.y();
        side.normalize();
        const osg::Vec3d front = s.direction ^ side;
        const double a = 2.0 * kPi * u;
        return s.centre + side * (radius * std::cos(a)) + front * (radius * tube.depthScale * std::sin(a));
    };
}

model::SurfaceFn ellipsoidSurface(const Ellipsoid& shape)
{
    return [=](double u, double v) {
        const double lon = 2.0 * kPi * u;
        const double low = shape.lowestLatitude ? shape.lowestLatitude(lon) : -kPi / 2.0;
        const double lat = low + (kPi / 2.0 - low) * v;
        const osg::Vec3d local(shape.radii.x() * std::cos(lat) * std::cos(lon),
                               shape.radii.y() * std::cos(lat) * std::sin(lon),
                               shape.radii.z() * std::sin(lat));
        return local * shape.place;
    };
}

model::SurfaceShape tubeShape(const Tube& tube, int around, int along)
{
    const model::SurfaceFn position = tubeSurface(tube);
    osg::Vec3d first = tube.points[1] - tube.points[0], last = tube.points.back() - tube.points[tube.points.size() - 2];
    first.normalize();
    last.normalize();
    const model::SurfaceFn normal = [=](double u, double v) {
        if (v <= 0.0)
            return -first;
        if (v >= 1.0)
            return last;
        const double h = 1e-4;
        const double lo = std::max(0.0, v - h), hi = std::min(1.0, v + h);
        osg::Vec3d n = (position(u + h, v) - position(u - h, v)) ^ (position(u, hi) - position(u, lo));
        n.normalize();
        return n;
    };
    return {position, normal, around, along};
}

model::SurfaceShape ellipsoidShape(const Ellipsoid& shape, int around, int along)
{
    const model::SurfaceFn normal = [=](double u, double v) {
        const double lon = 2.0 * kPi * u;
        const double low = shape.lowestLatitude ? shape.lowestLatitude(lon) : -kPi / 2.0;
        const double lat = low + (kPi / 2.0 - low) * v;
        // The gradient of the ellipsoid's equation, turned with the shape.
        const osg::Vec3d local(std::cos(lat) * std::cos(lon) / shape.radii.x(),
                               std::cos(lat) * std::sin(lon) / shape.radii.y(), std::sin(lat) / shape.radii.z());
        osg::Vec3d n = osg::Matrixd::transform3x3(local, shape.place);
        n.normalize();
        return n;
    };
    return {ellipsoidSurface(shape), normal, around, along};
}

Ellipsoid ellipsoidAt(const osg::Vec3d& centre, const osg::Vec3d& radii)
{
    return {radii, osg::Matrixd::translate(centre), {}};
}

} // namespace contentgen::character
