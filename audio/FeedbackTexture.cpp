#include "audio/FeedbackTexture.h"

#include <cstddef>
#include <vector>

FeedbackTexture* g_feedbackTexture = nullptr;

namespace {

constexpr GLbitfield kAllAttributes = 0xFFFFF;
constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;

} // namespace

FeedbackTexture::FeedbackTexture()
{
    const std::vector<unsigned char> transparent(static_cast<size_t>(size) * size * 4, 0);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, transparent.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
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
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, size, size);
}

void FeedbackTexture::endCapture()
{
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, size, size, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, static_cast<GLsizei>(kScreenWidth), static_cast<GLsizei>(kScreenHeight));
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
    glBindTexture(GL_TEXTURE_2D, texture);
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
