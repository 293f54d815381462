#pragma once

#include "tools/contentgen/model/Surface.h"

#include <osg/Matrixd>
#include <osg/Vec3d>

#include <vector>

namespace contentgen::character {

// A rounded tube along a polyline: its radius eases from key point to key
// point, the cross-section is an ellipse (depth = radius x depthScale), and
// each end closes with a dome capScale radii long.
struct Tube {
    std::vector<osg::Vec3d> points;
    std::vector<double> radii;
    double depthScale = 1.0;
    double startCap = 1.0;
    double endCap = 1.0;
};
model::SurfaceFn tubeSurface(const Tube& tube);

// An ellipsoid with the given radii along its own axes, placed by `place`
// (rotation and translation). lowestLatitude(longitude) trims its bottom,
// longitude 0 at +x and growing towards +y: a cap or a fringe of hair.
struct Ellipsoid {
    osg::Vec3d radii;
    osg::Matrixd place;
    std::function<double(double)> lowestLatitude;
};
model::SurfaceFn ellipsoidSurface(const Ellipsoid& shape);

Ellipsoid ellipsoidAt(const osg::Vec3d& centre, const osg::Vec3d& radii);

// Grids of the shapes with their exact normals. Derivatives vanish at the
// poles of small shapes, and a wrong normal on a mesh's first face makes
// Cal3D's loader flip the whole submesh inside out.
model::SurfaceShape tubeShape(const Tube& tube, int around, int along);
model::SurfaceShape ellipsoidShape(const Ellipsoid& shape, int around, int along);

} // namespace contentgen::character
