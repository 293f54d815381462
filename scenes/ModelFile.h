#pragma once

#include <osg/Node>
#include <osg/ref_ptr>

#include <string>

// A scene model read with the registry's default options. A model that is
// missing or unreadable is named in one line on standard output and gives
// null: the show then runs that part without it.
osg::ref_ptr<osg::Node> readSceneModel(const std::string& path);
