#include "platform/osgSDL/Viewer.h"

#include "platform/offscreen/PbufferContext.h"
#include "platform/osgSDL/Viewport.h"

#include <GL/gl.h>

#include <algorithm>

namespace osgSDL {

Viewer::Viewer() : m_frameStamp(new osg::FrameStamp)
{
    auto timer = std::make_shared<osg::Timer>();
    setClock([timer] { return timer->time_s(); });
}

void Viewer::setClock(std::function<double()> seconds)
{
    m_clock = std::move(seconds);
    m_startSeconds = m_clock();
    m_lastFrameSeconds = m_startSeconds;
}

Viewer::~Viewer() = default;

void Viewer::setDisplayMode(int width, int height, int bitsPerPixel, Uint32 flags)
{
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_flags = flags;
}

bool Viewer::open(SDL_Surface* surface)
{
    if (surface) {
        m_surface = surface;
        return true;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, m_swapInterval);
    m_surface = SDL_SetVideoMode(m_width, m_height, m_bitsPerPixel, SDL_OPENGL | m_flags);
    if (!m_surface)
        return false;
    if (!(m_surface->flags & SDL_OPENGL) || !glGetString(GL_VERSION)) {
        SDL_SetError("the video driver %s gives no OpenGL context", videoDriverName().c_str());
        m_surface = nullptr;
        return false;
    }
    SDL_WM_SetCaption("Velmo", "Velmo");
    return true;
}

bool Viewer::openOffscreen()
{
    auto context = std::make_unique<offscreen::PbufferContext>();
    if (!context->open(m_width, m_height)) {
        m_offscreenError = context->error();
        return false;
    }
    m_offscreen = std::move(context);
    return true;
}

void Viewer::readPixels(std::vector<unsigned char>& rgb) const
{
    rgb.resize(static_cast<size_t>(m_width) * m_height * 3);
    if (m_offscreen) {
        m_offscreen->readPixels(rgb.data());
        return;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, m_width, m_height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

std::string Viewer::videoDriverName()
{
    char name[64] = "";
    return SDL_VideoDriverName(name, sizeof name) ? name : "(none)";
}

void Viewer::init()
{
    for (Viewport* viewport : m_viewports)
        viewport->setWindowSize(m_width, m_height);
    m_lastFrameSeconds = m_clock();
}

void Viewer::addViewport(Viewport* viewport)
{
    m_viewports.push_back(viewport);
}

void Viewer::runOnce()
{
    if (!m_offscreen)
        processEvents();
    beginFrame();
    if (m_offscreen) {
        renderViewports();
    } else if (m_surface) {
        renderViewports();
        SDL_GL_SwapBuffers();
    }
    endFrame();
}

void Viewer::updateOnce()
{
    beginFrame();
    for (Viewport* viewport : m_viewports)
        viewport->update(m_frameStamp.get());
    endFrame();
}

void Viewer::beginFrame()
{
    m_frameStamp->setFrameNumber(m_frameStamp->getFrameNumber() + 1);
    m_frameStamp->setReferenceTime(m_clock() - m_startSeconds);
    m_frameStamp->setSimulationTime(m_frameStamp->getReferenceTime());
}

void Viewer::endFrame()
{
    const double end = m_clock();
    m_frameTime = static_cast<float>(end - m_lastFrameSeconds);
    m_lastFrameSeconds = end;
}

void Viewer::renderViewports()
{
    for (Viewport* viewport : m_viewports)
        viewport->render(m_frameStamp.get());
}

void Viewer::processEvents()
{
    releaseLatchedKeys();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            m_done = true;
            break;
        case SDL_KEYDOWN:
            m_pendingPresses.push_back({event.key.keysym.sym, event.key.keysym.mod});
            m_pressedThisBatch.push_back(event.key.keysym.sym);
            break;
        case SDL_KEYUP:
            if (std::find(m_pressedThisBatch.begin(), m_pressedThisBatch.end(),
                          event.key.keysym.sym) != m_pressedThisBatch.end())
                m_tappedKeys.push_back(event.key.keysym.sym);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            addButtonEvent(event.button);
            break;
        case SDL_MOUSEMOTION:
            m_pointerEvents.push_back({PointerEvent::Motion, 0, event.motion.x, event.motion.y});
            break;
        default:
            break;
        }
    }
    latchTappedKeys();
    m_keyPressed = !m_pendingPresses.empty();
    if (m_keyPressed) {
        m_keySymbol = m_pendingPresses.front().symbol;
        m_keyModifiers = m_pendingPresses.front().modifiers;
        m_pendingPresses.pop_front();
    }
}

void Viewer::addButtonEvent(const SDL_MouseButtonEvent& button)
{
    // SDL 1.2 reports the wheel as presses (and releases) of two buttons.
    const bool press = button.type == SDL_MOUSEBUTTONDOWN;
    if (button.button == SDL_BUTTON_WHEELUP || button.button == SDL_BUTTON_WHEELDOWN) {
        if (press)
            m_pointerEvents.push_back({button.button == SDL_BUTTON_WHEELUP ? PointerEvent::WheelUp
                                                                          : PointerEvent::WheelDown,
                                       button.button, button.x, button.y});
        return;
    }
    m_pointerEvents.push_back({press ? PointerEvent::Press : PointerEvent::Release, button.button, button.x, button.y});
}

std::vector<PointerEvent> Viewer::takePointerEvents()
{
    std::vector<PointerEvent> events;
    events.swap(m_pointerEvents);
    return events;
}

void Viewer::releaseLatchedKeys()
{
    Uint8* keys = SDL_GetKeyState(nullptr);
    for (int key : m_latchedKeys)
        keys[key] = 0;
    m_latchedKeys.clear();
}

void Viewer::latchTappedKeys()
{
    // Pressed and released within one batch: SDL's array never showed it
    // down, so hold it for this one frame unless it is down again anyway.
    Uint8* keys = SDL_GetKeyState(nullptr);
    for (int key : m_tappedKeys) {
        if (!keys[key]) {
            keys[key] = 1;
            m_latchedKeys.push_back(key);
        }
    }
    m_tappedKeys.clear();
    m_pressedThisBatch.clear();
}

} // namespace osgSDL
