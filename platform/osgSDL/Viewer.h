#pragma once

#include <SDL/SDL.h>
#include <osg/FrameStamp>
#include <osg/Timer>
#include <osg/ref_ptr>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace offscreen { class PbufferContext; }

namespace osgSDL {

class Viewport;

// What the mouse did, in window pixels counted from the top left.
struct PointerEvent {
    enum Type { Press, Release, Motion, WheelUp, WheelDown } type;
    int button; // SDL's button number for a press or a release
    int x, y;
};

// The window, its OpenGL context and the frame loop's event handling over
// SDL 1.2. SDL video must be initialised before open(). Instead of a window
// it can draw off screen (openOffscreen), where it needs neither SDL nor an
// X server and reports no events.
class Viewer
{
public:
    Viewer();
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    void setDisplayMode(int width, int height, int bitsPerPixel, Uint32 flags);
    // Opens the window with an OpenGL context; the surface argument is not
    // needed on this platform and only null is meaningful. False, with SDL's
    // error text set, when there is no window or no OpenGL in it.
    bool open(SDL_Surface* surface = nullptr);
    // The swap interval open() asks the driver for: 0 swaps at once, 1
    // waits for each vertical refresh. 0 unless set.
    void setSwapInterval(int interval) { m_swapInterval = interval; }
    // Draws into an off-screen buffer of the display mode's size. False, with
    // the reason in offscreenError(), when no such buffer can be had.
    bool openOffscreen();
    const std::string& offscreenError() const { return m_offscreenError; }
    void init();

    // Where the frame stamp's reference time and the frame time come from, in
    // seconds; its own timer unless set. Set it before init().
    void setClock(std::function<double()> seconds);

    // The last rendered picture as RGB rows, bottom row first.
    void readPixels(std::vector<unsigned char>& rgb) const;
    void addViewport(Viewport* viewport);

    // Handles the pending window events, then renders every viewport once.
    void runOnce();
    // Off screen: a frame that moves the scene on as runOnce would, without
    // culling or drawing it.
    void updateOnce();

    // Read after runOnce.
    bool isDone() const { return m_done; }
    bool hasKeyPress() const { return m_keyPressed; }
    int getKeySymbol() const { return m_keySymbol; }
    // The modifier keys (SDL's KMOD_ bits) held when that key went down.
    int getKeyModifiers() const { return m_keyModifiers; }
    // The mouse's events since the last call, in order.
    std::vector<PointerEvent> takePointerEvents();
    float getFrameTime() const { return m_frameTime; }

private:
    static std::string videoDriverName();
    void renderViewports();
    void beginFrame();
    void endFrame();
    void processEvents();
    void addButtonEvent(const SDL_MouseButtonEvent& button);
    void releaseLatchedKeys();
    void latchTappedKeys();

    int m_width = 800;
    int m_height = 600;
    int m_bitsPerPixel = 24;
    Uint32 m_flags = 0;
    int m_swapInterval = 0;
    SDL_Surface* m_surface = nullptr;
    std::vector<Viewport*> m_viewports;
    osg::ref_ptr<osg::FrameStamp> m_frameStamp;
    std::function<double()> m_clock;
    double m_startSeconds = 0.0;
    double m_lastFrameSeconds = 0.0;
    std::unique_ptr<offscreen::PbufferContext> m_offscreen;
    std::string m_offscreenError;
    bool m_done = false;
    bool m_keyPressed = false;
    int m_keySymbol = 0;
    int m_keyModifiers = 0;
    float m_frameTime = 0.0f;
    // Presses wait here so each frame reports exactly one, and none is lost
    // when several arrive between two frames.
    struct KeyPress {
        int symbol, modifiers;
    };
    std::deque<KeyPress> m_pendingPresses;
    std::vector<PointerEvent> m_pointerEvents;
    // Keys pressed and released between two frames: they are shown held in
    // SDL's key-state array for one frame, so a quick tap is never missed.
    std::vector<int> m_pressedThisBatch;
    std::vector<int> m_tappedKeys;
    std::vector<int> m_latchedKeys;
};

} // namespace osgSDL
