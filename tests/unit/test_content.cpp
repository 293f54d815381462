// The generated pictures, font and models as the show relies on them: the
// same bytes from run to run, logos on transparent ground that keep apart on
// screen, a slime tile without seams, flat white and black, an opening model
// of the expected size; the blob room and the torus through the scene
// graph's 3DS reader, the angular overlay and the tunnel texture, and the
// authored camera path through the room.
#include "camera/Spline.h"
#include "ContentSupport.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

using namespace content;

namespace {

const char* const kLogos[] = {"lumbra", "ostra", "kvell", "trinna", "bolma", "sprett"};

const char* const kFiles[] = {
    "demodata/bg003x.jpg",   "demodata/white.jpg",  "demodata/black.jpg",    "fonts/arial.ttf",
    "ddata/velmo.png",       "ddata/slime.png",     "ddata/rutor.osg",       "ddata/lumbra.png",
    "ddata/sprett-blur.png", "ddata/blobroom.3ds",  "ddata/kantig-overlay-igen.png",
    "demodata/tunnel2.jpg",  "demodata/torus.3ds",  "demodata/torus.png",    "skeleton/skeleton.cfg",
    "skeleton/dancer.csf",   "skeleton/dance.caf",  "skeleton/idle.caf",     "skeleton/body.cmf",
    "skeleton/clothes.cmf",  "skeleton/face.cmf",   "skeleton/shirt.crf",    "skeleton/shirt.png",
    "ddata/snorkrka1.osg",   "ddata/nybak1.png"};

int alphaAt(const osg::Image& image, int x, int y) { return image.data(x, y)[3]; }

osg::ref_ptr<osg::Image> image(const std::string& rel, bool alpha = false)
{
    osg::ref_ptr<osg::Image> img = osgDB::readImageFile(file(rel));
    EXPECT_TRUE(img.valid()) << rel;
    if (img.valid() && alpha) {
        EXPECT_EQ(img->getPixelFormat(), static_cast<GLenum>(GL_RGBA)) << rel;
    }
    return img;
}

osg::ref_ptr<osg::Image> logo(const char* name, const char* suffix = "")
{
    return image(std::string("ddata/") + name + suffix + ".png", true);
}

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

} // namespace

TEST(Content, EveryFileIsWrittenWithTheSameBytesOnEveryRun)
{
    for (const char* rel : kFiles) {
        const std::string a = bytes(run() / rel);
        EXPECT_FALSE(a.empty()) << rel;
        EXPECT_TRUE(a == bytes(run(true) / rel)) << rel << " differs between runs";
    }
}

TEST(Content, LogosStandApartOnTransparentBlackGroundUnderSoftGlowsThatCoverThem)
{
    std::vector<osg::ref_ptr<osg::Image>> logos;
    for (const char* name : kLogos) {
        logos.push_back(logo(name));
        const auto glow = logo(name, "-blur");
        const osg::Image& img = *logos.back();
        ASSERT_TRUE(logos.back().valid() && glow.valid());
        ASSERT_EQ(img.s(), logos[0]->s());
        ASSERT_EQ(img.t(), logos[0]->t());
        ASSERT_EQ(glow->s(), img.s());
        ASSERT_EQ(glow->t(), img.t());
        int opaque = 0, soft = 0, uncovered = 0;
        for (int y = 0; y < img.t(); ++y)
            for (int x = 0; x < img.s(); ++x) {
                if (x == 0 || y == 0 || x == img.s() - 1 || y == img.t() - 1) {
                    ASSERT_EQ(alphaAt(img, x, y), 0) << name << " border at " << x << "," << y;
                }
                // The first logo is drawn with its colour as source factor, so
                // any colour under zero alpha would still add light.
                if (alphaAt(img, x, y) == 0) {
                    ASSERT_EQ(levelAt(img, x, y), 0) << name << " at " << x << "," << y;
                }
                opaque += alphaAt(img, x, y) == 255;
                const int a = alphaAt(*glow, x, y);
                soft += a > 0 && a < 255;
                uncovered += alphaAt(img, x, y) == 255 && a == 0;
            }
        EXPECT_GT(opaque, 2000) << name;
        EXPECT_EQ(uncovered, 0) << name;
        EXPECT_GT(soft, 20000) << name << " glow is not blurred";
    }
    for (int y = 0; y < logos[0]->t(); ++y)
        for (int x = 0; x < logos[0]->s(); ++x) {
            int covering = 0;
            for (const auto& img : logos)
                covering += alphaAt(*img, x, y) > 0;
            ASSERT_LE(covering, 1) << "logos overlap at " << x << "," << y;
        }
}

