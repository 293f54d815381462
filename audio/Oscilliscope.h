#pragma once

#include <osg/Drawable>

// The scopes as scene-graph drawables. They hold no data: the music object
// (g_music) draws the waveform, g_feedbackTexture keeps the echo. Their bound
// is a fixed large box, as they draw in whatever projection is current.

// Middle-section scope, first pass (render bin -100, before everything
// else): draws the echo and the new waveform into the feedback texture and
// leaves the frame cleared.
class Oscilliscope : public osg::Drawable
{
public:
    Oscilliscope() = default;
    Oscilliscope(const Oscilliscope& other, const osg::CopyOp& copyOp = osg::CopyOp::SHALLOW_COPY)
        : osg::Drawable(other, copyOp)
    {
    }
    META_Object(myOscilliscopeApp, Oscilliscope)

    void drawImplementation(osg::RenderInfo& renderInfo) const override;
    osg::BoundingBox computeBoundingBox() const override;
};

// Middle-section scope, second pass (render bin 100): lays the feedback
// texture over the picture.
class OscilliscopeDraw : public osg::Drawable
{
public:
    OscilliscopeDraw() = default;
    OscilliscopeDraw(const OscilliscopeDraw& other,
                     const osg::CopyOp& copyOp = osg::CopyOp::SHALLOW_COPY)
        : osg::Drawable(other, copyOp)
    {
    }
    META_Object(myOscilliscopeApp, OscilliscopeDraw)

    void drawImplementation(osg::RenderInfo& renderInfo) const override;
    osg::BoundingBox computeBoundingBox() const override;
};

// The opening scene's scope.
class OscilliscopeStartScene : public osg::Drawable
{
public:
    OscilliscopeStartScene() = default;
    OscilliscopeStartScene(const OscilliscopeStartScene& other,
                           const osg::CopyOp& copyOp = osg::CopyOp::SHALLOW_COPY)
        : osg::Drawable(other, copyOp)
    {
    }
    META_Object(myOscilliscopeApp, OscilliscopeStartScene)

    void drawImplementation(osg::RenderInfo& renderInfo) const override;
    osg::BoundingBox computeBoundingBox() const override;
};
