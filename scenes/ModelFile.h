#pragma once

#include "app/SpeedUps.h"

#include <osg/Geometry>
#include <osg/Node>
#include <osg/ref_ptr>

#include <string>

// A scene model read with the registry's default options. A model that is
// missing or unreadable is named in one line on standard output and gives
// null: the show then runs that part without it.
osg::ref_ptr<osg::Node> readSceneModel(const std::string& path);

// True when the triangles close up into surfaces without holes, every edge
// (by vertex position) shared by exactly two triangles that run along it in
// opposite directions: then every triangle has a consistent outside.
bool isClosedSurface(const osg::Geometry& geometry);

// Turns on back-face culling for each closed geometry of the model. Seen
// from outside a closed surface (or from inside one that faces in, as a
// room's walls do), its back faces are always behind its front faces:
// culling them leaves the picture as it was and saves setting up and
// shading them. Open surfaces, whose backs can show, are left alone.
void cullHiddenBackFaces(osg::Node& model);
// Whether any geometry of the model is a closed surface.
bool hasClosedSurface(osg::Node& model);
// cullHiddenBackFaces as a speed-up of a part, named `name` in its notes.
void speedUpClosedSurfaces(SpeedUpList& speedUps, const std::string& name, osg::Node& model);
