// Start-up: the files read ahead while the window opens, the list of them
// that must follow the builders, the later parts' GL objects prepared
// during the opening, and the speed-ups' conditions.
#include "app/ContentPreloader.h"
#include "app/GLWarmUp.h"
#include "app/Globals.h"
#include "app/Show.h"
#include "app/SpeedUps.h"
#include "app/Timeline.h"
#include "app/VerticalRefresh.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"
#include "effects/ImageFX.h"
#include "effects/OverlaySpeedUps.h"
#include "OffscreenView.h"
#include "ShowTimeline.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/BlendFunc>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Texture2D>
#include <osgDB/WriteFile>

#include <unistd.h>

#include <sstream>
#include <vector>

namespace {

// Reads every file itself and notes each request, in order.
class RecordingReader : public ContentReader
{
public:
    osg::ref_ptr<osg::Image> image(const std::string& path) override
    {
        reads.push_back({path, false});
        return dynamic_cast<osg::Image*>(readContentFile({path, false}).get());
    }
    osg::ref_ptr<osg::Node> model(const std::string& path) override
    {
        reads.push_back({path, true});
        return dynamic_cast<osg::Node*>(readContentFile({path, true}).get());
    }
    ContentList reads;
};

osg::ref_ptr<osg::BlendFunc> blend(GLenum source, GLenum destination)
{
    return new osg::BlendFunc(source, destination);
}

std::string listed(const ContentList& files)
{
    std::ostringstream out;
    for (const ContentFile& file : files)
        out << "  " << file.path << (file.isModel ? " (model)" : "") << "\n";
    return out.str();
}

} // namespace

// Read ahead or not, a builder gets what the file holds, and gets it again
// when it asks again; a missing file is missing either way.
TEST(Preloader, HandsEachListedFileOutOnceAndReadsEverythingElseItself)
{
    ScratchDir dir;
    ASSERT_TRUE(writeTestImage("demodata/a.png", 10));
    ASSERT_TRUE(writeTestImage("demodata/b.png", 20));
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->setName("model");
    ASSERT_TRUE(osgDB::writeNodeFile(*group, "demodata/m.osg"));

    ContentPreloader preloader({{"demodata/a.png", false}, {"demodata/m.osg", true}, {"demodata/gone.png", false}});
    osg::ref_ptr<osg::Image> a = preloader.image("demodata/a.png");
    ASSERT_TRUE(a.valid());
    EXPECT_EQ(a->data()[0], 10);
    osg::ref_ptr<osg::Image> again = preloader.image("demodata/a.png");
    ASSERT_TRUE(again.valid());
    EXPECT_NE(again.get(), a.get());
    osg::ref_ptr<osg::Node> model = preloader.model("demodata/m.osg");
    ASSERT_TRUE(model.valid());
    EXPECT_EQ(model->getName(), "model");
    EXPECT_FALSE(preloader.image("demodata/gone.png").valid());
    osg::ref_ptr<osg::Image> b = preloader.image("demodata/b.png");
    ASSERT_TRUE(b.valid());
    EXPECT_EQ(b->data()[0], 20);

    // Stopped before it began, it leaves every file to the builders.
    ContentPreloader stopped({{"demodata/b.png", false}, {"demodata/a.png", false}});
    stopped.stop();
    EXPECT_TRUE(stopped.image("demodata/a.png").valid());
    EXPECT_TRUE(stopped.image("demodata/b.png").valid());
}

// Counts the draws of the drawable it is set on.
struct DrawCounter : osg::Drawable::DrawCallback {
    mutable int draws = 0;
    void drawImplementation(osg::RenderInfo& info, const osg::Drawable* drawable) const override
    {
        ++draws;
        drawable->drawImplementation(info);
    }
};

// Stands for the echo: counts what the warm-up asks of it, and the part's
// draws it saw at each ask.
struct CountedRehearsal : WarmUpRehearsal {
    explicit CountedRehearsal(bool possible, const DrawCounter* counter) : possible(possible), counter(counter) {}
    bool begin() override
    {
        drawsAtBegin = counter->draws;
        return possible;
    }
    void end() override
    {
        ++ends;
        drawsAtEnd = counter->draws;
    }
    bool possible;
    const DrawCounter* counter;
    int drawsAtBegin = -1, drawsAtEnd = -1, ends = 0;
};

