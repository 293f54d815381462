#include "app/Globals.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"
#include "effects/FileException.h"
#include "effects/Sequences.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/BlendFunc>
#include <osg/Geode>
#include <osg/NodeVisitor>

#include <vector>

namespace {

// A run folder with every overlay image, and the timeline the builders use.
struct Sequences : ::testing::Test {
    ScratchDir dir;
    PathCamera* camera;

    Sequences()
    {
        mkdir("ddata", 0755);
        for (const char* name : {"lumbra", "ostra", "kvell", "trinna", "bolma", "sprett"}) {
            writeTestImage(std::string("ddata/") + name + ".png", 200);
            writeTestImage(std::string("ddata/") + name + "-blur.png", 200);
        }
        for (const char* path : {"ddata/velmo.png", "ddata/slime.png", "demodata/white.jpg"})
            writeTestImage(path, 200);
        CaptureStdout quiet;
        camera = new PathCamera;
        g_camera = camera;
        g_sceneSwitch = new osg::Switch;
        g_timeline = new Timeline;
    }
    ~Sequences() override
    {
        // The show keeps its effects for the whole run; a test gives them back.
        for (const auto& w : g_timeline->effectWindows())
            delete w.effect;
        delete g_timeline;
        g_timeline = nullptr;
        g_sceneSwitch = nullptr;
        delete camera;
        g_camera = nullptr;
    }
    static osg::BlendFunc* blendOf(osg::Node* node)
    {
        osg::StateSet* s = node->getStateSet();
        return s ? dynamic_cast<osg::BlendFunc*>(s->getAttribute(osg::StateAttribute::BLENDFUNC)) : nullptr;
    }
    // The quad's geode, three levels under the effect's root.
    static osg::Node* quadOf(osg::Node* root)
    {
        osg::Node* node = root;
        while (!node->asGeode() && node->asGroup() && node->asGroup()->getNumChildren() > 0)
            node = node->asGroup()->getChild(0);
        return node;
    }
};

} // namespace

TEST_F(Sequences, TheFirstLogoMultipliesByItsColourTheOthersBlendAndGlowsAdd)
{
    buildLogoSequence();
    const auto& w = g_timeline->effectWindows();
    ASSERT_EQ(w.size(), 12u);
    // The first logo multiplies by its own colour, so its transparent pixels
    // must be black; the others use their alpha.
    EXPECT_EQ(blendOf(w[0].node)->getSource(), static_cast<GLenum>(GL_SRC_COLOR));
    EXPECT_EQ(blendOf(w[2].node)->getSource(), static_cast<GLenum>(GL_SRC_ALPHA));
    EXPECT_EQ(blendOf(w[2].node)->getDestination(), static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
    // Glows add on their quad, as the flash set it up.
    osg::BlendFunc* glow = blendOf(quadOf(w[1].node));
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->getSource(), static_cast<GLenum>(GL_SRC_ALPHA));
    EXPECT_EQ(glow->getDestination(), static_cast<GLenum>(GL_ONE));
}

TEST_F(Sequences, AMissingImageStopsTheBuilder)
{
    std::remove("ddata/kvell.png");
    try {
        buildLogoSequence();
        FAIL() << "no exception";
    } catch (const Demo::CFileException& e) {
        EXPECT_EQ(e.message, "Texutre image file not found: ddata/kvell.png");
    }
    EXPECT_EQ(g_timeline->effectWindows().size(), 4u); // the rows before it
}
