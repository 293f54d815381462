// The capture's off-screen buffer: exact pixels out, and the scene graph's
// extension loading reaching the frame-buffer objects of the EGL context
// (the light scene's depth pass needs them). The scope's echo drawn there.
#include "audio/FeedbackTexture.h"
#include "platform/offscreen/PbufferContext.h"

#include <gtest/gtest.h>

#include <osg/GLExtensions>

#include <vector>

namespace {

TEST(Offscreen, BufferGivesBackExactlyWhatWasDrawnAndTheSceneGraphFindsFrameBufferObjects)
{
    offscreen::PbufferContext context;
    ASSERT_TRUE(context.open(64, 48)) << context.error();
    glClearColor(0.4f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 64, 1); // the bottom row only
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    std::vector<unsigned char> rgb(64 * 48 * 3);
    context.readPixels(rgb.data());
    EXPECT_EQ(std::vector<unsigned char>(rgb.begin(), rgb.begin() + 3), (std::vector<unsigned char>{255, 255, 255}));
    const size_t top = (47 * 64 + 63) * 3;
    EXPECT_EQ(std::vector<unsigned char>(rgb.begin() + top, rgb.begin() + top + 3),
              (std::vector<unsigned char>{102, 0, 255}));

    // A context number no other test uses: the extensions are kept per number.
    osg::GLExtensions* gl = osg::GLExtensions::Get(7, true);
    ASSERT_TRUE(gl->isFrameBufferObjectSupported);
    GLuint depth = 0;
    glGenTextures(1, &depth);
    glBindTexture(GL_TEXTURE_2D, depth);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, 64, 48, 0, GL_DEPTH_COMPONENT, GL_FLOAT, nullptr);
    GLuint fbo = 0;
    gl->glGenFramebuffers(1, &fbo);
    gl->glBindFramebuffer(GL_FRAMEBUFFER_EXT, fbo);
    gl->glFramebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, depth, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    ASSERT_EQ(gl->glCheckFramebufferStatus(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    float value = 0.0f;
    glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &value);
    EXPECT_NEAR(value, 0.25f, 1e-4f);
    gl->glBindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
}

// One frame of the echo, its picture cleared to `level` instead of echoed.
void captureFrame(FeedbackTexture& echo, float level = -1.0f)
{
    echo.beginCapture();
    if (level >= 0.0f) {
        glClearColor(level, level, level, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    } else {
        echo.drawEchoes(0.01f);
    }
    echo.endCapture();
    echo.checkWhite();
}

std::vector<unsigned char> overlayOn(FeedbackTexture& echo)
{
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    echo.drawOverlay();
    std::vector<unsigned char> rgb(800 * 600 * 3);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// Any light in the echo grows until the texture is white, white stays white,
// and over white the overlay shows the same pixels without the texture.
TEST(ScopeEcho, GrowsToWhiteWhereItStandsAndItsOverlayNeedsNoTexture)
{
    offscreen::PbufferContext context;
    ASSERT_TRUE(context.open(800, 600)) << context.error();
    FeedbackTexture dark;
    FeedbackTexture grey;
    ASSERT_TRUE(grey.echoesWhiteToWhite());
    dark.watchForWhite();
    grey.watchForWhite();
    captureFrame(grey, 0.1f);
    for (int frame = 0; frame < 60; ++frame) {
        captureFrame(dark);
        captureFrame(grey);
    }
    EXPECT_FALSE(dark.isWhite()) << "black echoes to black";
    ASSERT_TRUE(grey.isWhite());

    FeedbackTexture unwatched; // on the plain path
    for (int frame = 0; frame < 60; ++frame)
        captureFrame(unwatched, 1.0f);
    ASSERT_FALSE(unwatched.isWhite());
    EXPECT_TRUE(overlayOn(grey) == overlayOn(unwatched));
}

// A rehearsal leaves the echo as it was made, and is refused once the echo
// has been drawn in earnest: there would be nothing to put it back to.
TEST(ScopeEcho, IsBlackAgainAfterARehearsalAndRehearsesOnlyBeforeItsFirstFrame)
{
    offscreen::PbufferContext context;
    ASSERT_TRUE(context.open(800, 600)) << context.error();
    FeedbackTexture made;
    FeedbackTexture rehearsed;
    ASSERT_TRUE(rehearsed.beginRehearsal());
    captureFrame(rehearsed, 0.8f);
    captureFrame(rehearsed, 0.6f);
    rehearsed.endRehearsal();
    EXPECT_TRUE(overlayOn(rehearsed) == overlayOn(made));
    for (FeedbackTexture* echo : {&made, &rehearsed}) {
        captureFrame(*echo, 0.3f);
        captureFrame(*echo);
    }
    EXPECT_TRUE(overlayOn(rehearsed) == overlayOn(made));
    EXPECT_FALSE(rehearsed.beginRehearsal());
    EXPECT_FALSE(rehearsed.isRehearsing());
}

} // namespace
