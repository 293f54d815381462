#include "scenes/OutlineEdges.h"

#include <osg/Camera>
#include <osg/CullFace>
#include <osg/Geode>
#include <osg/PolygonMode>
#include <osg/Transform>
#include <osg/TriangleIndexFunctor>

#include <typeinfo>
#include <unordered_map>

namespace {

struct TriangleCollector {
    std::vector<uint32_t>* indices = nullptr;
    void operator()(unsigned a, unsigned b, unsigned c) const
    {
        indices->insert(indices->end(), {a, b, c});
    }
};

// Follows the matrix of a transform of the model, so the outline of a moving
// part moves with it.
class FollowTransform : public osg::Transform
{
public:
    explicit FollowTransform(osg::Transform& source) : followed(&source)
    {
        setReferenceFrame(source.getReferenceFrame());
    }
    bool computeLocalToWorldMatrix(osg::Matrix& matrix, osg::NodeVisitor* nv) const override
    {
        return followed->computeLocalToWorldMatrix(matrix, nv);
    }
    bool computeWorldToLocalMatrix(osg::Matrix& matrix, osg::NodeVisitor* nv) const override
    {
        return followed->computeWorldToLocalMatrix(matrix, nv);
    }

private:
    osg::ref_ptr<osg::Transform> followed;
};

} // namespace

osg::ref_ptr<osg::Node> polygonModeOutline(osg::Node& node)
{
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->addChild(&node);
    osg::StateSet* ss = group->getOrCreateStateSet();
    const auto on = osg::StateAttribute::ON | osg::StateAttribute::OVERRIDE;
    ss->setAttributeAndModes(new osg::CullFace(osg::CullFace::FRONT), on);
    ss->setAttributeAndModes(new osg::PolygonMode(osg::PolygonMode::BACK, osg::PolygonMode::LINE), on);
    return group;
}

namespace {

osg::ref_ptr<osg::Node> mirrorGeode(osg::Geode& geode)
{
    osg::ref_ptr<osg::Geode> mirror = new osg::Geode;
    for (unsigned i = 0; i < geode.getNumDrawables(); ++i) {
        osg::Geometry* geometry = geode.getDrawable(i)->asGeometry();
        osg::ref_ptr<OutlineEdges> edges = new OutlineEdges(*geometry);
        edges->setStateSet(geometry->getStateSet());
        mirror->addDrawable(edges.get());
    }
    return mirror;
}

bool isPlainGroup(osg::Node& node)
{
    return typeid(node) == typeid(osg::Group);
}

osg::ref_ptr<osg::Node> mirrorOf(osg::Node& node)
{
    osg::ref_ptr<osg::Node> mirror;
    osg::Geode* geode = node.asGeode();
    osg::Transform* transform = node.asTransform();
    if (geode) {
        for (unsigned i = 0; i < geode->getNumDrawables(); ++i)
            if (!hasModelVertices(*geode->getDrawable(i)))
                return polygonModeOutline(node);
        mirror = mirrorGeode(*geode);
    } else if ((transform && !dynamic_cast<osg::Camera*>(transform)) || isPlainGroup(node)) {
        osg::Group* source = node.asGroup();
        osg::ref_ptr<osg::Group> group = transform ? new FollowTransform(*transform) : new osg::Group;
        for (unsigned i = 0; i < source->getNumChildren(); ++i)
            group->addChild(mirrorOf(*source->getChild(i)).get());
        mirror = group;
    } else {
        return polygonModeOutline(node);
    }
    mirror->setStateSet(node.getStateSet());
    mirror->setNodeMask(node.getNodeMask());
    // Its bounds would be stale copies of parts that move; the edges clip
    // cheaply anyway.
    mirror->setCullingActive(false);
    return mirror;
}

} // namespace

std::vector<uint32_t> trianglesOf(const osg::Geometry& geometry)
{
    std::vector<uint32_t> indices;
    osg::TriangleIndexFunctor<TriangleCollector> collect;
    collect.indices = &indices;
    geometry.accept(collect);
    return indices;
}

void EdgeTable::build(const std::vector<uint32_t>& triangleIndices)
{
    triangles = triangleIndices;
    edges.clear();
    edgesOfTriangle.clear();
    std::unordered_map<uint64_t, uint32_t> numberOf;
    for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
        for (int side = 0; side < 3; ++side) {
            uint32_t a = triangles[t + side];
            uint32_t b = triangles[t + (side + 1) % 3];
            if (a > b)
                std::swap(a, b);
            const uint64_t key = (static_cast<uint64_t>(a) << 32) | b;
            auto found = numberOf.emplace(key, static_cast<uint32_t>(edges.size() / 2));
            if (found.second)
                edges.insert(edges.end(), {a, b});
            edgesOfTriangle.push_back(found.first->second);
        }
    }
}

void selectOutlineEdges(const EdgeTable& table, const osg::Vec3Array& vertices, const osg::Vec4& eye,
                        bool mirrored, std::vector<uint32_t>& lines)
{
    // Per edge: bit 0 a face turned away, bit 1 a face turned towards, bit 2
    // a second face of either kind.
    std::vector<uint8_t> sides(table.edges.size() / 2, 0);
    for (size_t t = 0; t + 2 < table.triangles.size(); t += 3) {
        const uint32_t a = table.triangles[t], b = table.triangles[t + 1], c = table.triangles[t + 2];
        if (a >= vertices.size() || b >= vertices.size() || c >= vertices.size())
            continue;
        const uint8_t side = turnedAway(vertices[a], vertices[b], vertices[c], eye, mirrored) ? 1 : 2;
        for (int k = 0; k < 3; ++k) {
            uint8_t& seen = sides[table.edgesOfTriangle[t + k]];
            seen |= static_cast<uint8_t>(side | (seen ? 4 : 0));
        }
    }
    for (size_t e = 0; e < sides.size(); ++e) {
        const bool meets = (sides[e] & 3) == 3;
        const bool border = sides[e] == 1;
        if (meets || border)
            lines.insert(lines.end(), {table.edges[2 * e], table.edges[2 * e + 1]});
    }
}

OutlineEdges::OutlineEdges(osg::Geometry& source) : ViewDependentGeometry(source, GL_LINES)
{
    edgeTable.build(trianglesOf(source));
    setCullingActive(false);
}

void OutlineEdges::select(const osg::Vec3Array& vertices, const osg::Vec4& eye, bool mirrored,
                          std::vector<uint32_t>& indices) const
{
    selectOutlineEdges(edgeTable, vertices, eye, mirrored, indices);
}

osg::ref_ptr<osg::Node> buildOutlineMirror(osg::Node& model)
{
    return mirrorOf(model);
}

bool drawsFromModelVertices(osg::Node& model)
{
    struct Check : osg::NodeVisitor {
        Check() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
        void apply(osg::Geode& geode) override
        {
            for (unsigned i = 0; i < geode.getNumDrawables(); ++i)
                all = all && hasModelVertices(*geode.getDrawable(i));
        }
        bool all = true;
    } check;
    model.accept(check);
    return check.all;
}
