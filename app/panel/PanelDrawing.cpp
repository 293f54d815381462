#include "app/panel/PanelDrawing.h"

#include "app/BeatGrid.h"
#include "app/panel/Loudness.h"

#include <algorithm>
#include <cmath>

QuadBatch::QuadBatch()
    : geode(new osg::Geode), geometry(new osg::Geometry), vertices(new osg::Vec3Array),
      colours(new osg::Vec4Array), quads(new osg::DrawArrays(GL_QUADS, 0, 0))
{
    geometry->setVertexArray(vertices.get());
    geometry->setColorArray(colours.get(), osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(quads.get());
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(false);
    geometry->setDataVariance(osg::Object::DYNAMIC);
    geode->addDrawable(geometry.get());
}

void QuadBatch::clear()
{
    vertices->clear();
    colours->clear();
}

void QuadBatch::add(const PanelRect& r, const osg::Vec4& colour)
{
    for (const osg::Vec3& corner : {osg::Vec3(r.x0, r.y0, 0), osg::Vec3(r.x1, r.y0, 0), osg::Vec3(r.x1, r.y1, 0),
                                    osg::Vec3(r.x0, r.y1, 0)}) {
        vertices->push_back(corner);
        colours->push_back(colour);
    }
}

void QuadBatch::finish()
{
    quads->setCount(static_cast<GLsizei>(vertices->size()));
    vertices->dirty();
    colours->dirty();
    geometry->dirtyBound();
}

osg::ref_ptr<osgText::Text> panelText(const std::string& text, float x, float y, float size, const osg::Vec4& colour)
{
    osg::ref_ptr<osgText::Text> label = new osgText::Text;
    label->setFont("fonts/arial.ttf");
    label->setCharacterSize(size);
    label->setPosition(osg::Vec3(x, y, 0.0f));
    label->setColor(colour);
    label->setDataVariance(osg::Object::DYNAMIC);
    label->setText(text, osgText::String::ENCODING_UTF8);
    return label;
}

osg::Vec4 laneColour(int lane)
{
    static const osg::Vec4 colours[kLaneCount] = {
        {0.35f, 0.55f, 0.85f, 0.85f}, {0.45f, 0.75f, 0.55f, 0.85f}, {0.95f, 0.95f, 0.95f, 0.9f},
        {0.55f, 0.45f, 0.65f, 0.9f},  {0.85f, 0.65f, 0.30f, 0.85f}, {0.80f, 0.40f, 0.40f, 0.85f},
    };
    return colours[lane];
}

namespace {

const osg::Vec4 kLabel(1.0f, 1.0f, 1.0f, 0.9f);
const osg::Vec4 kDarkLabel(0.05f, 0.05f, 0.05f, 1.0f);
const float kLabelSize = 10.0f;
// About how wide a character of the label font is, to cut labels to fit.
const float kCharWidth = 5.5f;

std::string fitted(const std::string& text, float width)
{
    const int fits = static_cast<int>(width / kCharWidth);
    if (fits <= 0)
        return "";
    if (static_cast<int>(text.size()) <= fits)
        return text;
    // The end of a path says most: "...kantig-overlay-igen.png".
    return fits <= 3 ? text.substr(text.size() - fits) : ".." + text.substr(text.size() - (fits - 2));
}

void drawLanes(QuadBatch& quads, osg::Geode& labels, const PanelLayout& layout, const TimeAxis& axis)
{
    for (int lane = 0; lane < kLaneCount; ++lane) {
        quads.add(PanelLayout::lane(lane), lane % 2 ? osg::Vec4(1, 1, 1, 0.05f) : osg::Vec4(1, 1, 1, 0.10f));
    }
    for (const PanelBar& bar : layout.bars()) {
        const PanelRect r = layout.barRect(bar, axis);
        if (r.x1 < 0.0f || r.x0 > PanelLayout::kWidth)
            continue;
        quads.add(r, laneColour(bar.lane));
        const float x0 = std::max(r.x0, 0.0f) + 2.0f, x1 = std::min(r.x1, PanelLayout::kWidth);
        const std::string text = fitted(bar.label, x1 - x0 - 2.0f);
        if (!text.empty() && r.y1 - r.y0 >= kLabelSize - 1.0f)
            labels.addDrawable(panelText(text, x0, r.y0 + 2.0f, kLabelSize,
                                         bar.lane == FlashLane ? kDarkLabel : kLabel));
    }
    for (int lane = 0; lane < kLaneCount; ++lane) {
        const PanelRect l = PanelLayout::lane(lane);
        labels.addDrawable(panelText(PanelLayout::laneName(lane), PanelLayout::kWidth - 48.0f, l.y1 - 10.0f, 9.0f,
                                     osg::Vec4(1, 1, 0.6f, 0.8f)));
    }
}

// Bar numbers as far apart as they fit, beat ticks where beats are at
// least four pixels apart.
void drawAxis(QuadBatch& quads, osg::Geode& labels, const TimeAxis& axis)
{
    const PanelRect area = PanelLayout::axis();
    quads.add(area, osg::Vec4(0, 0, 0, 0.35f));
    const double beat = beatSeconds();
    const double pixelsPerBeat = beat / axis.secondsPerPixel();
    int barsPerLabel = 1;
    while (barsPerLabel * kBeatsPerBar * pixelsPerBeat < 26.0)
        barsPerLabel *= 2;
    const long first = static_cast<long>(std::floor(axis.from() / beat));
    const long last = static_cast<long>(std::ceil(axis.to() / beat));
    for (long b = std::max(0L, first); b <= last; ++b) {
        const float x = static_cast<float>(axis.xOf(b * beat));
        const bool barStart = b % kBeatsPerBar == 0;
        if (!barStart && pixelsPerBeat < 4.0)
            continue;
        const float height = barStart ? 8.0f : 4.0f;
        quads.add({x, area.y0, x + 1.0f, area.y0 + height}, osg::Vec4(1, 1, 1, barStart ? 0.8f : 0.45f));
        const long bar = b / kBeatsPerBar;
        if (barStart && bar % barsPerLabel == 0)
            labels.addDrawable(panelText(std::to_string(bar + 1), x + 2.0f, area.y0 + 8.0f, 10.0f, kLabel));
    }
}

void drawLoudness(QuadBatch& quads, osg::Geode& labels, const TimeAxis& axis, const Loudness& loudness)
{
    const PanelRect strip = PanelLayout::loudness();
    quads.add(strip, osg::Vec4(0, 0, 0, 0.3f));
    if (!loudness.isReady()) {
        labels.addDrawable(panelText("reading the soundtrack...", 6.0f, strip.y0 + 10.0f, 10.0f, kLabel));
        return;
    }
    for (int x = 0; x < static_cast<int>(PanelLayout::kWidth); ++x) {
        const float level = loudness.peakBetween(axis.timeAt(x), axis.timeAt(x + 1));
        if (level <= 0.0f)
            continue;
        const float height = level * (strip.y1 - strip.y0);
        quads.add({float(x), strip.y0, float(x + 1), strip.y0 + height}, osg::Vec4(0.4f, 0.9f, 1.0f, 0.7f));
    }
}

} // namespace

osg::ref_ptr<osg::Group> drawStaticLanes(const PanelLayout& layout, const TimeAxis& axis, const Loudness& loudness)
{
    QuadBatch quads;
    osg::ref_ptr<osg::Geode> labels = new osg::Geode;
    // The panel's own shade is baked in too: one layer to blend a frame.
    quads.add(PanelLayout::panel(), osg::Vec4(0.0f, 0.0f, 0.0f, 0.55f));
    drawAxis(quads, *labels, axis);
    drawLoudness(quads, *labels, axis, loudness);
    drawLanes(quads, *labels, layout, axis);
    quads.finish();
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->addChild(quads.node().get());
    group->addChild(labels.get());
    return group;
}
