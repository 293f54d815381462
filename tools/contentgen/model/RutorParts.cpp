#include "tools/contentgen/model/RutorParts.h"

#include "tools/contentgen/model/Surface.h"

#include <osg/Material>

#include <cmath>

namespace contentgen::model {

namespace {

const double kPi = 3.14159265358979323846;
const double kTau = 2.0 * kPi;

osg::ref_ptr<osg::Material> material(const osg::Vec4& colour)
{
    osg::ref_ptr<osg::Material> m = new osg::Material;
    const osg::Vec4 ambient(colour.r() * 0.3f, colour.g() * 0.3f, colour.b() * 0.3f, 1.f);
    m->setAmbient(osg::Material::FRONT_AND_BACK, ambient);
    m->setDiffuse(osg::Material::FRONT_AND_BACK, colour);
    m->setSpecular(osg::Material::FRONT_AND_BACK, osg::Vec4(0.3f, 0.3f, 0.3f, 1.f));
    m->setShininess(osg::Material::FRONT_AND_BACK, 32.f);
    return m;
}

void addColoured(osg::Geode& geode, const SurfaceShape& shape, const osg::Vec4& colour)
{
    osg::ref_ptr<osg::Geometry> geometry = buildSurface(shape);
    geometry->getOrCreateStateSet()->setAttributeAndModes(material(colour).get());
    geode.addDrawable(geometry.get());
}

// Trefoil on a torus of radii 2 and 1, scaled.
const double kKnotScale = 1.1;

osg::Vec3d knotCentre(double phi)
{
    const double r = 2.0 + std::cos(3.0 * phi);
    return osg::Vec3d(r * std::cos(2.0 * phi), r * std::sin(2.0 * phi), -std::sin(3.0 * phi)) * kKnotScale;
}

// The knot lies on the torus, so the torus normal is square to the knot and
// gives a twist-free frame that closes on itself.
osg::Vec3d torusNormal(double phi)
{
    const double t = 3.0 * phi, p = 2.0 * phi;
    return osg::Vec3d(std::cos(t) * std::cos(p), std::cos(t) * std::sin(p), -std::sin(t));
}

osg::Vec3d knotSurface(double u, double v)
{
    const double phi = kTau * u;
    osg::Vec3d tangent = knotCentre(phi + 1e-4) - knotCentre(phi - 1e-4);
    tangent.normalize();
    const osg::Vec3d n = torusNormal(phi);
    const osg::Vec3d b = tangent ^ n;
    // Nine half-turns of the flat section along the loop; an odd count still
    // closes because the ellipse is symmetric under half a turn.
    const double twist = 4.5 * phi;
    const double a = -kTau * v;  // clockwise keeps dP/du x dP/dv outwards
    const double x = 0.5 * std::cos(a), y = 0.28 * std::sin(a);
    const osg::Vec3d across = n * std::cos(twist) + b * std::sin(twist);
    const osg::Vec3d up = b * std::cos(twist) - n * std::sin(twist);
    return knotCentre(phi) + across * x + up * y;
}

osg::Vec3d onSphere(double lon, double lat)
{
    return osg::Vec3d(std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat));
}

// Surface of revolution about z: radius and height from the profile at v.
SurfaceFn lathe(std::function<double(double)> radius, double z0, double z1)
{
    return [=](double u, double v) {
        const double r = radius(v);
        return osg::Vec3d(r * std::cos(kTau * u), r * std::sin(kTau * u), z0 + (z1 - z0) * v);
    };
}

// Pointed at both ends, fullest a little below the middle.
double dropProfile(double t) { return 0.45 * std::sin(kPi * t) * (1.0 - 0.55 * t); }

} // namespace

osg::ref_ptr<osg::Geode> twistedKnot()
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->setName("knot");
    addColoured(*geode, {knotSurface, {}, 360, 20}, osg::Vec4(1.f, 0.45f, 0.08f, 1.f));
    return geode;
}

osg::ref_ptr<osg::Geode> segmentedCore()
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->setName("core");
    const int segments = 8;
    const double radius = 1.25;
    for (int k = 0; k < segments; ++k) {
        const double lon0 = kTau * k / segments;
        const auto dir = [=](double u, double v) {
            return onSphere(lon0 + kTau / segments * u, -kPi / 2 + kPi * v);
        };
        const SurfaceShape shape{[=](double u, double v) { return dir(u, v) * radius; }, dir, 6, 28};
        const osg::Vec4 colour = k % 2 ? osg::Vec4(0.95f, 0.92f, 0.78f, 1.f) : osg::Vec4(0.1f, 0.72f, 0.8f, 1.f);
        addColoured(*geode, shape, colour);
    }
    return geode;
}

osg::ref_ptr<osg::Geode> spindle()
{
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->setName("spindle");
    addColoured(*geode, {lathe([](double) { return 0.12; }, -3.3, 3.3), {}, 16, 8},
                osg::Vec4(0.58f, 0.32f, 0.9f, 1.f));
    const osg::Vec4 gold(1.f, 0.84f, 0.2f, 1.f);
    addColoured(*geode, {lathe(dropProfile, 3.0, 4.7), {}, 24, 24}, gold);
    addColoured(*geode, {lathe([](double t) { return dropProfile(1.0 - t); }, -4.7, -3.0), {}, 24, 24}, gold);
    return geode;
}

} // namespace contentgen::model
