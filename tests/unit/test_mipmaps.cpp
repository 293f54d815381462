// The smaller levels made where a picture is read stand in for the ones the
// driver makes on upload, so they must be the driver's to the byte: the
// picture on screen would change otherwise.
#include "app/ContentReader.h"
#include "effects/Mipmaps.h"
#include "OffscreenView.h"

#include <gtest/gtest.h>
#include <osg/Texture2D>

#include <filesystem>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> showPictures()
{
    std::vector<std::string> pictures;
    for (const char* folder : {"ddata", "demodata"})
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(SHOW_DIR) / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".png" || extension == ".jpg")
                pictures.push_back(entry.path().string());
        }
    return pictures;
}

// Level `level` of the texture the scene graph made from `picture`, with
// the levels left to the driver.
std::vector<unsigned char> driverLevel(osg::State& state, osg::Texture2D& texture, int level, int bytes)
{
    texture.apply(state);
    std::vector<unsigned char> out(static_cast<std::size_t>(bytes));
    glPixelStorei(GL_PACK_ALIGNMENT, texture.getImage()->getPacking());
    glGetTexImage(GL_TEXTURE_2D, level, texture.getImage()->getPixelFormat(), GL_UNSIGNED_BYTE, out.data());
    return out;
}

} // namespace

TEST(Mipmaps, EveryLevelOfEveryShowPictureIsTheOneTheRendererMakes)
{
    OffscreenView offscreen(14);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    ASSERT_TRUE(Demo::Image::rendererMakesLevelsAsAttached()) << "these levels are Mesa's llvmpipe's";
    offscreen.draw(new osg::Group); // the scene graph's GL functions, looked up
    osg::State& state = *offscreen.view->getState();
    const std::vector<std::string> pictures = showPictures();
    ASSERT_GE(pictures.size(), 20u);
    for (const std::string& path : pictures) {
        osg::ref_ptr<osg::Image> made = dynamic_cast<osg::Image*>(readContentFile({path, false}).get());
        ASSERT_TRUE(made.valid()) << path;
        ASSERT_TRUE(made->isMipmap()) << path;
        osg::ref_ptr<osg::Image> plain = new osg::Image(*made, osg::CopyOp::DEEP_COPY_ALL);
        plain->setMipmapLevels({});
        osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(plain.get());
        texture->setFilter(osg::Texture::MIN_FILTER, osg::Texture::LINEAR_MIPMAP_LINEAR);

        int width = made->s(), height = made->t();
        for (int level = 1; level <= static_cast<int>(made->getNumMipmapLevels()) - 1; ++level) {
            width = std::max(1, width / 2);
            height = std::max(1, height / 2);
            const unsigned rowBytes = osg::Image::computeRowWidthInBytes(width, made->getPixelFormat(), GL_UNSIGNED_BYTE,
                                                                         made->getPacking());
            const int bytes = static_cast<int>(rowBytes) * height;
            const std::vector<unsigned char> driver = driverLevel(state, *texture, level, bytes);
            const unsigned char* ours = made->getMipmapData(static_cast<unsigned>(level));
            ASSERT_TRUE(std::equal(driver.begin(), driver.end(), ours))
                << path << ": level " << level << " (" << width << " x " << height << ") differs";
        }
        EXPECT_EQ(width * height, 1) << path << ": the levels go down to one texel";
    }
}

// Pictures the rasteriser would not filter this way are left as they are.
TEST(Mipmaps, OnlyEightBitPicturesWithSidesThatArePowersOfTwoGetLevels)
{
    osg::ref_ptr<osg::Image> odd = new osg::Image;
    odd->allocateImage(6, 4, 1, GL_RGB, GL_UNSIGNED_BYTE);
    Demo::Image::attachMipmaps(*odd);
    EXPECT_FALSE(odd->isMipmap());
    osg::ref_ptr<osg::Image> floats = new osg::Image;
    floats->allocateImage(4, 4, 1, GL_RGB, GL_FLOAT);
    Demo::Image::attachMipmaps(*floats);
    EXPECT_FALSE(floats->isMipmap());

    // A 4 x 1 strip: pairs across, then down to one, each rounded half up.
    osg::ref_ptr<osg::Image> strip = new osg::Image;
    strip->allocateImage(4, 1, 1, GL_LUMINANCE, GL_UNSIGNED_BYTE);
    const unsigned char texels[4] = {0, 1, 10, 13};
    std::copy(texels, texels + 4, strip->data());
    Demo::Image::attachMipmaps(*strip);
    ASSERT_EQ(strip->getNumMipmapLevels(), 3u);
    EXPECT_EQ(strip->getMipmapData(1)[0], 1);
    EXPECT_EQ(strip->getMipmapData(1)[1], 12);
    EXPECT_EQ(strip->getMipmapData(2)[0], 7);
}
