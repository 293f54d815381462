// Checks the generated content of the middle of the show as the show reads
// it: the blob room and the torus through the scene graph's 3DS reader, the
// angular overlay and the tunnel texture through its image readers, and the
// authored camera path through the room.
#include "camera/Spline.h"

#include <gtest/gtest.h>

#include <osg/Geometry>
#include <osg/Material>
#include <osg/NodeVisitor>
#include <osg/Texture2D>
#include <osg/TriangleFunctor>
#include <osgDB/ReadFile>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kAssets = "blobroom torus tunnel angularFrame";
const char* const kFiles[] = {"ddata/blobroom.3ds", "ddata/kantig-overlay-igen.png", "demodata/tunnel2.jpg",
                              "demodata/torus.3ds", "demodata/torus.png"};

std::string generatorPath()
{
#ifdef CONTENTGEN_EXE
    return CONTENTGEN_EXE;
#else
    const char* env = std::getenv("CONTENTGEN_EXE");
    return env ? env : "";
#endif
}

std::vector<char> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
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

double degreesBetween(const osg::Vec3& a, const osg::Vec3& b)
{
    return osg::RadiansToDegrees(std::acos(std::clamp(static_cast<double>(a * b), -1.0, 1.0)));
}

// Closest point on a triangle (Ericson, Real-Time Collision Detection 5.1.5).
osg::Vec3 closestOnTriangle(const osg::Vec3& p, const Triangle& t)
{
    const osg::Vec3 ab = t.b - t.a, ac = t.c - t.a, ap = p - t.a;
    const float d1 = ab * ap, d2 = ac * ap;
    if (d1 <= 0 && d2 <= 0)
        return t.a;
    const osg::Vec3 bp = p - t.b;
    const float d3 = ab * bp, d4 = ac * bp;
    if (d3 >= 0 && d4 <= d3)
        return t.b;
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return t.a + ab * (d1 / (d1 - d3));
    const osg::Vec3 cp = p - t.c;
    const float d5 = ab * cp, d6 = ac * cp;
    if (d6 >= 0 && d5 <= d6)
        return t.c;
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return t.a + ac * (d2 / (d2 - d6));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0)
        return t.b + (t.c - t.b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const float denom = 1.f / (va + vb + vc);
    return t.a + ab * (vb * denom) + ac * (vc * denom);
}

// Surfaces crossed by a ray from p along +x (slightly skewed off the grid).
int crossingsAlongX(const osg::Vec3& p, const std::vector<Triangle>& triangles)
{
    const osg::Vec3 dir(1.f, 1e-4f, 2e-4f);
    int count = 0;
    for (const Triangle& t : triangles) {
        const osg::Vec3 e1 = t.b - t.a, e2 = t.c - t.a, h = dir ^ e2;
        const float det = e1 * h;
        if (std::fabs(det) < 1e-12f)
            continue;
        const osg::Vec3 s = p - t.a, q = s ^ e1;
        const float u = (s * h) / det, v = (dir * q) / det;
        count += u >= 0 && v >= 0 && u + v <= 1 && (e2 * q) / det > 0;
    }
    return count;
}

class ContentScenes : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (generatorPath().empty())
            return;
        root_ = fs::temp_directory_path() / ("content_scenes_" + std::to_string(getpid()));
        for (const char* run : {"a", "b"}) {
            const std::string cmd = generatorPath() + " " + (root_ / run).string() + " " + kAssets + " > /dev/null";
            generated_ = std::system(cmd.c_str()) == 0;
        }
    }
    static void TearDownTestSuite()
    {
        if (!root_.empty())
            fs::remove_all(root_);
    }
    void SetUp() override
    {
        if (generatorPath().empty())
            GTEST_SKIP() << "CONTENTGEN_EXE not set";
        ASSERT_TRUE(generated_) << "the generator failed";
    }

    static fs::path file(const std::string& rel) { return root_ / "a" / rel; }

    static std::vector<Body> readBodies(const std::string& rel)
    {
        osg::ref_ptr<osg::Node> model = osgDB::readNodeFile(file(rel).string());
        EXPECT_TRUE(model.valid()) << rel;
        BodySurvey survey;
        if (model.valid())
            model->accept(survey);
        return survey.bodies;
    }

    static fs::path root_;
    static bool generated_;
};

fs::path ContentScenes::root_;
bool ContentScenes::generated_ = false;

TEST_F(ContentScenes, TwoRunsGiveIdenticalBytes)
{
    for (const char* rel : kFiles) {
        EXPECT_GT(fs::file_size(root_ / "a" / rel), 0u) << rel;
        EXPECT_TRUE(readBytes(root_ / "a" / rel) == readBytes(root_ / "b" / rel)) << rel;
    }
}

