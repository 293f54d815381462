// The timing scripts: cameras, white flashes and black fades that the author
// edits and reloads while the show runs.
#include "app/Timeline.h"

#include "app/Globals.h"
#include "camera/PathCamera.h"
#include "effects/Flash.h"
#include "effects/OverlaySpeedUps.h"

#include <osg/BlendFunc>

#include <algorithm>
#include <cstdio>
#include <iostream>

namespace {
const char* const kCamerasScript = "scripts/cameras.txt";
const char* const kFlashScript = "scripts/flash.txt";
const char* const kBlackScript = "scripts/black.txt";
} // namespace

ContentList Timeline::scriptContent()
{
    return {{Demo::Image::kWhitePicture, false}, {Demo::Image::kBlackPicture, false}};
}

void Timeline::addFlash(double start, double end, double up, double down, double peek,
                        double strength, int kind)
{
    if (kind != WhiteFlash && kind != BlackFade)
        return;
    osg::Switch* sw = g_sceneSwitch.get();
    // One picture for all flashes of a kind, read with the first: the
    // flashes only tint it, and a reload then reads no file.
    const char* path = kind == WhiteFlash ? Demo::Image::kWhitePicture : Demo::Image::kBlackPicture;
    osg::ref_ptr<osg::Image>& picture = kind == WhiteFlash ? m_whitePicture : m_blackPicture;
    if (!picture)
        picture = readShowImage(path);
    auto* flash = new Demo::Image::CFlash(up, down, peek, strength, path, picture);
    if (kind == BlackFade)
        flash->setBlendFunc(GL_SRC_COLOR, GL_ONE_MINUS_SRC_ALPHA);
    OverlaySpeedUps wanted;
    wanted.solidColour = true;
    SpeedUpList speedUps("the scripts");
    speedUpOverlay(speedUps, kind == WhiteFlash ? "flash" : "black fade", *flash, *flash, wanted);
    osg::Node* node = flash->getNode().get();
    sw->addChild(node, false);
    (kind == WhiteFlash ? m_flashes : m_blacks).push_back({sw, flash, node, start, end, false});
}

void Timeline::reload(int which)
{
    if (which == ReloadCameras || which == ReloadAll) {
        clearCameras();
        loadCameras(kCamerasScript);
    }
    if (which == ReloadFlashes || which == ReloadAll) {
        clearFlashes(m_flashes);
        loadFlashes(kFlashScript, WhiteFlash);
    }
    if (which == ReloadBlacks || which == ReloadAll) {
        clearFlashes(m_blacks);
        loadFlashes(kBlackScript, BlackFade);
    }
}

void Timeline::clearCameras()
{
    // The current camera may be one about to go: the camera that was current
    // when the timeline was made (the start camera) takes over, so the frame
    // step never reads a destroyed camera.
    for (const CameraWindow& w : m_cameras) {
        if (g_camera == w.camera)
            makeCurrent(m_homeCamera);
    }
    for (const CameraWindow& w : m_cameras)
        delete w.camera;
    std::vector<CameraWindow>().swap(m_cameras);
}

void Timeline::clearFlashes(std::vector<EffectWindow>& list)
{
    // The old nodes leave the switch with their effects, so no stale flash
    // can stay on screen and reloads do not pile up dead children.
    for (const EffectWindow& w : list) {
        w.sw->removeChild(w.node);
        delete w.effect;
    }
    std::vector<EffectWindow>().swap(list);
}

void Timeline::loadCameras(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        std::cout << "Could not open file: " << path << std::endl;
        return;
    }
    float start = 0, end = 0;
    char name[1024];
    while (std::fscanf(file, "%f %f %1023s", &start, &end, name) == 3) {
        const std::string posFile = std::string("scripts/") + name;
        std::cout << "Adding Camera, Start: " << start << " End: " << end
                  << " Filename: " << posFile << std::endl;
        addCamera(start, end, new PathCamera(posFile.c_str()));
    }
    std::fclose(file);
}

void Timeline::loadFlashes(const std::string& path, int kind)
{
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        std::cout << "Could not open file: " << path << std::endl;
        return;
    }
    float v[6];
    while (std::fscanf(file, "%f %f %f %f %f %f", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) == 6) {
        if (kind == WhiteFlash)
            std::cout << "Adding Flash, Start: " << v[0] << " End: " << v[1] << " Up: " << v[2];
        else
            std::cout << "Adding Black, Start: " << v[0] << " End:" << v[1] << "Up: " << v[2];
        std::cout << " Down: " << v[3] << " Peek: " << v[4] << " Strength: " << v[5] << std::endl;
        addFlash(v[0], v[1], v[2], v[3], v[4], v[5], kind);
    }
    std::fclose(file);
}
