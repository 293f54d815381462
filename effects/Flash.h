#pragma once

#include "effects/ImageFX.h"
#include "effects/TextureImage.h"

#include <optional>

namespace Demo {
namespace Image {

// The solid pictures of the flashes and the fades to black.
extern const char* const kWhitePicture;
extern const char* const kBlackPicture;

// A full-screen image whose opacity rises over `up` seconds, holds for
// `peek` and falls over `down`: a white flash, a fade to black, a glow.
class CFlash : public CTextureImage, public CImageFX
{
public:
    CFlash(double up, double down, double peek, double strength, const std::string& path);
    // With the picture of `path` already read, shared with other effects.
    CFlash(double up, double down, double peek, double strength, const std::string& path,
           const osg::ref_ptr<osg::Image>& picture);

    // Replaces the blend factors set at construction.
    void setBlendFunc(unsigned source, unsigned destination);

    void update() override;
    osg::ref_ptr<osg::Group> getNode() override { return CTextureImage::getNode(); }

    float currentAlpha() const { return colours->front().a(); }

private:
    double up, down, peek, strength;
};

// The envelope at effect time t; nothing when the alpha keeps its previous
// value (exactly at the top of the rise, and after the fall).
std::optional<double> flashAlpha(double t, double up, double down, double peek, double strength);

// A full-screen image that only animates its texture coordinates. Without
// blending it is a background, drawn behind the 3D scene.
class CBackgroundStripe : public CTextureImage, public CImageFX
{
public:
    explicit CBackgroundStripe(const std::string& path);
    osg::ref_ptr<osg::Group> getNode() override { return CTextureImage::getNode(); }
};

namespace Overlays {

// A full-screen image multiplied over the scene, its opacity pulsing slowly
// with the demo time.
class CStripe : public CTextureImage, public CImageFX
{
public:
    explicit CStripe(const std::string& path);
    void update() override;
    osg::ref_ptr<osg::Group> getNode() override { return CTextureImage::getNode(); }
};

double stripeAlpha(double demoTime);

} // namespace Overlays
} // namespace Image
} // namespace Demo
