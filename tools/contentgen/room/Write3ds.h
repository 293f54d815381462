#pragma once

#include <osg/Node>

#include <map>
#include <string>
#include <vector>

namespace contentgen::room {

using Bytes = std::vector<unsigned char>;

// What the scene graph's 3DS writer makes of a node: the model file and the
// texture images it writes beside it, by the names the model refers to.
struct Encoded3ds {
    Bytes model;
    std::map<std::string, Bytes> images;
};

// Writes the node with the osgdb_3ds plug-in. That writer leaves every face
// out of all smoothing groups, which makes its reader shade each triangle
// flat; the faces are put into one group instead, so the reader averages the
// normals of every mesh across its shared vertices.
Encoded3ds encode3ds(const osg::Node& node);

// Puts every face of every mesh in the file into smoothing group 1.
void smoothAllFaces(Bytes& file3ds);

} // namespace contentgen::room
