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
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {
const char* const kCamerasScript = "scripts/cameras.txt";
const char* const kFlashScript = "scripts/flash.txt";
const char* const kBlackScript = "scripts/black.txt";
// More windows than any show needs: listing each would only flood the
// console, and its lines cost more than reading them.
const std::size_t kWindowsListed = 10000;
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

namespace {

// Takes the nodes off the switch in one pass, keeping the other children
// and their values in order: one removal at a time searches the switch's
// children for each, which made a reload of thousands of flashes take
// seconds.
void detachAll(osg::Switch& sw, const std::unordered_set<const osg::Node*>& nodes)
{
    std::vector<std::pair<osg::ref_ptr<osg::Node>, bool>> kept;
    kept.reserve(sw.getNumChildren());
    for (unsigned i = 0; i < sw.getNumChildren(); ++i)
        if (!nodes.count(sw.getChild(i)))
            kept.emplace_back(sw.getChild(i), sw.getValue(i));
    if (kept.size() == sw.getNumChildren())
        return;
    sw.removeChildren(0, sw.getNumChildren());
    for (const auto& [child, value] : kept)
        sw.addChild(child.get(), value);
}

} // namespace

void Timeline::clearFlashes(std::vector<EffectWindow>& list)
{
    // The old nodes leave the switch with their effects, so no stale flash
    // can stay on screen and reloads do not pile up dead children.
    std::unordered_map<osg::Switch*, std::unordered_set<const osg::Node*>> leaving;
    for (const EffectWindow& w : list)
        leaving[w.sw].insert(w.node);
    for (auto& [sw, nodes] : leaving)
        detachAll(*sw, nodes);
    for (const EffectWindow& w : list)
        delete w.effect;
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

namespace {

void printFlashRecord(const FlashRecord& r, int kind)
{
    if (kind == Timeline::WhiteFlash)
        std::cout << "Adding Flash, Start: " << r.start << " End: " << r.end << " Up: " << r.up;
    else
        std::cout << "Adding Black, Start: " << r.start << " End:" << r.end << "Up: " << r.up;
    std::cout << " Down: " << r.down << " Peek: " << r.peek << " Strength: " << r.strength << std::endl;
}

} // namespace

void Timeline::loadFlashes(const std::string& path, int kind)
{
    std::string text;
    if (!readWholeFile(path, text)) {
        std::cout << "Could not open file: " << path << std::endl;
        return;
    }
    const std::vector<FlashRecord> records = readFlashRecords(text);
    const bool listed = records.size() <= kWindowsListed;
    if (!listed)
        std::cout << path << " holds " << records.size() << (kind == WhiteFlash ? " flashes" : " black fades")
                  << ", too many to list one by one" << std::endl;
    for (const FlashRecord& r : records) {
        if (listed)
            printFlashRecord(r, kind);
        addFlash(r.start, r.end, r.up, r.down, r.peek, r.strength, kind);
    }
}