TEST(Content, SlimeTilesWithoutSeamsAndItsRowsMakeBands)
{
    const auto img = image("ddata/slime.png");
    ASSERT_TRUE(img.valid());
    for (bool rows : {true, false}) {
        const auto [inner, wrap] = lineSteps(*img, rows);
        EXPECT_GT(inner, 0.5) << "slime should vary from line to line";
        EXPECT_LT(wrap, 2.0 * inner + 2.0) << (rows ? "rows" : "columns") << " show a seam";
    }
    // One row stretched over the screen must not be flat.
    for (int line : {0, img->t() / 3, img->t() / 2}) {
        int lo = 255 * 3, hi = 0;
        for (int x = 0; x < img->s(); ++x) {
            lo = std::min(lo, levelAt(*img, x, line));
            hi = std::max(hi, levelAt(*img, x, line));
        }
        EXPECT_GT(hi - lo, 150) << "row " << line;
    }
}

TEST(Content, TheSplashIsAFullScreenPictureAndTheFontIsTrueType)
{
    const auto splash = image("demodata/bg003x.jpg");
    ASSERT_TRUE(splash.valid());
    EXPECT_EQ(splash->s() * 3, splash->t() * 4) << "screen shape is 4:3";
    EXPECT_GE(splash->s(), 800);
    std::set<int> shades;
    for (int y = 0; y < splash->t(); y += 7)
        for (int x = 0; x < splash->s(); x += 7) {
            const unsigned char* p = splash->data(x, y);
            shades.insert((p[0] / 16) * 256 + (p[1] / 16) * 16 + p[2] / 16);
        }
    EXPECT_GT(shades.size(), 100u) << "picture looks flat";

    EXPECT_EQ(bytes(file("fonts/arial.ttf")).substr(0, 4), std::string("\0\1\0\0", 4));
}

TEST(Content, ModelLoadsCentredWithModerateSizeSmoothAndColoured)
{
    osg::ref_ptr<osg::Node> model = osgDB::readNodeFile(file("ddata/rutor.osg"));
    ASSERT_TRUE(model.valid());
    const osg::BoundingSphere bound = model->getBound();
    EXPECT_GT(bound.radius(), 4.0f);
    EXPECT_LT(bound.radius(), 6.5f);
    EXPECT_LT(bound.center().length(), 1.0f);
    // Smooth shading needs per-vertex normals, which the survey expects;
    // toon shading shows parts by material colour.
    std::size_t triangles = 0;
    std::set<std::tuple<float, float, float>> colours;
    for (const Body& b : readBodies("ddata/rutor.osg")) {
        triangles += b.triangles.size();
        colours.insert({b.diffuse.r(), b.diffuse.g(), b.diffuse.b()});
    }
    EXPECT_GT(triangles, 2000u);
    EXPECT_LT(triangles, 50000u);
    EXPECT_GE(colours.size(), 3u);
}

TEST(ContentScenes, RoomReadsBackSmoothColouredAndFacingTheAir)
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

TEST(ContentScenes, CameraPathGlidesThroughTheAir)
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

TEST(ContentScenes, TorusIsAColouredRingInTheMiddleOfItsLayer)
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

TEST(ContentScenes, OverlayLeavesTheMiddleOpenAndDarkensTheFrame)
{
    osg::ref_ptr<osg::Image> img = osgDB::readImageFile(file("ddata/kantig-overlay-igen.png"));
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

TEST(ContentScenes, TunnelTilesAcrossTheSweepAndDarkensAtTheHorizon)
{
    osg::ref_ptr<osg::Image> img = osgDB::readImageFile(file("demodata/tunnel2.jpg"));
    ASSERT_TRUE(img.valid());
    auto level = [&](int x, int y) { return levelAt(*img, x, y); };
    // The sweep runs across columns and past the last one.
    const auto [inner, wrap] = lineSteps(*img, false);
    EXPECT_GT(inner, 0.5) << "the columns do not move";
    EXPECT_LT(wrap, 2.0 * inner + 2.0) << "seam where the sweep wraps";
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
