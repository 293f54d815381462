#pragma once

#include <osg/Geometry>
#include <osg/Node>
#include <osg/StateSet>
#include <osg/ref_ptr>

#include <cstdint>
#include <vector>

// The cartoon outline without the cost of polygon-mode lines. Drawing the
// back faces as wide lines sends every edge of every back face through
// Mesa's slow per-primitive pipeline, each inner edge twice. Nearly the same
// lines come out of drawing, as plain GL_LINES, each edge once where a face
// turned away from the eye meets one turned towards it, or ends at an open
// border. The edges between two faces turned away lie behind the model's
// front, where the depth test hid them anyway; only where such an edge runs
// within a line's width of the silhouette did a pixel of it show, a few
// dozen pixels a frame on the dancer. They were most of the lines.

// Whether a model-view matrix mirrors what it draws, which swaps front and
// back faces.
bool mirrors(const osg::Matrix& modelView);

// Where the eye is in the model's own space: a point for a perspective view,
// a direction (w = 0) towards the viewer for an orthographic one.
osg::Vec4 eyeInModelSpace(const osg::Matrix& modelView, const osg::Matrix& projection);

// Whether the triangle a b c (counter-clockwise is the front) faces away
// from `eye`, given as eyeInModelSpace gives it.
bool turnedAway(const osg::Vec3& a, const osg::Vec3& b, const osg::Vec3& c, const osg::Vec4& eye, bool mirrored);

// Three vertex indices per triangle, from every primitive set of the
// geometry (strips and fans taken apart).
std::vector<uint32_t> trianglesOf(const osg::Geometry& geometry);

// The edges of a triangle mesh, each once, and for each triangle its three.
struct EdgeTable {
    std::vector<uint32_t> triangles;   // three vertex indices per triangle
    std::vector<uint32_t> edges;       // two vertex indices per edge
    std::vector<uint32_t> edgesOfTriangle; // three edge numbers per triangle

    void build(const std::vector<uint32_t>& triangleIndices);
};

// Appends to `lines` the two ends of every edge of the outline: between a
// triangle facing away from the eye (counter-clockwise is the front) and one
// facing it, or on the border of a triangle facing away. `eye` is in the
// model's space: a point (w = 1) or, for an orthographic view, the direction
// towards the viewer (w = 0). `mirrored` flips the test for a view whose
// transform mirrors the model.
void selectOutlineEdges(const EdgeTable& table, const osg::Vec3Array& vertices, const osg::Vec4& eye,
                        bool mirrored, std::vector<uint32_t>& lines);

// Draws the outline of a source geometry, reading the source's vertices at
// draw time, so vertices skinned on the CPU every frame are followed.
class OutlineEdges : public osg::Geometry
{
public:
    explicit OutlineEdges(osg::Geometry& source);

    void drawImplementation(osg::RenderInfo& renderInfo) const override;
    osg::BoundingBox computeBoundingBox() const override;

private:
    osg::ref_ptr<osg::Geometry> m_source;
    EdgeTable m_table;
    osg::ref_ptr<osg::DrawElementsUInt> m_lines;
};

// A copy of the model's node tree that draws outlines: every geometry is
// replaced by its OutlineEdges, every transform follows the original's
// matrix. A node of any other kind (a switch, a level of detail) is drawn
// itself, its back faces as polygon-mode lines, so nothing loses its outline.
osg::ref_ptr<osg::Node> buildOutlineMirror(osg::Node& model);
