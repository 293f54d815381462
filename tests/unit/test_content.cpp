// The generated pictures, font and opening model as the show relies on them:
// the same bytes from run to run, logos on transparent ground that keep
// apart on screen, a slime tile without seams, flat white and black, and an
// opening model of the expected size.
#include "ContentSupport.h"

#include <osg/Geometry>
#include <osg/Image>
#include <osg/Material>
#include <osg/NodeVisitor>
#include <osgDB/ReadFile>

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using content::file;
using content::levelAt;

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

} // namespace

TEST(Content, EveryFileIsWrittenWithTheSameBytesOnEveryRun)
{
    for (const char* rel : kFiles) {
        const std::string a = content::bytes(content::run() / rel);
        EXPECT_FALSE(a.empty()) << rel;
        EXPECT_TRUE(a == content::bytes(content::run(true) / rel)) << rel << " differs between runs";
    }
}

TEST(Content, LogosStandApartOnTransparentBlackGround)
{
    std::vector<osg::ref_ptr<osg::Image>> logos;
    for (const char* name : kLogos) {
        logos.push_back(logo(name));
        const osg::Image& img = *logos.back();
        ASSERT_TRUE(logos.back().valid());
        ASSERT_EQ(img.s(), logos[0]->s());
        ASSERT_EQ(img.t(), logos[0]->t());
        int opaque = 0;
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
            }
        EXPECT_GT(opaque, 2000) << name;
    }
    for (int y = 0; y < logos[0]->t(); ++y)
        for (int x = 0; x < logos[0]->s(); ++x) {
            int covering = 0;
            for (const auto& img : logos)
                covering += alphaAt(*img, x, y) > 0;
            ASSERT_LE(covering, 1) << "logos overlap at " << x << "," << y;
        }
}

TEST(Content, GlowsAreSoftAndCoverTheirLogos)
{
    for (const char* name : kLogos) {
        const auto sharp = logo(name), glow = logo(name, "-blur");
        ASSERT_TRUE(sharp.valid() && glow.valid());
        ASSERT_EQ(sharp->s(), glow->s());
        ASSERT_EQ(sharp->t(), glow->t());
        int soft = 0, uncovered = 0;
        for (int y = 0; y < glow->t(); ++y)
            for (int x = 0; x < glow->s(); ++x) {
                const int a = alphaAt(*glow, x, y);
                soft += a > 0 && a < 255;
                uncovered += alphaAt(*sharp, x, y) == 255 && a == 0;
            }
        EXPECT_EQ(uncovered, 0) << name;
        EXPECT_GT(soft, 20000) << name << " glow is not blurred";
    }
}

TEST(Content, TitleIsCentredAroundItsMiddleColumn)
{
    const auto img = image("ddata/velmo.png", true);
    ASSERT_TRUE(img.valid());
    int x0 = img->s(), x1 = -1;
    for (int y = 0; y < img->t(); ++y)
        for (int x = 0; x < img->s(); ++x)
            if (alphaAt(*img, x, y) == 255) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
            }
    ASSERT_GE(x1, 0) << "title has no opaque pixels";
    EXPECT_NEAR(0.5 * (x0 + x1), 0.5 * img->s(), 0.02 * img->s());
    EXPECT_GT(x1 - x0, img->s() / 2) << "title should span much of the screen";
    EXPECT_EQ(alphaAt(*img, 0, 0), 0);
}

TEST(Content, SlimeTilesWithoutSeamsAndItsRowsMakeBands)
{
    const auto img = image("ddata/slime.png");
    ASSERT_TRUE(img.valid());
    for (bool rows : {true, false}) {
        const auto [inner, wrap] = content::lineSteps(*img, rows);
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

TEST(Content, FlashImagesAreFlatTheSplashIsAFullScreenPictureAndTheFontIsTrueType)
{
    for (const auto& [rel, value] : {std::pair<std::string, int>{"demodata/white.jpg", 3 * 255},
                                     std::pair<std::string, int>{"demodata/black.jpg", 0}}) {
        const auto img = image(rel);
        ASSERT_TRUE(img.valid());
        for (int y = 0; y < img->t(); ++y)
            for (int x = 0; x < img->s(); ++x)
                ASSERT_EQ(levelAt(*img, x, y), value) << rel;
    }

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

    EXPECT_EQ(content::bytes(file("fonts/arial.ttf")).substr(0, 4), std::string("\0\1\0\0", 4));
}

// Counts triangles and collects the diffuse colours of every material.
class ModelSurvey : public osg::NodeVisitor {
public:
    ModelSurvey() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
    using osg::NodeVisitor::apply;
    void apply(osg::Drawable& drawable) override
    {
        note(drawable.getStateSet());
        const osg::Geometry* geometry = drawable.asGeometry();
        if (!geometry)
            return;
        for (unsigned i = 0; i < geometry->getNumPrimitiveSets(); ++i) {
            const osg::PrimitiveSet* set = geometry->getPrimitiveSet(i);
            if (set->getMode() == GL_TRIANGLES)
                triangles += set->getNumIndices() / 3;
        }
        normalsPerVertex = normalsPerVertex && geometry->getNormalArray()
                           && geometry->getNormalArray()->getBinding() == osg::Array::BIND_PER_VERTEX;
    }
    void apply(osg::Node& node) override
    {
        note(node.getStateSet());
        traverse(node);
    }

    unsigned triangles = 0;
    bool normalsPerVertex = true;
    std::set<std::tuple<float, float, float>> colours;

private:
    void note(const osg::StateSet* state)
    {
        const auto* m = state ? dynamic_cast<const osg::Material*>(state->getAttribute(osg::StateAttribute::MATERIAL))
                              : nullptr;
        if (m) {
            const osg::Vec4 d = m->getDiffuse(osg::Material::FRONT);
            colours.insert({d.r(), d.g(), d.b()});
        }
    }
};

TEST(Content, ModelLoadsCentredWithModerateSize)
{
    osg::ref_ptr<osg::Node> model = osgDB::readNodeFile(file("ddata/rutor.osg"));
    ASSERT_TRUE(model.valid());
    const osg::BoundingSphere bound = model->getBound();
    EXPECT_GT(bound.radius(), 4.0f);
    EXPECT_LT(bound.radius(), 6.5f);
    EXPECT_LT(bound.center().length(), 1.0f);
    ModelSurvey survey;
    model->accept(survey);
    EXPECT_GT(survey.triangles, 2000u);
    EXPECT_LT(survey.triangles, 50000u);
    EXPECT_TRUE(survey.normalsPerVertex) << "smooth shading needs per-vertex normals";
    EXPECT_GE(survey.colours.size(), 3u) << "toon shading shows parts by material colour";
}
