// Scene models: reading one, and which of its surfaces can lose their back
// faces.
#include "scenes/ModelFile.h"
#include "CubeMesh.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osg/Geode>
#include <osg/Geometry>

#include <utility>

// A model that is not there is named in one line, and nothing else is said.
TEST(ModelFile, AMissingModelIsNamedInOneLineAndGivesNothing)
{
    ScratchDir dir;
    CaptureStdout console;
    EXPECT_FALSE(readSceneModel("ddata/blobroom.3ds").valid());
    EXPECT_EQ(console.text(), "Could not read model: ddata/blobroom.3ds\n");
}

TEST(ModelFile, OnlyClosedSurfacesLoseTheirBackFaces)
{
    const auto cube = [](std::vector<uint32_t> faces) {
        osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
        geometry->setVertexArray(cubeCorners().get());
        geometry->addPrimitiveSet(new osg::DrawElementsUInt(GL_TRIANGLES, faces.begin(), faces.end()));
        return geometry;
    };
    std::vector<uint32_t> turned = kCubeFaces;
    std::swap(turned[1], turned[2]);
    osg::ref_ptr<osg::Geode> model = new osg::Geode;
    model->addDrawable(cube(kCubeFaces).get());
    model->addDrawable(cube({kCubeFaces.begin(), kCubeFaces.end() - 3}).get()); // a hole
    model->addDrawable(cube(turned).get());                                  // one face inside out
    cullHiddenBackFaces(*model);
    const auto culled = [&](unsigned i) {
        const osg::StateSet* ss = model->getDrawable(i)->getStateSet();
        return ss && ss->getMode(GL_CULL_FACE) == osg::StateAttribute::ON;
    };
    EXPECT_TRUE(culled(0));
    EXPECT_FALSE(culled(1));
    EXPECT_FALSE(culled(2));
}
