#include "scenes/ViewDependentGeometry.h"

bool mirrors(const osg::Matrix& m)
{
    const double det = m(0, 0) * (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) -
                       m(0, 1) * (m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) +
                       m(0, 2) * (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0));
    return det < 0.0;
}

osg::Vec4 eyeInModelSpace(const osg::Matrix& modelView, const osg::Matrix& projection)
{
    const bool orthographic = projection(3, 3) != 0.0 && projection(2, 3) == 0.0;
    const osg::Vec4 eye = orthographic ? osg::Vec4(0, 0, 1, 0) : osg::Vec4(0, 0, 0, 1);
    return eye * osg::Matrix::inverse(modelView);
}

bool turnedAway(const osg::Vec3& a, const osg::Vec3& b, const osg::Vec3& c, const osg::Vec4& eye, bool mirrored)
{
    const osg::Vec3 normal = (b - a) ^ (c - a);
    const float facing = normal * (osg::Vec3(eye.x(), eye.y(), eye.z()) - a * eye.w());
    return mirrored ? facing > 0.0f : facing < 0.0f;
}

bool hasModelVertices(const osg::Drawable& drawable)
{
    const osg::Geometry* geometry = drawable.asGeometry();
    return geometry && dynamic_cast<const osg::Vec3Array*>(geometry->getVertexArray());
}

ViewDependentGeometry::ViewDependentGeometry(osg::Geometry& source, GLenum mode)
    : source(&source), chosen(new osg::DrawElementsUInt(mode))
{
    // The index list changes every frame: nothing to compile or upload once.
    setUseDisplayList(false);
    setUseVertexBufferObjects(false);
    setDataVariance(osg::Object::DYNAMIC);
    setVertexArray(source.getVertexArray());
    addPrimitiveSet(chosen.get());
}

void ViewDependentGeometry::drawImplementation(osg::RenderInfo& renderInfo) const
{
    const auto* vertices = dynamic_cast<const osg::Vec3Array*>(source->getVertexArray());
    if (!vertices)
        return;
    const osg::State& state = *renderInfo.getState();
    const osg::Matrix& modelView = state.getModelViewMatrix();
    chosen->clear();
    select(*vertices, eyeInModelSpace(modelView, state.getProjectionMatrix()), mirrors(modelView),
           chosen->asVector());
    chosen->dirty();
    osg::Geometry::drawImplementation(renderInfo);
}

osg::BoundingBox ViewDependentGeometry::computeBoundingBox() const
{
    return source->getBoundingBox();
}
