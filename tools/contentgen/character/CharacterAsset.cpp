// The dancing character of the show's third scene: skeleton, animations,
// meshes and materials in Cal3D's binary formats, written by Cal3D's own
// saver and read back by its loader before they are kept, a texture for the
// shirt, and the configuration file that names them all.
#include "platform/osgCal/CoreTracks.h"
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/character/Animations.h"
#include "tools/contentgen/character/Meshes.h"
#include "tools/contentgen/character/Rig.h"
#include "tools/contentgen/images/Raster.h"

#include <cal3d/cal3d.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace contentgen::character {

namespace {

struct MaterialSpec {
    const char* name;
    img::Rgb diffuse;
    float shininess;
    const char* map;
};

// Colours that stay apart under toon bands and against the green slime.
const MaterialSpec kMaterials[MaterialCount] = {
    {"skin", {0.98f, 0.78f, 0.64f}, 20.f, nullptr},
    {"shirt", {1.00f, 0.50f, 0.18f}, 10.f, "shirt.png"},
    {"trousers", {0.22f, 0.34f, 0.70f}, 10.f, nullptr},
    {"shoes", {0.95f, 0.22f, 0.28f}, 60.f, nullptr},
    {"hair", {0.40f, 0.22f, 0.12f}, 30.f, nullptr},
    {"eyes", {0.98f, 0.98f, 0.98f}, 80.f, nullptr},
    {"dark", {0.10f, 0.08f, 0.12f}, 80.f, nullptr},
};

CalCoreMaterial::Color toColour(const img::Rgb& c, float scale)
{
    auto byte = [scale](float v) { return static_cast<unsigned char>(std::lround(std::min(1.f, v * scale) * 255.f)); };
    return {byte(c.r), byte(c.g), byte(c.b), 255};
}

CalCoreMaterial* buildMaterial(const MaterialSpec& spec)
{
    auto* material = new CalCoreMaterial;
    material->setName(spec.name);
    material->setAmbientColor(toColour(spec.diffuse, 0.3f));
    material->setDiffuseColor(toColour(spec.diffuse, 1.f));
    material->setSpecularColor(toColour({1.f, 1.f, 1.f}, 0.4f));
    material->setShininess(spec.shininess);
    if (spec.map) {
        material->reserve(1);
        CalCoreMaterial::Map map;
        map.strFilename = spec.map;
        map.userData = nullptr;
        material->setMap(0, map);
    }
    return material;
}

// Cream stripes across orange, softened at their edges.
osg::ref_ptr<osg::Image> shirtPattern()
{
    img::Canvas canvas(img::Grid{128, 128, 128.f, 128.f});
    const img::Rgb orange{1.00f, 0.50f, 0.18f}, cream{1.00f, 0.90f, 0.70f};
    img::fill(canvas, [&](float, float y) {
        const float band = 0.5f + 0.5f * std::cos(2.f * 3.14159265f * y / 32.f);
        return img::mix(orange, cream, std::min(1.f, std::max(0.f, (band - 0.6f) * 5.f)));
    });
    return img::toImageRgb(canvas);
}

std::vector<unsigned char> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// A scratch folder for the saver's files, removed afterwards.
class SaveFolder
{
public:
    SaveFolder()
    {
        char pattern[] = "/tmp/contentgen-character-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("cannot make a scratch folder");
        m_path = pattern;
    }
    ~SaveFolder() { rmdir(m_path.c_str()); }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string calError()
{
    return CalError::getLastErrorDescription();
}

// Saves through Cal3D, reads the file back through Cal3D and keeps it in
// the show only when the loader accepts it.
void saveChecked(const std::string& showDir, const std::string& name, const std::function<bool(const std::string&)>& save,
                 const std::function<bool(const std::string&)>& loadsBack)
{
    SaveFolder folder;
    const std::string scratch = folder.file(name);
    if (!save(scratch))
        throw std::runtime_error("cannot save " + name + ": " + calError());
    const bool readable = loadsBack(scratch);
    const std::vector<unsigned char> bytes = readBytes(scratch);
    std::remove(scratch.c_str());
    if (!readable)
        throw std::runtime_error("Cal3D cannot read back " + name + ": " + calError());
    writeFileIfChanged(showDir, "skeleton/" + name, bytes);
}

bool readsBackAnimation(const std::string& path, CalCoreSkeleton* skeleton)
{
    CalCoreAnimationPtr animation = CalLoader::loadCoreAnimation(path, skeleton);
    if (!animation)
        return false;
    osgCal::releaseCoreTracks(*animation);
    return true;
}

} // namespace

} // namespace contentgen::character

CONTENT_ASSET(character)
{
    using namespace contentgen::character;
    CalCoreSkeletonPtr skeleton = buildSkeleton();
    std::string config = "# The dancer: skeleton, animations (the fifth is the dance), meshes, materials.\n";
    saveChecked(showDir, "dancer.csf", [&](const std::string& f) { return CalSaver::saveCoreSkeleton(f, skeleton.get()); },
                [](const std::string& f) { return bool(CalLoader::loadCoreSkeleton(f)); });
    config += "skeleton=dancer.csf\n";

    for (const NamedAnimation& a : buildAnimations()) {
        CalCoreAnimationPtr animation = a.animation;
        const std::string name = a.name + ".caf";
        saveChecked(showDir, name, [&](const std::string& f) { return CalSaver::saveCoreAnimation(f, animation.get()); },
                    [&](const std::string& f) { return readsBackAnimation(f, skeleton.get()); });
        osgCal::releaseCoreTracks(*animation);
        config += "animation=" + name + "\n";
    }
    for (const NamedMesh& m : buildMeshes()) {
        CalCoreMeshPtr mesh = m.mesh;
        const std::string name = m.name + ".cmf";
        saveChecked(showDir, name, [&](const std::string& f) { return CalSaver::saveCoreMesh(f, mesh.get()); },
                    [](const std::string& f) { return bool(CalLoader::loadCoreMesh(f)); });
        config += "mesh=" + name + "\n";
    }
    for (const MaterialSpec& spec : kMaterials) {
        CalCoreMaterialPtr material = buildMaterial(spec);
        const std::string name = std::string(spec.name) + ".crf";
        saveChecked(showDir, name, [&](const std::string& f) { return CalSaver::saveCoreMaterial(f, material.get()); },
                    [](const std::string& f) { return bool(CalLoader::loadCoreMaterial(f)); });
        config += "material=" + name + "\n";
    }
    contentgen::writeImageIfChanged(showDir, "skeleton/shirt.png", *shirtPattern());
    contentgen::writeTextIfChanged(showDir, "skeleton/skeleton.cfg", config);
}
