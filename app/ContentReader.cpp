#include "app/ContentReader.h"

#include "app/Globals.h"
#include "effects/Mipmaps.h"
#include "effects/TextureImage.h"

#include <osgDB/FileUtils>
#include <osgDB/ReadFile>
#include <osgDB/Registry>

void append(ContentList& list, const ContentList& more)
{
    list.insert(list.end(), more.begin(), more.end());
}

osg::ref_ptr<osg::Object> readContentFile(const ContentFile& file)
{
    if (!osgDB::fileExists(file.path))
        return nullptr;
    const osgDB::Options* options = osgDB::Registry::instance()->getOptions();
    if (file.isModel)
        return osgDB::readRefNodeFile(file.path, options);
    // Every picture the show reads becomes a mipmapped texture. Stretched and
    // given its levels here, it is done on the preloader's thread: 60-95 ms
    // to stretch a 1024 x 768 picture, which the main thread spent before the
    // splash showed, and the levels the driver would make in a draw.
    osg::ref_ptr<osg::Image> image = osgDB::readRefImageFile(file.path, options);
    if (image) {
        Demo::Image::stretchToPowersOfTwo(*image);
        Demo::Image::attachMipmaps(*image);
    }
    return image;
}

namespace {

template <typename T>
osg::ref_ptr<T> as(const osg::ref_ptr<osg::Object>& object)
{
    return dynamic_cast<T*>(object.get());
}

} // namespace

osg::ref_ptr<osg::Image> readShowImage(const std::string& path)
{
    return g_contentReader ? g_contentReader->image(path) : as<osg::Image>(readContentFile({path, false}));
}

osg::ref_ptr<osg::Node> readShowModel(const std::string& path)
{
    return g_contentReader ? g_contentReader->model(path) : as<osg::Node>(readContentFile({path, true}));
}
