// The room's bodies drawn in parts by what their highlight lookups need:
// the judgement of single triangles, and whole scenes drawn both ways.
#include "OffscreenView.h"
#include "scenes/EnvironmentRoom.h"
#include "scenes/HighlightSplit.h"

#include <gtest/gtest.h>
#include <osg/Geode>
#include <osg/Geometry>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const double kDegree = M_PI / 180.0;

osg::Vec3 directionAt(double degreesFromX)
{
    return osg::Vec3(std::cos(degreesFromX * kDegree), 0.0f, std::sin(degreesFromX * kDegree));
}

// A triangle `pixels` wide on screen at w = 1, reflecting `spread` degrees
// either side of the direction `degreesFromX` away from +x.
TriangleInView triangle(double degreesFromX, double spread, float pixels)
{
    TriangleInView t;
    t.reflected[0] = directionAt(degreesFromX - spread);
    t.reflected[1] = directionAt(degreesFromX + spread);
    t.reflected[2] = directionAt(degreesFromX);
    t.screen[0].set(100.0f, 100.0f);
    t.screen[1].set(100.0f + pixels, 100.0f);
    t.screen[2].set(100.0f, 100.0f + pixels);
    t.w[0] = t.w[1] = t.w[2] = 1.0f;
    return t;
}

TEST(HighlightSplit, JudgesTrianglesByTheConeTheFilterReachAndTheLevel)
{
    HighlightCone cone;
    cone.anyLit = true;
    cone.axis.set(1.0f, 0.0f, 0.0f);
    cone.halfAngle = 60.0 * kDegree;
    cone.texelsPerFaceEdge = 64;
    const HighlightJudge judge(cone);

    EXPECT_EQ(judge(triangle(90.0, 1.0, 100.0f)), HighlightLookup::Black);
    EXPECT_EQ(judge(triangle(20.0, 1.0, 100.0f)), HighlightLookup::LargestLevel);
    // The filter reads about five degrees round a lookup at the largest level.
    EXPECT_EQ(judge(triangle(64.0, 0.0, 100.0f)), HighlightLookup::LargestLevel);
    EXPECT_EQ(judge(triangle(66.0, 0.0, 100.0f)), HighlightLookup::Black);
    // Small on screen, the same turn reads a blurrier level that reaches
    // further, so the triangle is no longer sure to read black.
    EXPECT_EQ(judge(triangle(80.0, 10.0, 2.0f)), HighlightLookup::AnyLevel);
    EXPECT_EQ(judge(triangle(80.0, 10.0, 400.0f)), HighlightLookup::Black);
    TriangleInView behind = triangle(90.0, 1.0, 100.0f);
    behind.w[2] = -1.0f;
    EXPECT_EQ(judge(behind), HighlightLookup::AnyLevel);

    cone.anyLit = false;
    EXPECT_EQ(HighlightJudge(cone)(triangle(0.0, 1.0, 100.0f)), HighlightLookup::Black);
}

TEST(HighlightSplit, TheConeHoldsTheLitTexelsOfTheFacesAsOpenGLLaysThemOut)
{
    osg::ref_ptr<osg::TextureCubeMap> map = new osg::TextureCubeMap;
    for (int face = 0; face < 6; ++face) {
        osg::ref_ptr<osg::Image> image = new osg::Image;
        image->allocateImage(8, 8, 1, GL_RGBA, GL_UNSIGNED_BYTE);
        std::fill(image->data(), image->data() + image->getTotalSizeInBytes(), 0);
        map->setImage(face, image.get());
    }
    EXPECT_FALSE(coneOfLitTexels(*map).anyLit);

    // One texel next to the centre of the +z face.
    map->getImage(osg::TextureCubeMap::POSITIVE_Z)->data(4, 3)[1] = 1;
    HighlightCone cone = coneOfLitTexels(*map);
    ASSERT_TRUE(cone.anyLit);
    EXPECT_EQ(cone.texelsPerFaceEdge, 8);
    EXPECT_NEAR(cone.halfAngle, 0.0, 1e-6);
    osg::Vec3 expected(0.125f, 0.125f, 1.0f);
    expected.normalize();
    EXPECT_NEAR((cone.axis - expected).length(), 0.0f, 1e-6f);

    // And its mirror image in the xy plane on the -z face: the two differ
    // only in the signs of x and z, so their mean lies along y.
    map->getImage(osg::TextureCubeMap::NEGATIVE_Z)->data(4, 3)[0] = 1;
    cone = coneOfLitTexels(*map);
    EXPECT_NEAR(cone.axis * osg::Vec3(0.0f, 1.0f, 0.0f), 1.0f, 1e-6f);
    EXPECT_NEAR(cone.halfAngle, std::acos(expected.y()), 1e-6);
}

