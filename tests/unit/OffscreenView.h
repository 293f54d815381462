#pragma once

#include "platform/offscreen/PbufferContext.h"

#include <osg/FrameStamp>
#include <osgUtil/SceneView>

#include <vector>

// Draws scenes off screen into an 800 x 600 buffer, or one of the size
// given, and reads them back.
// Each test program's context gets its own number: the scene graph keeps
// its GL objects per number.
struct OffscreenView {
    offscreen::PbufferContext context;
    osg::ref_ptr<osgUtil::SceneView> view = new osgUtil::SceneView;
    const unsigned contextID;
    const int width, height;

    explicit OffscreenView(unsigned id, int width = 800, int height = 600)
        : contextID(id), width(width), height(height)
    {
    }

    bool open()
    {
        if (!context.open(width, height))
            return false;
        view->setDefaults();
        view->getState()->setContextID(contextID);
        view->setViewport(0, 0, width, height);
        view->setFrameStamp(new osg::FrameStamp);
        view->setClearColor(osg::Vec4(0.4f, 0.2f, 0.1f, 1.0f));
        return true;
    }

    std::vector<unsigned char> draw(osg::Node* scene)
    {
        view->setSceneData(scene);
        view->cull();
        view->draw();
        std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
        context.readPixels(rgb.data());
        return rgb;
    }
};
