#include "tools/contentgen/model/Surface.h"

#include <algorithm>

namespace contentgen::model {

namespace {

osg::Vec3d derivedNormal(const SurfaceFn& p, double u, double v)
{
    const double h = 1e-5;
    // At a pole one derivative vanishes; step slightly inside the surface.
    for (double inset : {0.0, 1e-3, 5e-3}) {
        const double vv = std::min(1.0 - inset, std::max(inset, v));
        const osg::Vec3d du = p(u + h, vv) - p(u - h, vv);
        const osg::Vec3d dv = p(u, vv + h) - p(u, vv - h);
        osg::Vec3d n = du ^ dv;
        if (n.length2() > 1e-24)
            return n / n.length();
    }
    return osg::Vec3d(0.0, 0.0, 1.0);
}

void addTriangle(osg::DrawElementsUInt& tris, const osg::Vec3Array& verts, const osg::Vec3Array& norms,
                 unsigned a, unsigned b, unsigned c)
{
    const osg::Vec3 face = (verts[b] - verts[a]) ^ (verts[c] - verts[a]);
    if (face.length2() < 1e-14f)
        return;
    if (face * (norms[a] + norms[b] + norms[c]) < 0.f)
        std::swap(b, c);
    tris.push_back(a);
    tris.push_back(b);
    tris.push_back(c);
}

} // namespace

osg::ref_ptr<osg::Geometry> buildSurface(const SurfaceShape& shape)
{
    osg::ref_ptr<osg::Vec3Array> verts = new osg::Vec3Array;
    osg::ref_ptr<osg::Vec3Array> norms = new osg::Vec3Array;
    for (int i = 0; i <= shape.uSteps; ++i)
        for (int j = 0; j <= shape.vSteps; ++j) {
            const double u = static_cast<double>(i) / shape.uSteps;
            const double v = static_cast<double>(j) / shape.vSteps;
            verts->push_back(osg::Vec3(shape.position(u, v)));
            osg::Vec3d n = shape.normal ? shape.normal(u, v) : derivedNormal(shape.position, u, v);
            n.normalize();
            norms->push_back(osg::Vec3(n));
        }
    osg::ref_ptr<osg::DrawElementsUInt> tris = new osg::DrawElementsUInt(GL_TRIANGLES);
    const unsigned row = static_cast<unsigned>(shape.vSteps + 1);
    for (unsigned i = 0; i < static_cast<unsigned>(shape.uSteps); ++i)
        for (unsigned j = 0; j < static_cast<unsigned>(shape.vSteps); ++j) {
            const unsigned a = i * row + j, b = (i + 1) * row + j;
            addTriangle(*tris, *verts, *norms, a, b, b + 1);
            addTriangle(*tris, *verts, *norms, a, b + 1, a + 1);
        }
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setVertexArray(verts.get());
    geometry->setNormalArray(norms.get(), osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(tris.get());
    return geometry;
}

} // namespace contentgen::model
