#include "camera/PathCamera.h"

#include "app/Globals.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

// Stored as single-precision constants, widened where they are used.
const double kShakeStep = static_cast<double>(0.011f);
const double kShakeUpFactor = static_cast<double>(0.1f);
const double kBumpAmplitude = static_cast<double>(-1.2f);
const double kDegreesToRadians = static_cast<double>(0.01745329238474369f);

// One draw of the standard generator, in -50..49. Draw order matters for
// repeatable shakes: z first, then y, then x.
Vector3 jitter()
{
    Vector3 v;
    v.z = static_cast<float>(std::rand() % 100 - 50);
    v.y = static_cast<float>(std::rand() % 100 - 50);
    v.x = static_cast<float>(std::rand() % 100 - 50);
    return v;
}

} // namespace

PathCamera::PathCamera(const char* poseFile)
{
    std::cout << "Creating camera" << std::endl;
    if (poseFile) {
        m_poseFileName = poseFile;
        load(poseFile);
    }
}

PathCamera::~PathCamera()
{
    closeRecordings();
}

bool PathCamera::setPathFraction(float u)
{
    if (m_eyeSpline.canEvaluate())
        m_eye = m_eyeSpline.at(u);
    if (m_centerSpline.canEvaluate())
        m_center = m_centerSpline.at(u);
    if (m_upSpline.canEvaluate())
        m_up = m_upSpline.at(u);
    return true;
}

void PathCamera::setLookAt(double ex, double ey, double ez, double cx, double cy, double cz,
                           double ux, double uy, double uz)
{
    m_eye = Vector3(ex, ey, ez);
    m_center = Vector3(cx, cy, cz);
    m_up = normalized(Vector3(ux, uy, uz));
}

void PathCamera::moveForward(float d)
{
    const Vector3 m = normalized(m_center - m_eye) * d;
    m_eye += m;
    m_center += m;
}

void PathCamera::strafe(float d)
{
    const Vector3 m = normalized(cross(m_up, m_center - m_eye)) * d;
    m_eye += m;
    m_center += m;
}

void PathCamera::turn(float d)
{
    m_center += normalized(cross(normalized(m_center - m_eye), m_up)) * d;
}

void PathCamera::pitch(float d)
{
    const Vector3 n = normalized(m_center - m_eye);
    const Vector3 v = normalized(cross(cross(m_up, n), n));
    m_center += v * d;
    m_up = normalized(m_up - v * std::fabs(d));
}

void PathCamera::roll(float d)
{
    m_up += normalized(cross(normalized(m_center - m_eye), m_up)) * d;
}

void PathCamera::moveUp(float d)
{
    m_eye += m_up * d;
    m_center += m_up * d;
}

void PathCamera::setSpeed(int hundredths)
{
    m_moveSpeed = static_cast<float>(hundredths) * 0.01f;
    m_turnSpeed = m_moveSpeed;
}

void PathCamera::savePose()
{
    m_savedEye = m_eye;
    m_savedCenter = m_center;
    m_savedUp = m_up;
}

void PathCamera::restorePose()
{
    m_eye = m_savedEye;
    m_center = m_savedCenter;
    m_up = m_savedUp;
}

void PathCamera::startShake(int frames)
{
    m_shakeCounter = frames;
    savePose();
}

void PathCamera::updateShake()
{
    if (m_shakeCounter > 1) {
        const Vector3 eyeJitter = jitter();
        const Vector3 centerJitter = jitter();
        const Vector3 upJitter = jitter();
        m_eye += eyeJitter * kShakeStep;
        m_center += centerJitter * kShakeStep;
        m_up += upJitter * (kShakeStep * kShakeUpFactor);
    }
    if (m_shakeCounter == 1)
        restorePose();
    // Keeps counting below zero; only 1 and above have any effect.
    if (m_shakeCounter > INT32_MIN)
        --m_shakeCounter;
}

void PathCamera::startBump(double seconds)
{
    savePose();
    m_bumpDuration = seconds;
    m_bumpAmplitude = kBumpAmplitude;
    m_bumpStart = g_time;
    m_bumpActive = true;
}

void PathCamera::updateBump()
{
    const double now = g_time;
    if (m_bumpActive && m_bumpStart + m_bumpDuration > now) {
        const Vector3 n = normalized(m_eye - m_center);
        const double phase = (now - m_bumpStart) / m_bumpDuration * 180.0 * kDegreesToRadians;
        m_eye = m_savedEye + n * (std::sin(phase) * m_bumpAmplitude);
    }
    if (m_bumpStart + m_bumpDuration < now && m_bumpActive) {
        restorePose();
        m_bumpActive = false;
    }
}
