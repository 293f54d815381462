#pragma once

#include <osg/Geometry>
#include <osg/Texture2D>
#include <osg/ref_ptr>

#include <map>
#include <string>

class CalRenderer;
class CalCoreMaterial;

namespace osgCal {

// Textures of the material maps by file name, read once per model; a file
// that cannot be read is kept as null so it is reported only once.
using TextureCache = std::map<std::string, osg::ref_ptr<osg::Texture2D>>;

// The drawable of the renderer's selected submesh: faces, texture
// coordinates of map 0, and room for the skinned vertices and normals, with
// the material's colours and the texture of its first map. The material may
// be null (a submesh whose thread has no material in the chosen set).
osg::ref_ptr<osg::Geometry> buildSubmeshGeometry(CalRenderer& renderer, CalCoreMaterial* material,
                                                 TextureCache& textures);

} // namespace osgCal
