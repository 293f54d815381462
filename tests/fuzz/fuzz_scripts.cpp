// The camera, flash and black scripts, read together as a reload does. The
// input is cut into the three files at its first two 0xFF bytes.
#include "FuzzSupport.h"

#include "app/Globals.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"

#include <osg/Image>
#include <osgDB/WriteFile>

#include <algorithm>

namespace {

void writeFlatImage(const char* path, unsigned char value)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(2, 2, 1, GL_RGB, GL_UNSIGNED_BYTE);
    std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), value);
    if (!osgDB::writeImageFile(*image, path))
        std::abort();
}

const std::uint8_t* nextPart(const std::uint8_t* from, const std::uint8_t* end)
{
    return std::find(from, end, std::uint8_t(0xFF));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::enterScratchFolder();
    writeFlatImage("demodata/white.jpg", 255);
    writeFlatImage("demodata/black.jpg", 0);
    fuzz::writeInput("scripts/a.pos", reinterpret_cast<const std::uint8_t*>("0 0 0 1 1 1 0 1 0\n"), 18);
    g_camera = new PathCamera;
    g_sceneSwitch = new osg::Switch;
    g_timeline = new Timeline;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t* end = data + size;
    const std::uint8_t* cut1 = nextPart(data, end);
    const std::uint8_t* cut2 = cut1 == end ? end : nextPart(cut1 + 1, end);
    fuzz::writeInput("scripts/cameras.txt", data, static_cast<std::size_t>(cut1 - data));
    const std::uint8_t* flash = cut1 == end ? end : cut1 + 1;
    fuzz::writeInput("scripts/flash.txt", flash, static_cast<std::size_t>(cut2 - flash));
    const std::uint8_t* black = cut2 == end ? end : cut2 + 1;
    fuzz::writeInput("scripts/black.txt", black, static_cast<std::size_t>(end - black));

    g_timeline->reload(Timeline::ReloadAll);
    // A few frames across the show with whatever the scripts made.
    for (double t : {0.5, 30.0, 30.5, 200.0})
        g_timeline->update(t);
    if (!g_camera)
        std::abort();
    return 0;
}
