#pragma once

#include "app/SpeedUps.h"

#include <osg/Group>
#include <osg/ref_ptr>

// The middle-section scope: the capture pass and the overlay pass, each in
// a geode of its own. Creates g_feedbackTexture, so it needs the GL context.
osg::ref_ptr<osg::Group> buildScopeScene();

// The opening scene's scope, into `group`.
void buildStartScope(osg::ref_ptr<osg::Group>& group);

// Once the scope's echo has grown white everywhere it echoes to white
// whatever the scope adds: from then on it is neither drawn into nor read.
// Needs the scope scene built.
void speedUpScopeEcho(SpeedUpList& speedUps);
