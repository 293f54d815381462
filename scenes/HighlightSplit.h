#pragma once

#include <osg/Geode>
#include <osg/TextureCubeMap>
#include <osg/Vec2>
#include <osg/Vec3>

#include <vector>

// Looking up the room's highlight map is most of what its pixels cost the
// software renderer, and most lookups need less than the full lookup: the
// map is black in three quarters of its directions, and a black texel added
// to the lit colour leaves it as it was; and where the surface does not
// turn fast, the renderer reads the map's largest level only, as it would
// from a map without smaller levels, for which it skips working out the
// level. So every frame each body is drawn in three parts: the triangles
// whose lookups all land on black texels, untextured; those whose lookups
// all read the largest level, from a copy of the map without the smaller
// levels; and the rest as before. The judgement is made with room to
// spare, for the whole triangle, the filter's reach and the level the
// renderer picks, so the picture stays the same.

// The highlight map as the split needs to know it: the cone around `axis`
// (a unit direction in eye space) outside which every texel of the map's
// largest level is black, and the texels along a face's edge.
struct HighlightCone {
    bool anyLit = false; // when not, the map is black everywhere
    osg::Vec3 axis;
    double halfAngle = 0.0; // radians
    int texelsPerFaceEdge = 1;
};

// The narrowest cone around the lit texels' mean direction that holds the
// centre of every texel of `map`'s largest level that is not black, with
// the faces laid out as OpenGL lays them out.
HighlightCone coneOfLitTexels(const osg::TextureCubeMap& map);

// A triangle as the split judges it: the reflected view directions at its
// corners (unit, eye space), where the corners land on screen (pixels) and
// their clip-space w.
struct TriangleInView {
    osg::Vec3 reflected[3];
    osg::Vec2 screen[3];
    float w[3];
};

enum class HighlightLookup {
    Black,        // every lookup reads black texels only
    LargestLevel, // every lookup reads the largest level only
    AnyLevel,
};

// Judges triangles against one map: worked out once, used for every
// triangle of every frame.
class HighlightJudge
{
public:
    explicit HighlightJudge(const HighlightCone& cone);
    HighlightLookup operator()(const TriangleInView& triangle) const;

private:
    static double texelsPerPixel(const TriangleInView& triangle, double minDot, int texelsPerFaceEdge);

    osg::Vec3 axis;
    int texelsPerFaceEdge;
    // Per level: the most texels a pixel may step over for the renderer to
    // pick no smaller level, and the cosine of the angle from the axis
    // beyond which lookups at that level read only black.
    std::vector<double> maxTexelsPerPixel;
    std::vector<double> cosLimit;
};

// Replaces each geometry of `geode` that has a normal per vertex with its
// three parts. The geode draws with `map` on texture unit 0, its lookup
// directions from the reflection map.
void splitByHighlight(osg::Geode& geode, const osg::TextureCubeMap& map);
// Whether a drawable is one of the parts splitByHighlight made.
bool isHighlightPart(const osg::Drawable& drawable);
