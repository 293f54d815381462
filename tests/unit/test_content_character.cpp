// The generated character section content and the character node made from
// it: a configuration Cal3D loads whole, with its comments, long lines and
// failures; a dance that lands on the soundtrack's beat and is skinned from
// the frame stamp; createCharacter and its failure paths.
#include "platform/osgCal/CoreModel.h"
#include "platform/osgCal/Model.h"
#include "scenes/Character.h"
#include "scenes/CharacterConfig.h"
#include "ContentSupport.h"
#include "TestSupport.h"

#include <cal3d/cal3d.h>
#include <gtest/gtest.h>
#include <osgUtil/UpdateVisitor>

#include <cmath>

namespace {

const double kBeat = 60.0 / 132.0;
const char* const kDanceOnly = "skeleton=dancer.csf\nanimation=idle.caf\nanimation=idle.caf\nanimation=idle.caf\n"
                               "animation=idle.caf\nanimation=dance.caf\nmesh=body.cmf\n";

// The generated character's files, copied into `dir` of the scratch folder.
void copyCharacter(const std::string& dir)
{
    std::filesystem::copy(content::file("skeleton"), dir, std::filesystem::copy_options::recursive);
}

// LoadCFG on the given text; returns what it printed on standard output.
std::string load(const std::string& text, osgCal::CoreModel* core)
{
    writeFile("d/c.cfg", text);
    CaptureStdout out;
    EXPECT_TRUE(LoadCFG("d", "d/c.cfg", core));
    return out.text();
}

osg::ref_ptr<osgCal::Model> dancer(osgCal::CoreModel* core)
{
    osg::ref_ptr<osgCal::Model> model = new osgCal::Model;
    EXPECT_TRUE(model->setCoreModel(core));
    for (int i = 0; i < core->getCalCoreModel()->getCoreMeshCount(); ++i)
        model->getCalModel()->attachMesh(i);
    model->getCalModel()->setMaterialSet(0);
    EXPECT_TRUE(model->create());
    model->getCalModel()->getMixer()->blendCycle(4, 1.f, 0.f);
    return model;
}

std::vector<osg::Vec3> copyVertices(const osgCal::Model& model)
{
    const auto* vertices = static_cast<const osg::Vec3Array*>(model.getDrawable(0)->asGeometry()->getVertexArray());
    return std::vector<osg::Vec3>(vertices->begin(), vertices->end());
}

float largestMove(const std::vector<osg::Vec3>& a, const std::vector<osg::Vec3>& b)
{
    float largest = 0.f;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, (a[i] - b[i]).length());
    return largest;
}

