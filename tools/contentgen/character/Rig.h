#pragma once

#include <osg/Quat>
#include <osg/Vec3d>

#include <utility>
#include <vector>

class CalCoreSkeleton;

namespace contentgen::character {

// The dancer's bones. Units are metres, z is up and the dancer faces -y, so
// its left side is +x. Every bone's bind rotation is the identity: a bone's
// local axes are the model's axes in the bind pose, which keeps the
// animations' rotations readable (about x swings a limb forward or back).
enum Bone {
    Hips, Spine, Chest, Neck, Head,
    UpperArmL, ForearmL, HandL, UpperArmR, ForearmR, HandR,
    ThighL, ShinL, FootL, ThighR, ShinR, FootR,
    BoneCount
};

struct BoneSpec {
    const char* name;
    int parent;
    osg::Vec3d joint; // bind position in model space
};

const BoneSpec& boneSpec(int bone);
// The joint's offset from its parent's joint (from the origin for the root).
osg::Vec3d localOffset(int bone);

// Cal3D turns vectors the other way round from OpenSceneGraph: the same
// rotation is the conjugate quaternion.
struct CalRotation {
    float x, y, z, w;
};
CalRotation toCal(const osg::Quat& q);

CalCoreSkeleton* buildSkeleton();

// Skin weights: bone and weight, weights summing to one.
using Influences = std::vector<std::pair<int, float>>;

// A chain of bones from a root: the point belongs to the root until it
// passes each joint (along the joint's direction), blending over +-blend.
struct ChainJoint {
    int bone;
    osg::Vec3d at;
    osg::Vec3d direction;
    double blend;
};
Influences chainWeights(const osg::Vec3d& point, int root, const std::vector<ChainJoint>& joints);

} // namespace contentgen::character
