#pragma once

#include "camera/Spline.h"
#include "camera/Vector3.h"

#include <cstdint>
#include <cstdio>
#include <string>

// The viewing pose (eye, center, up) handed to the scene view every frame.
// It follows a recorded path inside its timeline window, can be flown with
// the keyboard, shaken and bumped, and records new paths.
class PathCamera
{
public:
    // Loads the pose file when a path is given; the result is not needed,
    // a camera without a path simply keeps its pose.
    explicit PathCamera(const char* poseFile = nullptr);
    ~PathCamera();
    PathCamera(const PathCamera&) = delete;
    PathCamera& operator=(const PathCamera&) = delete;

    // The position file the camera was made from; empty for none.
    const std::string& getPoseFileName() const { return m_poseFileName; }

    // Position files: reading appends every complete nine-number record.
    bool load(const char* path);
    // The same from an open file; `name` is what the console calls it.
    void load(std::FILE* file, const char* name);
    bool openPoseRecording(const char* path);
    bool openPointRecording(const char* path);
    void writePose();
    void recordPoint();
    void closeRecordings();
    bool isRecordingPoses() const { return m_poseFile != nullptr; }
    // A recording follows the view: the camera that becomes current takes
    // the open files along, and the key that ends them finds them there.
    void handRecordingsTo(PathCamera& next);

    // Places the camera at fraction u of its path. A path of fewer than four
    // poses cannot be evaluated and leaves the pose as it is.
    bool setPathFraction(float u);
    void setLookAt(double ex, double ey, double ez, double cx, double cy, double cz,
                   double ux, double uy, double uz);

    Vector3 getEye() const { return m_eye; }
    Vector3 getCenter() const { return m_center; }
    Vector3 getUp() const { return m_up; }

    void moveForward(float d);
    void strafe(float d);
    void turn(float d);
    void pitch(float d);
    void roll(float d);
    void moveUp(float d);
    void setSpeed(int hundredths);
    float getMoveSpeed() const { return m_moveSpeed; }
    float getTurnSpeed() const { return m_turnSpeed; }

    void startShake(int frames);
    void updateShake();
    void startBump(double seconds);
    void updateBump();

    // The held-key controls, polled once per frame with SDL's key-state array.
    void handleKeys(const std::uint8_t* keys);

    const Spline& eyeSpline() const { return m_eyeSpline; }
    const Spline& centerSpline() const { return m_centerSpline; }
    const Spline& upSpline() const { return m_upSpline; }

private:
    void savePose();
    void restorePose();
    bool openRecording(std::FILE*& file, const char* path);
    void promptAndStartRecording(const char* prompt, bool poses);
    void finishRecording();

    std::string m_poseFileName;
    Spline m_eyeSpline;
    Spline m_centerSpline;
    Spline m_upSpline;
    std::FILE* m_poseFile = nullptr;
    std::FILE* m_pointFile = nullptr;
    float m_moveSpeed = 0.05f;
    float m_turnSpeed = 0.05f;
    Vector3 m_eye{0, 0, -10};
    Vector3 m_center{0, 0, 0};
    Vector3 m_up{0, 1, 0};
    Vector3 m_savedEye, m_savedCenter, m_savedUp;
    std::int32_t m_shakeCounter = 0;
    double m_bumpDuration = 0.0;
    double m_bumpStart = 0.0;
    double m_bumpAmplitude = 0.0;
    bool m_bumpActive = false;
};
