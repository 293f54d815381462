#include "tools/contentgen/character/Rig.h"

#include <cal3d/cal3d.h>

#include <algorithm>
#include <string>

namespace contentgen::character {

namespace {

const BoneSpec kBones[BoneCount] = {
    {"hips", -1, {0.0, 0.0, 0.98}},
    {"spine", Hips, {0.0, 0.0, 1.12}},
    {"chest", Spine, {0.0, 0.0, 1.30}},
    {"neck", Chest, {0.0, 0.0, 1.47}},
    {"head", Neck, {0.0, 0.0, 1.56}},
    {"upperarm_l", Chest, {0.20, 0.0, 1.42}},
    {"forearm_l", UpperArmL, {0.235, 0.01, 1.15}},
    {"hand_l", ForearmL, {0.26, -0.01, 0.92}},
    {"upperarm_r", Chest, {-0.20, 0.0, 1.42}},
    {"forearm_r", UpperArmR, {-0.235, 0.01, 1.15}},
    {"hand_r", ForearmR, {-0.26, -0.01, 0.92}},
    {"thigh_l", Hips, {0.095, 0.0, 0.93}},
    {"shin_l", ThighL, {0.10, 0.0, 0.52}},
    {"foot_l", ShinL, {0.10, 0.0, 0.10}},
    {"thigh_r", Hips, {-0.095, 0.0, 0.93}},
    {"shin_r", ThighR, {-0.10, 0.0, 0.52}},
    {"foot_r", ShinR, {-0.10, 0.0, 0.10}},
};

CalVector toCal(const osg::Vec3d& v)
{
    return CalVector(static_cast<float>(v.x()), static_cast<float>(v.y()), static_cast<float>(v.z()));
}

double smoothStep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

const BoneSpec& boneSpec(int bone)
{
    return kBones[bone];
}

osg::Vec3d localOffset(int bone)
{
    const BoneSpec& spec = kBones[bone];
    return spec.parent < 0 ? spec.joint : spec.joint - kBones[spec.parent].joint;
}

CalRotation toCal(const osg::Quat& q)
{
    return {static_cast<float>(-q.x()), static_cast<float>(-q.y()), static_cast<float>(-q.z()),
            static_cast<float>(q.w())};
}

CalCoreSkeleton* buildSkeleton()
{
    auto* skeleton = new CalCoreSkeleton;
    for (int bone = 0; bone < BoneCount; ++bone) {
        auto* core = new CalCoreBone(kBones[bone].name);
        core->setCoreSkeleton(skeleton);
        core->setParentId(kBones[bone].parent);
        core->setTranslation(toCal(localOffset(bone)));
        core->setRotation(CalQuaternion(0.f, 0.f, 0.f, 1.f));
        // Model space to bone space: with identity rotations, a shift.
        core->setTranslationBoneSpace(toCal(-kBones[bone].joint));
        core->setRotationBoneSpace(CalQuaternion(0.f, 0.f, 0.f, 1.f));
        const int id = skeleton->addCoreBone(core);
        skeleton->mapCoreBoneName(id, kBones[bone].name);
        if (kBones[bone].parent >= 0)
            skeleton->getCoreBone(kBones[bone].parent)->addChildId(id);
    }
    skeleton->calculateState();
    return skeleton;
}

Influences chainWeights(const osg::Vec3d& point, int root, const std::vector<ChainJoint>& joints)
{
    // past[i]: how far the point is beyond joint i, 0 before, 1 after.
    std::vector<double> past;
    for (const ChainJoint& j : joints) {
        osg::Vec3d d = j.direction;
        d.normalize();
        past.push_back(smoothStep(-j.blend, j.blend, (point - j.at) * d));
    }
    std::vector<std::pair<int, double>> raw;
    double reached = 1.0;
    for (size_t i = 0; i <= joints.size(); ++i) {
        const double beyond = i < joints.size() ? past[i] : 0.0;
        raw.push_back({i == 0 ? root : joints[i - 1].bone, reached * (1.0 - beyond)});
        reached *= beyond;
    }
    // Tiny weights only cost skinning time.
    double total = 0.0;
    for (const auto& [bone, w] : raw)
        total += w >= 0.01 ? w : 0.0;
    Influences result;
    for (const auto& [bone, w] : raw)
        if (w >= 0.01)
            result.push_back({bone, static_cast<float>(w / total)});
    return result;
}

} // namespace contentgen::character
