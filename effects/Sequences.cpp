#include "effects/Sequences.h"

#include "app/Globals.h"
#include "app/ShowTimes.h"
#include "app/SpeedUps.h"
#include "app/Timeline.h"
#include "effects/Flash.h"
#include "effects/OverlayLayer.h"
#include "effects/OverlaySpeedUps.h"

#include <osg/BlendFunc>

#include <string>

namespace {

using Demo::Image::CBackgroundStripe;
using Demo::Image::CFlash;
using Demo::Image::CImageFX;
using Demo::Image::Overlays::CStripe;
namespace Logos = ShowTimes::Logos;
namespace Title = ShowTimes::Title;
namespace Slime = ShowTimes::Slime;

// A sharp logo stays until the logos leave together; a glow, its blurred
// copy added on top at full strength, fades out over a second.
struct LogoStep {
    enum Kind { Sharp, Glow } kind;
    const char* image;
    double start;
    unsigned sourceFactor; // a sharp logo's blending
};

const LogoStep kLogoSteps[] = {
    {LogoStep::Sharp, "ddata/lumbra.png", Logos::kLumbra, GL_SRC_COLOR},
    {LogoStep::Glow, "ddata/lumbra-blur.png", Logos::kLumbra, 0},
    {LogoStep::Sharp, "ddata/ostra.png", Logos::kOstra, GL_SRC_ALPHA},
    {LogoStep::Glow, "ddata/ostra-blur.png", Logos::kOstra, 0},
    {LogoStep::Sharp, "ddata/kvell.png", Logos::kKvell, GL_SRC_ALPHA},
    {LogoStep::Glow, "ddata/kvell-blur.png", Logos::kKvell, 0},
    {LogoStep::Sharp, "ddata/trinna.png", Logos::kTrinna, GL_SRC_ALPHA},
    {LogoStep::Sharp, "ddata/bolma.png", Logos::kBolma, GL_SRC_ALPHA},
    {LogoStep::Sharp, "ddata/sprett.png", Logos::kSprett, GL_SRC_ALPHA},
    {LogoStep::Glow, "ddata/trinna-blur.png", Logos::kLastGlows, 0},
    {LogoStep::Glow, "ddata/bolma-blur.png", Logos::kLastGlows, 0},
    {LogoStep::Glow, "ddata/sprett-blur.png", Logos::kLastGlows, 0},
};

const char* const kTitleImage = "ddata/velmo.png";
const char* const kSlimeImage = "ddata/slime.png";

void registerEffect(double start, double end, Demo::CFX* effect)
{
    g_timeline->addEffect(start, end, g_sceneSwitch.get(), effect);
}

// Most of each logo's picture is clear, and the logos and glows stand
// still: each quad covers only its logo.
template <typename Effect>
void speedUpLogo(SpeedUpList& speedUps, const LogoStep& step, Effect& logo)
{
    OverlaySpeedUps wanted;
    wanted.crop = true;
    speedUpOverlay(speedUps, step.image, logo, logo, wanted);
}

void addLogoStep(SpeedUpList& speedUps, const LogoStep& step)
{
    if (step.kind == LogoStep::Sharp) {
        auto* logo = new CBackgroundStripe(step.image);
        setBlending(logo->getNode().get(), step.sourceFactor, GL_ONE_MINUS_SRC_ALPHA);
        speedUpLogo(speedUps, step, *logo);
        registerEffect(step.start, Logos::kEnd, logo);
    } else {
        auto* glow = new CFlash(0.0, 1.0, 0.0, 1.0, step.image);
        glow->setBlendFunc(GL_SRC_ALPHA, GL_ONE);
        speedUpLogo(speedUps, step, *glow);
        registerEffect(step.start, step.start + Logos::kGlowSeconds, glow);
    }
}

CFlash* whiteFlash(SpeedUpList& speedUps, double up, double down)
{
    auto* flash = new CFlash(up, down, 0.0, 1.0, Demo::Image::kWhitePicture);
    OverlaySpeedUps wanted;
    wanted.solidColour = true;
    speedUpOverlay(speedUps, "white flash", *flash, *flash, wanted);
    return flash;
}

} // namespace

ContentList logoSequenceContent()
{
    ContentList files;
    for (const LogoStep& step : kLogoSteps)
        files.push_back({step.image, false});
    return files;
}

void buildLogoSequence()
{
    SpeedUpList speedUps("the logos");
    for (const LogoStep& step : kLogoSteps)
        addLogoStep(speedUps, step);
}

ContentList titleSequenceContent()
{
    return {{Demo::Image::kWhitePicture, false}, {kTitleImage, false}, {Demo::Image::kWhitePicture, false}};
}

void buildTitleSequence()
{
    SpeedUpList speedUps("the title");
    registerEffect(Title::kFirstFlashStart, Title::kFirstFlashEnd, whiteFlash(speedUps, 0.2, 0.2));

    auto* title = new CBackgroundStripe(kTitleImage);
    setBlending(title->getNode().get(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    title->setMode(CImageFX::UnfoldS);
    title->setAnimSpeed(0.2);
    registerEffect(Title::kStart, Title::kEnd, title);

    registerEffect(Title::kEnd, Title::kLastFlashEnd, whiteFlash(speedUps, 0.1, 3.0));
}

ContentList slimeOverlayContent()
{
    return {{kSlimeImage, false}, {kSlimeImage, false}};
}

void buildSlimeOverlay()
{
    // The slime's small tile is only ever magnified.
    SpeedUpList speedUps("the slime");
    OverlaySpeedUps wanted;
    wanted.noMipmaps = true;

    auto* vertical = new CBackgroundStripe(kSlimeImage);
    vertical->setMode(CImageFX::SweepT);
    vertical->setAnimSpeed(0.2);
    speedUpOverlay(speedUps, "vertical slime", *vertical, *vertical, wanted);
    registerEffect(Slime::kStart, Slime::kEnd, vertical);

    auto* horizontal = new CStripe(kSlimeImage);
    horizontal->setMode(CImageFX::SweepS);
    horizontal->setAnimSpeed(0.1);
    speedUpOverlay(speedUps, "horizontal slime", *horizontal, *horizontal, wanted);
    registerEffect(Slime::kStart, Slime::kEnd, horizontal);
}
