#include "audio/Oscilliscope.h"

#include "audio/FeedbackTexture.h"
#include "audio/MusicStream.h"

#include "app/Globals.h"

namespace {

constexpr GLbitfield kAllAttributes = 0xFFFFF;
// The echo is zoomed out and in by this much, both passes added.
constexpr float kEchoOffset = 0.01f;

osg::BoundingBox scopeBound()
{
    return osg::BoundingBox(-1000.0f, -1000.0f, -1000.0f, 1000.0f, 1000.0f, 1000.0f);
}

} // namespace

void Oscilliscope::drawImplementation(osg::RenderInfo& /*renderInfo*/) const
{
    if (!g_feedbackTexture)
        return;
    if (g_feedbackTexture->isWhite()) {
        if (g_music)
            g_music->passScopeFrame();
        return;
    }
    glPushMatrix();
    glPushAttrib(kAllAttributes);
    g_feedbackTexture->beginCapture();
    g_feedbackTexture->drawEchoes(kEchoOffset);
    if (g_music && g_feedbackTexture->isRehearsing())
        g_music->drawScopeAs(g_music->isFlatLine());
    else if (g_music)
        g_music->drawScope();
    g_feedbackTexture->endCapture();
    g_feedbackTexture->checkWhite();
    glPopAttrib();
    glPopMatrix();
}

osg::BoundingBox Oscilliscope::computeBoundingBox() const
{
    return scopeBound();
}

void OscilliscopeDraw::drawImplementation(osg::RenderInfo& /*renderInfo*/) const
{
    if (!g_feedbackTexture)
        return;
    glPushMatrix();
    glPushAttrib(kAllAttributes);
    g_feedbackTexture->drawOverlay();
    glPopAttrib();
    glPopMatrix();
}

osg::BoundingBox OscilliscopeDraw::computeBoundingBox() const
{
    return scopeBound();
}

void OscilliscopeStartScene::drawImplementation(osg::RenderInfo& /*renderInfo*/) const
{
    if (g_music)
        g_music->drawStartScope();
}

osg::BoundingBox OscilliscopeStartScene::computeBoundingBox() const
{
    return scopeBound();
}
