#pragma once

#include "app/panel/PanelLayout.h"
#include "app/panel/TimeAxis.h"

#include <osg/Geode>
#include <osg/Geometry>
#include <osg/Group>
#include <osg/Vec4>
#include <osg/ref_ptr>
#include <osgText/Text>

#include <string>

class Loudness;

// Flat-coloured rectangles in one geometry, filled again whenever what they
// show changes.
class QuadBatch
{
public:
    QuadBatch();
    void clear();
    void add(const PanelRect& rect, const osg::Vec4& colour);
    // Done adding: the geometry draws what was added.
    void finish();
    osg::ref_ptr<osg::Geode> node() const { return geode; }

private:
    osg::ref_ptr<osg::Geode> geode;
    osg::ref_ptr<osg::Geometry> geometry;
    osg::ref_ptr<osg::Vec3Array> vertices;
    osg::ref_ptr<osg::Vec4Array> colours;
    osg::ref_ptr<osg::DrawArrays> quads;
};

// A line of text at (x, y), its baseline's left end, in the panel's font.
osg::ref_ptr<osgText::Text> panelText(const std::string& text, float x, float y, float size, const osg::Vec4& colour);

// What changes only with the zoom, the scroll or the timeline's lists: the
// lanes and their bars with labels, the axis with bar numbers and beat
// ticks, and the loudness strip (a note instead while it is being read).
osg::ref_ptr<osg::Group> drawStaticLanes(const PanelLayout& layout, const TimeAxis& axis, const Loudness& loudness);

// The colour a lane's bars are drawn in.
osg::Vec4 laneColour(int lane);
