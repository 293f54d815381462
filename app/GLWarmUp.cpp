#include "app/GLWarmUp.h"

#include "app/Timeline.h"
#include "effects/CFX.h"

#include <osg/Geode>
#include <osg/NodeVisitor>
#include <osgUtil/SceneView>

#include <algorithm>
#include <chrono>
#include <set>
#include <utility>

namespace {

// Work a frame of the opening takes on beside its own millisecond.
constexpr double kSliceMilliseconds = 4.0;

// The part's state sets and drawables, each once, in the order a traversal
// meets them.
class PartContents : public osg::NodeVisitor
{
public:
    PartContents() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}

    void apply(osg::Node& node) override
    {
        addState(node.getStateSet());
        traverse(node);
    }
    void apply(osg::Drawable& drawable) override
    {
        addState(drawable.getStateSet());
        if (seenDrawables.insert(&drawable).second)
            drawables.emplace_back(&drawable);
    }

    std::vector<osg::ref_ptr<osg::StateSet>> states;
    std::vector<osg::ref_ptr<osg::Drawable>> drawables;

private:
    void addState(osg::StateSet* state)
    {
        if (state && seenStates.insert(state).second)
            states.emplace_back(state);
    }
    std::set<const osg::StateSet*> seenStates;
    std::set<const osg::Drawable*> seenDrawables;
};

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

GLWarmUp::GLWarmUp(const Timeline& timeline, double after)
{
    std::vector<std::pair<double, Part>> opening;
    for (const Timeline::NodeWindow& w : timeline.nodeWindows())
        opening.push_back({w.start, {w.node, nullptr}});
    for (const Timeline::EffectWindow& w : timeline.effectWindows())
        opening.push_back({w.start, {w.node, w.effect}});
    // The scripts' flashes and fades too (the first black fade's blending
    // was built in its first frame, 40 ms with Mesa's shader cache empty);
    // a reload of their script destroys their effects, so only the nodes
    // are kept.
    for (const auto* windows : {&timeline.flashWindows(), &timeline.blackWindows()})
        for (const Timeline::EffectWindow& w : *windows)
            opening.push_back({w.start, {w.node, nullptr}});
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
    const auto began = std::chrono::steady_clock::now();
    while (!done()) {
        if (prepareSome(shown))
            break;
        if (millisecondsSince(began) >= kSliceMilliseconds || stage == Stage::Draw)
            break;
    }
}

void GLWarmUp::prepareAll(osgUtil::SceneView& shown)
{
    while (!done())
        prepareSome(shown);
}

bool GLWarmUp::prepareSome(osgUtil::SceneView& shown)
{
    const Part& part = parts[next];
    osg::State& state = *shown.getState();
    switch (stage) {
    case Stage::Start:
        start(part);
        nextStage();
        return false;
    case Stage::States:
        if (item < states.size()) {
            states[item++]->compileGLObjects(state);
            // The compile binds textures and programs behind the state's
            // back: the next frame applies every attribute afresh.
            state.dirtyAllAttributes();
        } else {
            nextStage();
        }
        return false;
    case Stage::Drawables:
        if (item < drawables.size()) {
            osg::RenderInfo info(&state, nullptr);
            drawables[item++]->compileGLObjects(info);
        } else {
            nextStage();
        }
        return false;
    case Stage::Draw:
    case Stage::DrawAgain: {
        auto* rehearsal = dynamic_cast<WarmUpRehearsal*>(part.node->getUserData());
        if (!rehearsal) {
            draw(part, shown);
        } else if (rehearsal->begin()) {
            draw(part, shown);
            rehearsal->end();
        }
        nextStage();
        return true;
    }
    }
    return false;
}

void GLWarmUp::start(const Part& part)
{
    if (part.effect)
        part.effect->prepare();
    PartContents contents;
    part.node->accept(contents);
    states = std::move(contents.states);
    drawables = std::move(contents.drawables);
}

void GLWarmUp::nextStage()
{
    item = 0;
    switch (stage) {
    case Stage::Start: stage = Stage::States; break;
    case Stage::States: stage = Stage::Drawables; break;
    case Stage::Drawables: stage = Stage::Draw; break;
    case Stage::Draw: stage = Stage::DrawAgain; break;
    case Stage::DrawAgain:
        stage = Stage::Start;
        states.clear();
        drawables.clear();
        ++next;
        break;
    }
}

void GLWarmUp::draw(const Part& part, osgUtil::SceneView& shown)
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
    drawer->setSceneData(part.node.get());
    drawer->cull();
    drawer->draw();
    drawer->setSceneData(nullptr);
    // The part drew through the shown view's own state, which knows what it
    // enabled; its modes are left alone. Marking them dirty turns over the
    // state's record of each, and the next part to enable one (a bake's
    // texture) is then taken as having it on already.
    shown.getState()->dirtyAllAttributes();
}
