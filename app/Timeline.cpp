#include "app/Timeline.h"

#include "app/Globals.h"
#include "camera/PathCamera.h"
#include "effects/CFX.h"
#include "scenes/Physics.h"

Timeline::Timeline() : m_homeCamera(g_camera) {}

Timeline::~Timeline()
{
    clearCameras();
    clearFlashes(m_flashes);
    clearFlashes(m_blacks);
}

void Timeline::addNode(double start, double end, osg::Group* parent, osg::Node* node)
{
    m_nodes.push_back({parent, node, start, end, false});
}

void Timeline::addEffect(double start, double end, osg::Switch* sw, Demo::CFX* effect)
{
    osg::Node* node = effect->getNode().get(); // the effect keeps its own reference
    sw->addChild(node, false);
    m_effects.push_back({sw, effect, node, start, end, false});
}

void Timeline::addCamera(double start, double end, PathCamera* camera)
{
    m_cameras.push_back({camera, nullptr, start, end, false});
}

void Timeline::addPhysics(double start, double end, int kind)
{
    m_physics.push_back({start, end, kind, false});
}

void Timeline::update(double t)
{
    for (NodeWindow& w : m_nodes)
        updateNode(w, t);
    for (EffectWindow& w : m_effects)
        updateEffect(w, t);
    for (EffectWindow& w : m_flashes)
        updateEffect(w, t);
    for (EffectWindow& w : m_blacks)
        updateEffect(w, t);
    for (CameraWindow& w : m_cameras)
        updateCamera(w, t);
    for (PhysicsWindow& w : m_physics)
        updatePhysics(w, t);
}

void Timeline::updateNode(NodeWindow& w, double t)
{
    if (isInside(w.start, w.end, t) && !w.attached) {
        w.parent->addChild(w.node);
        w.attached = true;
    } else if (isPast(w.end, t) && w.attached) {
        w.parent->removeChild(w.node);
        w.attached = false;
    }
}

void Timeline::updateEffect(EffectWindow& w, double t)
{
    const bool inside = isInside(w.start, w.end, t);
    if (inside && !w.shown) {
        w.effect->reset();
        w.sw->setChildValue(w.node, true);
        w.shown = true;
    } else if (isPast(w.end, t) && w.shown) {
        w.sw->setChildValue(w.node, false);
        w.shown = false;
    }
    if (inside)
        w.effect->update();
}

void Timeline::updateCamera(CameraWindow& w, double t)
{
    const bool inside = isInside(w.start, w.end, t);
    if (inside && !w.active) {
        w.previous = g_camera;
        makeCurrent(w.camera);
        w.active = true;
    }
    if (inside && w.active)
        w.camera->setPathFraction(static_cast<float>((t - w.start) / (w.end - w.start)));
    if (isPast(w.end, t) && w.active) {
        makeCurrent(w.previous);
        w.active = false;
    }
}

void Timeline::makeCurrent(PathCamera* camera)
{
    if (g_camera && camera && g_camera != camera)
        g_camera->handRecordingsTo(*camera);
    g_camera = camera;
}

void Timeline::updatePhysics(PhysicsWindow& w, double t)
{
    const bool inside = isInside(w.start, w.end, t);
    if (inside && !w.active)
        w.active = true;
    if (inside && w.active) {
        // A frame that took no time (the show is paused) moves nothing; the
        // physics library refuses a step of zero.
        if (w.kind == StepPhysics && g_frameDelta > 0.0)
            stepPhysics();
        else if (w.kind == RestartBoxRain)
            restartBoxRain();
    }
    if (isPast(w.end, t) && w.active)
        w.active = false;
}
