#pragma once

#include "tools/contentgen/room/TriMesh.h"

#include <cstdint>
#include <vector>

namespace contentgen::room {

// The normal the 3DS reader gives a vertex: it takes the unit normals of the
// faces around the vertex in file order and renormalises after adding each,
// so the last face weighs 1/2, the one before 1/4, and so on.
std::vector<osg::Vec3d> readerNormals(const TriMesh& mesh);

// Reorders the faces (not the vertices, nor any winding) so that the
// reader's normals come close to the area-weighted ones and err alike at
// neighbouring vertices. A seeded search: the same mesh and seed always give
// the same order.
void orderFacesForReader(TriMesh& mesh, std::uint64_t seed);

} // namespace contentgen::room
