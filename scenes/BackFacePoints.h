#pragma once

#include "scenes/ViewDependentGeometry.h"

#include <osg/Geometry>
#include <osg/Node>
#include <osg/ref_ptr>

#include <cstdint>
#include <vector>

// Back faces drawn as points, added up (the light scene's ring): polygon
// mode draws each corner of each face turned away, a shared corner once for
// every such face, some 7,000 points a frame, and each point costs the
// software renderer far more than its four pixels. The same pixels come
// from drawing each such corner once, its colour added as many times as it
// was drawn: the 8-bit level times the count, clamped, which is what the
// repeated additions came to. The front faces then draw filled with back
// faces culled.

// Counts in `copies` (one per vertex) how often polygon mode would draw
// each vertex as a point, and appends every vertex drawn at least once to
// `points`. `eye` is as eyeInModelSpace gives it.
void countBackFaceCorners(const std::vector<uint32_t>& triangles, const osg::Vec3Array& vertices,
                          const osg::Vec4& eye, bool mirrored, std::vector<float>& copies,
                          std::vector<uint32_t>& points);

// Draws the corners of a source geometry's back faces with the source's
// vertices, colours and texture coordinates, for additive blending.
class BackFacePoints : public ViewDependentGeometry
{
public:
    explicit BackFacePoints(osg::Geometry& source);

protected:
    void select(const osg::Vec3Array& vertices, const osg::Vec4& eye, bool mirrored,
                std::vector<uint32_t>& indices) const override;

private:
    std::vector<uint32_t> sourceTriangles;
    osg::ref_ptr<osg::FloatArray> cornerCopies;
};

// Gives every geometry of the model's geodes its back-face points. For a
// model whose drawables are all geometries of 3D vertices
// (drawsFromModelVertices).
void addBackFacePoints(osg::Node& model);
