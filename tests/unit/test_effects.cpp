// The screen effects: texture coordinate modes, the flash envelope, stripes
// and where they draw, the text display, and the logo and title sequences.
#include "app/DemoClock.h"
#include "app/Globals.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"
#include "effects/FileException.h"
#include "effects/Flash.h"
#include "effects/HUD.h"
#include "effects/ImageFX.h"
#include "effects/OverlayLayer.h"
#include "effects/OverlaySpeedUps.h"
#include "effects/ScrollingBake.h"
#include "effects/Sequences.h"
#include "effects/TextureImage.h"
#include "effects/UniformCells.h"
#include "scenes/LightScene.h"
#include "OffscreenView.h"
#include "ShowTimeline.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/BlendFunc>
#include <osg/Geode>
#include <osgDB/WriteFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <vector>

using namespace Demo::Image;
using namespace Demo::Text;

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

// A run folder with every overlay image, and the timeline the builders use.
struct Sequences : ::testing::Test {
    ScratchDir dir;
    PathCamera camera;

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
        g_camera = &camera;
        timeline.restart();
    }
    ~Sequences() override { g_camera = nullptr; }
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
    ShowTimeline timeline; // goes before the camera it may hand recordings to
};

} // namespace

TEST(TextureCoordinateModes, SweepsSetOneRowOrColumnScrollsAdvanceByTheStepAndTheUnfoldOpensFromTheCentre)
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

    coords = quadCoords();
    applyScrollT(*coords, 0.0, 0.25);
    applyScrollT(*coords, 0.0, 0.25);
    EXPECT_FLOAT_EQ((*coords)[0].y(), 0.5f);
    EXPECT_FLOAT_EQ((*coords)[2].y(), 1.5f);

    // The unfold opens from the centre column, then holds.
    coords = quadCoords();
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

// The cropped overlay keeps every texel a filter could reach from a visible one.
TEST(TextureImage, VisibleTexelsAreTheNonZeroOnesGrownByTheMarginWithinTheImage)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(32, 16, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), 0);
    auto box = [&](int margin) {
        const Demo::Image::TexelBox b = Demo::Image::visibleTexels(*image, margin);
        return std::vector<int>{b.x0, b.y0, b.x1, b.y1};
    };
    EXPECT_EQ(box(8), (std::vector<int>{0, 0, 0, 0}));
    image->data(10, 5)[3] = 1; // alpha alone is visible
    image->data(12, 6)[0] = 1; // and so is colour alone
    EXPECT_EQ(box(2), (std::vector<int>{8, 3, 15, 9}));
    EXPECT_EQ(box(8), (std::vector<int>{2, 0, 21, 15}));
    image->allocateImage(32, 16, 1, GL_RGB, GL_UNSIGNED_BYTE);
    EXPECT_EQ(box(2), (std::vector<int>{0, 0, 32, 16}));
}

// The cells left out of an overlay see only the one texel, and a margin
// around them, wherever the image's texels fall against the picture's.
TEST(TextureImage, UniformCellsSeeOnlyTheOneTexelWithTheirMarginInsideTheImage)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(32, 16, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    const osg::Vec4ub white(255, 255, 255, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            *reinterpret_cast<osg::Vec4ub*>(image->data(x, y)) = (x >= 4 && x < 28 && y >= 2 && y < 14) ? white : osg::Vec4ub(9, 9, 9, 9);
    const auto leftOut = [&](int margin, const CellGrid& grid) {
        std::vector<std::string> rows;
        const std::vector<bool> cells = uniformCells(*image, white, margin, grid);
        for (int row = 0; row < grid.down && !cells.empty(); ++row) {
            rows.emplace_back();
            for (int column = 0; column < grid.across; ++column)
                rows.back() += cells[row * grid.across + column] ? 'o' : '#';
        }
        return rows;
    };
    // Texels twice the pixels: 4 texels a cell across, 2 down.
    const CellGrid halfSize{8, 8, 16, 8};
    EXPECT_EQ(leftOut(0, halfSize), (std::vector<std::string>{"########", "#oooooo#", "#oooooo#", "#oooooo#",
                                                               "#oooooo#", "#oooooo#", "#oooooo#", "########"}));
    EXPECT_EQ(leftOut(2, halfSize), (std::vector<std::string>{"########", "########", "##oooo##", "##oooo##",
                                                               "##oooo##", "##oooo##", "########", "########"}));
    // Cells that split texels: the texels they touch at all are looked at.
    const CellGrid uneven{3, 3, 10, 10};
    EXPECT_EQ(leftOut(0, uneven), (std::vector<std::string>{"###", "#o#", "###"}));
    *reinterpret_cast<osg::Vec4ub*>(image->data(16, 8)) = osg::Vec4ub(255, 255, 255, 1);
    EXPECT_EQ(leftOut(0, uneven), (std::vector<std::string>{"###", "###", "###"}));
    image->allocateImage(32, 16, 1, GL_RGB, GL_UNSIGNED_BYTE);
    EXPECT_TRUE(leftOut(0, halfSize).empty()) << "a format it does not read";
}

// Flashes draw untextured only when that gives the very same levels.
TEST(TextureImage, OnlyOpaqueSolidBlackOrWhiteImagesNeedNoTexture)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(4, 4, 1, GL_RGB, GL_UNSIGNED_BYTE);
    std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), 255);
    EXPECT_EQ(Demo::Image::solidBlackOrWhite(*image), osg::Vec4(1, 1, 1, 1));
    image->data(3, 3)[1] = 0;
    EXPECT_FALSE(Demo::Image::solidBlackOrWhite(*image));
    std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), 128);
    EXPECT_FALSE(Demo::Image::solidBlackOrWhite(*image));
    image->allocateImage(4, 4, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), 0);
    EXPECT_FALSE(Demo::Image::solidBlackOrWhite(*image)); // transparent
}

