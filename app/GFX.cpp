#include "app/GFX.h"

#include "app/DemoClock.h"
#include "app/Globals.h"
#include "app/ScriptWatcher.h"
#include "app/panel/AuthorPanel.h"
#include "app/ShowTimes.h"
#include "app/SpeedUps.h"
#include "app/StartTime.h"
#include "app/VerticalRefresh.h"
#include "audio/MusicStream.h"
#include "camera/PathCamera.h"
#include "effects/Mipmaps.h"
#include "effects/TextureImage.h"
#include "platform/osgSDL/Viewer.h"
#include "platform/osgSDL/Viewport.h"

#include <SDL/SDL.h>
#include <osgUtil/SceneView>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <vector>

namespace {
const osg::Vec4 kGrey(0.4f, 0.4f, 0.4f, 1.0f);
const osg::Vec4 kBlack(0.0f, 0.0f, 0.0f, 0.0f);
} // namespace

const char* const GFX::kSoundtrack = "ddata/velmo-tesk.mp3";

GFX::GFX() = default;

GFX::~GFX()
{
    if (sdlStarted)
        SDL_Quit();
    delete viewer;
    delete watcher;
}

void GFX::createShowObjects()
{
    g_camera = new PathCamera();
    g_camera->load("test.pos");
    g_camera->setLookAt(0, -20, 0, 0, 0, 0, 0, 0, 1);

    g_music = new MusicStream();
    g_music->open(kSoundtrack);

    g_rootGroup = new osg::Group;
}

void GFX::createViewer()
{
    viewer = new osgSDL::Viewer;
    // The frame stamp and the frame time follow the same clock as the demo
    // time, so a pause or the capture's fixed steps hold for both.
    viewer->setClock([] { return DemoClock::instance().seconds(); });
    viewport = new osgSDL::Viewport(g_rootGroup.get());
    sceneView = viewport->getSceneView();
    viewer->addViewport(viewport);
    sceneView->setClearColor(kGrey);
}

void GFX::init(bool fullscreen)
{
    createShowObjects();

    // Without a display SDL would settle for a text-terminal or frame-buffer
    // driver that has no OpenGL and draw nothing; only a window will do
    // (a driver the user names explicitly is still honoured).
    setenv("SDL_VIDEODRIVER", "x11", 0);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0)
        failWithoutWindow(SDL_GetError());
    sdlStarted = true;

    createViewer();
    SDL_ShowCursor(0);
    viewer->setSwapInterval(requestedSwapInterval());
    viewer->setDisplayMode(800, 600, 24, fullscreen ? SDL_FULLSCREEN : 0);
    if (!viewer->open(nullptr))
        failWithoutWindow(SDL_GetError());
    viewer->init();
    decidePictureLevels();

    watcher = new ScriptWatcher;
    watcher->watchFiles(timingScriptFiles());
    frameLog = FrameLog::fromEnvironment();
}

void GFX::initOffscreen(int width, int height)
{
    g_picture.width = width;
    g_picture.height = height;
    createShowObjects();
    createViewer();
    viewer->setDisplayMode(width, height, 24, 0);
    if (!viewer->openOffscreen()) {
        std::cerr << "Cannot open a " << width << " x " << height << " off-screen OpenGL buffer: "
                  << viewer->offscreenError() << std::endl;
        exitProcess(1);
    }
    offscreen = true;
    viewer->init();
    decidePictureLevels();
}

void GFX::decidePictureLevels()
{
    SpeedUpList speedUps("the pictures");
    speedUps.apply("smaller levels made on reading",
                   [] { return holdsIf(Demo::Image::rendererMakesLevelsAsAttached(), "the renderer is not Mesa's llvmpipe"); },
                   [] { g_levelsMadeOnReading = true; });
}

void GFX::failWithoutWindow(const char* cause)
{
    const char* display = std::getenv("DISPLAY");
    std::cerr << "Cannot open the show's 800 x 600 OpenGL window: " << cause;
    if (display && *display)
        std::cerr << " (X display " << display << ")" << std::endl;
    else
        std::cerr << " (no X display: DISPLAY is not set)" << std::endl;
    exitProcess(1);
}

void GFX::showSplash(std::string path)
{
    splash = new Demo::Image::CTextureImage(path);
    osg::ref_ptr<osg::Group> node = splash->getNode();
    g_rootGroup->addChild(node);
    if (sdlStarted || offscreen) {
        frame();
        g_rootGroup->removeChild(node);
    }
}

void GFX::quitIfAsked()
{
    const Uint8* keys = SDL_GetKeyState(nullptr);
    if (!viewer->isDone() && !keys[SDLK_ESCAPE])
        return;
    if (panel)
        panel->beforeExit();
    exitProcess(0);
}

