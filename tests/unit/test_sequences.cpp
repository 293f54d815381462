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

struct Row {
    double start, end;
};

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
    static std::vector<Row> windows()
    {
        std::vector<Row> rows;
        for (const auto& w : g_timeline->effectWindows())
            rows.push_back({w.start, w.end});
        return rows;
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

void expectRows(const std::vector<Row>& actual, const std::vector<Row>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].start, expected[i].start) << "row " << i;
        EXPECT_EQ(actual[i].end, expected[i].end) << "row " << i;
    }
}

} // namespace

TEST_F(Sequences, LogosAndGlowsInTheirTableOrder)
{
    buildLogoSequence();
    const double end = 29.09090909090909;
    expectRows(windows(), {{21.818181818181817, end}, {21.818181818181817, 22.818181818181817},
                           {22.15909090909091, end}, {22.15909090909091, 23.15909090909091},
                           {22.613636363636363, end}, {22.613636363636363, 23.613636363636363},
                           {22.954545454545453, end}, {23.295454545454543, end},
                           {23.636363636363637, end}, {23.977272727272727, 24.977272727272727},
                           {23.977272727272727, 24.977272727272727}, {23.977272727272727, 24.977272727272727}});
    const auto& w = g_timeline->effectWindows();
    // The first logo multiplies by its own colour; the others use their alpha.
    EXPECT_EQ(blendOf(w[0].node)->getSource(), static_cast<GLenum>(GL_SRC_COLOR));
    EXPECT_EQ(blendOf(w[2].node)->getSource(), static_cast<GLenum>(GL_SRC_ALPHA));
    EXPECT_EQ(blendOf(w[2].node)->getDestination(), static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
    EXPECT_EQ(w[0].node->getStateSet()->getBinNumber(), 100);
    // Glows add on their quad, as the flash set it up.
    osg::BlendFunc* glow = blendOf(quadOf(w[1].node));
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->getSource(), static_cast<GLenum>(GL_SRC_ALPHA));
    EXPECT_EQ(glow->getDestination(), static_cast<GLenum>(GL_ONE));
}

TEST_F(Sequences, TitleBetweenTwoFlashesAndSlimeFromEightySeven)
{
    buildTitleSequence();
    buildSlimeOverlay();
    expectRows(windows(), {{25.254545454545454, 25.654545454545453},
                           {25.454545454545453, 29.09090909090909},
                           {29.09090909090909, 30.09090909090909},
                           {87.0, 1000.0}, {87.0, 1000.0}});
    const auto& w = g_timeline->effectWindows();
    EXPECT_EQ(blendOf(w[3].node), nullptr); // the vertical bands are opaque
    EXPECT_EQ(blendOf(quadOf(w[4].node))->getSource(), static_cast<GLenum>(GL_DST_COLOR));
}

TEST_F(Sequences, AtTwentyFourAndAHalfSixLogosAndTheLastThreeGlowsAreOn)
{
    buildLogoSequence();
    for (double t : {21.9, 22.2, 22.7, 23.0, 23.3, 23.7, 24.0, 24.5})
        g_timeline->update(t);
    int on = 0;
    for (const auto& w : g_timeline->effectWindows())
        on += w.shown ? 1 : 0;
    EXPECT_EQ(on, 9);
    g_timeline->update(25.0);
    on = 0;
    for (const auto& w : g_timeline->effectWindows())
        on += w.shown ? 1 : 0;
    EXPECT_EQ(on, 6);
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
