#include "app/GLWarmUp.h"

#include "app/Timeline.h"
#include "effects/CFX.h"

#include <osgUtil/GLObjectsVisitor>
#include <osgUtil/SceneView>

#include <algorithm>
#include <utility>

GLWarmUp::GLWarmUp(const Timeline& timeline, double after)
{
    std::vector<std::pair<double, Part>> opening;
    for (const Timeline::NodeWindow& w : timeline.nodeWindows())
        opening.push_back({w.start, {w.node, nullptr}});
    for (const Timeline::EffectWindow& w : timeline.effectWindows())
        opening.push_back({w.start, {w.node, w.effect}});
    std::stable_sort(opening.begin(), opening.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto known = [&](const osg::Node* node) {
        return std::any_of(parts.begin(), parts.end(), [&](const Part& p) { return p.node == node; });
    };
    for (const auto& [start, part] : opening)
        if (start > after && part.node && !known(part.node.get()))
            parts.push_back(part);
}

void GLWarmUp::prepareNext(osgUtil::SceneView& shown)
{
    if (done())
        return;
    osg::Node& part = *parts[next].node;
    if (!compiled) {
        if (parts[next].effect)
            parts[next].effect->prepare();
        compile(part, *shown.getState());
        compiled = true;
        return;
    }
    auto* rehearsal = dynamic_cast<WarmUpRehearsal*>(part.getUserData());
    if (!rehearsal) {
        draw(part, shown);
    } else if (rehearsal->begin()) {
        draw(part, shown);
        rehearsal->end();
    }
    compiled = false;
    ++next;
}

void GLWarmUp::prepareAll(osgUtil::SceneView& shown)
{
    while (!done())
        prepareNext(shown);
}

void GLWarmUp::compile(osg::Node& part, osg::State& state)
{
    osgUtil::GLObjectsVisitor compiler(osgUtil::GLObjectsVisitor::COMPILE_STATE_ATTRIBUTES);
    compiler.setState(&state);
    part.accept(compiler);
    // The compiler binds textures behind the state's back: the next frame
    // applies every attribute afresh.
    state.dirtyAllAttributes();
}

void GLWarmUp::draw(osg::Node& part, osgUtil::SceneView& shown)
{
    if (!drawer) {
        // The shown view's lights and global state, so the rasteriser sees
        // the states the part's own frames will ask for; nothing culled,
        // since the opening's camera looks elsewhere; no clear: the frame
        // that follows clears what this leaves.
        drawer = new osgUtil::SceneView;
        drawer->setDefaults();
        drawer->setState(shown.getState());
        drawer->setGlobalStateSet(shown.getGlobalStateSet());
        drawer->setLightingMode(shown.getLightingMode());
        drawer->setLight(shown.getLight());
        drawer->setCullingMode(osg::CullSettings::NO_CULLING);
        drawer->setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
        drawer->getCamera()->setClearMask(0);
    }
    drawer->setFrameStamp(const_cast<osg::FrameStamp*>(shown.getFrameStamp()));
    drawer->setViewport(shown.getViewport());
    drawer->setProjectionMatrix(shown.getProjectionMatrix());
    drawer->setViewMatrix(shown.getViewMatrix());
    drawer->setSceneData(&part);
    drawer->cull();
    drawer->draw();
    drawer->setSceneData(nullptr);
    // The part drew through the shown view's own state, which knows what it
    // enabled; its modes are left alone. Marking them dirty turns over the
    // state's record of each, and the next part to enable one (a bake's
    // texture) is then taken as having it on already.
    shown.getState()->dirtyAllAttributes();
}
