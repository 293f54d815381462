#pragma once

#include "app/ContentReader.h"

#include <osg/Group>
#include <osg/ref_ptr>

// The dancing character from "skeleton/skeleton.cfg", cartoon shaded, in a
// group of its own; null (after a one-line message) when it cannot be built.
osg::ref_ptr<osg::Group> createCharacter();

// The show's middle section on g_timeline: the turning cartoon model over
// its background picture (58 to 70 s) and its camera, the dancing character
// (87 to 100 s) and its camera, and the feedback scope (58 to 116 s).
void buildCharacterScene();
// The pictures and models buildCharacterScene reads, in its order.
ContentList characterSceneContent();