void GFX::applyCamera()
{
    // The held keys as SDL has them, less those the author's panel took.
    int count = 0;
    const Uint8* held = SDL_GetKeyState(&count);
    std::vector<Uint8> keys(held, held + std::max(count, static_cast<int>(SDLK_LAST)));
    if (panel)
        panel->maskHeldKeys(keys.data());
    g_camera->handleKeys(keys.data());
    g_camera->updateShake();
    g_camera->updateBump();
    const Vector3 eye = g_camera->getEye();
    const Vector3 center = g_camera->getCenter();
    const Vector3 up = g_camera->getUp();
    // The scopes draw at a fixed depth in eye space, so the projection keeps
    // the viewport's fixed near and far planes instead of fitting them to the
    // scene's bounds each frame.
    sceneView->setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
    sceneView->setViewMatrixAsLookAt(osg::Vec3(eye.x, eye.y, eye.z),
                                     osg::Vec3(center.x, center.y, center.z),
                                     osg::Vec3(up.x, up.y, up.z));
}

void GFX::frame()
{
    quitIfAsked();
    if (viewer->hasKeyPress())
        handleKey(viewer->getKeySymbol(), viewer->getKeyModifiers());
    const std::vector<osgSDL::PointerEvent> pointer = viewer->takePointerEvents();
    if (panel)
        panel->handlePointer(pointer);
    reloadChangedScripts();
    applyCamera();
    if (panel)
        panel->update(g_time);
    warmUpLaterParts();
    viewer->runOnce();
    if (frameLog)
        frameLog->record(g_time, viewer->getFrameTime());
    finishFrame();
}

void GFX::passFrame()
{
    applyCamera();
    // As a drawn frame would, so a chunk's GL state matches a whole run's.
    warmUpLaterParts();
    viewer->updateOnce();
    finishFrame();
}

void GFX::finishFrame()
{
    updateBackground();
    readDemoTime();
    ++g_frameCount;
    g_frameDelta = static_cast<double>(viewer->getFrameTime());
}

void GFX::warmUpLaterParts()
{
    // Before the view has drawn once its state has not met the context's
    // extensions, and a compile would draw through nothing: the first frame
    // prepares what it shows itself.
    if (!speedUpsOn() || !g_timeline || g_frameCount == 0)
        return;
    if (!warmUp)
        warmUp = std::make_unique<GLWarmUp>(*g_timeline, ShowTimes::kWarmUpEnd);
    // The opening scope has time to spare for a step a frame. A jump past
    // it before the steps are through (a typed time, a beat step, a click
    // on the panel, a capture that starts later) prepares the rest at once,
    // before its first frame: one long frame where the picture jumps anyway,
    // not one at every cut after.
    if (g_time < ShowTimes::kWarmUpEnd)
        warmUp->prepareNext(*sceneView);
    else
        warmUp->prepareAll(*sceneView);
}

void GFX::updateBackground()
{
    if (g_time > ShowTimes::kCartoonCut)
        sceneView->setClearColor(kBlack);
}

void GFX::readDemoTime()
{
    g_time = time() + g_timeOffset;
}

void GFX::readPixels(std::vector<unsigned char>& rgb) const
{
    viewer->readPixels(rgb);
}

void GFX::reloadChangedScripts()
{
    if (!watcher)
        return;
    const std::vector<std::string> changed = watcher->changedFiles();
    if (changed.empty())
        return;
    for (const std::string& path : changed)
        std::cout << "Changed: " << path << std::endl;
    reloadScripts();
}

void GFX::handleKey(int key, int modifiers)
{
    // Only the show in its window has the panel; the capture has no keys.
    if (key == SDLK_TAB && sdlStarted && g_timeline) {
        if (!panel)
            panel = std::make_unique<AuthorPanel>(*g_rootGroup, *g_timeline, soundtrackSeconds(), kSoundtrack,
                                                  [this](double seconds, bool placeMusic) { jumpTo(seconds, placeMusic); });
        panel->toggle();
        return;
    }
    if (panel && panel->handleKey(key, modifiers))
        return;
    handleDeveloperKey(key);
}

void GFX::jumpTo(double seconds, bool placeMusic)
{
    if (!placeMusic) {
        // Scrubbing: the picture follows, the music waits for the release.
        g_timeOffset = seconds - time();
        return;
    }
    printWhereLanded(seconds);
    setTime(seconds);
}

double GFX::soundtrackSeconds() const
{
    FSOUND_STREAM* stream = g_music ? g_music->getStream() : nullptr;
    const int milliseconds = stream ? FSOUND_Stream_GetLengthMs(stream) : -1;
    return milliseconds > 0 ? milliseconds / 1000.0 : ShowTimes::kSoundtrackSeconds;
}

void GFX::setTime(double seconds)
{
    g_music->setTime(seconds);
    g_timeOffset = seconds - time();
}

void GFX::readStartTime()
{
    readStartTimeFile("scripts/starttime.txt", [this](double seconds) { setTime(seconds); });
}

void GFX::playMusic()
{
    g_music->play();
}
