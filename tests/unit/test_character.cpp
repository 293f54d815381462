// The character configuration's line rule and where background stripes
// draw; the character itself is tested on the generated one, with the
// content.
#include "effects/Flash.h"
#include "effects/OverlayLayer.h"
#include "scenes/CharacterConfig.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(LoadCFG, SplitsAtTheFirstEqualsAndTrimsOnlyTheLineEnd)
{
    std::string key, value;
    ASSERT_TRUE(splitConfigLine("mesh= a=b.cmf\r\n", key, value));
    EXPECT_EQ(key, "mesh");
    EXPECT_EQ(value, " a=b.cmf");
    ASSERT_TRUE(splitConfigLine("mesh=b\n", key, value));
    EXPECT_EQ(value, "b");
    ASSERT_TRUE(splitConfigLine("mesh=\n", key, value));
    EXPECT_EQ(value, "");
    ASSERT_TRUE(splitConfigLine("mesh=c \r", key, value));
    EXPECT_EQ(value, "c \r") << "a lone carriage return that is not second to last stays";
    EXPECT_FALSE(splitConfigLine("# mesh=x\n", key, value));
    EXPECT_FALSE(splitConfigLine("mesh\n", key, value));
}

TEST(CharacterScene, UnblendedStripesDrawBehindTheSceneBlendedOnesOnTop)
{
    ScratchDir dir;
    ASSERT_TRUE(writeTestImage("demodata/b.png", 200));
    Demo::Image::CBackgroundStripe background("demodata/b.png");
    EXPECT_LT(background.getNode()->getStateSet()->getBinNumber(), 0);
    EXPECT_GT(background.getNode()->getStateSet()->getBinNumber(), -100) << "after the scope's capture pass";

    Demo::Image::CBackgroundStripe logo("demodata/b.png");
    setBlending(logo.getNode().get(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(logo.getNode()->getStateSet()->getBinNumber(), 100);
}
