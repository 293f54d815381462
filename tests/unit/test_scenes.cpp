// The room without its model, the circling light, the shadow map's texture
// planes and its depth pass.
#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/Timeline.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"
#include "scenes/BackFacePoints.h"
#include "scenes/ColourCartoon.h"
#include "scenes/EnvironmentRoom.h"
#include "scenes/LightScene.h"
#include "scenes/LightTransformCallback.h"
#include "scenes/ModelFile.h"
#include "scenes/OutlineEdges.h"
#include "scenes/RenderToTextureCallback.h"
#include "CubeMesh.h"
#include "OffscreenView.h"
#include "ShowTimeline.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/Geometry>
#include <osg/Material>
#include <osg/ShapeDrawable>
#include <osg/TexGen>
#include <osgDB/WriteFile>
#include <osgUtil/CullVisitor>
#include <osgUtil/RenderStage>

#include <cmath>
#include <numeric>

namespace {

// A run folder with the segment's pictures but no room model, and a
// timeline to register on.
struct Builders : ::testing::Test {
    ScratchDir dir;
    CaptureStdout console;
    PathCamera camera;

    Builders()
    {
        mkdir("ddata", 0755);
        writeTestImage("demodata/tunnel2.jpg", 120);
        writeTestImage("ddata/kantig-overlay-igen.png", 120);
        g_camera = &camera;
        timeline.restart();
    }
    ShowTimeline timeline; // goes before the camera it may hand recordings to
};

// One triangle at p, the smallest thing a reader or a light can see.
osg::ref_ptr<osg::Geode> triangleAt(const osg::Vec3& p)
{
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array;
    for (const osg::Vec3& corner : {p, p + osg::Vec3(1, 0, 0), p + osg::Vec3(0, 0, 1)})
        vertices->push_back(corner);
    osg::ref_ptr<osg::Geometry> triangle = new osg::Geometry;
    triangle->setVertexArray(vertices);
    triangle->addPrimitiveSet(new osg::DrawArrays(GL_TRIANGLES, 0, 3));
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(triangle);
    return geode;
}

// The room's windows as the timeline holds them; without the model only its
// window is missing, and one line names the file.
TEST_F(Builders, TheRoomsWindowsReadBackFromTheTimelineWithOrWithoutTheModel)
{
    buildEnvironmentRoom();
    EXPECT_NE(console.text().find("Could not read model: ddata/blobroom.3ds\n"), std::string::npos);
    EXPECT_TRUE(g_timeline->nodeWindows().empty());
    ASSERT_EQ(g_timeline->effectWindows().size(), 2u);

    timeline.restart();
    ASSERT_TRUE(osgDB::writeNodeFile(*triangleAt(osg::Vec3()), "ddata/blobroom.3ds"));
    buildEnvironmentRoom();

    namespace Room = ShowTimes::Room;
    ASSERT_EQ(g_timeline->nodeWindows().size(), 1u);
    EXPECT_EQ(g_timeline->nodeWindows()[0].start, Room::kStart);
    EXPECT_EQ(g_timeline->nodeWindows()[0].end, Room::kEnd);
    ASSERT_EQ(g_timeline->effectWindows().size(), 2u);
    EXPECT_EQ(g_timeline->effectWindows()[0].start, Room::kStart);
    EXPECT_EQ(g_timeline->effectWindows()[0].end, Room::kBandsEnd);
    EXPECT_EQ(g_timeline->effectWindows()[1].start, Room::kOverlayStart);
    EXPECT_EQ(g_timeline->effectWindows()[1].end, Room::kEnd);
    ASSERT_EQ(g_sceneParts.size(), 1u);
    const osg::StateSet* highlights = g_sceneParts[0]->getStateSet();
    ASSERT_NE(highlights, nullptr);
    EXPECT_NE(highlights->getTextureAttribute(0, osg::StateAttribute::TEXGEN), nullptr);
}

// Runs the light's callback once with a frame at time t and traversal n.
void lightFrame(LightTransformCallback& callback, osg::MatrixTransform& light, double t, unsigned n)
{
    osg::ref_ptr<osg::FrameStamp> stamp = new osg::FrameStamp;
    stamp->setReferenceTime(t);
    osg::NodeVisitor visitor(osg::NodeVisitor::UPDATE_VISITOR);
    visitor.setFrameStamp(stamp.get());
    visitor.setTraversalNumber(n);
    callback(&light, &visitor);
}

TEST(Light, FirstStepCoversTimePlusOneAndOneMovePerTraversal)
{
    osg::ref_ptr<LightTransformCallback> callback = new LightTransformCallback(1.5707964f, 15.0f, 10.0f);
    osg::ref_ptr<osg::MatrixTransform> light = new osg::MatrixTransform;
    lightFrame(*callback, *light, 2.0, 1);
    EXPECT_FLOAT_EQ(callback->getCurrentAngle(), 3.0f * 1.5707964f);
    lightFrame(*callback, *light, 2.5, 1); // same traversal: no move, time noted
    EXPECT_FLOAT_EQ(callback->getCurrentAngle(), 3.0f * 1.5707964f);
    lightFrame(*callback, *light, 3.0, 2);
    EXPECT_FLOAT_EQ(callback->getCurrentAngle(), 3.5f * 1.5707964f);

    osg::NodeVisitor noStamp(osg::NodeVisitor::UPDATE_VISITOR);
    noStamp.setTraversalNumber(3);
    (*callback)(light.get(), &noStamp);
    EXPECT_FLOAT_EQ(callback->getCurrentAngle(), 3.5f * 1.5707964f);
}

TEST(Light, CirclesAboveTheOriginWithItsMarkerPointingThere)
{
    for (float angle : {0.0f, 1.0f, 2.5f}) {
        const osg::Matrix m = LightTransformCallback::placement(angle, 15.0f, 10.0f);
        const osg::Vec3 position = m.getTrans();
        EXPECT_NEAR(position.y(), 15.0f, 1e-4);
        EXPECT_NEAR(std::hypot(position.x(), position.z()), 10.0f, 1e-4);
        osg::Vec3 aim = osg::Matrix::transform3x3(osg::Vec3(0.0f, 0.0f, -1.0f), m);
        osg::Vec3 toOrigin = -position;
        aim.normalize();
        toOrigin.normalize();
        EXPECT_NEAR(aim * toOrigin, 1.0f, 1e-5) << "angle " << angle;
    }
}

// The warm-up draws the light scene, depth pass and all, before its first
// update: the light must already stand on its circle, or the pass looks from
// the origin at the origin and sees nothing.
TEST(Light, StandsOnItsCircleBeforeItsFirstUpdate)
{
    osg::ref_ptr<osg::StateSet> lit = new osg::StateSet;
    const osg::Vec3 position = createLight(lit.get())->getMatrix().getTrans();
    EXPECT_NEAR(position.y(), 15.0f, 1e-4);
    EXPECT_NEAR(std::hypot(position.x(), position.z()), 10.0f, 1e-4);
}

TEST(ShadowMap, PlanesMapTheLightsTargetToTheMapCentreAtItsDepth)
{
    const osg::Matrix projection = osg::Matrix::frustum(-2.0, 2.0, -2.0, 2.0, 2.0, 50.0);
    osg::ref_ptr<osg::TexGen> texGen = new osg::TexGen;
    const osg::Vec3 eye(10.0f, 15.0f, 0.0f);
    RenderToTextureCallback::setTexGenPlanes(*texGen, RenderToTextureCallback::shadowMatrix(eye, projection));
    auto coordinate = [&](osg::TexGen::Coord c, const osg::Vec3& p) {
        return texGen->getPlane(c).distance(p);
    };
    const osg::Vec3 origin;
    const double q = coordinate(osg::TexGen::Q, origin);
    EXPECT_NEAR(q, eye.length(), 1e-4) << "q is the distance along the light's view";
    EXPECT_NEAR(coordinate(osg::TexGen::S, origin) / q, 0.5, 1e-6);
    EXPECT_NEAR(coordinate(osg::TexGen::T, origin) / q, 0.5, 1e-6);
    const double d = eye.length(), n = 2.0, f = 50.0;
    const double windowDepth = 0.5 * ((f + n) / (f - n) - 2.0 * f * n / ((f - n) * d)) + 0.5;
    EXPECT_NEAR(coordinate(osg::TexGen::R, origin) / q, windowDepth, 1e-5);

    // A point one unit off the axis lands off centre, inside the map.
    const osg::Vec3 aside(0.0f, 0.0f, 1.0f);
    const double t = coordinate(osg::TexGen::T, aside) / coordinate(osg::TexGen::Q, aside);
    EXPECT_GT(std::abs(t - 0.5), 0.01);
    EXPECT_LT(std::abs(t - 0.5), 0.5);
}

// Culls a shadow root holding one drawable at the given place and reports
// how many pre-render stages the main stage got.
unsigned depthPassesFor(const osg::Vec3& where)
{
    osg::ref_ptr<osg::Geode> subgraph = triangleAt(where);
    osg::ref_ptr<osg::MatrixTransform> light = new osg::MatrixTransform(osg::Matrix::translate(10, 15, 0));
    osg::ref_ptr<osg::Group> root = new osg::Group;
    root->addChild(subgraph.get());
    root->setCullCallback(new RenderToTextureCallback(subgraph.get(), new osg::Texture2D, light.get(), new osg::TexGen));

    osg::ref_ptr<osgUtil::CullVisitor> cv = new osgUtil::CullVisitor;
    osg::ref_ptr<osgUtil::StateGraph> graph = new osgUtil::StateGraph;
    osg::ref_ptr<osgUtil::RenderStage> stage = new osgUtil::RenderStage;
    cv->setStateGraph(graph.get());
    cv->setRenderStage(stage.get());
    cv->pushViewport(new osg::Viewport(0, 0, 800, 600));
    cv->pushProjectionMatrix(new osg::RefMatrix(osg::Matrix::perspective(60.0, 4.0 / 3.0, 0.1, 2000.0)));
    cv->pushModelViewMatrix(new osg::RefMatrix(osg::Matrix::lookAt(osg::Vec3(0, 5, 20), osg::Vec3(), osg::Vec3(0, 1, 0))),
                            osg::Transform::ABSOLUTE_RF);
    root->accept(*cv);
    return static_cast<unsigned>(stage->getPreRenderList().size());
}

TEST(ShadowMap, ADepthPassOnlyWhenTheLightSeesSomething)
{
    EXPECT_EQ(depthPassesFor(osg::Vec3(0, 0, 0)), 1u);
    EXPECT_EQ(depthPassesFor(osg::Vec3(0, -500, 300)), 0u) << "outside the light's view: the map is kept";
}

} // namespace

