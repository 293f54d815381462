#include "effects/Flash.h"
#include "effects/FileException.h"
#include "effects/ImageFX.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Demo::Image;

namespace {

osg::ref_ptr<osg::Vec2Array> quadCoords()
{
    osg::ref_ptr<osg::Vec2Array> c = new osg::Vec2Array;
    c->push_back({0, 0});
    c->push_back({1, 0});
    c->push_back({1, 1});
    c->push_back({0, 1});
    return c;
}

} // namespace

TEST(TextureCoordinateModes, SweepsSetOneRowOrColumnFromTheEffectTime)
{
    auto coords = quadCoords();
    applySweepT(*coords, 0.0, 0.0);
    for (const osg::Vec2& c : *coords)
        EXPECT_EQ(c.y(), 0.0f);
    applySweepT(*coords, 0.0, 0.75);
    EXPECT_EQ((*coords)[3].y(), 0.75f);
    EXPECT_EQ((*coords)[1].x(), 1.0f); // s untouched

    coords = quadCoords();
    applySweepS(*coords, 0.1, 2.0); // with a step each vertex is offset
    EXPECT_FLOAT_EQ((*coords)[0].x(), 2.0f);
    EXPECT_FLOAT_EQ((*coords)[3].x(), 2.3f);
    EXPECT_EQ((*coords)[2].y(), 1.0f);
}

TEST(TextureCoordinateModes, ScrollAdvancesByTheFrameStep)
{
    auto coords = quadCoords();
    applyScrollT(*coords, 0.0, 0.25);
    applyScrollT(*coords, 0.0, 0.25);
    EXPECT_FLOAT_EQ((*coords)[0].y(), 0.5f);
    EXPECT_FLOAT_EQ((*coords)[2].y(), 1.5f);
}

TEST(TextureCoordinateModes, UnfoldOpensFromTheCentreColumnThenHolds)
{
    auto coords = quadCoords();
    EXPECT_TRUE(applyUnfoldS(*coords, 0.0));
    for (const osg::Vec2& c : *coords)
        EXPECT_FLOAT_EQ(c.x(), 0.5f);
    applyUnfoldS(*coords, 0.5);
    EXPECT_NEAR((*coords)[0].x(), 0.1464, 1e-4);
    EXPECT_NEAR((*coords)[1].x(), 0.8536, 1e-4);
    applyUnfoldS(*coords, 1.0);
    EXPECT_FLOAT_EQ((*coords)[0].x(), 0.0f);
    EXPECT_FLOAT_EQ((*coords)[2].x(), 1.0f);
    EXPECT_FALSE(applyUnfoldS(*coords, 1.0001));
    EXPECT_FALSE(applyUnfoldS(*coords, std::nan("")));
    EXPECT_FLOAT_EQ((*coords)[3].x(), 0.0f);
}

TEST(FlashEnvelope, RisesHoldsAndFallsWithItsEdgesLeftAlone)
{
    // up 0.2, down 0.2, no hold.
    EXPECT_DOUBLE_EQ(*flashAlpha(0.0, 0.2, 0.2, 0.0, 1.0), 0.0);
    EXPECT_DOUBLE_EQ(*flashAlpha(0.1, 0.2, 0.2, 0.0, 1.0), 0.5);
    EXPECT_FALSE(flashAlpha(0.2, 0.2, 0.2, 0.0, 1.0)); // exactly at the top
    EXPECT_NEAR(*flashAlpha(0.3, 0.2, 0.2, 0.0, 1.0), 0.5, 1e-12);
    EXPECT_NEAR(*flashAlpha(0.4, 0.2, 0.2, 0.0, 1.0), 0.0, 1e-12);
    EXPECT_FALSE(flashAlpha(0.41, 0.2, 0.2, 0.0, 1.0));

    // A hold at full strength between rise and fall.
    EXPECT_DOUBLE_EQ(*flashAlpha(0.5, 0.2, 0.2, 1.0, 0.8), 0.8);
    EXPECT_NEAR(*flashAlpha(1.3, 0.2, 0.2, 1.0, 0.8), 0.4, 1e-12);

    // No rise: the first reading keeps the quad's alpha, then falls.
    EXPECT_FALSE(flashAlpha(0.0, 0.0, 1.0, 0.0, 1.0));
    EXPECT_NEAR(*flashAlpha(0.25, 0.0, 1.0, 0.0, 1.0), 0.75, 1e-12);
    // The title's closing flash, cut off by its one-second window.
    EXPECT_NEAR(*flashAlpha(1.0, 0.1, 3.0, 0.0, 1.0), 0.7, 1e-12);
}

TEST(StripeAlpha, PulsesSlowlyWithTheDemoTime)
{
    using Demo::Image::Overlays::stripeAlpha;
    EXPECT_DOUBLE_EQ(stripeAlpha(0.0), 1.0);
    EXPECT_NEAR(stripeAlpha(157.08), 1.5, 1e-6);
    EXPECT_NEAR(stripeAlpha(471.24), 0.5, 1e-6);
}

TEST(ImageEffects, FlashQuadSitsInTheLayersProjectionAndStartsAtZero)
{
    ScratchDir dir;
    ASSERT_TRUE(writeTestImage("demodata/white.jpg", 255));
    CFlash flash(0.1, 0.2, 0.0, 1.0, "demodata/white.jpg");
    EXPECT_FLOAT_EQ(flash.currentAlpha(), 1.0f); // a fresh quad is opaque
    osg::ref_ptr<osg::Group> root = flash.getNode();
    ASSERT_EQ(root->getNumChildren(), 1u);
    EXPECT_EQ(root->getChild(0)->className(), std::string("Projection"));
    flash.update(); // first update after a reset: alpha 0 at t = 0
    EXPECT_FLOAT_EQ(flash.currentAlpha(), 0.0f);

    try {
        CBackgroundStripe stripe("ddata/./missing.png");
        FAIL() << "no exception";
    } catch (const Demo::CFileException& e) {
        EXPECT_EQ(e.message, "Texutre image file not found: ddata/./missing.png");
    }
}
