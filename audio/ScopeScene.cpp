#include "audio/ScopeScene.h"

#include "audio/FeedbackTexture.h"
#include "audio/Oscilliscope.h"

#include <osg/Geode>

namespace {

// The scope draws different lines every frame: display lists would only be
// rebuilt each time, and its fixed bound must not be culled.
osg::ref_ptr<osg::Geode> scopeGeode(osg::Drawable* drawable, int renderBin)
{
    drawable->setUseDisplayList(false);
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(drawable);
    geode->setCullingActive(false);
    geode->getOrCreateStateSet()->setRenderBinDetails(renderBin, "RenderBin",
                                                      osg::StateSet::USE_RENDERBIN_DETAILS);
    return geode;
}

} // namespace

osg::ref_ptr<osg::Group> buildScopeScene()
{
    g_feedbackTexture = new FeedbackTexture;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    // The capture pass clears the frame after it, so it must come first.
    group->addChild(scopeGeode(new Oscilliscope, -100));
    group->addChild(scopeGeode(new OscilliscopeDraw, 100));
    return group;
}

void buildStartScope(osg::ref_ptr<osg::Group>& group)
{
    group = new osg::Group;
    group->addChild(scopeGeode(new OscilliscopeStartScene, 100));
}

void speedUpScopeEcho(SpeedUpList& speedUps)
{
    speedUps.apply("scope echo left alone once white", [] {
        return holdsIf(g_feedbackTexture && g_feedbackTexture->echoesWhiteToWhite(), "its echoes add up to less than white");
    }, [] { g_feedbackTexture->watchForWhite(); });
}