// Seen from above its +x +y +z corner, three faces of the cube face the eye
// and three face away: the outline is the six edges where they meet, none
// at the near corner (7) or the far one (0).
TEST(Outline, WhereFacesTurnedAwayMeetFacesTurnedTowardsOrEndAtABorder)
{
    osg::ref_ptr<osg::Vec3Array> corners = cubeCorners();
    EdgeTable table;
    table.build(kCubeFaces);
    ASSERT_EQ(table.edges.size(), 2u * 18u);

    const auto outline = [&](const std::vector<uint32_t>& faces, const osg::Vec4& eye, bool mirrored) {
        EdgeTable t;
        t.build(faces);
        std::vector<uint32_t> lines;
        selectOutlineEdges(t, *corners, eye, mirrored, lines);
        return lines;
    };
    const std::vector<uint32_t> lines = outline(kCubeFaces, osg::Vec4(3, 4, 10, 1), false);
    EXPECT_EQ(lines.size(), 2u * 6u);
    for (uint32_t end : lines) {
        EXPECT_NE(end, 7u);
        EXPECT_NE(end, 0u);
    }
    // A view from far along the same line, orthographic, sees the same, and
    // so does a mirroring view, which only swaps the two halves.
    EXPECT_EQ(outline(kCubeFaces, osg::Vec4(3, 4, 10, 0), false), lines);
    EXPECT_EQ(outline(kCubeFaces, osg::Vec4(3, 4, 10, 1), true), lines);

    // A lone triangle is all border: outlined when it faces away only.
    const std::vector<uint32_t> far = {0, 2, 3}; // on the -z face, facing -z
    EXPECT_EQ(outline(far, osg::Vec4(0, 0, 10, 1), false).size(), 2u * 3u);
    EXPECT_TRUE(outline(far, osg::Vec4(0, 0, -10, 1), false).empty());
    EXPECT_TRUE(outline(far, osg::Vec4(0, 0, 10, 1), true).empty());
}

