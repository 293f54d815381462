#include "effects/Sequences.h"

#include "app/Globals.h"
#include "app/Timeline.h"
#include "effects/Flash.h"
#include "effects/OverlayLayer.h"

#include <osg/BlendFunc>

#include <string>

namespace {

using Demo::Image::CBackgroundStripe;
using Demo::Image::CFlash;
using Demo::Image::CImageFX;
using Demo::Image::Overlays::CStripe;

const double kLogosEnd = 29.09090909090909;

void registerEffect(double start, double end, Demo::CFX* effect)
{
    g_timeline->addEffect(start, end, g_sceneSwitch.get(), effect);
}

// A still logo that stays until the logos leave together.
void addSharpLogo(const std::string& image, unsigned sourceFactor, double start)
{
    auto* logo = new CBackgroundStripe(image);
    setBlending(logo->getNode().get(), sourceFactor, GL_ONE_MINUS_SRC_ALPHA);
    logo->cropToVisibleTexels();
    registerEffect(start, kLogosEnd, logo);
}

// A blurred copy added on top at full strength, fading out over a second.
void addGlow(const std::string& image, double start)
{
    auto* glow = new CFlash(0.0, 1.0, 0.0, 1.0, image);
    glow->setBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glow->cropToVisibleTexels();
    registerEffect(start, start + 1.0, glow);
}

} // namespace

void buildLogoSequence()
{
    addSharpLogo("ddata/lumbra.png", GL_SRC_COLOR, 21.818181818181817);
    addGlow("ddata/lumbra-blur.png", 21.818181818181817);
    addSharpLogo("ddata/ostra.png", GL_SRC_ALPHA, 22.15909090909091);
    addGlow("ddata/ostra-blur.png", 22.15909090909091);
    addSharpLogo("ddata/kvell.png", GL_SRC_ALPHA, 22.613636363636363);
    addGlow("ddata/kvell-blur.png", 22.613636363636363);
    addSharpLogo("ddata/trinna.png", GL_SRC_ALPHA, 22.954545454545453);
    addSharpLogo("ddata/bolma.png", GL_SRC_ALPHA, 23.295454545454543);
    addSharpLogo("ddata/sprett.png", GL_SRC_ALPHA, 23.636363636363637);
    addGlow("ddata/trinna-blur.png", 23.977272727272727);
    addGlow("ddata/bolma-blur.png", 23.977272727272727);
    addGlow("ddata/sprett-blur.png", 23.977272727272727);
}

void buildTitleSequence()
{
    registerEffect(25.254545454545454, 25.654545454545453,
                   new CFlash(0.2, 0.2, 0.0, 1.0, "demodata/white.jpg"));

    auto* title = new CBackgroundStripe("ddata/velmo.png");
    setBlending(title->getNode().get(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    title->setMode(CImageFX::UnfoldS);
    title->setAnimSpeed(0.2);
    registerEffect(25.454545454545453, kLogosEnd, title);

    registerEffect(kLogosEnd, 30.09090909090909, new CFlash(0.1, 3.0, 0.0, 1.0, "demodata/white.jpg"));
}

void buildSlimeOverlay()
{
    auto* vertical = new CBackgroundStripe("ddata/slime.png");
    vertical->setMode(CImageFX::SweepT);
    vertical->setAnimSpeed(0.2);
    registerEffect(87.0, 1000.0, vertical);

    auto* horizontal = new CStripe("ddata/slime.png");
    horizontal->setMode(CImageFX::SweepS);
    horizontal->setAnimSpeed(0.1);
    registerEffect(87.0, 1000.0, horizontal);
}
