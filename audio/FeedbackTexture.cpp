#include "audio/FeedbackTexture.h"

#include "app/Globals.h"

#include <osg/GLExtensions>

#include <algorithm>
#include <cmath>
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

// Both echoes in one pass, to the same levels the two blended passes gave
// (checked to the bit over seconds of feedback): each texel's share taken
// as the blender takes it, 8-bit level times 8-bit alpha, rounded; the two
// shares added and clamped. One pass writes each texel once instead of
// reading and writing it twice: 1.3 ms a frame.
const char* const kEchoVertex = R"(
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_TexCoord[1] = gl_MultiTexCoord1;
    gl_Position = ftransform();
}
)";

const char* const kEchoFragment = R"(
uniform sampler2D echo;
uniform float share;
vec3 shareOf(vec2 at)
{
    vec3 level = floor(texture2D(echo, at).rgb * 255.0 + 0.5);
    return floor(level * share / 255.0 + 0.5);
}
void main()
{
    vec3 sum = shareOf(gl_TexCoord[0].st) + shareOf(gl_TexCoord[1].st);
    gl_FragColor = vec4(min(sum, 255.0) / 255.0, 1.0);
}
)";

GLuint compile(GLenum type, const char* source)
{
    osg::GLExtensions& gl = extensions();
    const GLuint shader = gl.glCreateShader(type);
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);
    return shader;
}

GLuint linkEchoProgram()
{
    osg::GLExtensions& gl = extensions();
    const GLuint program = gl.glCreateProgram();
    gl.glAttachShader(program, compile(GL_VERTEX_SHADER, kEchoVertex));
    gl.glAttachShader(program, compile(GL_FRAGMENT_SHADER, kEchoFragment));
    gl.glLinkProgram(program);
    GLint linked = 0;
    gl.glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked ? program : 0;
}

} // namespace

FeedbackTexture::FeedbackTexture() : size(g_picture.scaledEdge(kEdgeAt600))
{
    const std::vector<unsigned char> black(static_cast<size_t>(size) * size * 3, 0);
    glGenTextures(2, textures);
    extensions().glGenFramebuffers(2, framebuffers);
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &frameFramebuffer);
    // Rows of RGB bytes, packed: at sizes other than 512 a row's length is
    // not always a multiple of four.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
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
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    extensions().glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(frameFramebuffer));
    glBindTexture(GL_TEXTURE_2D, 0);
    echoProgram = linkEchoProgram();
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

void FeedbackTexture::popOrtho()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void FeedbackTexture::beginCapture()
{
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &frameFramebuffer);
    glGetIntegerv(GL_VIEWPORT, frameViewport);
    extensions().glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[1 - newest]);
    glViewport(0, 0, size, size);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void FeedbackTexture::endCapture()
{
    extensions().glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(frameFramebuffer));
    glViewport(frameViewport[0], frameViewport[1], frameViewport[2], frameViewport[3]);
    newest = 1 - newest;
    drawnInto = true;
}

bool FeedbackTexture::beginRehearsal()
{
    rehearsing = !drawnInto;
    return rehearsing;
}

void FeedbackTexture::endRehearsal()
{
    if (!rehearsing)
        return;
    // Once the echo is white its overlay is drawn without the texture, a
    // state of its own: drawn once here, unseen, its code is built now and
    // not in the frame it turns white (50 ms with Mesa's shader cache empty).
    white = true;
    drawOverlay();
    white = false;
    for (int i = 0; i < 2; ++i) {
        beginCapture();
        endCapture();
    }
    newest = 0;
    framesSinceCheck = 0;
    drawnInto = false;
    rehearsing = false;
}

void FeedbackTexture::drawFeedback(float offset)
{
    // Texture rows run bottom up, so top and bottom swap: the echo flips
    // every frame.
    const float texCoords[8] = {0.0f, 1.0f - offset, 0.0f, offset, 1.0f, offset, 1.0f, 1.0f - offset};
    drawQuad(GL_SRC_ALPHA, GL_ONE, alpha, texCoords);
}

void FeedbackTexture::drawEchoes(float offset)
{
    // Without shaders, two blended passes give the same levels, slower.
    if (!echoProgram) {
        drawFeedback(-offset);
        drawFeedback(offset);
        return;
    }
    osg::GLExtensions& gl = extensions();
    glPushAttrib(kAllAttributes);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    for (GLenum unit : {GL_TEXTURE1, GL_TEXTURE0}) {
        gl.glActiveTexture(unit);
        bindTexture(newest);
    }
    gl.glUseProgram(echoProgram);
    gl.glUniform1i(gl.glGetUniformLocation(echoProgram, "echo"), 0);
    // The blender's alpha: the colour's, as an 8-bit level.
    gl.glUniform1f(gl.glGetUniformLocation(echoProgram, "share"), std::round(alpha * 255.0f));
    pushOrtho();
    const float corners[8] = {0.0f, 0.0f, 0.0f, kScreenHeight, kScreenWidth, kScreenHeight, kScreenWidth, 0.0f};
    const float t[4] = {1.0f + offset, -offset, 1.0f - offset, offset}; // bottom, top for each echo
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        const bool bottom = corners[2 * i + 1] == 0.0f;
        const float s = corners[2 * i] == 0.0f ? 0.0f : 1.0f;
        const float shrunk[2] = {s, bottom ? t[0] : t[1]};
        const float grown[2] = {s, bottom ? t[2] : t[3]};
        gl.glMultiTexCoord2fv(GL_TEXTURE0, shrunk);
        gl.glMultiTexCoord2fv(GL_TEXTURE1, grown);
        glVertex2f(corners[2 * i], corners[2 * i + 1]);
    }
    glEnd();
    popOrtho();
    gl.glUseProgram(0);
    glBindTexture(GL_TEXTURE_2D, 0);
    gl.glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    gl.glActiveTexture(GL_TEXTURE0);
    glPopAttrib();
}

void FeedbackTexture::drawOverlay()
{
    const float texCoords[8] = {0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f};
    drawQuad(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, alpha * 0.1f, texCoords);
}

void FeedbackTexture::checkWhite()
{
    // A read-back costs about half a millisecond; twice a second at most.
    const int checkEvery = 30;
    if (!watching || white || rehearsing || ++framesSinceCheck < checkEvery)
        return;
    framesSinceCheck = 0;
    white = readsWhite();
}

bool FeedbackTexture::readsWhite() const
{
    std::vector<unsigned char> rgb(static_cast<size_t>(size) * size * 3);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    bindTexture(newest);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    return std::all_of(rgb.begin(), rgb.end(), [](unsigned char level) { return level == 255; });
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
    // A white texture modulates by exactly one: the colour alone is the same.
    if (!white) {
        glEnable(GL_TEXTURE_2D);
        bindTexture(newest);
    }
    glColor4f(1.0f, 1.0f, 1.0f, opacity);
    pushOrtho();
    const float corners[8] = {0.0f, 0.0f, 0.0f, kScreenHeight, kScreenWidth, kScreenHeight, kScreenWidth, 0.0f};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glTexCoord2f(texCoords[2 * i], texCoords[2 * i + 1]);
        glVertex2f(corners[2 * i], corners[2 * i + 1]);
    }
    glEnd();
    popOrtho();
    glDisable(GL_BLEND);
    glPopMatrix();
    glPopAttrib();
}
