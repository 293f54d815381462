#include "tools/contentgen/character/Animations.h"

#include "tools/contentgen/character/Rig.h"

#include <cal3d/cal3d.h>
#include <cal3d/corekeyframe.h>
#include <cal3d/coretrack.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace contentgen::character {

namespace {

const double kPi = 3.14159265358979323846;
const double kTau = 2.0 * kPi;
// Keyframes per second; Cal3D slerps between them.
const double kKeyRate = 30.0;
// Thigh plus shin: how far the hips can sink for a given knee bend.
const double kLegLength = 0.83;

// Local rotations of every bone and the hips' shift from the bind pose.
struct Pose {
    std::array<osg::Quat, BoneCount> turn;
    osg::Vec3d hipShift;
};

// Rotation about x, then y, then z, angles in radians (right-handed).
osg::Quat xyz(double x, double y = 0.0, double z = 0.0)
{
    return osg::Quat(x, osg::Vec3d(1, 0, 0)) * osg::Quat(y, osg::Vec3d(0, 1, 0)) * osg::Quat(z, osg::Vec3d(0, 0, 1));
}

double smoothStep(double e0, double e1, double x)
{
    const double t = std::clamp((x - e0) / (e1 - e0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Bends both legs so the hips sink by `drop` while the feet stay flat.
void crouch(Pose& pose, double drop)
{
    const double bend = std::acos(std::clamp(1.0 - drop / kLegLength, -1.0, 1.0));
    for (int thigh : {ThighL, ThighR}) {
        pose.turn[thigh] = xyz(-bend) * pose.turn[thigh];
        pose.turn[thigh + 1] = xyz(2.0 * bend) * pose.turn[thigh + 1];
        pose.turn[thigh + 2] = xyz(-bend) * pose.turn[thigh + 2];
    }
    pose.hipShift.z() -= drop;
}

// Lifts one foot: knee forward and up, the foot hanging relaxed.
void liftLeg(Pose& pose, int thigh, double amount)
{
    pose.turn[thigh] = xyz(-0.55 * amount) * pose.turn[thigh];
    pose.turn[thigh + 1] = xyz(1.1 * amount) * pose.turn[thigh + 1];
    pose.turn[thigh + 2] = xyz(-0.3 * amount) * pose.turn[thigh + 2];
}

// Arms: raise sideways (out), swing forward, bend the elbow; side +1 left.
void arm(Pose& pose, int upperArm, double side, double out, double forward, double elbow)
{
    pose.turn[upperArm] = xyz(-forward, -side * out);
    pose.turn[upperArm + 1] = xyz(-elbow);
}

Pose idle(double t)
{
    Pose pose{};
    const double breath = std::sin(kTau * t / 4.0);
    pose.turn[Chest] = xyz(0.03 * breath);
    pose.turn[Head] = xyz(0.05 * std::sin(kTau * t / 2.0), 0.0, 0.3 * std::sin(kTau * t / 4.0));
    arm(pose, UpperArmL, 1.0, 0.12 + 0.03 * breath, 0.05, 0.15);
    arm(pose, UpperArmR, -1.0, 0.12 + 0.03 * breath, 0.05, 0.15);
    pose.hipShift.z() = 0.004 * breath;
    return pose;
}

Pose wave(double t)
{
    Pose pose{};
    const double swing = std::sin(kTau * t / 0.6);
    arm(pose, UpperArmR, -1.0, 2.5, 0.2, 0.6);
    pose.turn[ForearmR] = xyz(-0.6, -0.5 * swing);
    arm(pose, UpperArmL, 1.0, 0.15, 0.0, 0.2);
    pose.turn[Head] = xyz(0.0, -0.15, -0.1);
    pose.turn[Spine] = xyz(0.0, 0.06 * swing);
    return pose;
}

Pose walk(double t)
{
    Pose pose{};
    const double phase = kTau * t;
    const double stride = std::sin(phase);
    pose.turn[ThighL] = xyz(0.45 * stride);
    pose.turn[ThighR] = xyz(-0.45 * stride);
    pose.turn[ShinL] = xyz(0.7 * std::max(0.0, -std::cos(phase)));
    pose.turn[ShinR] = xyz(0.7 * std::max(0.0, std::cos(phase)));
    arm(pose, UpperArmL, 1.0, 0.1, 0.4 * stride, 0.3);
    arm(pose, UpperArmR, -1.0, 0.1, -0.4 * stride, 0.3);
    pose.turn[Spine] = xyz(0.05, 0.0, 0.12 * stride);
    pose.hipShift.z() = 0.02 * std::cos(2.0 * phase);
    return pose;
}

Pose cheer(double t)
{
    Pose pose{};
    const double phase = kTau * t / 0.9;
    const double air = std::max(0.0, std::sin(phase));
    crouch(pose, 0.07 * std::max(0.0, -std::sin(phase)));
    pose.hipShift.z() += 0.12 * air;
    const double reach = 2.3 + 0.4 * air;
    arm(pose, UpperArmL, 1.0, reach, 0.2, 0.3 - 0.2 * air);
    arm(pose, UpperArmR, -1.0, reach, 0.2, 0.3 - 0.2 * air);
    pose.turn[Head] = xyz(-0.25 * air);
    return pose;
}

// Two bars' worth of moves in one bar of four beats: a step-touch from side
// to side with the body bouncing down on every beat and the arms pumping,
// then, on beats three and four, the hands go up and punch the air.
Pose dance(double t)
{
    Pose pose{};
    const double b = danceBeat(t);
    const double down = 0.5 + 0.5 * std::cos(kTau * b);  // 1 on the beat
    const double sway = std::sin(kPi * b);               // side to side over two beats
    const double cycle = b - 4.0 * std::floor(b / 4.0);
    const double handsUp = smoothStep(1.55, 2.0, cycle) * (1.0 - smoothStep(3.55, 4.0, cycle));

    crouch(pose, 0.02 + 0.05 * down);
    // Shift the weight over the standing foot; the legs lean in to keep the
    // feet where they are.
    const double shift = 0.055 * sway;
    pose.hipShift.x() += shift;
    const double lean = std::asin(shift / kLegLength);
    for (int thigh : {ThighL, ThighR}) {
        pose.turn[thigh] = pose.turn[thigh] * xyz(0.0, lean);
        pose.turn[thigh + 2] = pose.turn[thigh + 2] * xyz(0.0, -lean);
    }
    // The free foot comes up between the beats and taps down on them.
    liftLeg(pose, ThighR, std::max(0.0, sway) * (1.0 - down));
    liftLeg(pose, ThighL, std::max(0.0, -sway) * (1.0 - down));

    pose.turn[Spine] = xyz(0.04 + 0.05 * down, -0.08 * sway, 0.18 * sway);
    pose.turn[Chest] = xyz(0.04 * down, 0.0, -0.08 * sway);
    pose.turn[Head] = xyz(0.22 * down - 0.1 * handsUp, 0.12 * sway, -0.1 * sway);

    const double pump = std::sin(kPi * b);
    const double lowOut = 0.35, lowForward = 0.45;
    for (double side : {1.0, -1.0}) {
        const int upperArm = side > 0 ? UpperArmL : UpperArmR;
        const double swing = side * pump;
        const double out = lowOut + (2.6 - lowOut) * handsUp + 0.15 * down * handsUp;
        const double forward = (lowForward + 0.35 * swing) * (1.0 - handsUp) + 0.3 * handsUp;
        const double elbow = (1.5 - 0.3 * swing) * (1.0 - handsUp) + (0.2 + 0.5 * down) * handsUp;
        arm(pose, upperArm, side, out, forward, elbow);
        pose.turn[upperArm + 2] = xyz(0.0, 0.0, 0.3 * side * down);
    }
    return pose;
}

void addKey(CalCoreTrack& track, float time, const osg::Vec3d& translation, const osg::Quat& rotation)
{
    auto* key = new CalCoreKeyframe;
    key->create();
    key->setTime(time);
    key->setTranslation(CalVector(static_cast<float>(translation.x()), static_cast<float>(translation.y()),
                                  static_cast<float>(translation.z())));
    const CalRotation r = toCal(rotation);
    key->setRotation(CalQuaternion(r.x, r.y, r.z, r.w));
    track.addCoreKeyframe(key);
}

// Samples the pose function over one loop; the last key repeats the first
// so the loop closes exactly.
CalCoreAnimation* sample(const std::function<Pose(double)>& poseAt, double duration)
{
    auto* animation = new CalCoreAnimation;
    animation->setDuration(static_cast<float>(duration));
    const int keys = std::max(2, static_cast<int>(std::lround(duration * kKeyRate)));
    std::vector<Pose> poses;
    for (int k = 0; k <= keys; ++k)
        poses.push_back(poseAt(k == keys ? 0.0 : duration * k / keys));
    for (int bone = 0; bone < BoneCount; ++bone) {
        auto* track = new CalCoreTrack;
        track->create();
        track->setCoreBoneId(bone);
        for (int k = 0; k <= keys; ++k) {
            const osg::Vec3d shift = bone == Hips ? poses[static_cast<size_t>(k)].hipShift : osg::Vec3d();
            addKey(*track, static_cast<float>(duration * k / keys), localOffset(bone) + shift,
                   poses[static_cast<size_t>(k)].turn[static_cast<size_t>(bone)]);
        }
        animation->addCoreTrack(track);
    }
    return animation;
}

} // namespace

double danceBeat(double t)
{
    return t / kBeatSeconds - 0.6;
}

std::vector<NamedAnimation> buildAnimations()
{
    return {{"idle", sample(idle, 4.0)},
            {"wave", sample(wave, 1.2)},
            {"walk", sample(walk, 1.0)},
            {"cheer", sample(cheer, 0.9)},
            {"dance", sample(dance, 4.0 * kBeatSeconds)}};
}

} // namespace contentgen::character
