#pragma once

#include <osg/GL>

// The middle-section scope's echo: each frame the scope is drawn over last
// frame's picture, zoomed and flipped, and the result is copied back into
// this texture. Needs a current GL context from construction on.
class FeedbackTexture
{
public:
    FeedbackTexture();

    // Renders into the lower left size x size pixels, cleared.
    void beginCapture();
    // Takes those pixels into the texture, clears the frame for the rest of
    // the drawing and restores the full-screen viewport.
    void endCapture();

    // Last frame's picture, flipped, stretched vertically by `offset`, added.
    void drawFeedback(float offset);
    // The picture over the whole screen, faintly blended.
    void drawOverlay();

    // An 800 x 600 pixel projection with an identity model view; the caller
    // pops both.
    void pushOrtho();

private:
    void drawQuad(GLenum blendSource, GLenum blendDestination, float opacity,
                  const float texCoords[8]);

    GLuint texture = 0;
    int size = 512;
    float alpha = 0.72f;
};

// Created by buildScopeScene.
extern FeedbackTexture* g_feedbackTexture;
