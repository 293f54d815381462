#pragma once

#include <osg/Geode>
#include <osg/ref_ptr>

namespace contentgen::model {

// The opening sculpture's parts, all centred on the origin with z up. Each
// part carries its own material, whose diffuse colour the toon shading uses.

// A trefoil knot with a flattened cross-section twisting along it.
osg::ref_ptr<osg::Geode> twistedKnot();
// A ball of alternately coloured segments, like a beach ball.
osg::ref_ptr<osg::Geode> segmentedCore();
// A thin rod along z through the core, ending in a pointed drop each way.
osg::ref_ptr<osg::Geode> spindle();

} // namespace contentgen::model
