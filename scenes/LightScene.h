#pragma once

#include "app/ContentReader.h"
#include "app/SpeedUps.h"

#include <osg/Geode>
#include <osg/Group>
#include <osg/MatrixTransform>
#include <osg/Shape>
#include <osg/StateSet>
#include <osg/ref_ptr>

#include <string>

namespace Demo { namespace Text { class CHUD; } }

// The segment from 70 to 87 s: a tiled floor on which the physics boxes
// fall, lit by a circling light that casts their shadows through a depth
// map, under a turning torus overlay and the scrolling program source.
// Registers the segment, its camera and the box rain's windows.
void buildLightScene();
// The models buildLightScene reads, in its order.
ContentList lightSceneContent();

// Fills root with the lit floor and boxes, the light and the depth pass.
void buildShadowScene(SpeedUpList& speedUps, osg::ref_ptr<osg::Group> root);

// The physics boxes, each drawn as a cartoon: the only things that cast
// shadows.
osg::ref_ptr<osg::Group> buildFallingBoxes(SpeedUpList& speedUps);
// The tiled floor with the boxes on it, lit and drawn with the boxes'
// material.
osg::ref_ptr<osg::Group> buildFloorAndBoxes(SpeedUpList& speedUps, osg::Group* boxes);
void addFloorTiles(osg::TessellationHints* hints, osg::Geode* geode);
void addFloorTile(osg::TessellationHints* hints, osg::Geode* geode, float x, float z);

// The light's transform with the light and its marker; light 0 is switched
// on in the given state set.
osg::ref_ptr<osg::MatrixTransform> createLight(osg::StateSet* stateSet);

// The source scroller's file, place, pace, size and blending as the light
// scene shows it.
void setUpSourceScroller(Demo::Text::CHUD& hud, const std::string& path);
