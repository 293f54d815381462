// The scopes' GL drawing, in the projection the scene view set for the frame.

#include "audio/Capture.h"
#include "audio/MusicStream.h"
#include "audio/ScopeMath.h"

#include "app/Globals.h"

#include <osg/GL>

namespace {

constexpr GLbitfield kAllAttributes = 0xFFFFF;

void drawFlatLine(float red, float green, float blue)
{
    glLineWidth(g_picture.scaled(3.0f));
    glColor4f(red, green, blue, 1.0f);
    glBegin(GL_LINES);
    glVertex2f(-1.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glEnd();
}

void drawLine(const float* a)
{
    glVertex2f(a[0], a[1]);
    glVertex2f(a[2], a[3]);
}

int currentBlockStart()
{
    return scope::blockStart(FSOUND_DSP_GetBufferLength(), FSOUND_DSP_GetBufferLengthTotal(),
                             captureBlock.load());
}

void drawWave(float green)
{
    scope::Segment segments[scope::kWaveSegments];
    scope::waveSegments(captureRing, FSOUND_DSP_GetBufferLengthTotal(), currentBlockStart(),
                        FSOUND_DSP_GetBufferLength(), segments);
    glLineWidth(g_picture.scaled(4.0f));
    glBegin(GL_LINES);
    for (const scope::Segment& s : segments) {
        glColor4f(0.5f, green, 0.5f, 1.0f);
        glVertex2f(s.x0, s.y0);
        glVertex2f(s.x1, s.y1);
    }
    glEnd();
}

} // namespace

void MusicStream::drawScope()
{
    drawScopeAs(flatLineStillOn());
}

void MusicStream::drawScopeAs(bool flat)
{
    glPushMatrix();
    glPushAttrib(kAllAttributes);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    const float green = scope::greenLevel(g_time);
    if (flat)
        drawFlatLine(0.5f, green, 0.5f);
    else if (captureRing)
        drawWave(green);
    glPopAttrib();
    glPopMatrix();
}

void MusicStream::drawStartScope()
{
    glPushMatrix();
    glPushAttrib(kAllAttributes);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    if (flatLineStillOn())
        drawFlatLine(1.0f, 0.8f, 0.8f);
    else if (captureRing)
        drawStartWave(g_time, currentBlockStart());
    glPopAttrib();
    glPopMatrix();
}

void MusicStream::drawStartWave(double t, int start)
{
    if (t < 0.001) {
        lineSplit = 0.0f;
        sideTravel = 0.0f;
    }
    glLineWidth(g_picture.scaled(2.5f));
    if (t > scope::kFreezeTime)
        drawFrozenLines();
    scope::StartScopeState state{lineSplit, sideTravel};
    scope::LineGroup groups[scope::kLineGroups];
    scope::startScopeGroups(captureRing, FSOUND_DSP_GetBufferLengthTotal(), start,
                            FSOUND_DSP_GetBufferLength(), t, state, groups);
    lineSplit = state.lineSplit;
    sideTravel = state.sideTravel;
    if (t >= scope::kFreezeTime)
        return;
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_LINES);
    for (int k = 0; k < scope::kLineGroups; ++k) {
        for (int n = 0; n < 16; ++n)
            frozenLines[n][k] = groups[k].a[n];
        for (int line = 0; line < 4; ++line)
            drawLine(groups[k].a + 4 * line);
    }
    glEnd();
}

void MusicStream::drawFrozenLines()
{
    glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_LINES);
    for (int k = 0; k < scope::kLineGroups; ++k) {
        float a[16];
        for (int n = 0; n < 16; ++n)
            a[n] = frozenLines[n][k];
        for (int line = 0; line < 4; ++line)
            drawLine(a + 4 * line);
    }
    glEnd();
}