struct LaterPart {
    osg::ref_ptr<osg::Texture2D> texture;
    osg::ref_ptr<DrawCounter> counter = new DrawCounter;
    osg::ref_ptr<CountedRehearsal> rehearsal;
};

enum class Rehearsal { None, CanPutBack, CannotPutBack };

// An effect that counts the work done for it ahead of its window.
struct PreparedEffect : Demo::CFX {
    void update() override {}
    void prepare() override { ++prepared; }
    osg::ref_ptr<osg::Group> getNode() override { return node; }
    osg::ref_ptr<osg::Group> node = new osg::Group;
    int prepared = 0;
};

// A part that opens later: a white square over the whole view, with a
// texture of its own; with a rehearsal, one that moves its own state on.
LaterPart addLaterPart(double start, unsigned char level, Rehearsal rehearsal = Rehearsal::None)
{
    osg::ref_ptr<osg::Image> image = new osg::Image;
    image->allocateImage(8, 8, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), level);
    LaterPart made;
    made.texture = new osg::Texture2D(image.get());
    osg::ref_ptr<osg::Geometry> square = osg::createTexturedQuadGeometry(
        osg::Vec3(-10, -10, -1), osg::Vec3(20, 0, 0), osg::Vec3(0, 20, 0));
    // Drawn from a display list, its draws would pass the counter by.
    square->setUseDisplayList(false);
    square->setDrawCallback(made.counter.get());
    osg::ref_ptr<osg::Geode> part = new osg::Geode;
    part->addDrawable(square.get());
    part->getOrCreateStateSet()->setTextureAttributeAndModes(0, made.texture.get());
    if (rehearsal != Rehearsal::None) {
        made.rehearsal = new CountedRehearsal(rehearsal == Rehearsal::CanPutBack, made.counter.get());
        part->setUserData(made.rehearsal.get());
    }
    g_sceneParts.push_back(part);
    g_timeline->addNode(start, start + 5.0, g_sceneSwitch.get(), part.get());
    return made;
}

// Later parts get their textures and then two unseen draws each, in the
// order they open, each draw in a step of its own and after the part's
// upload; the echo-like part is drawn inside its rehearsal; and the frame
// after the warm-up shows nothing of what it drew.
TEST(WarmUp, PreparesLaterPartsInTheOrderTheyOpenWithoutShowingThem)
{
    ScratchDir dir;
    ShowTimeline timeline;
    OffscreenView offscreen(8);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    const LaterPart early = addLaterPart(1.0, 10);
    const LaterPart later = addLaterPart(30.0, 20);
    const LaterPart late = addLaterPart(20.0, 30);
    const LaterPart echo = addLaterPart(40.0, 40, Rehearsal::CanPutBack);
    osg::ref_ptr<osg::Group> nothing = new osg::Group;
    const std::vector<unsigned char> empty = offscreen.draw(nothing.get());

    const unsigned id = offscreen.view->getState()->getContextID();
    const auto draws = [&] { return early.counter->draws + later.counter->draws + late.counter->draws + echo.counter->draws; };
    GLWarmUp warmUp(*g_timeline, 15.0);
    int step = 0, lateUploaded = 0, lateFirstDrawn = 0, lateDone = 0, laterUploaded = 0;
    const auto note = [&](int& at, bool reached) { at = at == 0 && reached ? step : at; };
    while (!warmUp.done() && step < 1000) {
        const int before = draws();
        warmUp.prepareNext(*offscreen.view);
        ++step;
        EXPECT_LE(draws() - before, 1) << "a draw takes a step of its own, at step " << step;
        note(lateUploaded, late.texture->getTextureObject(id) != nullptr);
        note(lateFirstDrawn, late.counter->draws == 1);
        note(lateDone, late.counter->draws == 2);
        note(laterUploaded, later.texture->getTextureObject(id) != nullptr);
    }
    ASSERT_TRUE(warmUp.done());
    EXPECT_GT(lateUploaded, 0);
    EXPECT_LT(lateUploaded, lateFirstDrawn) << "uploaded first, drawn a step later";
    EXPECT_LT(lateFirstDrawn, lateDone);
    EXPECT_LT(lateDone, laterUploaded) << "in the order they open";
    EXPECT_EQ(late.counter->draws, 2);
    EXPECT_EQ(later.counter->draws, 2);
    EXPECT_TRUE(echo.texture->getTextureObject(id));
    EXPECT_EQ(echo.rehearsal->ends, 2);
    EXPECT_EQ(echo.rehearsal->drawsAtBegin, 1);
    EXPECT_EQ(echo.rehearsal->drawsAtEnd, 2);
    EXPECT_FALSE(early.texture->getTextureObject(id)) << "opens before the warm-up ends";
    EXPECT_EQ(early.counter->draws, 0);
    EXPECT_EQ(offscreen.draw(nothing.get()), empty);
}

