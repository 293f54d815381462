#pragma once

#include "app/SpeedUps.h"

#include <osgFX/Cartoon>

#include <string>

// The cartoon effect with the model's own colours. The stock techniques of
// osgFX::Cartoon either lose the material colour (its shader draws the grey
// ramp alone) or, on Mesa's software renderer, leave every surface in the
// darkest band; this one does both passes in GLSL: banded diffuse lighting
// times the material colour, then the back faces as outlines.
class ColourCartoon : public osgFX::Cartoon
{
public:
    ColourCartoon();

    // Outlines from the edges where faces turned away meet faces turned
    // towards (scenes/OutlineEdges.h) instead of every back face's lines.
    void drawOutlinesAsEdges() { outlinesAsEdges = true; }
    bool drawsOutlinesAsEdges() const { return outlinesAsEdges; }

protected:
    bool define_techniques() override;

private:
    bool outlinesAsEdges = false;
};

// Draws the cartoon's outline as edges when all of it can be; `name` names
// the part in the list's notes.
void speedUpOutline(SpeedUpList& speedUps, const std::string& name, ColourCartoon& cartoon);
