#pragma once

#include <string>

namespace offscreen {

// An OpenGL context that draws into an off-screen buffer, with no X server
// and no GPU: Mesa's surfaceless EGL platform with a pbuffer surface, which
// Mesa renders in software when there is no device. The context speaks the
// same compatibility-profile desktop OpenGL as the show's window, and the
// scene graph finds its functions the same way (glvnd dispatches them to
// whichever context is current, GLX or EGL).
class PbufferContext
{
public:
    PbufferContext() = default;
    PbufferContext(const PbufferContext&) = delete;
    PbufferContext& operator=(const PbufferContext&) = delete;
    ~PbufferContext();

    // Creates the buffer (8 bits per colour, no alpha, 24-bit depth) and
    // makes its context current on this thread. False, with error() saying
    // why, when any step fails.
    bool open(int width, int height);
    const std::string& error() const { return m_error; }

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Waits for the drawing to finish and copies the picture out as rows of
    // RGB bytes, bottom row first, as OpenGL keeps it.
    void readPixels(unsigned char* rgb) const;

private:
    bool fail(const std::string& step);
    bool initialiseDisplay();
    bool chooseConfig();

    void* m_display = nullptr; // EGLDisplay
    void* m_config = nullptr;  // EGLConfig
    void* m_surface = nullptr; // EGLSurface
    void* m_context = nullptr; // EGLContext
    int m_width = 0;
    int m_height = 0;
    std::string m_error;
};

} // namespace offscreen