// A sphere of quads with a normal per vertex, its faces turned out (or in,
// to be seen from inside as a room's walls are), back faces culled.
osg::ref_ptr<osg::Geometry> sphere(const osg::Vec3& centre, float radius, bool facingIn)
{
    const int rings = 40, segments = 80;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array, normals = new osg::Vec3Array;
    for (int r = 0; r <= rings; ++r)
        for (int s = 0; s <= segments; ++s) {
            const double polar = M_PI * r / rings, around = 2.0 * M_PI * s / segments;
            const osg::Vec3 out(std::sin(polar) * std::cos(around), std::sin(polar) * std::sin(around),
                                std::cos(polar));
            vertices->push_back(centre + out * radius);
            normals->push_back(facingIn ? -out : out);
        }
    osg::ref_ptr<osg::DrawElementsUInt> quads = new osg::DrawElementsUInt(GL_TRIANGLES);
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) {
            const unsigned a = r * (segments + 1) + s, b = a + 1, c = a + segments + 1, d = c + 1;
            const std::vector<unsigned> corners =
                facingIn ? std::vector<unsigned>{a, b, c, b, d, c} : std::vector<unsigned>{a, c, b, b, c, d};
            quads->insert(quads->end(), corners.begin(), corners.end());
        }
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setVertexArray(vertices.get());
    geometry->setNormalArray(normals.get(), osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(quads.get());
    geometry->getOrCreateStateSet()->setMode(GL_CULL_FACE, osg::StateAttribute::ON);
    return geometry;
}

// Bodies in a round room under the highlight map, drawn whole or in parts.
osg::ref_ptr<osg::Geode> bodiesInARoom(bool split)
{
    osg::ref_ptr<osg::Geode> room = new osg::Geode;
    room->addDrawable(sphere(osg::Vec3(), 1.0f, false).get());
    room->addDrawable(sphere(osg::Vec3(2.5f, 1.0f, -0.5f), 0.4f, false).get());
    room->addDrawable(sphere(osg::Vec3(), 12.0f, true).get());
    createSpecularHighlights(room.get());
    if (split)
        splitByHighlight(*room, *dynamic_cast<const osg::TextureCubeMap*>(room->getStateSet()->getTextureAttribute(
                                    0, osg::StateAttribute::TEXTURE)));
    return room;
}

TEST(HighlightSplit, DrawsThePictureOfTheWholeBodiesFromCloseByFarOffAndInside)
{
    OffscreenView offscreen(9);
    ASSERT_TRUE(offscreen.open()) << offscreen.context.error();
    osg::ref_ptr<osg::Geode> whole = bodiesInARoom(false), parts = bodiesInARoom(true);
    ASSERT_EQ(parts->getNumDrawables(), 3 * whole->getNumDrawables());
    offscreen.view->setProjectionMatrixAsPerspective(45.0, 800.0 / 600.0, 0.1, 100.0);
    // The map's first frame goes to making its smaller levels.
    offscreen.draw(whole.get());
    offscreen.draw(parts.get());
    const struct {
        osg::Vec3 eye, centre;
    } views[] = {
        {{0.0f, -4.0f, 0.0f}, {}},          {{3.0f, -2.0f, 1.5f}, {}},  {{0.0f, -1.25f, 0.2f}, {}},
        {{0.0f, -11.0f, 0.0f}, {}},         {{0.5f, 0.5f, 6.0f}, {4.0f, 2.0f, 12.0f}},
        {{-6.0f, 3.0f, -2.0f}, {10.0f, 4.0f, -6.0f}}, {{0.0f, -11.0f, 0.0f}, {9.0f, -7.0f, 1.0f}},
        {{-10.0f, -5.0f, 3.0f}, {2.5f, 1.0f, -0.5f}},
    };
    for (const auto& v : views) {
        offscreen.view->setViewMatrixAsLookAt(v.eye, v.centre, osg::Vec3(0.0f, 0.0f, 1.0f));
        const std::vector<unsigned char> before = offscreen.draw(whole.get());
        const std::vector<unsigned char> after = offscreen.draw(parts.get());
        int largest = 0;
        size_t differing = 0;
        for (size_t i = 0; i < before.size(); ++i) {
            const int difference = std::abs(before[i] - after[i]);
            largest = std::max(largest, difference);
            differing += difference != 0;
        }
        // The untextured part rounds a few pixels a level or two otherwise.
        EXPECT_LE(largest, 2) << "eye " << v.eye.x() << " " << v.eye.y() << " " << v.eye.z();
        EXPECT_LT(differing, before.size() / 2000) << "eye " << v.eye.x() << " " << v.eye.y() << " " << v.eye.z();
    }
}

} // namespace
