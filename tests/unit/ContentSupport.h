#pragma once

// The generator's output as the show reads it, made once per test program:
// every asset group but the soundtrack (slow to encode, with tests of its
// own), twice side by side, so that the runs can be compared byte for byte.

#include <gtest/gtest.h>
#include <osg/Geometry>
#include <osg/Image>
#include <osg/Material>
#include <osg/NodeVisitor>
#include <osg/Texture2D>
#include <osg/TriangleFunctor>
#include <osgDB/ReadFile>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace content {

namespace fs = std::filesystem;

constexpr const char* kGroups =
    "angularFrame blobroom character flats font logos model nybak slime snork splash title torus tunnel";

struct Runs {
    fs::path root = fs::temp_directory_path() / ("content_test_" + std::to_string(getpid()));
    bool made = false;

    Runs()
    {
        const auto run = [&](const char* name) {
            return std::string(CONTENTGEN_EXE) + " " + (root / name).string() + " " + kGroups + " > /dev/null";
        };
        // Both at once: the generator uses one core.
        const std::string both = run("a") + " & first=$!; " + run("b") + " && wait $first";
        made = std::system(both.c_str()) == 0;
    }
    ~Runs() { fs::remove_all(root); }
};

// The folder of the first run (or of the second), made on first use.
inline fs::path run(bool second = false)
{
    static const Runs runs;
    EXPECT_TRUE(runs.made) << "the generator failed";
    return runs.root / (second ? "b" : "a");
}

inline std::string file(const std::string& rel) { return (run() / rel).string(); }

inline std::string bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline int levelAt(const osg::Image& image, int x, int y)
{
    const unsigned char* p = image.data(x, y);
    return p[0] + p[1] + p[2];
}

// Mean colour difference between neighbouring lines (rows, or columns) inside
// the image, and between the last line and the first, which GL_REPEAT puts
// side by side.
inline std::pair<double, double> lineSteps(const osg::Image& img, bool rows)
{
    const int lines = rows ? img.t() : img.s();
    const int length = rows ? img.s() : img.t();
    auto step = [&](int a, int b) {
        double sum = 0;
        for (int k = 0; k < length; ++k) {
            const unsigned char* p = rows ? img.data(k, a) : img.data(a, k);
            const unsigned char* q = rows ? img.data(k, b) : img.data(b, k);
            sum += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]);
        }
        return sum / length;
    };
    double inner = 0;
    for (int i = 0; i + 1 < lines; ++i)
        inner += step(i, i + 1);
    return {inner / (lines - 1), step(lines - 1, 0)};
}

struct Triangle {
    osg::Vec3 a, b, c;
};

struct TriangleCollector {
    std::vector<Triangle>* out = nullptr;
    void operator()(const osg::Vec3& a, const osg::Vec3& b, const osg::Vec3& c) { out->push_back({a, b, c}); }
};

// Per drawable: triangles, the reader's normals beside area-weighted normals
// of the same triangles merged by position, and the material colour.
struct Body {
    std::vector<Triangle> triangles;
    std::vector<osg::Vec3> points, normals, smoothNormals;
    osg::Vec4 diffuse;
    osg::BoundingBox box;
    osg::ref_ptr<const osg::Texture2D> texture;
};

class BodySurvey : public osg::NodeVisitor {
public:
    BodySurvey() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
    using osg::NodeVisitor::apply;
    void apply(osg::Drawable& drawable) override
    {
        const osg::Geometry* g = drawable.asGeometry();
        const auto* vertices = g ? dynamic_cast<const osg::Vec3Array*>(g->getVertexArray()) : nullptr;
        const auto* normals = g ? dynamic_cast<const osg::Vec3Array*>(g->getNormalArray()) : nullptr;
        ASSERT_TRUE(vertices && normals && normals->size() == vertices->size()) << "per-vertex normals expected";
        Body body;
        osg::TriangleFunctor<TriangleCollector> collect;
        collect.out = &body.triangles;
        drawable.accept(collect);
        std::map<std::tuple<float, float, float>, osg::Vec3> summed;
        auto key = [](const osg::Vec3& p) { return std::make_tuple(p.x(), p.y(), p.z()); };
        for (const Triangle& t : body.triangles) {
            const osg::Vec3 face = (t.b - t.a) ^ (t.c - t.a);
            for (const osg::Vec3* p : {&t.a, &t.b, &t.c})
                summed[key(*p)] += face;
        }
        for (std::size_t i = 0; i < vertices->size(); ++i) {
            osg::Vec3 smooth = summed[key((*vertices)[i])];
            smooth.normalize();
            body.points.push_back((*vertices)[i]);
            body.normals.push_back((*normals)[i]);
            body.smoothNormals.push_back(smooth);
            body.box.expandBy((*vertices)[i]);
        }
        if (const osg::StateSet* s = drawable.getStateSet()) {
            if (const auto* m = dynamic_cast<const osg::Material*>(s->getAttribute(osg::StateAttribute::MATERIAL)))
                body.diffuse = m->getDiffuse(osg::Material::FRONT);
            body.texture = dynamic_cast<const osg::Texture2D*>(s->getTextureAttribute(0, osg::StateAttribute::TEXTURE));
        }
        bodies.push_back(body);
    }
    std::vector<Body> bodies;
};

inline std::vector<Body> readBodies(const std::string& rel)
{
    osg::ref_ptr<osg::Node> model = osgDB::readNodeFile(file(rel));
    EXPECT_TRUE(model.valid()) << rel;
    BodySurvey survey;
    if (model.valid())
        model->accept(survey);
    return survey.bodies;
}

} // namespace content