TEST_F(ContentScenes, RoomReadsBackSmoothColouredAndFacingTheAir)
{
    const std::vector<Body> bodies = readBodies("ddata/blobroom.3ds");
    ASSERT_GE(bodies.size(), 5u);
    std::size_t triangles = 0;
    std::set<std::tuple<float, float, float>> colours;
    osg::BoundingBox room;  // the shell's: the widest body
    for (const Body& b : bodies) {
        triangles += b.triangles.size();
        colours.insert({b.diffuse.r(), b.diffuse.g(), b.diffuse.b()});
        const float spread = std::max({b.diffuse.r(), b.diffuse.g(), b.diffuse.b()})
                             - std::min({b.diffuse.r(), b.diffuse.g(), b.diffuse.b()});
        EXPECT_GT(spread, 0.15f) << "material colour lost (grey)";
        if (!room.valid() || b.box.xMax() - b.box.xMin() > room.xMax() - room.xMin())
            room = b.box;
    }
    EXPECT_GT(triangles, 10000u);
    EXPECT_LE(triangles, 21000u) << "too heavy for software rendering";
    EXPECT_GE(colours.size(), 4u);
    // Z up: a room wider than it is high, floor at 0.
    EXPECT_NEAR(room.zMin(), 0.f, 0.05f);
    EXPECT_LT(room.zMax() - room.zMin(), 0.5f * (room.xMax() - room.xMin()));

    const osg::Vec3 middle = room.center();
    for (const Body& b : bodies) {
        // The reader shares vertices only where it smooths; flat shading
        // would split every vertex between its faces.
        EXPECT_LT(b.points.size(), 0.75 * b.triangles.size()) << "faces not smoothed";
        double sum = 0, worst = 0;
        int outward = 0;
        const bool shell = b.box.xMax() - b.box.xMin() >= room.xMax() - room.xMin();
        // Columns run from below the floor to above the ceiling: judge them
        // from their axis.
        const bool column = b.box.zMax() - b.box.zMin() > room.zMax() - room.zMin();
        for (std::size_t i = 0; i < b.points.size(); ++i) {
            const double off = degreesBetween(b.normals[i], b.smoothNormals[i]);
            sum += off;
            worst = std::max(worst, off);
            osg::Vec3 from = b.points[i] - (shell ? middle : b.box.center());
            if (column)
                from.z() = 0.f;
            outward += (from * b.normals[i] > 0) != shell;
        }
        EXPECT_LT(sum / b.points.size(), 3.0) << "normals far from the surface's own";
        EXPECT_LT(worst, 15.0);
        // Shell normals face into the room, the bodies' normals out of them.
        EXPECT_GT(outward, 0.9 * b.points.size()) << (shell ? "shell" : "body") << " faces the wrong way";
    }
}

TEST_F(ContentScenes, CameraPathGlidesThroughTheAir)
{
    std::vector<Triangle> surfaces;
    for (const Body& b : readBodies("ddata/blobroom.3ds"))
        surfaces.insert(surfaces.end(), b.triangles.begin(), b.triangles.end());
    const fs::path path = fs::path(__FILE__).parent_path() / "../../show/scripts/room.pos";
    std::ifstream in(path);
    Spline eyes;
    float v[9];
    while (in >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> v[5] >> v[6] >> v[7] >> v[8])
        eyes.addPoint(Vector3{v[0], v[1], v[2]});
    ASSERT_TRUE(eyes.canEvaluate()) << path;
    auto at = [&](float u) {
        const Vector3 e = eyes.at(u);
        return osg::Vec3(e.x, e.y, e.z);
    };
    // A ray from a point in the air crosses the shell once and every body
    // twice; from inside a body it crosses an even number.
    EXPECT_EQ(crossingsAlongX(at(0.f), surfaces) % 2, 1) << "the path starts inside something";
    // Sampled finer than the clearance asked for, so no surface can slip
    // between two samples.
    const int samples = 1500;
    float nearest = 1e9f;
    for (int k = 0; k <= samples; ++k) {
        const osg::Vec3 p = at(static_cast<float>(k) / samples);
        for (const Triangle& t : surfaces)
            nearest = std::min(nearest, (closestOnTriangle(p, t) - p).length());
    }
    EXPECT_GT(nearest, 0.5f) << "the camera grazes a surface";
}

