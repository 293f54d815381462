// The timing scripts: cameras, white flashes and black fades that the author
// edits and reloads while the show runs.
#include "app/Timeline.h"

#include "app/Globals.h"
#include "app/ScriptFormat.h"
#include "camera/PathCamera.h"
#include "effects/Flash.h"
#include "effects/OverlaySpeedUps.h"

#include <osg/BlendFunc>

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

void Timeline::moveFlash(int kind, std::size_t index, double start, double end)
{
    std::vector<EffectWindow>& list = flashList(kind);
    if (index >= list.size())
        return;
    EffectWindow& w = list[index];
    if (w.shown) {
        w.sw->setChildValue(w.node, false);
        w.shown = false;
    }
    w.start = start;
    w.end = end;
}

void Timeline::removeFlash(int kind, std::size_t index)
{
    std::vector<EffectWindow>& list = flashList(kind);
    if (index >= list.size())
        return;
    list[index].sw->removeChild(list[index].node);
    delete list[index].effect;
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(index));
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
    std::string text;
    if (!readWholeFile(path, text)) {
        std::cout << "Could not open file: " << path << std::endl;
        return;
    }
    for (const CameraRecord& record : readCameraRecords(text)) {
        const std::string posFile = "scripts/" + record.file;
        std::cout << "Adding Camera, Start: " << record.start << " End: " << record.end
                  << " Filename: " << posFile << std::endl;
        addCamera(record.start, record.end, new PathCamera(posFile.c_str()));
    }
}

void Timeline::loadFlashes(const std::string& path, int kind)
{
    std::string text;
    if (!readWholeFile(path, text)) {
        std::cout << "Could not open file: " << path << std::endl;
        return;
    }
    for (const FlashRecord& r : readFlashRecords(text)) {
        if (kind == WhiteFlash)
            std::cout << "Adding Flash, Start: " << r.start << " End: " << r.end << " Up: " << r.up;
        else
            std::cout << "Adding Black, Start: " << r.start << " End:" << r.end << "Up: " << r.up;
        std::cout << " Down: " << r.down << " Peek: " << r.peek << " Strength: " << r.strength << std::endl;
        addFlash(r.start, r.end, r.up, r.down, r.peek, r.strength, kind);
    }
}
