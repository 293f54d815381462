#pragma once

#include <osg/Geode>
#include <osg/NodeCallback>
#include <osg/PositionAttitudeTransform>
#include <osg/Shape>
#include <osg/ShapeDrawable>
#include <osg/Vec3>

#include <ode/ode.h>

// The box rain: up to kMaxPhysicsBoxes cubes falling onto the plane y = 0
// under ODE, each mirrored by a scene-graph transform. The world and the box
// table are process-wide (app/Globals.h).

// Seeds rand() from the clock and creates the world, its space, the ground
// plane and the contact group.
void initPhysics();

// A new box at the position, with a random size and start orientation; its
// transform is for the caller to put into a scene. Past the table's limit:
// an empty transform and no box.
osg::PositionAttitudeTransform* addPhysicsBox(osg::Vec3 position);

// One world step of g_frameDelta seconds, with contacts for this step only.
void stepPhysics();

// Puts every box back at its start pose. The first call also halves gravity.
void restartBoxRain();

void nearCallback(void* data, dGeomID geom1, dGeomID geom2);

class PhysicsBox
{
public:
    PhysicsBox(float x, float y, float z, float size);

    // Puts the box at p with its start orientation. Velocities are kept, so
    // a box held during a restart window falls with the speed it gathered.
    void reset(osg::Vec3 p);

    osg::Geode* geode;
    osg::Box* shape;
    osg::ShapeDrawable* drawable;
    osg::PositionAttitudeTransform* transform;
    osg::Vec3 axis;
    float size;
    float angle;
    dGeomID geom;
    dBodyID body;
    dMass mass;
    osg::Vec3 startPosition;

private:
    void placeBody(const osg::Vec3& p);
};

// Copies its body's pose to the box transform it finds through the body's
// user data.
class MyCallback : public osg::NodeCallback
{
public:
    explicit MyCallback(dBodyID body) : body(body) {}
    void operator()(osg::Node* node, osg::NodeVisitor* nv) override;

private:
    dBodyID body;
};
