// The generated character section content: the same bytes on every run, a
// character Cal3D loads whole and whose dance lands on the soundtrack's
// beat, the turning model and its background picture.
#include "platform/osgCal/CoreModel.h"
#include "platform/osgCal/Model.h"
#include "scenes/CharacterConfig.h"
#include "TestSupport.h"

#include <cal3d/cal3d.h>
#include <gtest/gtest.h>
#include <osgDB/ReadFile>

#include <cmath>
#include <cstdlib>
#include <set>

namespace {

const char* const kFiles[] = {"skeleton/skeleton.cfg", "skeleton/dancer.csf", "skeleton/dance.caf",
                              "skeleton/idle.caf",     "skeleton/body.cmf",   "skeleton/clothes.cmf",
                              "skeleton/face.cmf",     "skeleton/shirt.crf",  "skeleton/shirt.png",
                              "ddata/snorkrka1.osg",   "ddata/nybak1.png"};
const double kBeat = 60.0 / 132.0;

void generate(const std::string& folder)
{
    const std::string cmd = std::string(CONTENTGEN_EXE) + " " + folder + " character snork nybak > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

// Height of the hips at animation time t of the dance, in a fresh model.
double hipsHeight(CalCoreModel& core, double t)
{
    CalModel model(&core);
    model.getMixer()->blendCycle(4, 1.f, 0.f);
    model.update(0.f);
    model.update(static_cast<float>(t));
    return model.getSkeleton()->getBone(0)->getTranslationAbsolute().z;
}

} // namespace

TEST(CharacterContent, SameBytesEveryRunAndACharacterThatLoadsWholeAndDancesOnTheBeat)
{
    ScratchDir dir;
    generate("a");
    generate("b");
    for (const char* file : kFiles) {
        const std::string a = readFile(std::string("a/") + file);
        EXPECT_FALSE(a.empty()) << file;
        EXPECT_TRUE(a == readFile(std::string("b/") + file)) << file << " differs between runs";
    }

    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    CaptureStdout out;
    ASSERT_TRUE(LoadCFG("a/skeleton", "a/skeleton/skeleton.cfg", core.get()));
    EXPECT_EQ(out.text().find("LoadCFG error"), std::string::npos) << out.text();
    CalCoreModel& cal = *core->getCalCoreModel();
    ASSERT_GE(cal.getCoreAnimationCount(), 5);
    for (const char* bone : {"head", "hand_l", "hand_r", "foot_l", "foot_r"})
        EXPECT_GE(cal.getCoreSkeleton()->getCoreBoneId(bone), 0) << bone;
    EXPECT_NEAR(cal.getCoreAnimation(4)->getDuration(), 4 * kBeat, 1e-4);

    osg::ref_ptr<osgCal::Model> model = new osgCal::Model;
    ASSERT_TRUE(model->setCoreModel(core.get()));
    for (int i = 0; i < cal.getCoreMeshCount(); ++i)
        model->getCalModel()->attachMesh(i);
    model->getCalModel()->setMaterialSet(0);
    ASSERT_TRUE(model->create());
    EXPECT_GE(model->getNumDrawables(), 5u) << "one drawable per material part";

    // The window opens 0.6 of a beat before a bar: the dancer bounces down
    // on every beat from there, and is up between beats.
    for (int beat = 0; beat < 4; ++beat) {
        const double on = (beat + 0.6) * kBeat;
        EXPECT_LT(hipsHeight(cal, on), hipsHeight(cal, on + 0.5 * kBeat) - 0.02) << "beat " << beat;
        EXPECT_LT(hipsHeight(cal, on), hipsHeight(cal, on - 0.5 * kBeat) - 0.02) << "beat " << beat;
    }
}

TEST(CharacterContent, TurningModelIsColourfulAndItsBackgroundFillsTheScreen)
{
    ScratchDir dir;
    generate("a");
    osg::ref_ptr<osg::Node> snork = osgDB::readNodeFile("a/ddata/snorkrka1.osg");
    ASSERT_TRUE(snork.valid());
    EXPECT_GT(snork->getBound().radius(), 3.0f);
    EXPECT_GE(snork->asGeode()->getNumDrawables(), 15u) << "a creature of many parts, not a primitive";

    osg::ref_ptr<osg::Image> picture = osgDB::readImageFile("a/ddata/nybak1.png");
    ASSERT_TRUE(picture.valid());
    EXPECT_EQ(picture->s() * 3, picture->t() * 4) << "screen shape";
    std::set<int> shades;
    for (int y = 0; y < picture->t(); y += 9)
        for (int x = 0; x < picture->s(); x += 9)
            shades.insert(picture->data(x, y)[0] / 8 * 1024 + picture->data(x, y)[1] / 8 * 32 + picture->data(x, y)[2] / 8);
    EXPECT_GT(shades.size(), 60u) << "picture looks flat";
}
