#pragma once

#include <osg/Geometry>
#include <osg/Vec3d>
#include <osg/ref_ptr>

#include <functional>

namespace contentgen::model {

using SurfaceFn = std::function<osg::Vec3d(double u, double v)>;

// A surface sampled over u, v in 0..1 on a regular grid. Without a normal
// function the normals come from the surface's own derivatives, so they stay
// smooth wherever the surface is; then the parametrisation must make
// dP/du x dP/dv point outwards.
struct SurfaceShape {
    SurfaceFn position;
    SurfaceFn normal;  // optional
    int uSteps = 16;
    int vSteps = 16;
};

// Triangles wound counter-clockwise seen from the normal's side, so culling
// and outline passes see the outside as front. Collapsed triangles (at poles)
// are left out.
osg::ref_ptr<osg::Geometry> buildSurface(const SurfaceShape& shape);

} // namespace contentgen::model