// A jump past the opening finishes the steps left at once, each part's
// two draws and each later effect's work ahead still done only once; and what the view draws after is drawn as it would
// be without the warm-up (a part the view textures first after it once came
// out untextured: the state's record of its modes had been turned over).
TEST(WarmUp, PreparesWhatIsLeftAtOnceAfterAJump)
{
    ScratchDir dir;
    ShowTimeline timeline;
    OffscreenView offscreen(10);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    const LaterPart first = addLaterPart(20.0, 10);
    const LaterPart second = addLaterPart(30.0, 20);
    const LaterPart echo = addLaterPart(40.0, 40, Rehearsal::CanPutBack);
    const LaterPart drawnAlready = addLaterPart(45.0, 50, Rehearsal::CannotPutBack);
    addLaterPart(1.0, 90); // opens in the opening: never prepared
    osg::Node* shownAfter = g_sceneParts.back().get();
    auto* laterEffect = new PreparedEffect;
    auto* openingEffect = new PreparedEffect;
    g_timeline->addEffect(35.0, 50.0, g_sceneSwitch.get(), laterEffect);
    g_timeline->addEffect(2.0, 50.0, g_sceneSwitch.get(), openingEffect);
    osg::ref_ptr<osg::Group> nothing = new osg::Group;
    offscreen.draw(nothing.get()); // the opening's first frame sets the context up
    const std::vector<unsigned char> textured = offscreen.draw(shownAfter);

    const unsigned id = offscreen.view->getState()->getContextID();
    GLWarmUp warmUp(*g_timeline, 15.0);
    warmUp.prepareNext(*offscreen.view);
    warmUp.prepareAll(*offscreen.view);
    EXPECT_TRUE(warmUp.done());
    EXPECT_EQ(first.counter->draws, 2);
    EXPECT_EQ(second.counter->draws, 2);
    EXPECT_TRUE(second.texture->getTextureObject(id));
    EXPECT_TRUE(echo.texture->getTextureObject(id));
    EXPECT_EQ(echo.counter->draws, 2);
    EXPECT_EQ(echo.rehearsal->ends, 2);
    EXPECT_EQ(drawnAlready.counter->draws, 0) << "cannot be put back: not drawn";
    EXPECT_EQ(drawnAlready.rehearsal->ends, 0);
    EXPECT_EQ(laterEffect->prepared, 1);
    EXPECT_EQ(openingEffect->prepared, 0);
    EXPECT_EQ(offscreen.draw(shownAfter), textured);
    warmUp.prepareAll(*offscreen.view);
    EXPECT_EQ(second.counter->draws, 2);
    EXPECT_EQ(laterEffect->prepared, 1);
}


