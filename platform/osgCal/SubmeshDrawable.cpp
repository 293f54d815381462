#include "platform/osgCal/SubmeshDrawable.h"

#include <cal3d/cal3d.h>
#include <osg/Material>
#include <osgDB/ReadFile>

#include <iostream>
#include <vector>

namespace osgCal {

namespace {

osg::Vec4 toColour(const unsigned char rgba[4])
{
    return osg::Vec4(rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, 1.0f);
}

osg::ref_ptr<osg::Material> materialOf(CalRenderer& renderer)
{
    unsigned char ambient[4], diffuse[4], specular[4];
    renderer.getAmbientColor(ambient);
    renderer.getDiffuseColor(diffuse);
    renderer.getSpecularColor(specular);
    osg::ref_ptr<osg::Material> material = new osg::Material;
    material->setAmbient(osg::Material::FRONT_AND_BACK, toColour(ambient));
    material->setDiffuse(osg::Material::FRONT_AND_BACK, toColour(diffuse));
    material->setSpecular(osg::Material::FRONT_AND_BACK, toColour(specular));
    material->setShininess(osg::Material::FRONT_AND_BACK, std::min(128.0f, std::max(0.0f, renderer.getShininess())));
    return material;
}

osg::Texture2D* textureFor(const std::string& file, TextureCache& textures)
{
    const auto known = textures.find(file);
    if (known != textures.end())
        return known->second.get();
    osg::ref_ptr<osg::Texture2D> texture;
    if (osg::ref_ptr<osg::Image> image = osgDB::readImageFile(file)) {
        texture = new osg::Texture2D(image.get());
        texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
        texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
    } else {
        std::cout << "osgCal: cannot read texture image " << file << std::endl;
    }
    textures[file] = texture;
    return texture.get();
}

osg::ref_ptr<osg::DrawElementsUInt> facesOf(CalRenderer& renderer)
{
    std::vector<CalIndex> faces(static_cast<size_t>(renderer.getFaceCount()) * 3);
    const int count = faces.empty() ? 0 : renderer.getFaces(faces.data());
    osg::ref_ptr<osg::DrawElementsUInt> triangles = new osg::DrawElementsUInt(GL_TRIANGLES);
    triangles->reserve(static_cast<size_t>(std::max(count, 0)) * 3);
    for (int i = 0; i < std::max(count, 0) * 3; ++i)
        triangles->push_back(static_cast<unsigned>(faces[static_cast<size_t>(i)]));
    return triangles;
}

// Texture coordinates of map 0, or null when the submesh has none.
osg::ref_ptr<osg::Vec2Array> textureCoordinatesOf(CalRenderer& renderer, unsigned vertexCount)
{
    if (renderer.getMapCount() < 1 || vertexCount == 0)
        return nullptr;
    osg::ref_ptr<osg::Vec2Array> coords = new osg::Vec2Array(vertexCount);
    if (renderer.getTextureCoordinates(0, &(*coords)[0].x()) < 0)
        return nullptr;
    return coords;
}

} // namespace

osg::ref_ptr<osg::Geometry> buildSubmeshGeometry(CalRenderer& renderer, CalCoreMaterial* material,
                                                 TextureCache& textures)
{
    const unsigned vertexCount = static_cast<unsigned>(std::max(renderer.getVertexCount(), 0));
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    // Skinning rewrites the arrays every frame: draw them straight from
    // memory instead of rebuilding display lists or buffers.
    geometry->setDataVariance(osg::Object::DYNAMIC);
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(false);
    geometry->setVertexArray(new osg::Vec3Array(vertexCount));
    geometry->setNormalArray(new osg::Vec3Array(vertexCount), osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(facesOf(renderer));

    // One colour for the whole submesh: with colour tracking on, the
    // material's diffuse colour still reaches the lighting.
    unsigned char diffuse[4];
    renderer.getDiffuseColor(diffuse);
    osg::ref_ptr<osg::Vec4Array> colour = new osg::Vec4Array(1);
    (*colour)[0] = toColour(diffuse);
    geometry->setColorArray(colour.get(), osg::Array::BIND_OVERALL);

    osg::StateSet* state = geometry->getOrCreateStateSet();
    state->setAttributeAndModes(materialOf(renderer).get());
    const osg::ref_ptr<osg::Vec2Array> coords = textureCoordinatesOf(renderer, vertexCount);
    if (material && coords && !material->getVectorMap().empty()) {
        if (osg::Texture2D* texture = textureFor(material->getVectorMap().front().strFilename, textures)) {
            geometry->setTexCoordArray(0, coords.get(), osg::Array::BIND_PER_VERTEX);
            state->setTextureAttributeAndModes(0, texture);
        }
    }
    return geometry;
}

} // namespace osgCal