// An image larger than the screen, filtered down from its mipmaps: the
// baked copy must show exactly those pixels, on its first frame and after.
TEST(Baking, AStillShowsTheFilteredPixelsFromAScreenSizedTextureEveryFrame)
{
    ScratchDir dir;
    osg::ref_ptr<osg::Image> noise = new osg::Image;
    noise->allocateImage(1024, 768, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    std::mt19937 random(7);
    for (unsigned i = 0; i < noise->getTotalSizeInBytes(); ++i)
        noise->data()[i] = static_cast<unsigned char>(random());
    ASSERT_TRUE(osgDB::writeImageFile(*noise, "noise.png"));

    OffscreenView offscreen(8);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    CTextureImage plain("noise.png");
    CTextureImage baked("noise.png");
    baked.bakeFiltering();
    const std::vector<unsigned char> filtered = offscreen.draw(plain.getNode().get());
    EXPECT_TRUE(offscreen.draw(baked.getNode().get()) == filtered);
    EXPECT_TRUE(offscreen.draw(baked.getNode().get()) == filtered) << "the second frame reads the texture it baked";
    EXPECT_TRUE(offscreen.draw(plain.getNode().get()) == filtered);
}

// A frame of dark glass with slanted corners around a clear white inside,
// as the room's overlay has: baked, its inside left out cell by cell, it
// shows the very pixels the whole quad shows.
TEST(Baking, AnOverlayWithItsClearCellsLeftOutShowsTheSamePixels)
{
    ScratchDir dir;
    osg::ref_ptr<osg::Image> frame = new osg::Image;
    frame->allocateImage(1024, 512, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 1024; ++x) {
            const int inX = std::min(x, 1023 - x), inY = std::min(y, 511 - y);
            const bool inside = inX > 60 && inY > 40 && inX + inY > 200;
            *reinterpret_cast<osg::Vec4ub*>(frame->data(x, y)) =
                inside ? osg::Vec4ub(255, 255, 255, 0) : osg::Vec4ub(10 + x % 7, 5, 26, 56);
        }
    ASSERT_TRUE(osgDB::writeImageFile(*frame, "frame.png"));
    OffscreenView offscreen(17);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    Overlays::CStripe plain("frame.png"), fast("frame.png");
    SpeedUpList list("the test");
    OverlaySpeedUps wanted;
    wanted.bake = true;
    wanted.leaveOutCells = osg::Vec4ub(255, 255, 255, 0);
    {
        CaptureStdout quiet;
        speedUpOverlay(list, "frame", fast, fast, wanted);
    }
    ASSERT_TRUE(list.applied("frame: cells of one texel left out"));
    plain.update();
    fast.update();
    const std::vector<unsigned char> whole = offscreen.draw(plain.getNode().get());
    EXPECT_TRUE(offscreen.draw(fast.getNode().get()) == whole);
    EXPECT_TRUE(offscreen.draw(fast.getNode().get()) == whole) << "from its bake";
    EXPECT_TRUE(whole != offscreen.draw(new osg::Group)) << "the frame shows";
}

int largestDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int largest = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

// Faint white text over a coloured screen, baked again when it changes.
// Where two glyphs' quads overlap, the screen blends twice and rounds twice
// while the bake rounds once: a level at most.
TEST(Baking, TextShowsTheSamePixelsAndFollowsItsChanges)
{
    OffscreenView offscreen(8);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    const std::vector<unsigned char> empty = offscreen.draw(new osg::Group);
    CHUD plain, baked;
    baked.bakeText();
    std::vector<std::vector<unsigned char>> seen;
    for (CHUD* hud : {&plain, &baked}) {
        hud->setCharacterSize(15);
        hud->setAlpha(0.3);
        setBlending(hud->getNode().get(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        seen.push_back(offscreen.draw(hud->getNode().get()));
        seen.push_back(offscreen.draw(hud->getNode().get()));
        hud->setPosition(300, 200);
        seen.push_back(offscreen.draw(hud->getNode().get()));
    }
    EXPECT_TRUE(seen[0] != empty) << "the text shows";
    EXPECT_TRUE(seen[2] != seen[0]) << "and moves";
    for (int i = 0; i < 3; ++i)
        EXPECT_LE(largestDifference(seen[3 + i], seen[i]), 1) << "frame " << i;
}

TEST(Flash, RisesHoldsAndFallsWithItsEdgesLeftAloneOnAQuadInTheLayersProjection)
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

    // The flash's quad sits in the layer's projection and starts at zero.
    // The clock is held, so no time passes before the first update however
    // loaded the machine. A PNG, not the show's JPEG: loading the JPEG
    // plugin in this test's process made the leak checker's own scan of the
    // threads crash at exit, a fault of the checker, not a leak.
    ScratchDir dir;
    ASSERT_TRUE(writeTestImage("demodata/white.png", 255));
    DemoClock::instance().setPaused(true);
    CFlash flash(0.1, 0.2, 0.0, 1.0, "demodata/white.png");
    EXPECT_FLOAT_EQ(flash.currentAlpha(), 1.0f); // a fresh quad is opaque
    osg::ref_ptr<osg::Group> root = flash.getNode();
    ASSERT_EQ(root->getNumChildren(), 1u);
    EXPECT_EQ(root->getChild(0)->className(), std::string("Projection"));
    flash.update(); // first update after a reset: alpha 0 at t = 0
    EXPECT_FLOAT_EQ(flash.currentAlpha(), 0.0f);
    DemoClock::instance().setPaused(false);
}

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

TEST(HudLines, EachNewlineStartsTheNextLineTabsWidenAndTheScrollWraps)
{
    EXPECT_EQ(splitHudLines("a\nb\nc\n"), (std::vector<std::string>{"a", "\nb", "\nc"}));
    EXPECT_EQ(splitHudLines("x\ty\n"), (std::vector<std::string>{"x    y"}));
    EXPECT_TRUE(splitHudLines("a\tb").empty()); // no final newline: nothing stored
    EXPECT_EQ(splitHudLines("\n\n"), (std::vector<std::string>{"", "\n"}));

    // The scroll shows the lines before the current one, and wraps.
    const std::vector<std::string> abc = {"a", "\nb", "\nc"};
    EXPECT_EQ(visibleLines(abc, 0, 20), "");
    EXPECT_EQ(visibleLines(abc, 2, 20), "a\nb");
    EXPECT_EQ(visibleLines(abc, 3, 20), ""); // c is never shown
    EXPECT_EQ(visibleLines(abc, 4, 20), "a");

    std::vector<std::string> ten;
    for (int i = 0; i < 10; ++i)
        ten.push_back(std::to_string(i));
    EXPECT_EQ(visibleLines(ten, 5, 2), "34");
    EXPECT_EQ(visibleLines({}, 5, 2), "");
}

TEST(Hud, KeepsItsDefaultTextUntilLinesAreLoadedScrollsThemWithItsClockAndNamesAMissingFile)
{
    ScratchDir dir;
    writeFile("lines.txt", "one\ntwo\nthree\n");
    CHUD hud;
    hud.update();
    EXPECT_EQ(hud.getText(), "Hej och h\xe5!\nsadf\nsdf");
    hud.loadText("lines.txt");
    EXPECT_EQ(hud.getLines().size(), 3u);
    hud.update(); // first reading: k = 0, an empty screen
    EXPECT_EQ(hud.getText(), "");
    // A fast clock scrolls soon; the empty screen comes back every third line.
    hud.setSpeed(1000.0);
    std::set<std::string> seen;
    for (int i = 0; i < 200 && seen.size() < 3; ++i) {
        usleep(1000);
        hud.update();
        seen.insert(hud.getText());
    }
    EXPECT_EQ(seen, (std::set<std::string>{"", "one", "one\ntwo"}));

    CHUD missing;
    CaptureStdout out;
    try {
        missing.loadText("text/none.txt");
        FAIL() << "no exception";
    } catch (const Demo::CFileException& e) {
        EXPECT_EQ(e.message, "text/none.txt");
    }
    EXPECT_EQ(out.text(), "Error opening file: text/none.txt\n");
    EXPECT_TRUE(missing.getLines().empty());
}

// A line is cut before layout only past where it has run off the screen:
// in the show's font at the scroller's size, what is kept of a line of
// random bytes already reaches across the width it is cut to.
TEST(Hud, ALongLineIsCutOnlyWhereItHasRunOffTheScreen)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    const GlyphAdvances advances = measureAdvances("fonts/arial.ttf", 15.0f);
    std::mt19937 random(3);
    for (int trial = 0; trial < 20; ++trial) {
        std::string line = "\n";
        for (int i = 0; i < 3000; ++i) {
            const char c = static_cast<char>(1 + random() % 255);
            line += c == '\n' ? 'n' : c;
        }
        const std::string cut = cutToWidth(line, advances, 750.0f);
        ASSERT_LT(cut.size(), line.size());
        EXPECT_EQ(line.compare(0, cut.size(), cut), 0);
        osg::ref_ptr<osgText::Text> text = new osgText::Text;
        text->setFont("fonts/arial.ttf");
        text->setCharacterSize(15.0f, 1.0f);
        text->setText(cut.substr(1), osgText::String::ENCODING_ASCII);
        EXPECT_GE(text->getBoundingBox().xMax(), 750.0f) << "cut at " << cut.size();
    }
    EXPECT_EQ(cutToWidth("\nshort", advances, 750.0f), "\nshort");
    EXPECT_EQ(cutToWidth(std::string("\nab\0c", 5), advances, 750.0f), "\nabc") << "zero bytes are dropped";
    EXPECT_LT(cutToWidth("\n" + std::string(1000000, '\0') + std::string(100000, 'x'), advances, 750.0f).size(), 1000u);
}

// A scroll step redraws only a band at each edge; each band must hold the
// glyphs of the lines beside it and of no other, or the copy keeps what a
// whole bake would not have.
TEST(Hud, ScrollBandsHoldOnlyTheEdgeLinesOrThereAreNone)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    const GlyphReach reach = measureReach("fonts/arial.ttf", 15.0f);
    EXPECT_GT(reach.above, 10.0f) << "capitals and accents";
    EXPECT_GT(reach.below, 3.0f) << "descenders";
    const std::optional<ScrollBands> bands = scrollBands(598.0f, 15.0f, 40, reach);
    ASSERT_TRUE(bands) << "the light scene's scroller";
    EXPECT_LT(598.0f - 2 * 15.0f + reach.above, bands->top) << "the second line stays out of the top band";
    EXPECT_LE(bands->top, 598.0f - reach.below) << "all the line that left is in it";
    EXPECT_GE(bands->bottom, 15) << "the rows the copy has no source for";
    EXPECT_GE(bands->bottom, 598.0f - 40 * 15.0f + reach.above) << "all the new line";
    EXPECT_LT(bands->bottom, 598.0f - 38 * 15.0f - reach.below) << "not the third line from the bottom";

    EXPECT_FALSE(scrollBands(598.0f, 15.5f, 40, reach)) << "a move by part of a row";
    EXPECT_FALSE(scrollBands(598.0f, 9.0f, 40, reach)) << "lines so close a band holds three";
    EXPECT_FALSE(scrollBands(598.0f, 15.0f, 2, reach));
}

