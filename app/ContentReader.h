#pragma once

#include <osg/Image>
#include <osg/Node>
#include <osg/ref_ptr>

#include <string>
#include <vector>

// A picture or model the show reads, named as the builders name it.
struct ContentFile {
    std::string path;
    bool isModel;
};
using ContentList = std::vector<ContentFile>;

void append(ContentList& list, const ContentList& more);

// Where the builders' pictures and models come from: the preloader while
// the show starts, a recording reader in a test.
class ContentReader
{
public:
    virtual ~ContentReader() = default;
    virtual osg::ref_ptr<osg::Image> image(const std::string& path) = 0;
    virtual osg::ref_ptr<osg::Node> model(const std::string& path) = 0;
    // Lets a reader that works on a thread of its own finish the file in
    // hand and stop.
    virtual void stop() {}
};

// Reads the file itself with the registry's default options, a picture
// stretched to powers of two as its texture would on upload and with its
// smaller levels (effects/Mipmaps.h). A missing file gives null at once,
// without the library's own notice: the caller names it in its one line.
osg::ref_ptr<osg::Object> readContentFile(const ContentFile& file);

// What the builders call: through g_contentReader when one is set, straight
// from the file otherwise.
osg::ref_ptr<osg::Image> readShowImage(const std::string& path);
osg::ref_ptr<osg::Node> readShowModel(const std::string& path);
