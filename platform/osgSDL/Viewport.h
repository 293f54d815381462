#pragma once

#include <osg/FrameStamp>
#include <osg/Node>
#include <osg/ref_ptr>
#include <osgUtil/SceneView>

namespace osgSDL {

// One scene view drawing one scene into the whole window.
class Viewport
{
public:
    explicit Viewport(osg::Node* scene);

    osgUtil::SceneView* getSceneView() { return m_sceneView.get(); }

    // Sizes the view to the window; called by the viewer once it is open.
    void setWindowSize(int width, int height);
    void render(osg::FrameStamp* frameStamp);
    // The update traversal of a frame alone: what moves, moves, and
    // nothing is culled or drawn.
    void update(osg::FrameStamp* frameStamp);

    // The vertical field of view in degrees. Chosen so that x from -1 to 1 at
    // one unit in front of the eye spans exactly the width of a 4:3 window:
    // the oscilloscopes draw in those eye-space units.
    static double fieldOfViewY();
    static constexpr double kNear = 0.1;
    static constexpr double kFar = 2000.0;

private:
    osg::ref_ptr<osgUtil::SceneView> m_sceneView;
};

} // namespace osgSDL
