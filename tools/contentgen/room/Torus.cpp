// The light scene's turning ring. The show draws it in a 2D layer with
// lighting off and additive blending, so its colour comes from a texture:
// the 3DS reader gives every mesh a white colour array, which is what an
// unlit surface shows, while a texture still modulates that white.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/images/Raster.h"
#include "tools/contentgen/room/TriMesh.h"
#include "tools/contentgen/room/Write3ds.h"

#include <osg/Geode>
#include <osg/Material>
#include <osg/Texture2D>

#include <cmath>

namespace contentgen::room {
namespace {

const double kPi = 3.14159265358979323846;

// Layer units: x from -100 to 0 (8 pixels each), y from -100 to 100 (3 pixels
// each). Seen face-on the ring is about 470 x 175 pixels around the middle of
// the screen, leaving the falling boxes in view through its hole.
const osg::Vec3d kCentre(-50.0, 0.0, 0.0);
const double kRingRadius = 26.0;
const double kTubeRadius = 3.2;
const int kAround = 96;
const int kTube = 24;
const char* const kTextureName = "torus.png";

osg::Vec3d torusPoint(double u, double v)
{
    const double around = 2.0 * kPi * u, tube = 2.0 * kPi * v;
    const double r = kRingRadius + kTubeRadius * std::cos(tube);
    return kCentre + osg::Vec3d(r * std::cos(around), r * std::sin(around), kTubeRadius * std::sin(tube));
}

float smoothBump(float x, float width) { return std::exp(-(x * x) / (width * width)); }

// s runs around the ring, t around the tube from its outer rim (0) over the
// side facing the viewer (1/4) to the inner rim (1/2) and the far side.
img::Rgb glowAt(float s, float t)
{
    const float swing = 0.5f + 0.5f * std::cos(2.f * static_cast<float>(kPi) * 2.f * s);
    const img::Rgb warm{0.62f, 0.30f, 0.05f}, pink{0.55f, 0.08f, 0.36f};
    const img::Rgb hue = img::mix(pink, warm, swing);
    const float facing = 0.5f + 0.5f * std::sin(2.f * static_cast<float>(kPi) * t);  // 1 towards the viewer
    const float body = 0.12f + 0.88f * facing * facing;
    const float core = 0.45f * smoothBump(t - 0.25f, 0.07f);
    return {hue.r * body + core, hue.g * body + core * 0.8f, hue.b * body + core * 0.7f};
}

osg::ref_ptr<osg::Image> glowImage()
{
    const img::Grid grid{256, 64, 256.f, 64.f};
    img::Canvas canvas(grid);
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x) {
            // Row 0 of the canvas is the top, which is t = 1.
            const img::Rgb c = glowAt((x + 0.5f) / grid.width, 1.f - (y + 0.5f) / grid.height);
            canvas.at(x, y) = {c.r, c.g, c.b, 1.f};
        }
    osg::ref_ptr<osg::Image> image = img::toImageRgb(canvas);
    image->setFileName(kTextureName);
    return image;
}

osg::ref_ptr<osg::Node> buildTorus()
{
    // Seams stay unwelded: the texture needs s = 0 and s = 1 apart, and
    // unlit, the ring never uses its normals.
    const TriMesh mesh = sampleGrid(torusPoint, kAround, kTube);
    osg::ref_ptr<osg::Geometry> geometry = toGeometry(mesh);
    osg::ref_ptr<osg::Vec2Array> texCoords = new osg::Vec2Array;
    for (int i = 0; i <= kAround; ++i)
        for (int j = 0; j <= kTube; ++j)
            texCoords->push_back(osg::Vec2(static_cast<float>(i) / kAround, static_cast<float>(j) / kTube));
    geometry->setTexCoordArray(0, texCoords.get());
    geometry->setName("torus");

    osg::ref_ptr<osg::Texture2D> texture = new osg::Texture2D(glowImage().get());
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
    osg::ref_ptr<osg::Material> material = new osg::Material;
    material->setName("glow");
    material->setDiffuse(osg::Material::FRONT_AND_BACK, osg::Vec4(0.6f, 0.2f, 0.2f, 1.f));
    osg::StateSet* state = geometry->getOrCreateStateSet();
    state->setAttribute(material.get());
    state->setTextureAttributeAndModes(0, texture.get());

    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(geometry.get());
    return geode;
}

} // namespace
} // namespace contentgen::room

CONTENT_ASSET(torus)
{
    const contentgen::room::Encoded3ds encoded = contentgen::room::encode3ds(*contentgen::room::buildTorus());
    contentgen::writeFileIfChanged(showDir, "demodata/torus.3ds", encoded.model);
    for (const auto& [name, bytes] : encoded.images)
        contentgen::writeFileIfChanged(showDir, "demodata/" + name, bytes);
}
