// Reading and writing the plain-text position files: nine numbers per pose
// record (eye, center, up), three per point record (eye).
#include "camera/PathCamera.h"

#include "app/SafeWrite.h"

#include <cmath>
#include <iostream>
#include <utility>

namespace {

// Larger coordinates than any scene needs overflow the spline arithmetic to
// infinities, which the scene graph then reports every frame.
const float kLargestCoordinate = 1.0e6f;

bool usable(const float (&v)[9])
{
    for (float x : v)
        if (!std::isfinite(x) || std::fabs(x) > kLargestCoordinate)
            return false;
    return true;
}

} // namespace

bool PathCamera::load(const char* path)
{
    std::cout << "Loading camera pos from file: " << path << std::endl;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::cout << "File Not Found : " << path << std::flush;
        return false;
    }
    load(file, path);
    std::fclose(file);
    return true;
}

void PathCamera::load(std::FILE* file, const char* path)
{
    float v[9];
    // Any shortfall ends the list: a record cut short by the end of the file,
    // or text that is not a number, which would otherwise stall the scan.
    int record = 0;
    while (std::fscanf(file, "%f %f %f %f %f %f %f %f %f", &v[0], &v[1], &v[2], &v[3], &v[4],
                       &v[5], &v[6], &v[7], &v[8]) == 9) {
        ++record;
        // Like text, a record that is not a usable pose ends the list.
        if (!usable(v)) {
            std::cout << "Not a usable number in position file " << path << ", pose " << record
                      << ": reading stops there" << std::endl;
            break;
        }
        m_eyeSpline.addPoint(Vector3(v[0], v[1], v[2]));
        m_centerSpline.addPoint(Vector3(v[3], v[4], v[5]));
        m_upSpline.addPoint(Vector3(v[6], v[7], v[8]));
    }
}

bool PathCamera::openRecording(std::FILE*& file, const char* path)
{
    std::cout << "Writing camera pos to file: " << path << std::endl;
    // A second start of the same kind finishes the earlier file properly
    // rather than leaking it half-written.
    if (file)
        std::fclose(file);
    // A recording never takes the place of a file without a copy of it.
    const CopyResult copy = keepCopy(path);
    if (!copy.kept) {
        std::cout << "Cannot keep a copy of " << path << " (" << copy.message << "); nothing is recorded"
                  << std::endl;
        file = nullptr;
        return false;
    }
    if (!copy.backup.empty())
        std::cout << "Kept the old " << path << " as " << copy.backup << std::endl;
    file = std::fopen(path, "w+");
    if (!file) {
        std::cout << "File Not Found : " << path << std::endl;
        return false;
    }
    return true;
}

bool PathCamera::openPoseRecording(const char* path)
{
    return openRecording(m_poseFile, path);
}

bool PathCamera::openPointRecording(const char* path)
{
    return openRecording(m_pointFile, path);
}

void PathCamera::writePose()
{
    if (!m_poseFile)
        return;
    std::fprintf(m_poseFile, "%.2f %.2f %.2f %.2f %.2f %.2f %.2f %.2f %.2f\n",
                 double(m_eye.x), double(m_eye.y), double(m_eye.z),
                 double(m_center.x), double(m_center.y), double(m_center.z),
                 double(m_up.x), double(m_up.y), double(m_up.z));
}

void PathCamera::recordPoint()
{
    if (m_pointFile)
        std::fprintf(m_pointFile, "%.2f %.2f %.2f\n", double(m_eye.x), double(m_eye.y), double(m_eye.z));
    writePose();
}

void PathCamera::handRecordingsTo(PathCamera& next)
{
    if (m_poseFile && !next.m_poseFile)
        std::swap(m_poseFile, next.m_poseFile);
    if (m_pointFile && !next.m_pointFile)
        std::swap(m_pointFile, next.m_pointFile);
}

void PathCamera::closeRecordings()
{
    if (m_poseFile) {
        std::fclose(m_poseFile);
        m_poseFile = nullptr;
    }
    if (m_pointFile) {
        std::fclose(m_pointFile);
        m_pointFile = nullptr;
    }
}
