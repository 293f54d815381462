#pragma once

#include "app/SpeedUps.h"
#include "effects/ImageFX.h"
#include "effects/TextureImage.h"

#include <osg/BlendFunc>
#include <osg/Vec4>
#include <osg/Vec4ub>

#include <optional>

// The speed-ups an overlay effect can take, and the order they go in: the
// crop and the bake read the quad as it is, the left-out cells follow the
// bake's texture coordinates. A part asks for the ones it wants; each is
// applied when its condition holds.
struct OverlaySpeedUps {
    // A solid black or white image: no texture lookup.
    bool solidColour = false;
    // An image no larger than the screen: no mipmaps.
    bool noMipmaps = false;
    // A still image whose zero texels keep the frame: the quad shrunk to the
    // other texels.
    bool crop = false;
    // A still image: filtered once into a screen-sized texture.
    bool bake = false;
    // A still image's cells of this texel alone, where it keeps the frame
    // under the quad's blending: left out.
    std::optional<osg::Vec4ub> leaveOutCells;
    // An image drawn from its own texels without mipmaps, with rows that
    // keep the frame at full opacity: those rows left out, on the frames
    // whose coordinates down the image follow the window row alone.
    bool leaveOutKeptRows = false;
};

// Applies the wanted speed-ups to one overlay, in the order above, under
// the name `overlay` in the list's notes. A still-only speed-up also holds
// the effect still from then on.
void speedUpOverlay(SpeedUpList& list, const std::string& overlay, Demo::Image::CTextureImage& image,
                    Demo::Image::CImageFX& animation, const OverlaySpeedUps& wanted);

// Whether drawing `texel` (0 to 1 a channel), modulated by a white quad of
// any opacity, with `blend`, leaves every colour of the frame as it was.
bool keepsTheFrame(const osg::BlendFunc& blend, const osg::Vec4& texel);
// The same at one opacity of the quad (0 to 1).
bool keepsTheFrameAt(const osg::BlendFunc& blend, const osg::Vec4& texel, float opacity);
