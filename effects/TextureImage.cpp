#include "effects/TextureImage.h"

#include "effects/FileException.h"
#include "effects/OverlayLayer.h"

#include <osgDB/ReadFile>
#include <osgDB/Registry>

namespace Demo {
namespace Image {

CTextureImage::CTextureImage(const std::string& path)
{
    loadTexture(path);
    buildQuad();
}

void CTextureImage::loadTexture(const std::string& path)
{
    texture = new osg::Texture2D;
    image = osgDB::readImageFile(path, osgDB::Registry::instance()->getOptions());
    if (!image)
        throw CFileException{"Texutre image file not found: " + path};
    texture->setDataVariance(osg::Object::DYNAMIC);
    texture->setImage(image);
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
}

void CTextureImage::buildQuad()
{
    vertices = new osg::Vec3Array;
    vertices->push_back(osg::Vec3(0, 0, 0));
    vertices->push_back(osg::Vec3(800, 0, 0));
    vertices->push_back(osg::Vec3(800, 600, 0));
    vertices->push_back(osg::Vec3(0, 600, 0));
    texCoords = new osg::Vec2Array;
    texCoords->push_back(osg::Vec2(0, 0));
    texCoords->push_back(osg::Vec2(1, 0));
    texCoords->push_back(osg::Vec2(1, 1));
    texCoords->push_back(osg::Vec2(0, 1));
    colours = new osg::Vec4Array;
    colours->assign(4, osg::Vec4(1, 1, 1, 1));
    indices = new osg::DrawElementsUInt(GL_QUADS);
    for (unsigned index : {3u, 2u, 1u, 0u})
        indices->push_back(index);

    geometry = new osg::Geometry;
    geometry->setVertexArray(vertices);
    geometry->addPrimitiveSet(indices);
    geometry->setTexCoordArray(0, texCoords, osg::Array::BIND_PER_VERTEX);
    geometry->setColorArray(colours, osg::Array::BIND_PER_VERTEX);
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(false);

    stateSet = new osg::StateSet;
    stateSet->setTextureAttributeAndModes(0, texture, osg::StateAttribute::ON);
    stateSet->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
    stateSet->setMode(GL_LIGHTING, osg::StateAttribute::OFF);

    geode = new osg::Geode;
    geode->addDrawable(geometry);
    geode->setStateSet(stateSet);

    layer = makeOverlayLayer(geode, 800.0f, 600.0f);
    root = new osg::Group;
    root->addChild(layer);
}

void CTextureImage::setAlpha(float alpha)
{
    for (osg::Vec4& colour : *colours)
        colour.a() = alpha;
}

} // namespace Image
} // namespace Demo
