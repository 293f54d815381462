#pragma once

#include <osg/Geometry>
#include <osg/Matrix>
#include <osg/ref_ptr>

#include <cstdint>
#include <vector>

// Whether a model-view matrix mirrors what it draws, which swaps front and
// back faces.
bool mirrors(const osg::Matrix& modelView);

// Where the eye is in the model's own space: a point for a perspective view,
// a direction (w = 0) towards the viewer for an orthographic one.
osg::Vec4 eyeInModelSpace(const osg::Matrix& modelView, const osg::Matrix& projection);

// Whether the triangle a b c (counter-clockwise is the front) faces away
// from `eye`, given as eyeInModelSpace gives it.
bool turnedAway(const osg::Vec3& a, const osg::Vec3& b, const osg::Vec3& c, const osg::Vec4& eye, bool mirrored);

// Whether a ViewDependentGeometry can draw from `drawable`: a geometry of
// 3D vertices.
bool hasModelVertices(const osg::Drawable& drawable);

// Draws a source geometry's vertices through an index list chosen again at
// every draw, from where the eye is then; vertices the CPU moves every frame
// (a skinned character) are followed.
class ViewDependentGeometry : public osg::Geometry
{
public:
    ViewDependentGeometry(osg::Geometry& source, GLenum mode);

    void drawImplementation(osg::RenderInfo& renderInfo) const override;
    osg::BoundingBox computeBoundingBox() const override;

protected:
    // Appends this view's indices to the empty `indices`.
    virtual void select(const osg::Vec3Array& vertices, const osg::Vec4& eye, bool mirrored,
                        std::vector<uint32_t>& indices) const = 0;

private:
    osg::ref_ptr<osg::Geometry> source;
    osg::ref_ptr<osg::DrawElementsUInt> chosen;
};
