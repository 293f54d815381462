#pragma once

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Image>
#include <osg/PrimitiveSet>
#include <osg/StateSet>
#include <osg/Texture2D>
#include <osg/ref_ptr>

#include <string>

namespace Demo {
namespace Image {

// An image on a quad covering the whole 800 x 600 overlay layer. The quad's
// colours and texture coordinates are written in place by the effects built
// on it, so it draws without display lists.
class CTextureImage
{
public:
    // Throws CFileException when the image cannot be read.
    explicit CTextureImage(const std::string& path);

    void setAlpha(float alpha);
    osg::ref_ptr<osg::Group> getNode() { return root; }

protected:
    void loadTexture(const std::string& path);
    void buildQuad();

    osg::ref_ptr<osg::Texture2D> texture;
    osg::ref_ptr<osg::Image> image;
    osg::ref_ptr<osg::Geode> geode;
    osg::ref_ptr<osg::StateSet> stateSet;
    osg::ref_ptr<osg::Geometry> geometry;
    osg::ref_ptr<osg::DrawElementsUInt> indices;
    osg::ref_ptr<osg::Vec3Array> vertices;
    osg::ref_ptr<osg::Vec2Array> texCoords;
    osg::ref_ptr<osg::Vec4Array> colours;
    osg::ref_ptr<osg::Node> layer;
    osg::ref_ptr<osg::Group> root;
};

} // namespace Image
} // namespace Demo