namespace {

// The light scene's scroller: white at 0.3, 15 pixels, from (50, 598).
osg::ref_ptr<osgText::Text> scrollerText(const std::string& shown)
{
    osg::ref_ptr<osgText::Text> text = new osgText::Text;
    text->setFont("fonts/arial.ttf");
    text->setCharacterSize(15.0f, 1.0f);
    text->setAxisAlignment(osgText::Text::SCREEN);
    text->setPosition(osg::Vec3(50.0f, 598.0f, 0.0f));
    text->setUseDisplayList(false);
    text->setColor(osg::Vec4(1.0f, 1.0f, 1.0f, 0.3f));
    text->setText(shown, osgText::String::ENCODING_ASCII);
    return text;
}

struct BakedScroller {
    osg::ref_ptr<osg::Geode> glyphs = new osg::Geode;
    osg::ref_ptr<osg::StateSet> state = new osg::StateSet;
    std::unique_ptr<ScrollingBake> bake;
    osg::ref_ptr<osg::Group> scene = new osg::Group;

    explicit BakedScroller(osgText::Text* text)
    {
        state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
        glyphs->setStateSet(state.get());
        glyphs->addDrawable(text);
        bake = std::make_unique<ScrollingBake>(glyphs.get(), state.get());
        scene->addChild(bake->passes());
        scene->addChild(makeOverlayLayer(bake->shown(), 800.0f, 600.0f));
    }
};

// Forty lines of dense random glyphs scrolled one line at a time, at the
// picture's size, against a whole bake of the same lines.
void expectScrolledBakesLikeWholeBakes(unsigned contextID)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    std::mt19937 random(5);
    std::vector<std::string> lines;
    for (int i = 0; i < 44; ++i) {
        std::string line = "\n";
        for (int j = 0; j < 110; ++j)
            line += static_cast<char>(33 + random() % 200);
        lines.push_back(line);
    }
    const auto window = [&](int first) {
        std::string shown;
        for (int i = first; i < first + 40; ++i)
            shown += lines[i];
        return shown;
    };
    OffscreenView offscreen(contextID, g_picture.width, g_picture.height);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();

