#pragma once

#include "effects/CFX.h"

#include <osg/Geometry>
#include <osg/ref_ptr>

namespace Demo {
namespace Image {

// Animates the texture coordinates of a quad with the effect's own clock.
class CImageFX : public CFX
{
public:
    enum Mode { None = 0, SweepT = 1, SweepS = 2, ScrollT = 3, UnfoldS = 4 };

    explicit CImageFX(osg::Geometry* target);

    // A mode that moves the texture coordinates is refused, with a line on
    // the console, once holdStill has been called.
    void setMode(int m);
    void setAnimSpeed(double speed) { animSpeed = speed; }
    void update() override;

    // Whether the texture coordinates stay as they are: no mode moves them.
    bool isStill() const { return mode == None; }
    // Keeps the coordinates still from now on, for the speed-ups that rest
    // on that: a crop, a left-out middle, a baked picture.
    void holdStill() { heldStill = true; }

protected:
    int mode = None;
    bool heldStill = false;
    double step = 0.0;
    double animSpeed = 1.0;
    osg::ref_ptr<osg::Geometry> target;

private:
    osg::Vec2Array* coordinates();
};

// The texture-coordinate rules, kept apart from the clock so they can be
// checked at exact effect times. e is the effect time times the speed; d the
// frame's time step times the speed.
void applySweepT(osg::Vec2Array& coords, double step, double e);
void applySweepS(osg::Vec2Array& coords, double step, double e);
void applyScrollT(osg::Vec2Array& coords, double step, double d);
// Holds the last coordinates once e is past 1 (fully open); returns whether
// it changed them.
bool applyUnfoldS(osg::Vec2Array& coords, double e);

} // namespace Image
} // namespace Demo
