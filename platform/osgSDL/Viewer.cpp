#include "platform/osgSDL/Viewer.h"

#include "platform/osgSDL/Viewport.h"

#include <GL/gl.h>

#include <algorithm>

namespace osgSDL {

Viewer::Viewer() : m_frameStamp(new osg::FrameStamp) {}

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

std::string Viewer::videoDriverName()
{
    char name[64] = "";
    return SDL_VideoDriverName(name, sizeof name) ? name : "(none)";
}

void Viewer::init()
{
    for (Viewport* viewport : m_viewports)
        viewport->setWindowSize(m_width, m_height);
    m_lastFrameTick = m_timer.tick();
}

void Viewer::addViewport(Viewport* viewport)
{
    m_viewports.push_back(viewport);
}

void Viewer::runOnce()
{
    processEvents();
    const osg::Timer_t now = m_timer.tick();
    m_frameStamp->setFrameNumber(m_frameStamp->getFrameNumber() + 1);
    m_frameStamp->setReferenceTime(m_timer.delta_s(m_timer.getStartTick(), now));
    m_frameStamp->setSimulationTime(m_frameStamp->getReferenceTime());
    if (m_surface) {
        for (Viewport* viewport : m_viewports)
            viewport->render(m_frameStamp.get());
        SDL_GL_SwapBuffers();
    }
    const osg::Timer_t end = m_timer.tick();
    m_frameTime = static_cast<float>(m_timer.delta_s(m_lastFrameTick, end));
    m_lastFrameTick = end;
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
            m_pendingPresses.push_back(event.key.keysym.sym);
            m_pressedThisBatch.push_back(event.key.keysym.sym);
            break;
        case SDL_KEYUP:
            if (std::find(m_pressedThisBatch.begin(), m_pressedThisBatch.end(),
                          event.key.keysym.sym) != m_pressedThisBatch.end())
                m_tappedKeys.push_back(event.key.keysym.sym);
            break;
        default:
            break;
        }
    }
    latchTappedKeys();
    m_keyPressed = !m_pendingPresses.empty();
    if (m_keyPressed) {
        m_keySymbol = m_pendingPresses.front();
        m_pendingPresses.pop_front();
    }
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
