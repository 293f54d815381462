#pragma once

#include <osg/Group>
#include <osg/ref_ptr>

// The middle-section scope: the capture pass and the overlay pass, each in
// a geode of its own. Creates g_feedbackTexture, so it needs the GL context.
osg::ref_ptr<osg::Group> buildScopeScene();

// The opening scene's scope, into `group`.
void buildStartScope(osg::ref_ptr<osg::Group>& group);
