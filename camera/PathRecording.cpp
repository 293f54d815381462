// The camera's held-key controls: flying, the shake and bump test keys, and
// the keys that record new position files under scripts/.
#include "camera/PathCamera.h"

#include "app/Console.h"

#include <SDL/SDL_keysym.h>

#include <iostream>
#include <string>

namespace {
const int kShakeFrames = 50;
const double kBumpSeconds = 0.1;
const float kRollStep = 0.01f;

// Recordings go into scripts/ and nowhere else: no folders, no way up.
bool isPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}
} // namespace

void PathCamera::handleKeys(const std::uint8_t* keys)
{
    if (keys[SDLK_a]) strafe(m_moveSpeed);
    if (keys[SDLK_d]) strafe(-m_moveSpeed);
    if (keys[SDLK_w]) moveForward(m_moveSpeed);
    if (keys[SDLK_s]) moveForward(-m_moveSpeed);
    if (keys[SDLK_LEFT]) turn(-m_turnSpeed);
    if (keys[SDLK_RIGHT]) turn(m_turnSpeed);
    if (keys[SDLK_DOWN]) pitch(m_turnSpeed);
    if (keys[SDLK_UP]) pitch(-m_turnSpeed);
    if (keys[SDLK_z]) roll(-kRollStep);
    if (keys[SDLK_x]) roll(kRollStep);
    if (keys[SDLK_r]) moveUp(m_moveSpeed);
    if (keys[SDLK_f]) moveUp(-m_moveSpeed);
    if (keys[SDLK_1]) startShake(kShakeFrames);
    if (keys[SDLK_2]) startBump(kBumpSeconds);
    if (keys[SDLK_i]) promptAndStartRecording("Spline position saving. Enter filename:", false);
    if (keys[SDLK_o]) promptAndStartRecording("Camera position saving. Enter filename:", true);
    if (keys[SDLK_p]) finishRecording();
}

void PathCamera::promptAndStartRecording(const char* prompt, bool poses)
{
    std::cout << prompt << std::flush;
    const std::string name = readTypedLine(std::cin);
    if (!isPlainFileName(name)) {
        std::cout << "Not a plain file name: \"" << name << "\"; nothing is recorded" << std::endl;
        return;
    }
    const std::string path = "scripts/" + name;
    if (poses)
        openPoseRecording(path.c_str());
    else
        openPointRecording(path.c_str());
    recordPoint();
    recordPoint();
}

void PathCamera::finishRecording()
{
    std::cout << "Position saving. Closing file.." << std::flush;
    recordPoint();
    recordPoint();
    recordPoint();
    closeRecordings();
    std::cout << "Done!" << std::endl;
}
