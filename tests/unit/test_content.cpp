// Runs the content generator into two scratch folders and checks what the
// show relies on: the same bytes from run to run, logos on transparent
// ground that keep apart on screen, a slime tile without seams, flat
// white and black, and an opening model of the expected size.
//
// The generator's path comes from the CONTENTGEN_EXE compile definition or,
// failing that, the CONTENTGEN_EXE environment variable.
#include <gtest/gtest.h>

#include <osg/Geometry>
#include <osg/Image>
#include <osg/Material>
#include <osg/NodeVisitor>
#include <osgDB/ReadFile>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kLogos[] = {"lumbra", "ostra", "kvell", "trinna", "bolma", "sprett"};

// The generator's asset groups these tests cover; the soundtrack is slow to
// encode and is not checked here.
const char* const kAssets = "flats font logos model slime splash title";

std::vector<std::string> expectedFiles()
{
    std::vector<std::string> files = {"demodata/bg003x.jpg", "demodata/white.jpg", "demodata/black.jpg",
                                      "fonts/arial.ttf",     "ddata/velmo.png",    "ddata/slime.png",
                                      "ddata/rutor.osg"};
    for (const char* logo : kLogos) {
        files.push_back(std::string("ddata/") + logo + ".png");
        files.push_back(std::string("ddata/") + logo + "-blur.png");
    }
    return files;
}

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

int alphaAt(const osg::Image& image, int x, int y) { return image.data(x, y)[3]; }

struct Rgb8 {
    int r, g, b;
};

Rgb8 rgbAt(const osg::Image& image, int x, int y)
{
    const unsigned char* p = image.data(x, y);
    return {p[0], p[1], p[2]};
}

