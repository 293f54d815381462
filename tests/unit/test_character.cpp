// The character configuration rules, the character node on a tiny
// character written here with Cal3D's saver, createCharacter's failure
// paths, and where background stripes draw.
#include "effects/Flash.h"
#include "effects/OverlayLayer.h"
#include "platform/osgCal/CoreModel.h"
#include "platform/osgCal/Model.h"
#include "scenes/Character.h"
#include "scenes/CharacterConfig.h"
#include "TestSupport.h"

#include <cal3d/cal3d.h>
#include <cal3d/corekeyframe.h>
#include <cal3d/coretrack.h>
#include <gtest/gtest.h>
#include <osg/BlendFunc>
#include <osgUtil/UpdateVisitor>

#include <cmath>

namespace {

// Two bones, root at the origin and a child one unit up, and a strip of
// vertices up the z axis: the lower half on the root, the upper half on the
// child. Animation 4 turns the child a quarter turn about x over a second.
CalCoreSkeleton* tinySkeleton()
{
    auto* skeleton = new CalCoreSkeleton;
    for (int bone = 0; bone < 2; ++bone) {
        auto* core = new CalCoreBone(bone ? "child" : "root");
        core->setCoreSkeleton(skeleton);
        core->setParentId(bone - 1);
        core->setTranslation(CalVector(0, 0, bone ? 1.f : 0.f));
        core->setRotation(CalQuaternion());
        core->setTranslationBoneSpace(CalVector(0, 0, bone ? -1.f : 0.f));
        core->setRotationBoneSpace(CalQuaternion());
        skeleton->addCoreBone(core);
        if (bone)
            skeleton->getCoreBone(0)->addChildId(1);
    }
    return skeleton;
}

CalCoreAnimation* tinyAnimation(float quarterTurns)
{
    auto* animation = new CalCoreAnimation;
    animation->setDuration(1.f);
    for (int bone = 0; bone < 2; ++bone) {
        auto* track = new CalCoreTrack;
        track->create();
        track->setCoreBoneId(bone);
        for (float t : {0.f, 1.f}) {
            auto* key = new CalCoreKeyframe;
            key->create();
            key->setTime(t);
            key->setTranslation(CalVector(0, 0, bone ? 1.f : 0.f));
            const float half = bone ? 0.25f * 3.14159265f * quarterTurns * t : 0.f;
            key->setRotation(CalQuaternion(std::sin(half), 0, 0, std::cos(half)));
            track->addCoreKeyframe(key);
        }
        animation->addCoreTrack(track);
    }
    return animation;
}

// Submesh 0 uses material thread 0; submesh 1, with `orphan`, thread 1.
CalCoreMesh* tinyMesh(bool orphan)
{
    auto* mesh = new CalCoreMesh;
    for (int part = 0; part < (orphan ? 2 : 1); ++part) {
        auto* submesh = new CalCoreSubmesh;
        submesh->reserve(6, 1, 4, 0);
        submesh->setCoreMaterialThreadId(part);
        submesh->setLodCount(0);
        for (int v = 0; v < 6; ++v) {
            CalCoreSubmesh::Vertex vertex;
            vertex.position = CalVector(v % 2 ? 0.5f : -0.5f, 0, 0.6f * (v / 2) + 0.2f);
            vertex.normal = CalVector(0, -1, 0);
            vertex.collapseId = -1;
            vertex.faceCollapseCount = 0;
            vertex.vectorInfluence.push_back({vertex.position.z > 1.f ? 1 : 0, 1.f});
            submesh->setVertex(v, vertex);
            submesh->setTextureCoordinate(v, 0, {v % 2 ? 1.f : 0.f, 0.4f * (v / 2)});
        }
        for (int f = 0; f < 4; ++f)
            submesh->setFace(f, {{f, f + 1, f + 2}});
        mesh->addCoreSubmesh(submesh);
    }
    return mesh;
}

CalCoreMaterial* tinyMaterial(const std::string& map)
{
    auto* material = new CalCoreMaterial;
    material->setDiffuseColor({200, 100, 50, 255});
    material->reserve(1);
    material->setMap(0, {map, nullptr});
    return material;
}

const char* const kTinyConfig =
    "skeleton=tiny.csf\nanimation=a.caf\nanimation=a.caf\nanimation=a.caf\nanimation=a.caf\nanimation=turn.caf\n"
    "mesh=tiny.cmf\nmaterial=tiny.crf\n";

// Writes the tiny character's files into `dir` with Cal3D's saver.
void writeTinyCharacter(const std::string& dir, bool orphanSubmesh = false, const std::string& map = "skin.png")
{
    mkdir(dir.c_str(), 0755);
    CalCoreSkeletonPtr skeleton = tinySkeleton();
    CalCoreAnimationPtr still = tinyAnimation(0.f), turn = tinyAnimation(1.f);
    CalCoreMeshPtr mesh = tinyMesh(orphanSubmesh);
    CalCoreMaterialPtr material = tinyMaterial(map);
    ASSERT_TRUE(CalSaver::saveCoreSkeleton(dir + "/tiny.csf", skeleton.get()));
    ASSERT_TRUE(CalSaver::saveCoreAnimation(dir + "/a.caf", still.get()));
    ASSERT_TRUE(CalSaver::saveCoreAnimation(dir + "/turn.caf", turn.get()));
    ASSERT_TRUE(CalSaver::saveCoreMesh(dir + "/tiny.cmf", mesh.get()));
    ASSERT_TRUE(CalSaver::saveCoreMaterial(dir + "/tiny.crf", material.get()));
    ASSERT_TRUE(writeTestImage(dir + "/skin.png", 255));
    writeFile(dir + "/c.cfg", kTinyConfig);
}

// LoadCFG on the given text; returns what it printed on standard output.
std::string load(const std::string& text, osgCal::CoreModel* core)
{
    writeFile("d/c.cfg", text);
    CaptureStdout out;
    EXPECT_TRUE(LoadCFG("d", "d/c.cfg", core));
    return out.text();
}

osg::ref_ptr<osgCal::Model> tinyModel(osgCal::CoreModel* core)
{
    osg::ref_ptr<osgCal::Model> model = new osgCal::Model;
    EXPECT_TRUE(model->setCoreModel(core));
    model->getCalModel()->attachMesh(0);
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

} // namespace

TEST(LoadCFG, SkipsCommentsAndLinesWithoutEqualsAndMatchesKeysExactly)
{
    ScratchDir dir;
    writeTinyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    const std::string out = load("#mesh=tiny.cmf\nmesh\n\nScale=2\nmesh =tiny.cmf\nscale=2\nskeleton=tiny.csf\r\n", core.get());
    EXPECT_EQ(out, "Loading cal3d character from d/c.cfg\n"
                   "    subloading Scale: d/2\n"
                   "    subloading mesh : d/tiny.cmf\n"
                   "scaled option unhandled\n"
                   "    subloading skeleton: d/tiny.csf\n");
    EXPECT_EQ(core->getCalCoreModel()->getCoreMeshCount(), 0);
    EXPECT_NE(core->getCalCoreModel()->getCoreSkeleton(), nullptr) << "CR LF taken off the name";
}

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

TEST(LoadCFG, ReadsLongLinesInPiecesOf4095Characters)
{
    ScratchDir dir;
    writeTinyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    // The comment fills the first piece exactly; the rest is a line of its own.
    load("skeleton=tiny.csf\n#" + std::string(4094, 'x') + "mesh=tiny.cmf\n", core.get());
    EXPECT_EQ(core->getCalCoreModel()->getCoreMeshCount(), 1);
    // One character shorter: the piece now ends inside the key.
    const std::string out = load("#" + std::string(4093, 'x') + "mesh=tiny.cmf\n", core.get());
    EXPECT_NE(out.find("    subloading esh: d/tiny.cmf\n"), std::string::npos) << out;
}

TEST(LoadCFG, LoadsEveryKindThreadsMaterialsAndReportsFailures)
{
    ScratchDir dir;
    writeTinyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    const std::string out = load(std::string(kTinyConfig) + "mesh=missing.cmf\nanimation=missing.caf\n", core.get());
    CalCoreModel& cal = *core->getCalCoreModel();
    EXPECT_EQ(cal.getCoreAnimationCount(), 5);
    EXPECT_EQ(cal.getCoreMeshCount(), 1);
    EXPECT_EQ(cal.getCoreMaterialId(0, 0), 0);
    EXPECT_EQ(cal.getCoreMaterial(0)->getVectorMap().at(0).strFilename, "d/skin.png");
    const std::string error = "LoadCFG error: " + CalError::getErrorDescription(CalError::FILE_NOT_FOUND) + "\n";
    const size_t first = out.find(error);
    ASSERT_NE(first, std::string::npos) << out;
    EXPECT_NE(out.find(error, first + 1), std::string::npos) << "one line per failed entry";
    EXPECT_NE(out.find("    subloading mesh: d/missing.cmf\n"), std::string::npos);

    testing::internal::CaptureStderr();
    CaptureStdout quiet;
    EXPECT_FALSE(LoadCFG("d", "d/none.cfg", core.get()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "opening failed!\n");
}

TEST(CharacterNode, SkinsTheAnimationFromTheFrameStampAndRestartsAfterAGap)
{
    ScratchDir dir;
    writeTinyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    load(kTinyConfig, core.get());
    osg::ref_ptr<osgCal::Model> model = tinyModel(core.get());

    updateAt(*model, 1, 10.0);
    const std::vector<osg::Vec3> rest = copyVertices(*model);
    updateAt(*model, 2, 10.5);
    const std::vector<osg::Vec3> turned = copyVertices(*model);
    EXPECT_EQ(turned[0], rest[0]) << "the root's vertices stay";
    // The top vertex, 0.4 above the child's joint, turns 45 degrees about x.
    EXPECT_NEAR(turned[5].z(), 1.0f + 0.4f * std::cos(0.785398f), 1e-3f);
    EXPECT_NEAR(std::fabs(turned[5].y()), 0.4f * std::sin(0.785398f), 1e-3f);

    updateAt(*model, 9, 30.0); // back in the scene after frames without it
    EXPECT_NEAR(copyVertices(*model)[5].z(), rest[5].z(), 1e-4f);
}

TEST(CharacterNode, SurvivesMissingTextureMeshWithoutMaterialAndEmptyConfig)
{
    ScratchDir dir;
    writeTinyCharacter("d", true, "gone.png");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    load(kTinyConfig, core.get());
    CaptureStdout out;
    osg::ref_ptr<osgCal::Model> model = tinyModel(core.get());
    EXPECT_EQ(out.text(), "osgCal: cannot read texture image d/gone.png\n");
    ASSERT_EQ(model->getNumDrawables(), 2u);
    EXPECT_EQ(model->getDrawable(0)->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE), nullptr);
    updateAt(*model, 1, 0.0);
    updateAt(*model, 2, 0.5);

    osg::ref_ptr<osgCal::CoreModel> empty = new osgCal::CoreModel;
    load("# nothing here\n", empty.get());
    osg::ref_ptr<osgCal::Model> nothing = new osgCal::Model;
    EXPECT_FALSE(nothing->setCoreModel(empty.get()));
    EXPECT_FALSE(nothing->create());
    updateAt(*nothing, 1, 0.0);
}

TEST(CharacterNode, NormalisationOptionHandsTheWorkToOpenGL)
{
    ScratchDir dir;
    writeTinyCharacter("d");
    osg::ref_ptr<osgCal::CoreModel> core = new osgCal::CoreModel;
    load(kTinyConfig, core.get());
    osg::ref_ptr<osgCal::Model> model = tinyModel(core.get());
    EXPECT_EQ(model->getStateSet()->getMode(GL_NORMALIZE), osg::StateAttribute::OFF);
    model->normalizeNormals = false;
    model->advance(0.1);
    EXPECT_EQ(model->getStateSet()->getMode(GL_NORMALIZE), osg::StateAttribute::ON);
}

TEST(CreateCharacter, BuildsTheCartoonCharacterOrSaysWhyNot)
{
    ScratchDir dir;
    {
        CaptureStdout out;
        testing::internal::CaptureStderr();
        EXPECT_EQ(createCharacter(), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "opening failed!\n");
        EXPECT_NE(out.text().find("Cannot load correctly model config file.\n"), std::string::npos);
    }
    writeTinyCharacter("skeleton");
    rename("skeleton/c.cfg", "skeleton/skeleton.cfg");
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
    for (const auto& [config, message] : {std::pair<std::string, std::string>{"mesh=tiny.cmf\n", "setCoreModel: "},
                                          {"skeleton=tiny.csf\n", "create: "}}) {
        writeFile("skeleton/skeleton.cfg", config);
        CaptureStdout out;
        testing::internal::CaptureStderr();
        EXPECT_EQ(createCharacter(), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr().rfind(message, 0), 0u) << config;
    }
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