    // As the screen fills, a line drawn over the last bake is drawn last, as
    // in a whole bake: the very same pixels.
    const auto firstLines = [&](int count) {
        std::string shown;
        for (int i = 0; i < count; ++i)
            shown += lines[i];
        return shown;
    };
    osg::ref_ptr<osgText::Text> filling = scrollerText(firstLines(10));
    BakedScroller filled(filling.get());
    offscreen.draw(filled.scene.get());
    filling->setText(firstLines(11), osgText::String::ENCODING_ASCII);
    filled.bake->appendLines(*filling, std::string(10, '\n') + lines[10]);
    const std::vector<unsigned char> added = offscreen.draw(filled.scene.get());
    EXPECT_TRUE(added == offscreen.draw(BakedScroller(scrollerText(firstLines(11)).get()).scene.get()));

    osg::ref_ptr<osgText::Text> text = scrollerText(window(0));
    BakedScroller scrolled(text.get());
    offscreen.draw(scrolled.scene.get());
    const std::optional<ScrollBands> bands =
        pictureScrollBands(598.0f, 15.0f, 40, measureReach("fonts/arial.ttf", 15.0f));
    ASSERT_TRUE(bands);
    for (int step = 1; step <= 4; ++step) {
        text->setText(window(step), osgText::String::ENCODING_ASCII);
        scrolled.bake->scrollOneLine(*text, 15.0f, *bands, lines[step],
                                     std::string(38, '\n') + lines[step + 38] + lines[step + 39]);
        const std::vector<unsigned char> shown = offscreen.draw(scrolled.scene.get());
        BakedScroller whole(scrollerText(window(step)).get());
        const std::vector<unsigned char> expected = offscreen.draw(whole.scene.get());
        int glyphChannels = 0;
        for (size_t i = 0; i < expected.size(); i += 3)
            glyphChannels += expected[i] > 0x66 + 8;
        EXPECT_GT(glyphChannels, 20000 * g_picture.scale() * g_picture.scale()) << "the lines are drawn at all";
        EXPECT_LE(largestDifference(shown, expected), 1) << "step " << step;
    }
}

