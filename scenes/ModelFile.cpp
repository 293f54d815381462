#include "scenes/ModelFile.h"

#include "app/ContentReader.h"
#include "scenes/OutlineEdges.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <iostream>
#include <vector>

osg::ref_ptr<osg::Node> readSceneModel(const std::string& path)
{
    osg::ref_ptr<osg::Node> model = readShowModel(path);
    if (!model)
        std::cout << "Could not read model: " << path << std::endl;
    return model;
}

namespace {

std::vector<uint32_t> positionIds(const osg::Vec3Array& vertices)
{
    std::unordered_map<std::string, uint32_t> idOf;
    std::vector<uint32_t> ids;
    ids.reserve(vertices.size());
    for (const osg::Vec3& v : vertices) {
        const std::string key(reinterpret_cast<const char*>(v.ptr()), sizeof(float) * 3);
        ids.push_back(idOf.emplace(key, static_cast<uint32_t>(idOf.size())).first->second);
    }
    return ids;
}

class ClosedSurfaces : public osg::NodeVisitor
{
public:
    ClosedSurfaces() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
    void apply(osg::Geometry& geometry) override
    {
        if (isClosedSurface(geometry))
            closed.push_back(&geometry);
    }
    std::vector<osg::Geometry*> closed;
};

} // namespace

bool isClosedSurface(const osg::Geometry& geometry)
{
    const auto* vertices = dynamic_cast<const osg::Vec3Array*>(geometry.getVertexArray());
    if (!vertices || vertices->empty())
        return false;
    // Corners numbered by position, so a seam of doubled vertices still
    // joins its two sides.
    const std::vector<uint32_t> ids = positionIds(*vertices);
    std::vector<uint32_t> corners = trianglesOf(geometry);
    if (corners.empty())
        return false;
    for (uint32_t& corner : corners)
        corner = corner < ids.size() ? ids[corner] : UINT32_MAX;
    std::vector<uint64_t> directed;
    directed.reserve(corners.size());
    for (size_t t = 0; t + 2 < corners.size(); t += 3)
        for (int side = 0; side < 3; ++side)
            directed.push_back(uint64_t(corners[t + side]) << 32 | corners[t + (side + 1) % 3]);
    std::sort(directed.begin(), directed.end());
    if (std::adjacent_find(directed.begin(), directed.end()) != directed.end())
        return false;
    for (uint64_t edge : directed) {
        const uint64_t back = (edge << 32) | (edge >> 32);
        if (edge >> 32 == (edge & 0xffffffffu) || !std::binary_search(directed.begin(), directed.end(), back))
            return false;
    }
    return true;
}

void cullHiddenBackFaces(osg::Node& model)
{
    ClosedSurfaces surfaces;
    model.accept(surfaces);
    for (osg::Geometry* geometry : surfaces.closed)
        geometry->getOrCreateStateSet()->setMode(GL_CULL_FACE, osg::StateAttribute::ON);
}

bool hasClosedSurface(osg::Node& model)
{
    ClosedSurfaces surfaces;
    model.accept(surfaces);
    return !surfaces.closed.empty();
}

void speedUpClosedSurfaces(SpeedUpList& speedUps, const std::string& name, osg::Node& model)
{
    speedUps.apply(name + ": hidden back faces culled", [&] { return holdsIf(hasClosedSurface(model), "no surface is closed"); },
                   [&] { cullHiddenBackFaces(model); });
}
