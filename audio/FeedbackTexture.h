#pragma once

#include <osg/GL>

// The middle-section scope's echo: each frame the scope is drawn over last
// frame's picture, zoomed and flipped, into a texture of its own. Two
// textures take turns, one read while the other is drawn. Drawing into a
// texture, rather than into the frame and copying out, leaves the frame
// alone and lets the renderer go on with the scene while the echo is drawn.
// Needs a current GL context from construction on.
class FeedbackTexture
{
public:
    FeedbackTexture();

    // Renders into the texture of this frame, cleared, through a viewport of
    // its size x size pixels.
    void beginCapture();
    // Back to the frame and its viewport; the new texture is the one read
    // from now on.
    void endCapture();

    // A frame drawn before the echo's window, to have the renderer build its
    // code for the echo's states: begins only while nothing has been drawn
    // into the textures since they were made; the scope is drawn as it would
    // be, its flat line's clock left alone. The end makes both textures
    // black again, as made.
    bool beginRehearsal();
    bool isRehearsing() const { return rehearsing; }
    void endRehearsal();

    // Whether the newest texture is white everywhere, read back now.
    bool readsWhite() const;

    // Last frame's picture, flipped, stretched vertically by `offset`, added.
    void drawFeedback(float offset);
    // Both echoes of last frame's picture, stretched by -offset and
    // +offset, into the cleared texture.
    void drawEchoes(float offset);
    // The picture over the whole screen, faintly blended.
    void drawOverlay();

    // Each frame adds two 72 % echoes of the last, 144 % in all, so any
    // light spreads until the picture is white everywhere; and white echoes
    // to white whatever the scope adds. From then on the texture no longer
    // changes: it need not be drawn into, and the overlay need not read it.
    bool isWhite() const { return white; }
    // Whether white echoes to white: the two echoes add up to full light.
    bool echoesWhiteToWhite() const { return 2.0f * alpha >= 1.0f; }
    // From now on checkWhite looks; until then the echo is always drawn.
    void watchForWhite() { watching = true; }
    // Reads the newest texture back every so many frames to find out.
    void checkWhite();

    // The virtual screen's 800 x 600 unit projection with an identity model
    // view, and back.
    void pushOrtho();
    void popOrtho();

private:
    void drawQuad(GLenum blendSource, GLenum blendDestination, float opacity,
                  const float texCoords[8]);

    void bindTexture(int which) const;

    // The frame has no alpha channel, so neither do the textures: read as
    // opaque, as copies of the frame would be.
    GLuint textures[2] = {0, 0};
    GLuint framebuffers[2] = {0, 0};
    int newest = 0;
    GLint frameFramebuffer = 0;
    GLint frameViewport[4] = {0, 0, 0, 0};
    GLuint echoProgram = 0;
    // 512 texels at 800 x 600, in proportion at other sizes: the echo's
    // lines keep their width in pixels of the picture.
    static constexpr int kEdgeAt600 = 512;
    int size;
    float alpha = 0.72f;
    bool white = false;
    bool watching = false;
    int framesSinceCheck = 0;
    bool drawnInto = false;
    bool rehearsing = false;
};

// Created by buildScopeScene.
extern FeedbackTexture* g_feedbackTexture;
