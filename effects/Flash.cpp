#include "effects/Flash.h"

#include "app/Globals.h"
#include "effects/OverlayLayer.h"

#include <osg/BlendFunc>

#include <cmath>

namespace Demo {
namespace Image {

std::optional<double> flashAlpha(double t, double up, double down, double peek, double strength)
{
    if (t < up)
        return t / up * strength;
    if (up < t && t < up + peek)
        return strength;
    if (up < t && t <= up + peek + down)
        return (1.0 - (t - (up + peek)) / down) * strength;
    return std::nullopt;
}

const char* const kWhitePicture = "demodata/white.jpg";
const char* const kBlackPicture = "demodata/black.jpg";

CFlash::CFlash(double upSeconds, double downSeconds, double peekSeconds, double fullAlpha,
               const std::string& path)
    : CFlash(upSeconds, downSeconds, peekSeconds, fullAlpha, path, nullptr)
{
}

CFlash::CFlash(double upSeconds, double downSeconds, double peekSeconds, double fullAlpha,
               const std::string& path, const osg::ref_ptr<osg::Image>& picture)
    : CTextureImage(path, picture), CImageFX(CTextureImage::geometry.get()),
      up(upSeconds), down(downSeconds), peek(peekSeconds), strength(fullAlpha)
{
    setBlending(geode.get(), GL_SRC_ALPHA, GL_SRC_COLOR);
}

void CFlash::setBlendFunc(unsigned source, unsigned destination)
{
    auto* blend = dynamic_cast<osg::BlendFunc*>(
        geode->getOrCreateStateSet()->getAttribute(osg::StateAttribute::BLENDFUNC));
    if (blend)
        blend->setFunction(source, destination);
}

void CFlash::update()
{
    if (const auto alpha = flashAlpha(time(), up, down, peek, strength))
        setAlpha(static_cast<float>(*alpha));
    CImageFX::update();
}

CBackgroundStripe::CBackgroundStripe(const std::string& path)
    : CTextureImage(path), CImageFX(CTextureImage::geometry.get())
{
    // Unblended, the stripe is the picture behind the scene; builders that
    // call setBlending on getNode() put it back among the overlays.
    setBackground(root.get());
}

namespace Overlays {

double stripeAlpha(double demoTime)
{
    return (std::sin(demoTime * 0.01) + 2.0) * 0.5;
}

CStripe::CStripe(const std::string& path)
    : CTextureImage(path), CImageFX(CTextureImage::geometry.get())
{
    // Multiplies the scene by the image plus the alpha: tints and brightens.
    setBlending(geode.get(), GL_DST_COLOR, GL_SRC_ALPHA);
}

void CStripe::update()
{
    setAlpha(static_cast<float>(stripeAlpha(g_time)));
    CImageFX::update();
}

} // namespace Overlays
} // namespace Image
} // namespace Demo
