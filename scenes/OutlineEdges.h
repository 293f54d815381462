#pragma once

#include "scenes/ViewDependentGeometry.h"

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

// Draws the outline of a source geometry from the source's current
// vertices.
class OutlineEdges : public ViewDependentGeometry
{
public:
    explicit OutlineEdges(osg::Geometry& source);

protected:
    void select(const osg::Vec3Array& vertices, const osg::Vec4& eye, bool mirrored,
                std::vector<uint32_t>& indices) const override;

private:
    EdgeTable edgeTable;
};

// A copy of the model's node tree that draws outlines: every geometry is
// replaced by its OutlineEdges, every transform follows the original's
// matrix. A node of any other kind (a switch, a level of detail) is drawn
// itself, its back faces as polygon-mode lines, so nothing loses its outline.
osg::ref_ptr<osg::Node> buildOutlineMirror(osg::Node& model);
// The plain outline: the node itself, its back faces drawn as polygon-mode
// lines and its front faces culled.
osg::ref_ptr<osg::Node> polygonModeOutline(osg::Node& node);
// Whether every drawable below the node is a geometry of 3D vertices, so
// buildOutlineMirror gives all of it outline edges.
bool drawsFromModelVertices(osg::Node& model);