double colourDistance(const Rgb8& a, const Rgb8& b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// Each test asks only for the asset groups it reads, because test runners
// start one process per test and the full set takes seconds to make.
class Content : public ::testing::Test {
protected:
    static void TearDownTestSuite()
    {
        if (!root_.empty())
            fs::remove_all(root_);
    }

    void SetUp() override
    {
        if (generatorPath().empty())
            GTEST_SKIP() << "CONTENTGEN_EXE not set";
        if (root_.empty())
            root_ = fs::temp_directory_path() / ("content_test_" + std::to_string(getpid()));
    }

    // Runs the generator for the named asset groups into folder `run`,
    // once per process.
    static void generate(const std::string& assets, const std::string& run = "a")
    {
        std::istringstream names(assets);
        std::string name, missing;
        while (names >> name)
            if (generated_.insert(run + ":" + name).second)
                missing += " " + name;
        if (missing.empty())
            return;
        const std::string cmd = generatorPath() + " " + (root_ / run).string() + missing + " > /dev/null";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }

    static fs::path file(const std::string& rel) { return root_ / "a" / rel; }

    static osg::ref_ptr<osg::Image> image(const std::string& rel)
    {
        osg::ref_ptr<osg::Image> img = osgDB::readImageFile(file(rel).string());
        EXPECT_TRUE(img.valid()) << rel;
        return img;
    }

    static osg::ref_ptr<osg::Image> rgbaImage(const std::string& rel)
    {
        osg::ref_ptr<osg::Image> img = image(rel);
        if (img.valid()) {
            EXPECT_EQ(img->getPixelFormat(), static_cast<GLenum>(GL_RGBA)) << rel;
        }
        return img;
    }

    static fs::path root_;
    static std::set<std::string> generated_;
};

fs::path Content::root_;
std::set<std::string> Content::generated_;

TEST_F(Content, WritesEveryFile)
{
    generate(kAssets);
    for (const std::string& rel : expectedFiles()) {
        EXPECT_TRUE(fs::exists(file(rel))) << rel;
        EXPECT_GT(fs::file_size(file(rel)), 0u) << rel;
    }
}

TEST_F(Content, TwoRunsGiveIdenticalBytes)
{
    generate(kAssets, "a");
    generate(kAssets, "b");
    for (const std::string& rel : expectedFiles())
        EXPECT_TRUE(readBytes(root_ / "a" / rel) == readBytes(root_ / "b" / rel)) << rel;
}

TEST_F(Content, LogosHaveTransparentBorderAndOpaqueArt)
{
    generate("logos");
    for (const char* logo : kLogos) {
        for (const std::string suffix : {"", "-blur"}) {
            const auto img = rgbaImage(std::string("ddata/") + logo + suffix + ".png");
            ASSERT_TRUE(img.valid());
            int opaque = 0;
            for (int y = 0; y < img->t(); ++y)
                for (int x = 0; x < img->s(); ++x) {
                    const bool border = x == 0 || y == 0 || x == img->s() - 1 || y == img->t() - 1;
                    if (border) {
                        ASSERT_EQ(alphaAt(*img, x, y), 0) << logo << suffix << " at " << x << "," << y;
                    }
                    opaque += alphaAt(*img, x, y) == 255;
                }
            EXPECT_GT(opaque, 2000) << logo << suffix;
        }
    }
}

TEST_F(Content, TransparentLogoPixelsAreBlack)
{
    generate("logos");
    // Logo 1 is drawn with its colour as source factor, so any colour under
    // zero alpha would still add light.
    const auto img = rgbaImage("ddata/lumbra.png");
    ASSERT_TRUE(img.valid());
    for (int y = 0; y < img->t(); ++y)
        for (int x = 0; x < img->s(); ++x)
            if (alphaAt(*img, x, y) == 0) {
                const Rgb8 c = rgbAt(*img, x, y);
                ASSERT_EQ(c.r + c.g + c.b, 0) << x << "," << y;
            }
}

TEST_F(Content, LogosKeepApartOnScreen)
{
    generate("logos");
    std::vector<osg::ref_ptr<osg::Image>> logos;
    for (const char* logo : kLogos)
        logos.push_back(rgbaImage(std::string("ddata/") + logo + ".png"));
    for (const auto& img : logos) {
        ASSERT_TRUE(img.valid());
        ASSERT_EQ(img->s(), logos[0]->s());
        ASSERT_EQ(img->t(), logos[0]->t());
    }
    for (int y = 0; y < logos[0]->t(); ++y)
        for (int x = 0; x < logos[0]->s(); ++x) {
            int covering = 0;
            for (const auto& img : logos)
                covering += alphaAt(*img, x, y) > 0;
            ASSERT_LE(covering, 1) << "logos overlap at " << x << "," << y;
        }
}

TEST_F(Content, GlowsCoverTheirLogos)
{
    generate("logos");
    for (const char* logo : kLogos) {
        const auto sharp = rgbaImage(std::string("ddata/") + logo + ".png");
        const auto glow = rgbaImage(std::string("ddata/") + logo + "-blur.png");
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
        EXPECT_EQ(uncovered, 0) << logo;
        EXPECT_GT(soft, 20000) << logo << " glow is not blurred";
    }
}

TEST_F(Content, TitleIsCentredAroundItsMiddleColumn)
{
    generate("title");
    const auto img = rgbaImage("ddata/velmo.png");
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

// Mean colour difference between neighbouring lines: pairs (i, i+1) inside
// the image, and the wrap pair (last, first) that GL_REPEAT puts side by side.
std::tuple<double, double> lineSteps(const osg::Image& img, bool rows)
{
    const int lines = rows ? img.t() : img.s();
    const int length = rows ? img.s() : img.t();
    auto at = [&](int line, int k) { return rows ? rgbAt(img, k, line) : rgbAt(img, line, k); };
    auto step = [&](int a, int b) {
        double sum = 0;
        for (int k = 0; k < length; ++k)
            sum += colourDistance(at(a, k), at(b, k));
        return sum / length;
    };
    double inner = 0;
    for (int i = 0; i + 1 < lines; ++i)
        inner += step(i, i + 1);
    return {inner / (lines - 1), step(lines - 1, 0)};
}

TEST_F(Content, SlimeTilesWithoutSeams)
{
    generate("slime");
    const auto img = image("ddata/slime.png");
    ASSERT_TRUE(img.valid());
    for (bool rows : {true, false}) {
        const auto [inner, wrap] = lineSteps(*img, rows);
        EXPECT_GT(inner, 0.5) << "slime should vary from line to line";
        EXPECT_LT(wrap, 2.0 * inner + 2.0) << (rows ? "rows" : "columns") << " show a seam";
    }
}

TEST_F(Content, SlimeRowsAndColumnsMakeBands)
{
    generate("slime");
    const auto img = image("ddata/slime.png");
    ASSERT_TRUE(img.valid());
    // One row stretched over the screen must not be flat: check its spread.
    for (int line : {0, img->t() / 3, img->t() / 2}) {
        int lo = 255 * 3, hi = 0;
        for (int x = 0; x < img->s(); ++x) {
            const Rgb8 c = rgbAt(*img, x, line);
            lo = std::min(lo, c.r + c.g + c.b);
            hi = std::max(hi, c.r + c.g + c.b);
        }
        EXPECT_GT(hi - lo, 150) << "row " << line;
    }
}

TEST_F(Content, FlashImagesArePureWhiteAndBlack)
{
    generate("flats");
    for (const auto& [rel, value] : {std::pair<std::string, int>{"demodata/white.jpg", 255},
                                     std::pair<std::string, int>{"demodata/black.jpg", 0}}) {
        const auto img = image(rel);
        ASSERT_TRUE(img.valid());
        for (int y = 0; y < img->t(); ++y)
            for (int x = 0; x < img->s(); ++x) {
                const Rgb8 c = rgbAt(*img, x, y);
                ASSERT_EQ(c.r, value) << rel;
                ASSERT_EQ(c.g, value) << rel;
                ASSERT_EQ(c.b, value) << rel;
            }
    }
}

TEST_F(Content, SplashIsAFullScreenPicture)
{
    generate("splash");
    const auto img = image("demodata/bg003x.jpg");
    ASSERT_TRUE(img.valid());
    EXPECT_EQ(img->s() * 3, img->t() * 4) << "screen shape is 4:3";
    EXPECT_GE(img->s(), 800);
    std::set<int> shades;
    for (int y = 0; y < img->t(); y += 7)
        for (int x = 0; x < img->s(); x += 7) {
            const Rgb8 c = rgbAt(*img, x, y);
            shades.insert((c.r / 16) * 256 + (c.g / 16) * 16 + c.b / 16);
        }
    EXPECT_GT(shades.size(), 100u) << "picture looks flat";
}

TEST_F(Content, FontIsATrueTypeFile)
{
    generate("font");
    const std::vector<char> bytes = readBytes(file("fonts/arial.ttf"));
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), std::string("\0\1\0\0", 4));
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

TEST_F(Content, ModelLoadsCentredWithModerateSize)
{
    generate("model");
    osg::ref_ptr<osg::Node> model = osgDB::readNodeFile(file("ddata/rutor.osg").string());
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

} // namespace
