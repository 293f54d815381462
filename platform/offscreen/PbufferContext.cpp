#include "platform/offscreen/PbufferContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <vector>

namespace offscreen {
namespace {

// The show's window: 8 bits per colour, no alpha, a 24-bit depth buffer.
// The alpha matters: the feedback scope copies the picture into a texture
// and blends with its alpha, so an alpha channel would change the picture.
bool configMatches(EGLDisplay display, EGLConfig config)
{
    const EGLint wanted[][2] = {
        {EGL_RED_SIZE, 8}, {EGL_GREEN_SIZE, 8}, {EGL_BLUE_SIZE, 8},
        {EGL_ALPHA_SIZE, 0}, {EGL_DEPTH_SIZE, 24},
    };
    for (const auto& attribute : wanted) {
        EGLint value = -1;
        if (!eglGetConfigAttrib(display, config, attribute[0], &value) || value != attribute[1])
            return false;
    }
    return true;
}

std::string hex(EGLint code)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(code));
    return text;
}

} // namespace

PbufferContext::~PbufferContext()
{
    if (!m_display)
        return;
    EGLDisplay display = static_cast<EGLDisplay>(m_display);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_context)
        eglDestroyContext(display, static_cast<EGLContext>(m_context));
    if (m_surface)
        eglDestroySurface(display, static_cast<EGLSurface>(m_surface));
    // The display itself stays initialised: EGL hands out one display per
    // platform and process, and terminating it would unload Mesa's driver
    // under whatever it still keeps, for the next buffer to load it again.
}

bool PbufferContext::fail(const std::string& step)
{
    m_error = step + " failed (EGL error " + hex(eglGetError()) + ")";
    return false;
}

bool PbufferContext::initialiseDisplay()
{
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        m_error = "EGL has no eglGetPlatformDisplayEXT: install Mesa's EGL (libegl-mesa0)";
        return false;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY)
        return fail("opening Mesa's surfaceless EGL display");
    m_display = display;
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor))
        return fail("eglInitialize on the surfaceless display");
    return true;
}

bool PbufferContext::chooseConfig()
{
    EGLDisplay display = static_cast<EGLDisplay>(m_display);
    const EGLint attributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24,
        EGL_NONE,
    };
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, nullptr, 0, &count) || count == 0)
        return fail("finding an OpenGL pbuffer configuration");
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    eglChooseConfig(display, attributes, configs.data(), count, &count);
    for (EGLConfig config : configs) {
        if (configMatches(display, config)) {
            m_config = config;
            return true;
        }
    }
    m_error = "no EGL configuration with 8-bit RGB, no alpha and a 24-bit depth buffer";
    return false;
}

bool PbufferContext::open(int width, int height)
{
    if (!initialiseDisplay() || !chooseConfig())
        return false;
    EGLDisplay display = static_cast<EGLDisplay>(m_display);
    if (!eglBindAPI(EGL_OPENGL_API))
        return fail("choosing desktop OpenGL");
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    m_surface = eglCreatePbufferSurface(display, static_cast<EGLConfig>(m_config), size);
    if (m_surface == EGL_NO_SURFACE)
        return fail("creating the pbuffer");
    m_context = eglCreateContext(display, static_cast<EGLConfig>(m_config), EGL_NO_CONTEXT, nullptr);
    if (m_context == EGL_NO_CONTEXT)
        return fail("creating the OpenGL context");
    if (!eglMakeCurrent(display, static_cast<EGLSurface>(m_surface), static_cast<EGLSurface>(m_surface),
                        static_cast<EGLContext>(m_context)))
        return fail("making the context current");
    m_width = width;
    m_height = height;
    return true;
}

void PbufferContext::readPixels(unsigned char* rgb) const
{
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, m_width, m_height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

} // namespace offscreen
