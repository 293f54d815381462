// The room after the title: soft blobs in a soft-edged room whose walls,
// floor and ceiling bulge. The show adds a fixed cube-map highlight to the
// lit colour, so every surface is smooth and finely tessellated, and each
// body is one welded mesh (one material) so the 3DS reader can average its
// normals. Z is up; the floor lies at z = 0 and the ceiling at z = 8.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/room/BlobShapes.h"
#include "tools/contentgen/room/FaceOrder.h"
#include "tools/contentgen/room/Write3ds.h"

#include <osg/Geode>
#include <osg/Material>

#include <string>

namespace contentgen::room {

namespace {

const double kCeiling = 8.0;

ShellSpec shellSpec()
{
    ShellSpec s;
    s.halfSize = osg::Vec3d(13.0, 10.0, kCeiling / 2.0);
    s.exponent = 4.0;
    s.spacing = 0.8;
    s.bulges = {
        // A lumpy floor: soft mounds, none where the camera skims low.
        {{-3.0, -7.0, 0.0}, 1.1, 2.2},
        {{4.5, 2.5, 0.0}, 0.7, 1.8},
        {{-10.0, 1.0, 0.0}, 1.2, 2.4},
        {{10.0, -2.0, 0.0}, 0.9, 2.0},
        {{-1.0, 6.5, 0.0}, 0.8, 2.0},
        {{6.0, -7.5, 0.0}, 0.9, 2.0},
        // Walls leaning in.
        {{13.0, 2.0, 4.0}, 2.0, 3.0},
        {{-13.0, -4.0, 3.5}, 1.8, 2.8},
        {{-3.5, 10.0, 4.5}, 2.0, 3.0},
        {{6.5, 10.0, 2.5}, 1.5, 2.6},
        {{3.0, -10.0, 4.0}, 2.0, 3.0},
        {{-8.5, -10.0, 5.0}, 1.4, 2.4},
        // Drops hanging from the ceiling.
        {{-4.5, 0.5, kCeiling}, 1.4, 2.0},
        {{3.0, 6.0, kCeiling}, 1.2, 1.8},
        {{9.0, -4.0, kCeiling}, 1.5, 2.2},
        {{-9.0, -6.0, kCeiling}, 1.2, 1.9},
    };
    return s;
}

PillarSpec pillarSpec(osg::Vec2d base, double radius, std::vector<Swelling> swellings, double lobes, double twist,
                      osg::Vec2d sway)
{
    return PillarSpec{base, radius, 0.0, kCeiling, 0.9, std::move(swellings), lobes, twist, sway, 30, 24};
}

std::vector<PillarSpec> pillarSpecs()
{
    return {
        pillarSpec({-6.5, 3.5}, 0.6, {{2.6, 0.35, 0.8}, {5.3, 0.28, 0.7}}, 0.12, 0.5, {0.4, -0.3}),
        pillarSpec({1.5, -3.5}, 0.65, {{3.5, 0.4, 1.0}}, 0.10, -0.4, {-0.4, 0.3}),
        pillarSpec({7.5, 4.0}, 0.55, {{1.8, 0.3, 0.6}, {4.6, 0.38, 0.8}, {6.6, 0.25, 0.5}}, 0.14, 0.6, {0.3, 0.3}),
    };
}

struct Cluster {
    osg::Vec3d at;
    std::vector<Ball> balls;  // centres relative to `at`
    int steps;
    osg::Vec4 colour;
};

std::vector<Cluster> clusters()
{
    const osg::Vec4 amber(0.95f, 0.64f, 0.20f, 1.f), teal(0.14f, 0.66f, 0.64f, 1.f),
        magenta(0.76f, 0.28f, 0.62f, 1.f), lime(0.55f, 0.80f, 0.28f, 1.f), rose(0.92f, 0.45f, 0.52f, 1.f);
    return {
        // Floating in the middle of the room: a big body with five lobes.
        {{-1.0, 2.5, 4.3},
         {{{0, 0, 0}, 1.15},
          {{1.75, 0.3, 0.45}, 0.8},
          {{-1.55, 0.85, -0.35}, 0.78},
          {{0.2, -1.55, 0.75}, 0.7},
          {{0.15, 0.75, -1.5}, 0.68},
          {{-0.4, 0.3, 1.45}, 0.6}},
         11, amber},
        // Resting on the floor, sunk into it a little.
        {{-8.0, -4.5, 0.4}, {{{0, 0, 0}, 1.3}, {{1.9, 0.7, -0.1}, 0.95}, {{-0.6, 1.6, 0.8}, 0.8}, {{0.5, -1.2, 1.0}, 0.6}},
         10, teal},
        {{9.0, -5.5, 0.4}, {{{0, 0, 0}, 1.35}, {{-1.7, 0.9, 0.4}, 0.9}, {{0.8, -1.2, 1.0}, 0.8}, {{0.4, 0.9, 1.3}, 0.6}},
         10, rose},
        // A drip from the ceiling.
        {{5.5, -1.5, 7.6}, {{{0, 0, 0}, 1.1}, {{0.4, 0.3, -1.5}, 0.8}, {{0.35, 0.25, -2.7}, 0.58}, {{0.3, 0.2, -3.5}, 0.38}},
         10, magenta},
        // Floating.
        {{-3.5, -3.5, 5.4}, {{{0, 0, 0}, 0.75}, {{1.1, 0.35, 0.3}, 0.55}, {{-0.55, -0.8, -0.45}, 0.5}, {{-0.2, 0.6, 0.7}, 0.42}},
         8, lime},
        {{4.5, 7.0, 3.4}, {{{0, 0, 0}, 0.95}, {{0.8, -1.1, 0.7}, 0.7}, {{-1.0, 0.2, -0.6}, 0.6}}, 8, teal},
        {{-10.5, 6.0, 3.8}, {{{0, 0, 0}, 1.0}, {{0.9, -0.9, -1.0}, 0.72}, {{-0.4, 0.3, 1.3}, 0.65}}, 8, magenta},
        {{-6.0, -6.5, 4.2}, {{{0, 0, 0}, 0.7}, {{0.8, 0.4, 0.5}, 0.5}}, 7, rose},
        {{9.5, 0.5, 5.5}, {{{0, 0, 0}, 0.75}, {{-0.6, 0.7, -0.6}, 0.55}}, 7, amber},
    };
}

osg::ref_ptr<osg::Material> material(const std::string& name, const osg::Vec4& diffuse)
{
    osg::ref_ptr<osg::Material> m = new osg::Material;
    m->setName(name);
    m->setAmbient(osg::Material::FRONT_AND_BACK, osg::Vec4(diffuse.r() * 0.35f, diffuse.g() * 0.35f, diffuse.b() * 0.35f, 1.f));
    m->setDiffuse(osg::Material::FRONT_AND_BACK, diffuse);
    m->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(0.3f, 0.3f, 0.3f, 1.f));
    m->setShininess(osg::Material::FRONT_AND_BACK, 40.f);
    return m;
}

void addBody(osg::Geode& geode, const std::string& name, TriMesh mesh, const osg::Vec4& colour)
{
    orderFacesForReader(mesh, geode.getNumDrawables() + 1);
    osg::ref_ptr<osg::Geometry> geometry = toGeometry(mesh);
    geometry->setName(name);
    geometry->getOrCreateStateSet()->setAttribute(material(name, colour).get());
    geode.addDrawable(geometry.get());
}

osg::ref_ptr<osg::Node> buildBlobRoom()
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->setName("blobroom");
    addBody(*geode, "shell", roomShell(shellSpec()), osg::Vec4(0.30f, 0.33f, 0.62f, 1.f));
    const osg::Vec4 coral(0.92f, 0.45f, 0.35f, 1.f);
    int index = 0;
    for (const PillarSpec& spec : pillarSpecs())
        addBody(*geode, "pillar" + std::to_string(++index), pillar(spec), coral);
    index = 0;
    for (const Cluster& c : clusters()) {
        std::vector<Ball> balls = c.balls;
        for (Ball& b : balls)
            b.centre += c.at;
        addBody(*geode, "blob" + std::to_string(++index), metaballs(balls, c.steps), c.colour);
    }
    return geode;
}

} // namespace
} // namespace contentgen::room

CONTENT_ASSET(blobroom)
{
    const contentgen::room::Encoded3ds encoded = contentgen::room::encode3ds(*contentgen::room::buildBlobRoom());
    contentgen::writeFileIfChanged(showDir, "ddata/blobroom.3ds", encoded.model);
}
