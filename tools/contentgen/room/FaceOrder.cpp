#include "tools/contentgen/room/FaceOrder.h"

#include "tools/contentgen/images/Noise.h"

#include <algorithm>
#include <numeric>

namespace contentgen::room {

namespace {

osg::Vec3d faceNormal(const TriMesh& mesh, const std::array<unsigned, 3>& t)
{
    osg::Vec3d n = (mesh.points[t[1]] - mesh.points[t[0]]) ^ (mesh.points[t[2]] - mesh.points[t[0]]);
    n.normalize();
    return n;
}

// Faces are ordered by a key each; moving one face to a new key changes the
// reader's normal at its three corners only, which keeps each step cheap.
class FaceOrderSearch {
public:
    explicit FaceOrderSearch(const TriMesh& mesh) : mesh_(mesh), target_(vertexNormals(mesh))
    {
        const std::size_t faces = mesh.triangles.size();
        facesAt_.resize(mesh.points.size());
        neighbours_.resize(mesh.points.size());
        for (std::size_t f = 0; f < faces; ++f) {
            const auto& t = mesh.triangles[f];
            faceNormals_.push_back(faceNormal(mesh, t));
            keys_.push_back(static_cast<double>(f) / static_cast<double>(faces));
            for (int k = 0; k < 3; ++k) {
                facesAt_[t[k]].push_back(static_cast<unsigned>(f));
                neighbours_[t[k]].push_back(t[(k + 1) % 3]);
            }
        }
        for (unsigned v = 0; v < mesh.points.size(); ++v)
            error_.push_back(errorAt(v));
    }

    // Tries the face at a new key and keeps the move unless it makes the
    // normals worse around the face.
    void tryMove(unsigned face, double key)
    {
        const auto& corners = mesh_.triangles[face];
        const double before = costAround(corners);
        const double oldKey = keys_[face];
        const osg::Vec3d oldErrors[3] = {error_[corners[0]], error_[corners[1]], error_[corners[2]]};
        keys_[face] = key;
        for (unsigned v : corners)
            error_[v] = errorAt(v);
        if (costAround(corners) <= before)
            return;
        keys_[face] = oldKey;
        for (int k = 0; k < 3; ++k)
            error_[corners[k]] = oldErrors[k];
    }

    std::vector<unsigned> order() const
    {
        std::vector<unsigned> faces(keys_.size());
        std::iota(faces.begin(), faces.end(), 0u);
        std::stable_sort(faces.begin(), faces.end(), [&](unsigned a, unsigned b) { return keys_[a] < keys_[b]; });
        return faces;
    }

private:
    osg::Vec3d errorAt(unsigned v) const
    {
        std::vector<unsigned> faces = facesAt_[v];
        std::sort(faces.begin(), faces.end(), [&](unsigned a, unsigned b) { return keys_[a] < keys_[b]; });
        osg::Vec3d n = faceNormals_[faces.front()];
        for (std::size_t k = 1; k < faces.size(); ++k) {
            n += faceNormals_[faces[k]];
            n.normalize();
        }
        return n - target_[v];
    }

    // How far the corners' normals are off, plus how differently they err
    // from their neighbours: an even error reads as smooth shading, an
    // uneven one as grain.
    double costAround(const std::array<unsigned, 3>& corners) const
    {
        const double evenness = 0.5;
        double cost = 0.0;
        for (unsigned v : corners) {
            cost += error_[v].length2();
            for (unsigned w : neighbours_[v])
                cost += evenness * (error_[v] - error_[w]).length2();
        }
        return cost;
    }

    const TriMesh& mesh_;
    std::vector<osg::Vec3d> target_;
    std::vector<osg::Vec3d> faceNormals_;
    std::vector<double> keys_;
    std::vector<std::vector<unsigned>> facesAt_;
    std::vector<std::vector<unsigned>> neighbours_;
    std::vector<osg::Vec3d> error_;
};

} // namespace

std::vector<osg::Vec3d> readerNormals(const TriMesh& mesh)
{
    std::vector<osg::Vec3d> normals(mesh.points.size());
    std::vector<bool> seen(mesh.points.size(), false);
    for (const auto& t : mesh.triangles) {
        const osg::Vec3d face = faceNormal(mesh, t);
        for (unsigned v : t) {
            normals[v] = seen[v] ? normals[v] + face : face;
            normals[v].normalize();
            seen[v] = true;
        }
    }
    return normals;
}

void orderFacesForReader(TriMesh& mesh, std::uint64_t seed)
{
    if (mesh.triangles.empty())
        return;
    FaceOrderSearch search(mesh);
    img::Random random(seed);
    const std::size_t moves = 20 * mesh.triangles.size();
    for (std::size_t i = 0; i < moves; ++i) {
        const auto face = static_cast<unsigned>(random.next() % mesh.triangles.size());
        const double key = static_cast<double>(random.next() >> 11) * 0x1.0p-53;
        search.tryMove(face, key);
    }
    std::vector<std::array<unsigned, 3>> ordered;
    for (unsigned f : search.order())
        ordered.push_back(mesh.triangles[f]);
    mesh.triangles = std::move(ordered);
}

} // namespace contentgen::room
