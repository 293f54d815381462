// The opening model: an abstract sculpture for toon shading, written in the
// scene graph's native text format.
#include "tools/contentgen/Output.h"
#include "tools/contentgen/Registry.h"
#include "tools/contentgen/model/RutorParts.h"

#include <osg/Group>
#include <osgDB/ReaderWriter>
#include <osgDB/Registry>

#include <sstream>
#include <stdexcept>

CONTENT_ASSET(model)
{
    using namespace contentgen::model;
    osg::ref_ptr<osg::Group> root = new osg::Group;
    root->setName("rutor");
    root->addChild(segmentedCore().get());
    root->addChild(twistedKnot().get());
    root->addChild(spindle().get());

    osgDB::ReaderWriter* writer = osgDB::Registry::instance()->getReaderWriterForExtension("osg");
    if (!writer)
        throw std::runtime_error("no .osg writer plug-in");
    std::ostringstream out;
    const osgDB::ReaderWriter::WriteResult result = writer->writeNode(*root, out);
    if (!result.success())
        throw std::runtime_error("cannot write rutor.osg: " + result.message());
    contentgen::writeTextIfChanged(showDir, "ddata/rutor.osg", out.str());
}
