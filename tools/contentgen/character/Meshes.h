#pragma once

#include <string>
#include <vector>

class CalCoreMesh;

namespace contentgen::character {

// Materials in configuration order: material m is the one of thread m.
enum Material { Skin, Shirt, Trousers, Shoes, Hair, EyeWhite, Dark, MaterialCount };

struct NamedMesh {
    std::string name;
    CalCoreMesh* mesh;
};

// The dancer's meshes: its skin, its clothes and its face, one submesh per
// material, skinned to the bones of Rig.h.
std::vector<NamedMesh> buildMeshes();

} // namespace contentgen::character