// The picture's size for the length of a test.
struct PictureSizeForTest {
    PictureSize before = g_picture;
    PictureSizeForTest(int width, int height) { g_picture.width = width, g_picture.height = height; }
    ~PictureSizeForTest() { g_picture = before; }
};

} // namespace

// To within the rounding of a glyph laid out a line higher.
TEST(Hud, AScrolledBakeShowsWhatAWholeBakeOfTheSameLinesShows)
{
    expectScrolledBakesLikeWholeBakes(10);
}

// The copy moves the picture's rows, the bands are cut in them: at twice the
// size, the lines are twice as many rows apart.
TEST(Hud, AtTwiceTheSizeAScrolledBakeStillShowsWhatAWholeBakeShows)
{
    const PictureSizeForTest size(1600, 1200);
    expectScrolledBakesLikeWholeBakes(11);
}

// The source scroller as the light scene sets it up, over `path`.
std::unique_ptr<CHUD> sourceScroller(const std::string& path)
{
    auto hud = std::make_unique<CHUD>();
    setUpSourceScroller(*hud, path);
    hud->bakeText();
    return hud;
}

struct ManualClockForTest {
    ManualClockForTest() { DemoClock::instance().useManualSteps(30); }
    ~ManualClockForTest() { DemoClock::instance().useRealTime(); }
};

