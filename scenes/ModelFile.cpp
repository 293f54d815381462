#include "scenes/ModelFile.h"

#include <osgDB/ReadFile>
#include <osgDB/Registry>
#include <osg/TriangleIndexFunctor>

#include <map>
#include <utility>

#include <iostream>

osg::ref_ptr<osg::Node> readSceneModel(const std::string& path)
{
    osg::ref_ptr<osg::Node> model = osgDB::readRefNodeFile(path, osgDB::Registry::instance()->getOptions());
    if (!model)
        std::cout << "Could not read model: " << path << std::endl;
    return model;
}

namespace {

struct TriangleEdges {
    const osg::Vec3Array* vertices = nullptr;
    std::map<std::pair<osg::Vec3, osg::Vec3>, int>* directed = nullptr;
    void operator()(unsigned a, unsigned b, unsigned c) const
    {
        const unsigned corners[3] = {a, b, c};
        for (int side = 0; side < 3; ++side)
            ++(*directed)[{(*vertices)[corners[side]], (*vertices)[corners[(side + 1) % 3]]}];
    }
};

class BackFaceCuller : public osg::NodeVisitor
{
public:
    BackFaceCuller() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
    void apply(osg::Geometry& geometry) override
    {
        if (isClosedSurface(geometry))
            geometry.getOrCreateStateSet()->setMode(GL_CULL_FACE, osg::StateAttribute::ON);
    }
};

} // namespace

bool isClosedSurface(const osg::Geometry& geometry)
{
    const auto* vertices = dynamic_cast<const osg::Vec3Array*>(geometry.getVertexArray());
    if (!vertices || vertices->empty())
        return false;
    std::map<std::pair<osg::Vec3, osg::Vec3>, int> directed;
    osg::TriangleIndexFunctor<TriangleEdges> collect;
    collect.vertices = vertices;
    collect.directed = &directed;
    for (unsigned i = 0; i < geometry.getNumPrimitiveSets(); ++i)
        geometry.getPrimitiveSet(i)->accept(collect);
    if (directed.empty())
        return false;
    for (const auto& edge : directed) {
        const auto back = directed.find({edge.first.second, edge.first.first});
        if (edge.second != 1 || back == directed.end() || back->second != 1)
            return false;
    }
    return true;
}

void cullHiddenBackFaces(osg::Node& model)
{
    BackFaceCuller culler;
    model.accept(culler);
}