// The same view: the three faces turned away share the far corner (0), in
// all six of their triangles, and none has the near one (7).
TEST(BackFacePoints, EachCornerOnceCountedForEveryFaceTurnedAwayThatHasIt)
{
    std::vector<float> copies;
    std::vector<uint32_t> points;
    countBackFaceCorners(kCubeFaces, *cubeCorners(), osg::Vec4(3, 4, 10, 1), false, copies, points);
    ASSERT_EQ(copies.size(), 8u);
    EXPECT_EQ(points, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(copies[0], 6.0f);
    EXPECT_EQ(copies[7], 0.0f);
    EXPECT_EQ(std::accumulate(copies.begin(), copies.end(), 0.0f), 18.0f);
}

namespace {

osg::ref_ptr<ColourCartoon> cartoonBall(float x, const osg::Vec4& colour)
{
    osg::ref_ptr<osg::Geode> ball = new osg::Geode;
    ball->addDrawable(new osg::ShapeDrawable(new osg::Sphere(osg::Vec3(x, 0, -10), 1.5f)));
    osg::ref_ptr<osg::Material> material = new osg::Material;
    material->setDiffuse(osg::Material::FRONT_AND_BACK, colour);
    ball->getOrCreateStateSet()->setAttribute(material.get());
    osg::ref_ptr<ColourCartoon> cartoon = new ColourCartoon;
    cartoon->addChild(ball.get());
    return cartoon;
}

const osg::StateAttribute* passAttribute(ColourCartoon& cartoon, int pass, osg::StateAttribute::Type type)
{
    return cartoon.getTechnique(0)->getPassStateSet(pass)->getAttribute(type);
}

} // namespace

// Every cartoon draws with the same two programs and ramp, so the
// rasteriser builds their code once, and each still keeps its own colour.
TEST(Cartoon, AllShareTheirProgramsAndRampButNotTheirColours)
{
    OffscreenView offscreen(11, 80, 60);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    osg::ref_ptr<ColourCartoon> red = cartoonBall(-2.5f, osg::Vec4(1, 0, 0, 1));
    osg::ref_ptr<ColourCartoon> blue = cartoonBall(2.5f, osg::Vec4(0, 0, 1, 1));
    osg::ref_ptr<osg::Group> both = new osg::Group;
    both->addChild(red.get());
    both->addChild(blue.get());
    offscreen.draw(both.get()); // the effect picks its technique
    const std::vector<unsigned char> rgb = offscreen.draw(both.get());

    for (int pass : {0, 1})
        EXPECT_EQ(passAttribute(*red, pass, osg::StateAttribute::PROGRAM),
                  passAttribute(*blue, pass, osg::StateAttribute::PROGRAM));
    EXPECT_NE(passAttribute(*red, 0, osg::StateAttribute::PROGRAM),
              passAttribute(*red, 1, osg::StateAttribute::PROGRAM));
    EXPECT_EQ(red->getTechnique(0)->getPassStateSet(0)->getTextureAttribute(0, osg::StateAttribute::TEXTURE),
              blue->getTechnique(0)->getPassStateSet(0)->getTextureAttribute(0, osg::StateAttribute::TEXTURE));
    // Pixels of each colour on each half of the picture.
    const auto count = [&](int fromX, int channel) {
        int n = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = fromX; x < fromX + 40; ++x) {
                const unsigned char* p = &rgb[(static_cast<size_t>(y) * 80 + x) * 3];
                n += p[channel] > 120 && p[2 - channel] == 0;
            }
        return n;
    };
    EXPECT_GT(count(0, 0), 100);
    EXPECT_EQ(count(0, 2), 0);
    EXPECT_GT(count(40, 2), 100);
    EXPECT_EQ(count(40, 0), 0);
}
