#include "audio/FeedbackTexture.h"

#include <osg/GLExtensions>

#include <cstddef>
#include <iostream>
#include <vector>

FeedbackTexture* g_feedbackTexture = nullptr;

namespace {

constexpr GLbitfield kAllAttributes = 0xFFFFF;
constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;

// The show draws through a single GL context.
osg::GLExtensions& extensions()
{
    return *osg::GLExtensions::Get(0, true);
}

} // namespace

FeedbackTexture::FeedbackTexture()
{
    const std::vector<unsigned char> black(static_cast<size_t>(size) * size * 3, 0);
    glGenTextures(2, textures);
    extensions().glGenFramebuffers(2, framebuffers);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &frameFramebuffer);
    for (int i = 0; i < 2; ++i) {
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, size, size, 0, GL_RGB, GL_UNSIGNED_BYTE, black.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        extensions().glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[i]);
        extensions().glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textures[i], 0);
        if (extensions().glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            std::cerr << "The scope's echo cannot be drawn into a texture here; it stays black" << std::endl;
    }
    extensions().glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(frameFramebuffer));
    glBindTexture(GL_TEXTURE_2D, 0);
}

void FeedbackTexture::bindTexture(int which) const
{
    glBindTexture(GL_TEXTURE_2D, textures[which]);
}

void FeedbackTexture::pushOrtho()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, kScreenWidth, 0.0, kScreenHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void FeedbackTexture::beginCapture()
{
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &frameFramebuffer);
    extensions().glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[1 - newest]);
    glViewport(0, 0, size, size);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void FeedbackTexture::endCapture()
{
    extensions().glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(frameFramebuffer));
    glViewport(0, 0, static_cast<GLsizei>(kScreenWidth), static_cast<GLsizei>(kScreenHeight));
    newest = 1 - newest;
}

void FeedbackTexture::drawFeedback(float offset)
{
    // Texture rows run bottom up, so top and bottom swap: the echo flips
    // every frame.
    const float texCoords[8] = {0.0f, 1.0f - offset, 0.0f, offset, 1.0f, offset, 1.0f, 1.0f - offset};
    drawQuad(GL_SRC_ALPHA, GL_ONE, alpha, texCoords);
}

void FeedbackTexture::drawOverlay()
{
    const float texCoords[8] = {0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f};
    drawQuad(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, alpha * 0.1f, texCoords);
}

void FeedbackTexture::drawQuad(GLenum blendSource, GLenum blendDestination, float opacity,
                               const float texCoords[8])
{
    glPushAttrib(kAllAttributes);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(blendSource, blendDestination);
    glEnable(GL_TEXTURE_2D);
    bindTexture(newest);
    glColor4f(1.0f, 1.0f, 1.0f, opacity);
    pushOrtho();
    const float corners[8] = {0.0f, 0.0f, 0.0f, kScreenHeight, kScreenWidth, kScreenHeight, kScreenWidth, 0.0f};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(texCoords[2 * i], texCoords[2 * i + 1]);
        glVertex2f(corners[2 * i], corners[2 * i + 1]);
    }
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDisable(GL_BLEND);
    glPopMatrix();
    glPopAttrib();
}
