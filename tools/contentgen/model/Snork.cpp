// The model that turns over the background picture from 58 s: a snork, a
// plump little creature with a trumpet snout, goggle eyes, floppy ears and a
// curly tail, in flat colours for toon shading. Native text format.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/character/BodyShapes.h"
#include "tools/contentgen/model/Surface.h"

#include <osg/Geode>
#include <osg/Material>
#include <osgDB/ReaderWriter>
#include <osgDB/Registry>

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace {

using contentgen::character::Ellipsoid;
using contentgen::character::Tube;
using contentgen::character::ellipsoidAt;
using contentgen::character::ellipsoidShape;
using contentgen::character::tubeShape;
using contentgen::model::SurfaceShape;

const osg::Vec4 kMint(0.35f, 0.80f, 0.72f, 1.f);
const osg::Vec4 kDeepMint(0.16f, 0.55f, 0.52f, 1.f);
const osg::Vec4 kCream(1.00f, 0.93f, 0.75f, 1.f);
const osg::Vec4 kPink(0.96f, 0.52f, 0.64f, 1.f);
const osg::Vec4 kOrange(1.00f, 0.60f, 0.18f, 1.f);
const osg::Vec4 kYellow(1.00f, 0.86f, 0.20f, 1.f);
const osg::Vec4 kWhite(0.98f, 0.98f, 0.98f, 1.f);
const osg::Vec4 kInk(0.08f, 0.07f, 0.12f, 1.f);

void add(osg::Geode& geode, const SurfaceShape& shape, const osg::Vec4& colour)
{
    osg::ref_ptr<osg::Geometry> geometry = contentgen::model::buildSurface(shape);
    osg::ref_ptr<osg::Material> m = new osg::Material;
    m->setAmbient(osg::Material::FRONT_AND_BACK, osg::Vec4(colour.r() * 0.3f, colour.g() * 0.3f, colour.b() * 0.3f, 1.f));
    m->setDiffuse(osg::Material::FRONT_AND_BACK, colour);
    m->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(0.3f, 0.3f, 0.3f, 1.f));
    m->setShininess(osg::Material::FRONT_AND_BACK, 32.f);
    geometry->getOrCreateStateSet()->setAttributeAndModes(m.get());
    geode.addDrawable(geometry.get());
}

void addBlob(osg::Geode& geode, const Ellipsoid& e, int steps, const osg::Vec4& colour)
{
    add(geode, ellipsoidShape(e, steps, steps * 3 / 4), colour);
}

void addTube(osg::Geode& geode, const Tube& t, int around, int along, const osg::Vec4& colour)
{
    add(geode, tubeShape(t, around, along), colour);
}

Ellipsoid tilted(const osg::Vec3d& centre, const osg::Vec3d& radii, double angle, const osg::Vec3d& axis)
{
    return {radii, osg::Matrixd::rotate(angle, axis) * osg::Matrixd::translate(centre), {}};
}

void addBody(osg::Geode& geode)
{
    addBlob(geode, ellipsoidAt({0, 0, 0}, {2.0, 1.8, 2.3}), 40, kMint);
    addBlob(geode, ellipsoidAt({0, -0.9, -0.4}, {1.4, 1.1, 1.6}), 32, kCream);
    for (const osg::Vec3d& spot : {osg::Vec3d(0.8, 1.35, 0.9), osg::Vec3d(-0.9, 1.2, -0.3), osg::Vec3d(0.3, 1.6, -0.9),
                                   osg::Vec3d(-0.4, 1.1, 1.6)})
        addBlob(geode, ellipsoidAt(spot, {0.45, 0.45, 0.45}), 16, kDeepMint);
    for (double side : {1.0, -1.0}) {
        addBlob(geode, ellipsoidAt({0.9 * side, -0.5, -2.2}, {0.6, 0.9, 0.45}), 20, kOrange);
        addTube(geode, {{{1.6 * side, -0.3, 0.1}, {2.4 * side, -0.9, -0.6}}, {0.36, 0.30}, 1.0, 1.0, 1.0}, 16, 16, kMint);
    }
}

void addFace(osg::Geode& geode)
{
    // The trumpet snout curls forward and up and flares at its mouth.
    addTube(geode, {{{0, -1.4, 0.7}, {0, -2.5, 0.85}, {0, -3.2, 1.4}, {0, -3.4, 2.2}}, {0.55, 0.42, 0.36, 0.5}, 1.0, 1.0, 0.3},
            24, 40, kPink);
    addBlob(geode, tilted({0, -3.42, 2.3}, {0.36, 0.36, 0.08}, 0.15, {1, 0, 0}), 20, kInk);
    for (double side : {1.0, -1.0}) {
        addBlob(geode, ellipsoidAt({0.75 * side, -1.3, 1.9}, {0.65, 0.65, 0.65}), 24, kWhite);
        addBlob(geode, ellipsoidAt({0.72 * side, -1.85, 2.0}, {0.3, 0.3, 0.3}), 16, kInk);
        addBlob(geode, ellipsoidAt({0.64 * side, -2.1, 2.14}, {0.08, 0.08, 0.08}), 8, kWhite);
        addBlob(geode, tilted({1.65 * side, 0.2, 1.5}, {0.3, 0.7, 1.1}, 0.7 * side, {0, 1, 0}), 20, kPink);
    }
}

// A tail that curls twice around itself, thinning to a bobble.
Tube curlyTail()
{
    Tube tail;
    for (int k = 0; k <= 10; ++k) {
        const double t = k / 10.0, angle = 4.0 * 3.14159265 * t, r = 0.7 * (1.0 - 0.6 * t);
        tail.points.push_back({0.0, 1.6 + 0.9 * t + r * std::sin(angle), -0.9 + r * (1.0 - std::cos(angle))});
        tail.radii.push_back(0.3 - 0.15 * t);
    }
    return tail;
}

void addTopAndTail(osg::Geode& geode)
{
    addTube(geode, curlyTail(), 14, 60, kPink);
    addTube(geode, {{{0, 0, 2.1}, {0.15, 0.1, 2.8}, {0.35, 0.35, 3.3}}, {0.09, 0.07, 0.06}, 1.0, 1.0, 1.0}, 10, 20, kDeepMint);
    addBlob(geode, ellipsoidAt({0.38, 0.38, 3.45}, {0.25, 0.25, 0.25}), 16, kYellow);
}

} // namespace

CONTENT_ASSET(snork)
{
    osg::ref_ptr<osg::Geode> snork = new osg::Geode;
    snork->setName("snork");
    addBody(*snork);
    addFace(*snork);
    addTopAndTail(*snork);

    osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension("osg");
    if (!writer)
        throw std::runtime_error("no .osg writer plug-in");
    std::ostringstream out;
    const osgDB::ReaderWriter::WriteResult result = writer->writeNode(*snork, out);
    if (!result.success())
        throw std::runtime_error("cannot write snorkrka1.osg: " + result.message());
    contentgen::writeTextIfChanged(showDir, "ddata/snorkrka1.osg", out.str());
}
