#include "app/GLWarmUp.h"

#include "app/Timeline.h"

#include <osgUtil/GLObjectsVisitor>

#include <algorithm>
#include <utility>

GLWarmUp::GLWarmUp(const Timeline& timeline, double after)
{
    std::vector<std::pair<double, osg::Node*>> opening;
    for (const Timeline::NodeWindow& w : timeline.nodeWindows())
        opening.emplace_back(w.start, w.node);
    for (const Timeline::EffectWindow& w : timeline.effectWindows())
        opening.emplace_back(w.start, w.node);
    std::stable_sort(opening.begin(), opening.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [start, node] : opening)
        if (start > after && node && std::find(parts.begin(), parts.end(), node) == parts.end())
            parts.emplace_back(node);
}

void GLWarmUp::compileNext(osg::State& state)
{
    if (done())
        return;
    osgUtil::GLObjectsVisitor compiler(osgUtil::GLObjectsVisitor::COMPILE_STATE_ATTRIBUTES);
    compiler.setState(&state);
    parts[next++]->accept(compiler);
    // The compiler binds textures behind the state's back: the next frame
    // applies every attribute afresh.
    state.dirtyAllAttributes();
}
