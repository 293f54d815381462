#include "scenes/ModelFile.h"

#include <osgDB/ReadFile>
#include <osgDB/Registry>

#include <iostream>

osg::ref_ptr<osg::Node> readSceneModel(const std::string& path)
{
    osg::ref_ptr<osg::Node> model = osgDB::readRefNodeFile(path, osgDB::Registry::instance()->getOptions());
    if (!model)
        std::cout << "Could not read model: " << path << std::endl;
    return model;
}
