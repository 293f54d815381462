#include "tools/contentgen/room/TriMesh.h"

#include <cmath>
#include <map>

namespace contentgen::room {

namespace {

using Cell = std::array<long long, 3>;

Cell cellOf(const osg::Vec3d& p, double size)
{
    return {std::llround(p.x() / size), std::llround(p.y() / size), std::llround(p.z() / size)};
}

// Finds a point already kept within the tolerance, looking in the
// neighbouring cells too since a near pair may straddle a cell border.
class PointIndex {
public:
    explicit PointIndex(double tolerance) : tolerance_(tolerance), cell_(4.0 * tolerance) {}

    unsigned indexOf(const osg::Vec3d& p, std::vector<osg::Vec3d>& kept)
    {
        const Cell c = cellOf(p, cell_);
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy)
                for (long long dz = -1; dz <= 1; ++dz) {
                    const auto range = cells_.equal_range({c[0] + dx, c[1] + dy, c[2] + dz});
                    for (auto it = range.first; it != range.second; ++it)
                        if ((kept[it->second] - p).length() <= tolerance_)
                            return it->second;
                }
        const auto index = static_cast<unsigned>(kept.size());
        kept.push_back(p);
        cells_.insert({c, index});
        return index;
    }

private:
    double tolerance_;
    double cell_;
    std::multimap<Cell, unsigned> cells_;
};

} // namespace

void TriMesh::append(const TriMesh& other)
{
    const auto offset = static_cast<unsigned>(points.size());
    points.insert(points.end(), other.points.begin(), other.points.end());
    for (const auto& t : other.triangles)
        triangles.push_back({t[0] + offset, t[1] + offset, t[2] + offset});
}

TriMesh sampleGrid(const PointFn& f, int uSteps, int vSteps)
{
    TriMesh mesh;
    for (int i = 0; i <= uSteps; ++i)
        for (int j = 0; j <= vSteps; ++j)
            mesh.points.push_back(f(static_cast<double>(i) / uSteps, static_cast<double>(j) / vSteps));
    const auto row = static_cast<unsigned>(vSteps + 1);
    for (unsigned i = 0; i < static_cast<unsigned>(uSteps); ++i)
        for (unsigned j = 0; j < static_cast<unsigned>(vSteps); ++j) {
            const unsigned a = i * row + j, b = (i + 1) * row + j;
            // One diagonal direction everywhere: the reader's normals then
            // err alike from vertex to vertex instead of in a checkerboard.
            mesh.triangles.push_back({a, b, b + 1});
            mesh.triangles.push_back({a, b + 1, a + 1});
        }
    return mesh;
}

TriMesh sampleCube(const std::function<osg::Vec3d(const osg::Vec3d& q)>& f, int xSteps, int ySteps,
                   int zSteps)
{
    const int steps[3] = {xSteps, ySteps, zSteps};
    TriMesh mesh;
    for (int axis = 0; axis < 3; ++axis) {
        const int a = (axis + 1) % 3, b = (axis + 2) % 3;
        for (const double side : {1.0, -1.0}) {
            // e_a x e_b = e_axis: on the positive face (a, b) runs
            // counter-clockwise seen from outside, on the negative face (b, a).
            const int first = side > 0 ? a : b, second = side > 0 ? b : a;
            mesh.append(sampleGrid(
                [&](double u, double v) {
                    osg::Vec3d q;
                    q[axis] = side;
                    q[first] = 2.0 * u - 1.0;
                    q[second] = 2.0 * v - 1.0;
                    return f(q);
                },
                steps[first], steps[second]));
        }
    }
    return mesh;
}

TriMesh welded(const TriMesh& mesh, double tolerance)
{
    TriMesh out;
    PointIndex index(tolerance);
    std::vector<unsigned> remap;
    remap.reserve(mesh.points.size());
    for (const osg::Vec3d& p : mesh.points)
        remap.push_back(index.indexOf(p, out.points));
    for (const auto& t : mesh.triangles) {
        const std::array<unsigned, 3> w = {remap[t[0]], remap[t[1]], remap[t[2]]};
        if (w[0] != w[1] && w[1] != w[2] && w[0] != w[2])
            out.triangles.push_back(w);
    }
    return out;
}

TriMesh flipped(TriMesh mesh)
{
    for (auto& t : mesh.triangles)
        std::swap(t[1], t[2]);
    return mesh;
}

std::vector<osg::Vec3d> vertexNormals(const TriMesh& mesh)
{
    std::vector<osg::Vec3d> normals(mesh.points.size(), osg::Vec3d());
    for (const auto& t : mesh.triangles) {
        const osg::Vec3d& a = mesh.points[t[0]];
        const osg::Vec3d face = (mesh.points[t[1]] - a) ^ (mesh.points[t[2]] - a);
        for (unsigned i : t)
            normals[i] += face;
    }
    for (osg::Vec3d& n : normals)
        n.normalize();
    return normals;
}

osg::ref_ptr<osg::Geometry> toGeometry(const TriMesh& mesh)
{
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    for (const osg::Vec3d& p : mesh.points)
        vertices->push_back(osg::Vec3(p));
    osg::ref_ptr<osg::Vec3Array> normals = new osg::Vec3Array;
    for (const osg::Vec3d& n : vertexNormals(mesh))
        normals->push_back(osg::Vec3(n));
    osg::ref_ptr<osg::DrawElementsUInt> triangles = new osg::DrawElementsUInt(GL_TRIANGLES);
    for (const auto& t : mesh.triangles)
        triangles->insert(triangles->end(), t.begin(), t.end());
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setVertexArray(vertices.get());
    geometry->setNormalArray(normals.get(), osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(triangles.get());
    return geometry;
}

} // namespace contentgen::room
