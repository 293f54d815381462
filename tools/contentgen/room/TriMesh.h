#pragma once

#include <osg/Geometry>
#include <osg/Vec3d>
#include <osg/ref_ptr>

#include <array>
#include <functional>
#include <vector>

namespace contentgen::room {

// An indexed triangle list. The 3DS format carries no normals: the reader
// averages face normals over the triangles that share a vertex, so smooth
// shading needs every seam welded into shared vertices.
struct TriMesh {
    std::vector<osg::Vec3d> points;
    std::vector<std::array<unsigned, 3>> triangles;

    void append(const TriMesh& other);
};

using PointFn = std::function<osg::Vec3d(double u, double v)>;

// Samples f over u, v in 0..1 on a grid of the given steps, two triangles per
// cell, each wound so its normal follows dP/du x dP/dv.
TriMesh sampleGrid(const PointFn& f, int uSteps, int vSteps);

// The six faces of the cube [-1, 1]^3 on grids of the given steps per axis,
// each cube point q mapped through f. With an f that keeps the cube's
// orientation the triangles face outwards.
TriMesh sampleCube(const std::function<osg::Vec3d(const osg::Vec3d& q)>& f, int xSteps, int ySteps,
                   int zSteps);

// Merges points that lie within the tolerance of each other (grid seams,
// poles, cube edges) and drops the triangles that collapse.
TriMesh welded(const TriMesh& mesh, double tolerance = 1e-6);

// Reverses every triangle, for surfaces seen from inside.
TriMesh flipped(TriMesh mesh);

// Area-weighted vertex normals.
std::vector<osg::Vec3d> vertexNormals(const TriMesh& mesh);

// Geometry with per-vertex normals and one GL_TRIANGLES set.
osg::ref_ptr<osg::Geometry> toGeometry(const TriMesh& mesh);

} // namespace contentgen::room