TEST_F(ContentScenes, TorusIsAColouredRingInTheMiddleOfItsLayer)
{
    const std::vector<Body> bodies = readBodies("demodata/torus.3ds");
    ASSERT_EQ(bodies.size(), 1u);
    const Body& torus = bodies.front();
    EXPECT_GT(torus.triangles.size(), 1000u);
    // Layer: x -100..0, y -100..100; centred, well inside, about half as
    // wide as the screen.
    EXPECT_NEAR(torus.box.center().x(), -50.f, 1.f);
    EXPECT_NEAR(torus.box.center().y(), 0.f, 1.f);
    const float width = torus.box.xMax() - torus.box.xMin();
    EXPECT_GT(width, 35.f);
    EXPECT_LT(width, 75.f);
    // Unlit, the reader's white colour array would show; the texture
    // carries the colour, and it must leave room for additive blending.
    ASSERT_TRUE(torus.texture && torus.texture->getImage()) << "torus texture not found by the reader";
    const osg::Image& image = *torus.texture->getImage();
    double r = 0, g = 0, b = 0;
    for (int y = 0; y < image.t(); ++y)
        for (int x = 0; x < image.s(); ++x) {
            const osg::Vec4 c = image.getColor(x, y);
            r += c.r(), g += c.g(), b += c.b();
        }
    const double n = image.s() * image.t();
    EXPECT_LT(std::max({r, g, b}) / n, 0.6) << "too bright to add";
    EXPECT_GT((std::max({r, g, b}) - std::min({r, g, b})) / n, 0.1) << "ring colour is grey";
}

TEST_F(ContentScenes, OverlayLeavesTheMiddleOpenAndDarkensTheFrame)
{
    osg::ref_ptr<osg::Image> img = osgDB::readImageFile(file("ddata/kantig-overlay-igen.png").string());
    ASSERT_TRUE(img.valid());
    ASSERT_EQ(img->getPixelFormat(), static_cast<GLenum>(GL_RGBA));
    // The stripe blend multiplies the room by colour + alpha per channel.
    auto factor = [&](int x, int y) {
        const unsigned char* p = img->data(x, y);
        return std::min({p[0], p[1], p[2]}) + p[3];
    };
    int transparent = 0, opaque = 0;
    for (int y = 0; y < img->t(); ++y)
        for (int x = 0; x < img->s(); ++x) {
            transparent += img->data(x, y)[3] == 0;
            opaque += img->data(x, y)[3] == 255;
        }
    EXPECT_GT(transparent, img->s() * img->t() / 2);
    EXPECT_GT(opaque, 500);
    for (int y = img->t() / 4; y < 3 * img->t() / 4; ++y)
        for (int x = img->s() / 4; x < 3 * img->s() / 4; ++x)
            ASSERT_GE(factor(x, y), 250) << "the open middle hides the room at " << x << "," << y;
    for (const auto& [x, y] : {std::pair{2, 2}, std::pair{img->s() - 3, img->t() / 2}, std::pair{img->s() / 3, 2}})
        EXPECT_LT(factor(x, y), 128) << "the frame does not darken at " << x << "," << y;
}

TEST_F(ContentScenes, TunnelTilesAcrossTheSweepAndDarkensAtTheHorizon)
{
    osg::ref_ptr<osg::Image> img = osgDB::readImageFile(file("demodata/tunnel2.jpg").string());
    ASSERT_TRUE(img.valid());
    auto level = [&](int x, int y) {
        const unsigned char* p = img->data(x, y);
        return p[0] + p[1] + p[2];
    };
    // The sweep runs across columns and past the last one.
    auto columnStep = [&](int a, int b) {
        double sum = 0;
        for (int y = 0; y < img->t(); ++y)
            sum += std::abs(level(a, y) - level(b, y));
        return sum / img->t();
    };
    double inner = 0;
    for (int x = 0; x + 1 < img->s(); ++x)
        inner += columnStep(x, x + 1);
    inner /= img->s() - 1;
    EXPECT_GT(inner, 0.5) << "the columns do not move";
    EXPECT_LT(columnStep(img->s() - 1, 0), 2.0 * inner + 2.0) << "seam where the sweep wraps";
    // Each column makes bands: bright rings and dark gaps towards the
    // edges, dark around the horizon in the middle.
    for (int x : {0, img->s() / 3, img->s() - 1}) {
        int lo = 765, hi = 0;
        for (int y = 0; y < img->t() / 4; ++y) {
            lo = std::min(lo, level(x, y));
            hi = std::max(hi, level(x, y));
        }
        EXPECT_GT(hi, 250) << "column " << x;
        EXPECT_LT(lo, 40) << "column " << x;
        EXPECT_LT(level(x, img->t() / 2), 40) << "column " << x;
    }
}

} // namespace
