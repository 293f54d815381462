#pragma once

#include "app/ContentReader.h"

#include <osg/Node>

// The room after the title: a model with cube-map highlights, seen through
// sweeping tunnel bands and, later, an angular overlay picture. Registers
// its parts on g_timeline with g_sceneSwitch as their parent.
void buildEnvironmentRoom();
ContentList environmentRoomContent();

// Adds a fixed specular highlight to every surface below the node: a
// generated cube map on unit 0, indexed by the eye-space reflection vector
// and added to the lit colour. It overrides any texture the model carries.
void createSpecularHighlights(osg::Node* node);
