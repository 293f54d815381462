#include "platform/osgSDL/Viewport.h"

#include <cmath>

namespace osgSDL {

Viewport::Viewport(osg::Node* scene) : m_sceneView(new osgUtil::SceneView)
{
    m_sceneView->setDefaults();
    m_sceneView->getState()->setContextID(0);
    m_sceneView->setSceneData(scene);
}

double Viewport::fieldOfViewY()
{
    return osg::RadiansToDegrees(2.0 * std::atan(0.75));
}

void Viewport::setWindowSize(int width, int height)
{
    m_sceneView->setViewport(0, 0, width, height);
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    m_sceneView->setProjectionMatrixAsPerspective(fieldOfViewY(), aspect, kNear, kFar);
}

void Viewport::render(osg::FrameStamp* frameStamp)
{
    update(frameStamp);
    m_sceneView->cull();
    m_sceneView->draw();
}

void Viewport::update(osg::FrameStamp* frameStamp)
{
    m_sceneView->setFrameStamp(frameStamp);
    m_sceneView->update();
}

} // namespace osgSDL
