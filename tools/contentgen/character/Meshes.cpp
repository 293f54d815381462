#include "tools/contentgen/character/Meshes.h"

#include "tools/contentgen/character/BodyShapes.h"
#include "tools/contentgen/character/Rig.h"

#include <cal3d/cal3d.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace contentgen::character {

namespace {

using SkinRule = std::function<Influences(const osg::Vec3d&)>;

struct Part {
    model::SurfaceShape shape;
    Material material;
    SkinRule skin;
};

// Texture coordinates repeat the shirt's pattern this often around and along.
const double kPatternAround = 3.0;
const double kPatternAlong = 2.0;

SkinRule rigid(int bone)
{
    return [bone](const osg::Vec3d&) { return Influences{{bone, 1.0f}}; };
}

osg::Vec3d joint(int bone) { return boneSpec(bone).joint; }

SkinRule torsoSkin()
{
    return [](const osg::Vec3d& p) {
        return chainWeights(p, Hips, {{Spine, {0, 0, 1.05}, {0, 0, 1}, 0.06}, {Chest, {0, 0, 1.22}, {0, 0, 1}, 0.07}});
    };
}

SkinRule neckSkin()
{
    return [](const osg::Vec3d& p) {
        return chainWeights(p, Chest, {{Neck, joint(Neck), {0, 0, 1}, 0.03}, {Head, joint(Head), {0, 0, 1}, 0.03}});
    };
}

Influences legWeights(const osg::Vec3d& p, int thigh)
{
    const osg::Vec3d down(0, 0, -1);
    const osg::Vec3d hip = joint(thigh) + osg::Vec3d(0, 0, -0.05);
    return chainWeights(p, Hips, {{thigh, hip, down, 0.05}, {thigh + 1, joint(thigh + 1), down, 0.05},
                                  {thigh + 2, joint(thigh + 2), down, 0.03}});
}

SkinRule legSkin(int thigh)
{
    return [thigh](const osg::Vec3d& p) { return legWeights(p, thigh); };
}

// The seat follows both legs, crossing over smoothly in the middle.
SkinRule pelvisSkin()
{
    return [](const osg::Vec3d& p) {
        const double left = std::clamp((p.x() + 0.04) / 0.08, 0.0, 1.0);
        Influences mixed;
        for (const auto& [bone, w] : legWeights(p, ThighL))
            mixed.push_back({bone, static_cast<float>(w * left)});
        for (const auto& [bone, w] : legWeights(p, ThighR)) {
            const float share = static_cast<float>(w * (1.0 - left));
            auto same = std::find_if(mixed.begin(), mixed.end(), [&](const auto& e) { return e.first == bone; });
            if (same != mixed.end())
                same->second += share;
            else
                mixed.push_back({bone, share});
        }
        mixed.erase(std::remove_if(mixed.begin(), mixed.end(), [](const auto& e) { return e.second < 0.01f; }),
                    mixed.end());
        return mixed;
    };
}

SkinRule armSkin(int upperArm)
{
    return [upperArm](const osg::Vec3d& p) {
        const osg::Vec3d shoulder = joint(upperArm), elbow = joint(upperArm + 1), wrist = joint(upperArm + 2);
        return chainWeights(p, Chest, {{upperArm, shoulder, elbow - shoulder, 0.035},
                                       {upperArm + 1, elbow, wrist - elbow, 0.04},
                                       {upperArm + 2, wrist, wrist - elbow, 0.015}});
    };
}

Part tube(const Tube& t, int around, int along, Material material, SkinRule skin)
{
    return {tubeShape(t, around, along), material, std::move(skin)};
}

Part blob(const Ellipsoid& e, int around, int along, Material material, SkinRule skin)
{
    return {ellipsoidShape(e, around, along), material, std::move(skin)};
}

void addLimbs(std::vector<Part>& skin, std::vector<Part>& clothes, double side)
{
    const int upperArm = side > 0 ? UpperArmL : UpperArmR;
    const int thigh = side > 0 ? ThighL : ThighR;
    const osg::Vec3d shoulder = joint(upperArm), elbow = joint(upperArm + 1), wrist = joint(upperArm + 2);
    skin.push_back(tube({{shoulder + osg::Vec3d(0, 0, 0.01), elbow, wrist}, {0.052, 0.043, 0.036}, 1.0, 1.0, 0.5},
                        16, 30, Skin, armSkin(upperArm)));
    const osg::Vec3d sleeveEnd = shoulder + (elbow - shoulder) * 0.55;
    clothes.push_back(tube({{shoulder + osg::Vec3d(-0.005 * side, 0, 0.03), sleeveEnd}, {0.066, 0.060}, 1.0, 0.6, 0.25},
                           18, 14, Shirt, armSkin(upperArm)));
    const osg::Vec3d palm(0.268 * side, -0.012, 0.86);
    skin.push_back(blob(ellipsoidAt(palm, {0.030, 0.045, 0.062}), 16, 12, Skin, rigid(upperArm + 2)));
    skin.push_back(blob(ellipsoidAt(palm + osg::Vec3d(-0.012 * side, -0.033, 0.025), {0.018, 0.018, 0.030}), 10, 8,
                        Skin, rigid(upperArm + 2)));

    const osg::Vec3d hip = joint(thigh);
    clothes.push_back(tube({{hip + osg::Vec3d(0, 0, 0.02), joint(thigh + 1), joint(thigh + 2) + osg::Vec3d(0, 0, 0.04)},
                            {0.090, 0.070, 0.066}, 1.0, 0.5, 0.3},
                           20, 36, Trousers, legSkin(thigh)));
    clothes.push_back(blob(ellipsoidAt({0.10 * side, -0.04, 0.06}, {0.068, 0.135, 0.062}), 20, 14, Shoes,
                           rigid(thigh + 2)));
}

// The head's shape, and the point on its face at (x, z) from its centre,
// pushed out by `lift`: where the features sit.
const osg::Vec3d kHeadCentre(0, 0, 1.69);
const osg::Vec3d kHeadRadii(0.145, 0.150, 0.165);

osg::Vec3d onFace(double x, double z, double lift)
{
    const double rx = x / kHeadRadii.x(), rz = z / kHeadRadii.z();
    const double y = -kHeadRadii.y() * std::sqrt(std::max(0.0, 1.0 - rx * rx - rz * rz));
    return kHeadCentre + osg::Vec3d(x, y - lift, z);
}

void addFace(std::vector<Part>& skin, std::vector<Part>& face)
{
    skin.push_back(blob(ellipsoidAt(onFace(0, -0.02, 0.005), {0.026, 0.032, 0.026}), 12, 8, Skin, rigid(Head)));
    for (double side : {1.0, -1.0}) {
        skin.push_back(blob(ellipsoidAt(kHeadCentre + osg::Vec3d(0.143 * side, 0.005, -0.01), {0.022, 0.034, 0.045}),
                            12, 8, Skin, rigid(Head)));
        // Big cartoon eyes: whites standing well out of the face, the
        // pupils looking a little inwards.
        face.push_back(blob(ellipsoidAt(onFace(0.052 * side, 0.03, -0.006), {0.040, 0.026, 0.048}), 16, 12,
                            EyeWhite, rigid(Head)));
        face.push_back(blob(ellipsoidAt(onFace(0.047 * side, 0.025, 0.014), {0.019, 0.010, 0.024}), 12, 8, Dark,
                            rigid(Head)));
    }
    face.push_back(blob(ellipsoidAt(onFace(0, -0.078, -0.002), {0.042, 0.012, 0.013}), 14, 8, Dark, rigid(Head)));
}

void addHead(std::vector<Part>& skin, std::vector<Part>& face)
{
    skin.push_back(tube({{{0, 0, 1.42}, {0, 0, 1.60}}, {0.060, 0.055}, 1.0, 0.5, 0.5}, 14, 10, Skin, neckSkin()));
    skin.push_back(blob(ellipsoidAt(kHeadCentre, kHeadRadii), 32, 24, Skin, rigid(Head)));
    addFace(skin, face);
    // A bowl of hair, low at the back, a fringe above the eyes, and a quiff
    // leaning forward on top.
    Ellipsoid hair = ellipsoidAt(kHeadCentre + osg::Vec3d(0, 0.008, 0.006), kHeadRadii * 1.07);
    hair.lowestLatitude = [](double lon) { return -0.50 + 1.0 * (0.5 - 0.5 * std::sin(lon)); };
    face.push_back(blob(hair, 36, 16, Hair, rigid(Head)));
    Ellipsoid quiff{{0.075, 0.085, 0.040},
                    osg::Matrixd::rotate(-0.5, osg::Vec3d(1, 0, 0)) * osg::Matrixd::translate(kHeadCentre + osg::Vec3d(0, -0.07, 0.15)), {}};
    face.push_back(blob(quiff, 16, 10, Hair, rigid(Head)));
}

void addTorso(std::vector<Part>& clothes)
{
    clothes.push_back(tube({{{0, 0, 0.90}, {0, 0, 1.05}, {0, 0, 1.25}, {0, 0, 1.40}}, {0.160, 0.150, 0.175, 0.165},
                            0.66, 0.4, 0.45},
                           32, 30, Shirt, torsoSkin()));
    clothes.push_back(tube({{{0, 0, 0.84}, {0, 0, 1.0}}, {0.145, 0.147}, 0.62, 0.5, 0.3}, 28, 12, Trousers,
                           pelvisSkin()));
}

CalVector toCal(const osg::Vec3& v) { return CalVector(v.x(), v.y(), v.z()); }

// Adds one part's vertices and faces to the submesh's lists.
void appendPart(const Part& part, std::vector<CalCoreSubmesh::Vertex>& vertices,
                std::vector<CalCoreSubmesh::TextureCoordinate>& coords, std::vector<CalCoreSubmesh::Face>& faces)
{
    const osg::ref_ptr<osg::Geometry> surface = model::buildSurface(part.shape);
    const auto& positions = static_cast<const osg::Vec3Array&>(*surface->getVertexArray());
    const auto& normals = static_cast<const osg::Vec3Array&>(*surface->getNormalArray());
    const auto& triangles = static_cast<const osg::DrawElementsUInt&>(*surface->getPrimitiveSet(0));
    const int base = static_cast<int>(vertices.size());
    const int row = part.shape.vSteps + 1;
    for (size_t k = 0; k < positions.size(); ++k) {
        CalCoreSubmesh::Vertex vertex;
        vertex.position = toCal(positions[k]);
        vertex.normal = toCal(normals[k]);
        vertex.collapseId = -1;
        vertex.faceCollapseCount = 0;
        for (const auto& [bone, weight] : part.skin(osg::Vec3d(positions[k])))
            vertex.vectorInfluence.push_back({bone, weight});
        vertices.push_back(vertex);
        const int i = static_cast<int>(k) / row, j = static_cast<int>(k) % row;
        coords.push_back({static_cast<float>(kPatternAround * i / part.shape.uSteps),
                          static_cast<float>(kPatternAlong * j / part.shape.vSteps)});
    }
    for (size_t t = 0; t + 2 < triangles.size(); t += 3)
        faces.push_back({{static_cast<CalIndex>(base + static_cast<int>(triangles[t])),
                          static_cast<CalIndex>(base + static_cast<int>(triangles[t + 1])),
                          static_cast<CalIndex>(base + static_cast<int>(triangles[t + 2]))}});
}

CalCoreSubmesh* buildSubmesh(const std::vector<Part>& parts, Material material)
{
    std::vector<CalCoreSubmesh::Vertex> vertices;
    std::vector<CalCoreSubmesh::TextureCoordinate> coords;
    std::vector<CalCoreSubmesh::Face> faces;
    for (const Part& part : parts)
        if (part.material == material)
            appendPart(part, vertices, coords, faces);
    if (vertices.empty())
        return nullptr;
    // Only the shirt carries a texture map, so only it needs coordinates.
    const int coordSets = material == Shirt ? 1 : 0;
    auto* submesh = new CalCoreSubmesh;
    submesh->reserve(static_cast<int>(vertices.size()), coordSets, static_cast<int>(faces.size()), 0);
    submesh->setCoreMaterialThreadId(material);
    submesh->setLodCount(0);
    for (size_t v = 0; v < vertices.size(); ++v) {
        submesh->setVertex(static_cast<int>(v), vertices[v]);
        if (coordSets)
            submesh->setTextureCoordinate(static_cast<int>(v), 0, coords[v]);
    }
    for (size_t f = 0; f < faces.size(); ++f)
        submesh->setFace(static_cast<int>(f), faces[f]);
    return submesh;
}

CalCoreMesh* buildMesh(const std::vector<Part>& parts)
{
    auto* mesh = new CalCoreMesh;
    for (int material = 0; material < MaterialCount; ++material)
        if (CalCoreSubmesh* submesh = buildSubmesh(parts, static_cast<Material>(material)))
            mesh->addCoreSubmesh(submesh);
    return mesh;
}

} // namespace

std::vector<NamedMesh> buildMeshes()
{
    std::vector<Part> skin, clothes, face;
    addTorso(clothes);
    addLimbs(skin, clothes, 1.0);
    addLimbs(skin, clothes, -1.0);
    addHead(skin, face);
    return {{"body", buildMesh(skin)}, {"clothes", buildMesh(clothes)}, {"face", buildMesh(face)}};
}

} // namespace contentgen::character
