#include "scenes/Physics.h"

#include "app/Globals.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace {

const int kContactsPerPair = 4;

// The generator's draws are taken as 15-bit numbers whatever RAND_MAX is, so
// the boxes are spread the same way on every platform.
int draw15()
{
    return std::rand() & 0x7fff;
}

osg::Quat startAttitude(float angle, const osg::Vec3& axis)
{
    return osg::Quat(angle, axis);
}

dContact contactTemplate()
{
    dContact contact{};
    contact.surface.mode = dContactBounce | dContactSoftCFM;
    // The largest finite value: friction without limit, as ODE's own
    // "infinity" would give, but a plain number in every step.
    contact.surface.mu = std::numeric_limits<double>::max();
    contact.surface.mu2 = 0.0;
    contact.surface.bounce = 0.1;
    contact.surface.bounce_vel = 0.1;
    contact.surface.soft_cfm = 0.01;
    return contact;
}

} // namespace

void initPhysics()
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    dInitODE();
    g_world = dWorldCreate();
    g_space = dHashSpaceCreate(nullptr);
    g_contactGroup = dJointGroupCreate(0);
    dCreatePlane(g_space, 0.0, 1.0, 0.0, 0.0);
    dWorldSetGravity(g_world, 0.0, g_gravityY, 0.0);
    dWorldSetCFM(g_world, 1e-5);
}

osg::PositionAttitudeTransform* addPhysicsBox(osg::Vec3 position)
{
    if (g_boxCount >= kMaxPhysicsBoxes)
        return new osg::PositionAttitudeTransform;
    const float size = static_cast<float>(draw15() * 0.5 * (1.0 / 32768.0) + 0.5);
    const int index = g_boxCount;
    g_boxes[index] = new PhysicsBox(position.x(), position.y(), position.z(), size);
    return g_boxes[index]->transform;
}

PhysicsBox::PhysicsBox(float x, float y, float z, float edge)
    : axis(0.0f, 0.0f, 0.0f), size(edge), startPosition(x, y, z)
{
    dMassSetZero(&mass);
    shape = new osg::Box(osg::Vec3(0.0f, 0.0f, 0.0f), size);
    drawable = new osg::ShapeDrawable(shape);
    geode = new osg::Geode;
    geode->addDrawable(drawable);

    axis.z() = static_cast<float>(draw15() * (1.0 / 16384.0) - 1.0);
    axis.y() = static_cast<float>(draw15() * (1.0 / 16384.0) - 1.0);
    axis.x() = static_cast<float>(draw15() * (1.0 / 16384.0) - 1.0);
    angle = static_cast<float>(draw15() * (10.0 / 32768.0) - 5.0);

    transform = new osg::PositionAttitudeTransform;
    transform->addChild(geode);
    transform->setPosition(startPosition);
    transform->setAttitude(startAttitude(angle, axis));

    body = dBodyCreate(g_world);
    placeBody(startPosition);
    dBodySetData(body, reinterpret_cast<void*>(static_cast<std::intptr_t>(g_boxCount)));
    dMassSetBox(&mass, 5.0, size, size, size);
    dBodySetMass(body, &mass);
    geom = dCreateBox(g_space, size, size, size);
    dGeomSetBody(geom, body);
    transform->setUpdateCallback(new MyCallback(body));
    ++g_boxCount;
}

void PhysicsBox::placeBody(const osg::Vec3& p)
{
    dMatrix3 rotation;
    dRFromAxisAndAngle(rotation, axis.x(), axis.y(), axis.z(), angle);
    dBodySetPosition(body, p.x(), p.y(), p.z());
    dBodySetRotation(body, rotation);
}

void PhysicsBox::reset(osg::Vec3 p)
{
    transform->setPosition(p);
    transform->dirtyBound();
    transform->setAttitude(startAttitude(angle, axis));
    transform->dirtyBound();
    placeBody(p);
}

void nearCallback(void*, dGeomID geom1, dGeomID geom2)
{
    dBodyID body1 = dGeomGetBody(geom1);
    dBodyID body2 = dGeomGetBody(geom2);
    if (body1 && body2 && dAreConnectedExcluding(body1, body2, dJointTypeContact))
        return;
    dContact contacts[kContactsPerPair];
    for (dContact& contact : contacts)
        contact = contactTemplate();
    const int count = dCollide(geom1, geom2, kContactsPerPair, &contacts[0].geom, sizeof(dContact));
    for (int i = 0; i < count; ++i) {
        dJointID joint = dJointCreateContact(g_world, g_contactGroup, &contacts[i]);
        dJointAttach(joint, body1, body2);
    }
}

void stepPhysics()
{
    dSpaceCollide(g_space, nullptr, &nearCallback);
    dWorldStep(g_world, g_frameDelta);
    dJointGroupEmpty(g_contactGroup);
}

void restartBoxRain()
{
    if (g_gravityHalvingPending) {
        g_gravityHalvingPending = false;
        dWorldSetGravity(g_world, 0.0, g_gravityY * 0.5, 0.0);
    }
    for (int i = 0; i < g_boxCount; ++i)
        g_boxes[i]->reset(g_boxes[i]->startPosition);
}

void MyCallback::operator()(osg::Node*, osg::NodeVisitor*)
{
    const dReal* q = dBodyGetQuaternion(body);
    const dReal* p = dBodyGetPosition(body);
    const osg::Vec3 position(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]));
    const std::intptr_t index = reinterpret_cast<std::intptr_t>(dBodyGetData(body));
    if (index < 0 || index >= kMaxPhysicsBoxes || !g_boxes[index])
        return;
    osg::PositionAttitudeTransform* transform = g_boxes[index]->transform;
    transform->setPosition(position);
    transform->dirtyBound();
    transform->setAttitude(osg::Quat(q[1], q[2], q[3], q[0]));
    transform->dirtyBound();
}
