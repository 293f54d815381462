#include "effects/ImageFX.h"

#include <cmath>
#include <iostream>

namespace Demo {
namespace Image {

void applySweepT(osg::Vec2Array& coords, double step, double e)
{
    for (std::size_t i = 0; i < coords.size(); ++i)
        coords[i].y() = static_cast<float>(static_cast<double>(i) * step + e);
}

void applySweepS(osg::Vec2Array& coords, double step, double e)
{
    for (std::size_t i = 0; i < coords.size(); ++i)
        coords[i].x() = static_cast<float>(static_cast<double>(i) * step + e);
}

void applyScrollT(osg::Vec2Array& coords, double step, double d)
{
    for (osg::Vec2& c : coords)
        c.y() = static_cast<float>(static_cast<double>(c.y()) + (step + 1.0) * d);
}

bool applyUnfoldS(osg::Vec2Array& coords, double e)
{
    if (!(e <= 1.0) || coords.size() < 4) // past the full width (or NaN): hold
        return false;
    const double h = 0.5 * std::sin(e * 1.5707963267948966);
    coords[0].x() = coords[3].x() = static_cast<float>(0.5 - h);
    coords[1].x() = coords[2].x() = static_cast<float>(0.5 + h);
    return true;
}

CImageFX::CImageFX(osg::Geometry* geometry) : target(geometry) {}

void CImageFX::setMode(int m)
{
    if (heldStill && m != None) {
        std::cout << "Image effect kept still: its speed-ups need texture coordinates that do not move"
                  << std::endl;
        return;
    }
    mode = m;
}

osg::Vec2Array* CImageFX::coordinates()
{
    return dynamic_cast<osg::Vec2Array*>(target->getTexCoordArray(0));
}

void CImageFX::update()
{
    osg::Vec2Array* coords = coordinates();
    if (!coords)
        return;
    switch (mode) {
    case SweepT:
        applySweepT(*coords, step, time() * animSpeed);
        break;
    case SweepS:
        applySweepS(*coords, step, time() * animSpeed);
        break;
    case ScrollT:
        applyScrollT(*coords, step, delta() * animSpeed);
        break;
    case UnfoldS:
        applyUnfoldS(*coords, time() * animSpeed);
        break;
    default:
        break;
    }
}

} // namespace Image
} // namespace Demo
