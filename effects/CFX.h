#pragma once

#include "app/TimeSyncer.h"

#include <osg/Group>
#include <osg/ref_ptr>

namespace Demo {

// A timed screen effect: it owns a small subgraph in the overlay layer and
// its own clock, which the timeline restarts each time the effect's window
// opens.
class CFX : public TimeSyncer
{
public:
    virtual ~CFX() = default;

    // Advances the effect by one frame; called only inside its window.
    virtual void update() = 0;

    // Does ahead, before the window opens, the work on the processor that
    // the effect's first frame would otherwise do.
    virtual void prepare() {}

    // The effect's root node; each call hands out a new reference.
    virtual osg::ref_ptr<osg::Group> getNode() = 0;
};

} // namespace Demo
