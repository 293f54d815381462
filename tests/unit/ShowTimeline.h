#pragma once

#include "app/Globals.h"
#include "app/Timeline.h"
#include "effects/CFX.h"

#include <osg/Switch>

// The scene switch and timeline the builders register on, made for one test.
// The show keeps its effects for the whole run; a test gives them back.
struct ShowTimeline {
    ShowTimeline() { restart(); }
    ~ShowTimeline()
    {
        clear();
        g_sceneSwitch = nullptr;
        g_sceneParts.clear();
    }
    void restart()
    {
        clear();
        g_sceneSwitch = new osg::Switch;
        g_timeline = new Timeline;
    }
    void clear()
    {
        if (g_timeline)
            for (const auto& w : g_timeline->effectWindows())
                delete w.effect;
        delete g_timeline;
        g_timeline = nullptr;
    }
};