// The whole show built from its real run folder: the list the preloader
// gets must name every file the builders then read, in the same order, or
// the files left out are read on the main thread and the ones out of order
// wait behind the others.
TEST(PreloadList, NamesEveryFileTheShowReadsWhileItBuildsInTheOrderItReadsThem)
{
    ASSERT_EQ(chdir(SHOW_DIR), 0);
    OffscreenView offscreen(9);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    CaptureStdout quiet;
    g_camera = new PathCamera;
    g_rootGroup = new osg::Group;
    RecordingReader reader;
    g_contentReader = &reader;
    buildShow(1);
    g_contentReader = nullptr;

    const ContentList expected = showContentInLoadOrder();
    const auto same = [](const ContentFile& a, const ContentFile& b) {
        return a.path == b.path && a.isModel == b.isModel;
    };
    EXPECT_TRUE(std::equal(reader.reads.begin(), reader.reads.end(), expected.begin(), expected.end(), same))
        << "the builders read:\n" << listed(reader.reads) << "the preloader is given:\n" << listed(expected);
}

// A speed-up runs only when its condition holds; one that does not is
// named on the console with the reason, and a later one can ask what was
// tried before it.
// The show asks the driver to wait for each vertical refresh unless the
// environment says otherwise.
TEST(VerticalRefresh, IsWaitedForUnlessTheEnvironmentTurnsItOff)
{
    const auto withVariable = [](const char* value) {
        if (value)
            setenv(kNoVsyncVariable, value, 1);
        else
            unsetenv(kNoVsyncVariable);
        return requestedSwapInterval();
    };
    EXPECT_EQ(withVariable(nullptr), 1);
    EXPECT_EQ(withVariable(""), 1);
    EXPECT_EQ(withVariable("0"), 1);
    EXPECT_EQ(withVariable("1"), 0);
    EXPECT_EQ(withVariable("yes"), 0);
    unsetenv(kNoVsyncVariable);
}

TEST(SpeedUps, RunWhenTheirConditionHoldsAndNameTheOnesSkippedWithTheReason)
{
    ASSERT_TRUE(speedUpsOn()) << kPlainPathVariable << " is set for the unit tests";
    CaptureStdout console;
    SpeedUpList list("the test part");
    int ran = 0;
    EXPECT_TRUE(list.apply("first", [] { return holds(); }, [&] { ++ran; }));
    EXPECT_FALSE(list.apply("second", [] { return unmet("it is not still"); }, [&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(console.text(), "Speed-up skipped in the test part: second (it is not still)\n");
    EXPECT_TRUE(list.tried("second"));
    EXPECT_FALSE(list.applied("second"));
    EXPECT_TRUE(list.applied("first"));
    EXPECT_FALSE(list.tried("third"));
}

// The overlays' speed-ups rest on blending that leaves the frame alone where
// the texel left out is drawn, at any opacity the effect gives the quad.
TEST(SpeedUps, BlendingKeepsTheFrameOnlyWhereTheTexelAddsNothing)
{
    const osg::Vec4 clear(0, 0, 0, 0), clearWhite(1, 1, 1, 0), opaque(0.5f, 0.5f, 0.5f, 1);
    EXPECT_TRUE(keepsTheFrame(*blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), clear));
    EXPECT_TRUE(keepsTheFrame(*blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA), clear));
    EXPECT_TRUE(keepsTheFrame(*blend(GL_SRC_ALPHA, GL_ONE), clear));
    EXPECT_TRUE(keepsTheFrame(*blend(GL_DST_COLOR, GL_SRC_ALPHA), clearWhite));
    EXPECT_FALSE(keepsTheFrame(*blend(GL_DST_COLOR, GL_SRC_ALPHA), clear)) << "multiplies by black";
    EXPECT_FALSE(keepsTheFrame(*blend(GL_ONE, GL_ZERO), clear)) << "replaces the frame";
    EXPECT_FALSE(keepsTheFrame(*blend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), opaque));
    EXPECT_FALSE(keepsTheFrame(*blend(GL_CONSTANT_COLOR, GL_ONE), clear)) << "a factor it cannot judge";

    // Once still, an effect refuses to move its texture coordinates.
    struct Still : Demo::Image::CImageFX {
        Still() : CImageFX(new osg::Geometry) {}
        osg::ref_ptr<osg::Group> getNode() override { return new osg::Group; }
    } effect;
    effect.holdStill();
    CaptureStdout console;
    effect.setMode(Demo::Image::CImageFX::SweepS);
    EXPECT_TRUE(effect.isStill());
    EXPECT_NE(console.text().find("kept still"), std::string::npos);
}