// One update traversal at the given frame number and time.
void updateAt(osg::Node& node, unsigned frame, double seconds)
{
    osg::ref_ptr<osg::FrameStamp> stamp = new osg::FrameStamp;
    stamp->setFrameNumber(frame);
    stamp->setSimulationTime(seconds);
    osgUtil::UpdateVisitor visitor;
    visitor.setFrameStamp(stamp.get());
    visitor.setTraversalNumber(frame);
    node.accept(visitor);
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

TEST(CharacterContent, ACharacterThatLoadsWholeAndDancesOnTheBeat)
{
    const std::string folder = content::file("skeleton");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    CaptureStdout out;
    ASSERT_TRUE(LoadCFG(folder, folder + "/skeleton.cfg", core.get()));
    EXPECT_EQ(out.text().find("LoadCFG error"), std::string::npos) << out.text();
    CalCoreModel& cal = *core->getCalCoreModel();
    ASSERT_GE(cal.getCoreAnimationCount(), 5);
    for (const char* bone : {"head", "hand_l", "hand_r", "foot_l", "foot_r"})
        EXPECT_GE(cal.getCoreSkeleton()->getCoreBoneId(bone), 0) << bone;
    EXPECT_NEAR(cal.getCoreAnimation(4)->getDuration(), 4 * kBeat, 1e-4);
    EXPECT_EQ(cal.getCoreMaterial(1)->getVectorMap().at(0).strFilename, folder + "/shirt.png");

    EXPECT_GE(dancer(core.get())->getNumDrawables(), 5u) << "one drawable per material part";

    // The window opens 0.6 of a beat before a bar: the dancer bounces down
    // on every beat from there, and is up between beats.
    for (int beat = 0; beat < 4; ++beat) {
        const double on = (beat + 0.6) * kBeat;
        EXPECT_LT(hipsHeight(cal, on), hipsHeight(cal, on + 0.5 * kBeat) - 0.02) << "beat " << beat;
        EXPECT_LT(hipsHeight(cal, on), hipsHeight(cal, on - 0.5 * kBeat) - 0.02) << "beat " << beat;
    }
}

TEST(LoadCFG, SplitsAtTheFirstEqualsTrimsOnlyTheLineEndSkipsCommentsMatchesKeysExactlyAndReportsEachFailure)
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

    ScratchDir dir;
    copyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    const std::string out = load(std::string(kDanceOnly) + "mesh=missing.cmf\nanimation=missing.caf\n", core.get());
    CalCoreModel& cal = *core->getCalCoreModel();
    EXPECT_EQ(cal.getCoreAnimationCount(), 5);
    EXPECT_EQ(cal.getCoreMeshCount(), 1);
    const std::string error = "LoadCFG error: " + CalError::getErrorDescription(CalError::FILE_NOT_FOUND) + "\n";
    const size_t first = out.find(error);
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_NE(out.find(error, first + 1), std::string::npos) << "one line per failed entry";
    EXPECT_NE(out.find("    subloading mesh: d/missing.cmf\n"), std::string::npos);

    osg::ref_ptr<osgCal::CoreModel> other = new osgCal::CoreModel;
    EXPECT_EQ(load("#mesh=body.cmf\nmesh\n\nScale=2\nmesh =body.cmf\nscale=2\nskeleton=dancer.csf\r\n", other.get()),
              "Loading cal3d character from d/c.cfg\n"
              "    subloading Scale: d/2\n"
              "    subloading mesh : d/body.cmf\n"
              "scaled option unhandled\n"
              "    subloading skeleton: d/dancer.csf\n");
    EXPECT_EQ(other->getCalCoreModel()->getCoreMeshCount(), 0);
    EXPECT_NE(other->getCalCoreModel()->getCoreSkeleton(), nullptr) << "CR LF taken off the name";

    testing::internal::CaptureStderr();
    CaptureStdout quiet;
    EXPECT_FALSE(LoadCFG("d", "d/none.cfg", core.get()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "opening failed!\n");
}

TEST(LoadCFG, ReadsLongLinesInPiecesOf4095Characters)
{
    ScratchDir dir;
    copyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    // The comment fills the first piece exactly; the rest is a line of its own.
    load("skeleton=dancer.csf\n#" + std::string(4094, 'x') + "mesh=body.cmf\n", core.get());
    EXPECT_EQ(core->getCalCoreModel()->getCoreMeshCount(), 1);
    // One character shorter: the piece now ends inside the key.
    const std::string out = load("#" + std::string(4093, 'x') + "mesh=body.cmf\n", core.get());
    EXPECT_NE(out.find("    subloading esh: d/body.cmf\n"), std::string::npos) << out;
}

TEST(CharacterNode, SkinsTheDanceFromTheFrameStampRestartsAfterAGapAndCanLeaveNormalsToOpenGL)
{
    ScratchDir dir;
    copyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    load(kDanceOnly, core.get());
    osg::ref_ptr<osgCal::Model> model = dancer(core.get());

    updateAt(*model, 1, 10.0);
    const std::vector<osg::Vec3> start = copyVertices(*model);
    updateAt(*model, 2, 10.0 + kBeat / 2);
    EXPECT_GT(largestMove(start, copyVertices(*model)), 0.02f) << "half a beat later the dancer has moved";
    updateAt(*model, 9, 30.0); // back in the scene after frames without it
    EXPECT_LT(largestMove(start, copyVertices(*model)), 1e-4f) << "the dance starts again";

    EXPECT_EQ(model->getStateSet()->getMode(GL_NORMALIZE), osg::StateAttribute::OFF);
    model->normalizeNormals = false;
    model->advance(0.1);
    EXPECT_EQ(model->getStateSet()->getMode(GL_NORMALIZE), osg::StateAttribute::ON);
}

TEST(CharacterNode, SurvivesAMissingTextureMeshesWithoutMaterialAndAnEmptyConfig)
{
    ScratchDir dir;
    copyCharacter("d");
    std::remove("d/shirt.png");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    load(readFile("d/skeleton.cfg"), core.get());
    CaptureStdout out;
    osg::ref_ptr<osgCal::Model> model = dancer(core.get());
    EXPECT_EQ(out.text(), "osgCal: cannot read texture image d/shirt.png\n");
    for (unsigned i = 0; i < model->getNumDrawables(); ++i)
        EXPECT_EQ(model->getDrawable(i)->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE), nullptr);
    updateAt(*model, 1, 0.0);
    updateAt(*model, 2, 0.5);

    osg::ref_ptr<osgCal::CoreModel> bare = new osgCal::CoreModel;
    load(kDanceOnly, bare.get());
    osg::ref_ptr<osgCal::Model> unpainted = dancer(bare.get());
    updateAt(*unpainted, 1, 0.0);
    updateAt(*unpainted, 2, 0.5);

    osg::ref_ptr<osgCal::CoreModel> empty = new osgCal::CoreModel;
    load("# nothing here\n", empty.get());
    osg::ref_ptr<osgCal::Model> nothing = new osgCal::Model;
    EXPECT_FALSE(nothing->setCoreModel(empty.get()));
    EXPECT_FALSE(nothing->create());
    updateAt(*nothing, 1, 0.0);
}

TEST(CreateCharacter, BuildsTheCartoonCharacterOrSaysWhyNot)
{
    ScratchDir dir;
    copyCharacter("skeleton");
    {
        CaptureStdout out;
        osg::ref_ptr<osg::Group> group = createCharacter();
        ASSERT_NE(group, nullptr);
        ASSERT_EQ(group->getNumChildren(), 1u);
        auto* model = dynamic_cast<osgCal::Model*>(group->getChild(0)->asGroup()->getChild(0));
        ASSERT_NE(model, nullptr);
        EXPECT_FALSE(model->normalizeNormals);
        EXPECT_FALSE(model->isCullingActive());
        EXPECT_NE(model->getStateSet()->getAttribute(osg::StateAttribute::MATERIAL), nullptr);
    }
    for (const auto& [config, message] : {std::pair<std::string, std::string>{"mesh=body.cmf\n", "setCoreModel: "},
                                          {"skeleton=dancer.csf\n", "create: "}}) {
        writeFile("skeleton/skeleton.cfg", config);
        CaptureStdout out;
        testing::internal::CaptureStderr();
        EXPECT_EQ(createCharacter(), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr().rfind(message, 0), 0u) << config;
    }
}
