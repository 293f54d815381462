#pragma once

#include "app/FrameLog.h"
#include "app/GLWarmUp.h"
#include "app/PictureSize.h"
#include "app/TimeSyncer.h"

#include <memory>
#include <string>
#include <vector>

class AuthorPanel;
class ScriptWatcher;
namespace osgSDL { class Viewer; class Viewport; }
namespace osgUtil { class SceneView; }
namespace Demo { namespace Image { class CTextureImage; } }

// The application object: the window, the viewer and its scene view, the
// application clock, and the per-frame step of the show.
class GFX : public TimeSyncer
{
public:
    GFX();
    virtual ~GFX();
    GFX(const GFX&) = delete;
    GFX& operator=(const GFX&) = delete;

    // Creates the start camera, the music and the scene root, then opens the
    // 800 x 600 window (full screen when asked) and starts watching the
    // timing scripts for changes.
    void init(bool fullscreen);
    // As init, but draws into an off-screen buffer of the given size (the
    // picture's size from then on, g_picture): no window, no SDL, no X
    // server, no keys, no script watching. Ends the process with status 1
    // when no such buffer can be had.
    void initOffscreen(int width = PictureSize::kVirtualWidth, int height = PictureSize::kVirtualHeight);

    // Shows the picture for exactly one rendered frame, the run's first.
    void showSplash(std::string path);

    // One frame: quit checks, developer keys, camera, render, new demo time.
    // Ends the process with status 0 on Escape or when the window closes.
    void frame();
    // Off screen: a frame of the show that is not drawn. Everything that
    // moves from frame to frame outside the drawing - the camera, the scene's
    // update callbacks, the clocks - moves as in frame().
    void passFrame();

    // Places the music and the demo time at the given second.
    void setTime(double seconds);
    // The demo time from the application clock: g_time = clock + g_timeOffset.
    // The last step of frame(); the capture also calls it after stepping the
    // clock, so the timeline sees the frame's own time.
    void readDemoTime();
    // Grey until the demo time has passed the opening, black from then on
    // (never grey again). frame() applies it after drawing, so the change
    // shows from the next frame; the capture also applies it before its first
    // frame, which the show would have reached through the frames before it.
    void updateBackground();
    // The last rendered picture as RGB rows, bottom row first.
    void readPixels(std::vector<unsigned char>& rgb) const;
    // Reads scripts/starttime.txt and jumps to each start time it holds.
    void readStartTime();
    void playMusic();

    static const char* const kSoundtrack;

private:
    void createShowObjects();
    void createViewer();
    void handleKey(int key, int modifiers);
    void handleDeveloperKey(int key);
    // Jumps as the panel asks: with the music, saying where, or (while the
    // author scrubs) the picture alone.
    void jumpTo(double seconds, bool placeMusic);
    static void printWhereLanded(double seconds);
    double soundtrackSeconds() const;
    void togglePause();
    void stepOnBeatGrid(int beatsPerStep, int steps);
    void reloadScripts();
    void reloadChangedScripts();
    void quitIfAsked();
    void applyCamera();
    void finishFrame();
    void warmUpLaterParts();
    // The show cannot run without its window: says why and ends the process
    // with status 1, before any sound is played.
    [[noreturn]] static void failWithoutWindow(const char* cause);
    // Whether pictures keep the levels made on reading, for the renderer
    // of the context just made current.
    static void decidePictureLevels();

    Demo::Image::CTextureImage* splash = nullptr;
    bool sdlStarted = false;
    bool offscreen = false;
    ScriptWatcher* watcher = nullptr;
    osgSDL::Viewer* viewer = nullptr;
    osgSDL::Viewport* viewport = nullptr;
    osgUtil::SceneView* sceneView = nullptr;
    std::unique_ptr<GLWarmUp> warmUp;
    std::unique_ptr<FrameLog> frameLog;
    std::unique_ptr<AuthorPanel> panel;
};
