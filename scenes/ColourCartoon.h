#pragma once

#include <osgFX/Cartoon>

// The cartoon effect with the model's own colours. The stock techniques of
// osgFX::Cartoon either lose the material colour (its shader draws the grey
// ramp alone) or, on Mesa's software renderer, leave every surface in the
// darkest band; this one does both passes in GLSL: banded diffuse lighting
// times the material colour, then the back faces as outlines.
class ColourCartoon : public osgFX::Cartoon
{
public:
    ColourCartoon();

protected:
    bool define_techniques() override;
};