// The warm-up's rehearsal, drawn twice as the warm-up draws it, leaves
// nothing of itself in what the scroller then shows: filling the screen and
// scrolling, frame for frame the same pixels as a scroller never rehearsed.
// Once shown, the scroller refuses another.
TEST(Hud, ARehearsalLeavesNothingOfItselfInWhatTheScrollerThenShows)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    const std::string path = testing::TempDir() + "rehearsed-lines.txt";
    std::string lines;
    for (int i = 0; i < 60; ++i)
        lines += "\tline " + std::to_string(i) + " of the source, with {braces} and ; marks\n";
    writeFile(path, lines);
    OffscreenView offscreen(13);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    const std::unique_ptr<CHUD> rehearsed = sourceScroller(path);
    const std::unique_ptr<CHUD> plain = sourceScroller(path);
    rehearsed->prepare();
    for (int draw = 0; draw < 2; ++draw) {
        ASSERT_TRUE(rehearsed->beginRehearsal());
        offscreen.draw(rehearsed->getNode().get());
        rehearsed->endRehearsal();
    }

    ManualClockForTest clock;
    DemoClock::instance().step(); // between two scroll steps from here on
    int lit = 0;
    for (int frame = 0; frame < 48; ++frame) {
        rehearsed->update();
        plain->update();
        const std::vector<unsigned char> shown = offscreen.draw(rehearsed->getNode().get());
        ASSERT_EQ(shown, offscreen.draw(plain->getNode().get())) << "frame " << frame;
        lit = static_cast<int>(std::count_if(shown.begin(), shown.end(), [](unsigned char c) { return c > 40; }));
        DemoClock::instance().step();
        DemoClock::instance().step();
    }
    EXPECT_GT(lit, 20000) << "forty lines of glyphs on screen";
    EXPECT_FALSE(rehearsed->beginRehearsal());
    std::remove(path.c_str());
}

TEST(Hud, BandsInThePicturesRowsOrNoneWhereALineIsNotAWholeNumberOfThem)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    const GlyphReach reach = measureReach("fonts/arial.ttf", 15.0f);
    const std::optional<ScrollBands> atTheLayers = scrollBands(598.0f, 15.0f, 40, reach);
    ASSERT_TRUE(atTheLayers);
    const std::optional<ScrollBands> same = pictureScrollBands(598.0f, 15.0f, 40, reach);
    ASSERT_TRUE(same);
    EXPECT_EQ(std::make_pair(same->top, same->bottom), std::make_pair(atTheLayers->top, atTheLayers->bottom));
    {
        const PictureSizeForTest size(1600, 1200);
        const std::optional<ScrollBands> twice = pictureScrollBands(598.0f, 15.0f, 40, reach);
        const std::optional<ScrollBands> expected =
            scrollBands(1196.0f, 30.0f, 40, {2.0f * reach.above, 2.0f * reach.below});
        ASSERT_TRUE(twice && expected);
        EXPECT_EQ(std::make_pair(twice->top, twice->bottom), std::make_pair(expected->top, expected->bottom));
    }
    const PictureSizeForTest size(1440, 1080);
    EXPECT_FALSE(pictureScrollBands(598.0f, 15.0f, 40, reach)) << "the baseline at row 1076.4";
}

TEST(Stripes, PulseSlowlyWithTheDemoTimeAndDrawBehindTheSceneUnlessBlended)
{
    EXPECT_DOUBLE_EQ(Overlays::stripeAlpha(0.0), 1.0);
    EXPECT_NEAR(Overlays::stripeAlpha(157.08), 1.5, 1e-6);
    EXPECT_NEAR(Overlays::stripeAlpha(471.24), 0.5, 1e-6);

    ScratchDir dir;
    ASSERT_TRUE(writeTestImage("demodata/b.png", 200));
    CBackgroundStripe background("demodata/b.png");
    EXPECT_LT(background.getNode()->getStateSet()->getBinNumber(), 0);
    EXPECT_GT(background.getNode()->getStateSet()->getBinNumber(), -100) << "after the scope's capture pass";

    CBackgroundStripe logo("demodata/b.png");
    setBlending(logo.getNode().get(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(logo.getNode()->getStateSet()->getBinNumber(), 100);
}
