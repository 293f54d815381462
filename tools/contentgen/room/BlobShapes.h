#pragma once

#include "tools/contentgen/room/TriMesh.h"

#include <osg/Vec2d>
#include <osg/Vec3d>

#include <vector>

namespace contentgen::room {

// A soft swelling: height at the centre, falling off like a Gaussian whose
// width is the distance where it has dropped to 1/e.
struct Bump {
    osg::Vec3d centre;
    double height;
    double width;
};

// The room: a superellipsoid (a box with soft edges) from z = 0 to
// 2 * halfSize.z, seen from inside, its surface pushed inwards by bulges.
struct ShellSpec {
    osg::Vec3d halfSize;
    double exponent;
    std::vector<Bump> bulges;
    double spacing;  // rough edge length of the triangles
};
TriMesh roomShell(const ShellSpec& spec);

// A column from below the floor to above the ceiling, flaring where it
// meets them, with swellings along its height, a lobed cross-section that
// twists as it rises, and a gentle sway.
struct Swelling {
    double z;
    double amount;
    double width;
};
struct PillarSpec {
    osg::Vec2d base;
    double radius;
    double floorZ;
    double ceilingZ;
    double flare;
    std::vector<Swelling> swellings;
    double lobes;  // relative depth of the three-lobed cross-section
    double twist;  // radians per unit of height
    osg::Vec2d sway;  // sideways offset at mid-height
    int around;
    int along;
};
TriMesh pillar(const PillarSpec& spec);

// Metaballs: each ball alone has the given radius; nearby balls melt into
// one smooth body. The surface is found along rays from the first ball's
// centre, so the cluster must be star-shaped seen from there.
struct Ball {
    osg::Vec3d centre;
    double radius;
};
TriMesh metaballs(const std::vector<Ball>& balls, int stepsPerCubeEdge);

} // namespace contentgen::room
