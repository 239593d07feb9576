// The ragdoll's parts and joints, as the figure's proportions give them.
#include "roadusers/HumanRagdoll.h"

#include "roadusers/Human.h"
#include "shell/Game.h"

#include <btBulletDynamicsCommon.h>

btCollisionShape* g_HumanBodyShapes[RAGDOLL_BODIES] = {};

namespace {

constexpr float kPi = 3.14159265358979f;

struct PartSpec {
    float x, y, z; // centre in the standing body's frame (0.95 above the feet)
    float a, b, c; // box size before the 0.6 scale
};

const PartSpec kParts[RAGDOLL_BODIES] = {
    {0.0f, -0.09999996f, 0.0f, 0.21000001f, 0.30f, 0.21000001f}, // pelvis
    {0.0f, 0.17000008f, 0.0f, 0.21000001f, 0.45f, 0.21000001f},  // spine
    {0.0f, 0.45000005f, 0.0f, 0.14f, 0.20f, 0.14f},              // head
    {-0.08f, -0.32999992f, 0.0f, 0.112f, 0.45f, 0.112f},         // left upper leg
    {-0.10f, -0.77f, 0.01f, 0.112f, 0.45f, 0.112f},              // left lower leg
    {0.08f, -0.32999992f, 0.0f, 0.112f, 0.45f, 0.112f},          // right upper leg
    {0.10f, -0.77f, 0.01f, 0.112f, 0.45f, 0.112f},               // right lower leg
    {-0.20f, 0.1500001f, 0.0f, 0.112f, 0.32f, 0.112f},           // left upper arm
    {-0.20f, -0.14999998f, 0.0f, 0.112f, 0.40f, 0.112f},         // left lower arm
    {0.20f, 0.1500001f, 0.0f, 0.112f, 0.32f, 0.112f},            // right upper arm
    {0.22f, -0.14999998f, 0.0f, 0.112f, 0.40f, 0.112f},          // right lower arm
};

enum Axis { AXIS_NONE, AXIS_Y, AXIS_Z };

struct JointFrame {
    Axis axis;
    float angle;
    float x, y, z;
};

struct JointSpec {
    bool hinge;
    int a, b;
    JointFrame frameA, frameB;
    float limit[3]; // hinge: low, high; cone-twist: swing 1, swing 2, twist
};

const JointSpec kJoints[RAGDOLL_JOINTS] = {
    {true, 0, 1, {AXIS_Y, -kPi / 2, 0, 0.10f, 0}, {AXIS_Y, -kPi / 2, 0, -0.18f, 0}, {0, kPi / 4, 0}},
    {false, 1, 2, {AXIS_Z, kPi / 2, 0, 0.21f, 0}, {AXIS_Z, -kPi / 2, 0, -0.07f, 0}, {kPi / 4, kPi / 4, kPi / 4}},
    {false, 0, 3, {AXIS_Z, -5 * kPi / 4, -0.08f, -0.06f, 0}, {AXIS_Z, 5 * kPi / 4, 0, 0.20f, 0}, {kPi / 4, kPi / 4, 0}},
    {true, 3, 4, {AXIS_Y, -kPi / 2, -0.02f, -0.22f, 0}, {AXIS_Y, -kPi / 2, 0, 0.22f, 0}, {0, kPi / 2, 0}},
    {false, 0, 5, {AXIS_Z, kPi / 4, 0.08f, -0.06f, 0}, {AXIS_Z, -kPi / 4, 0, 0.20f, 0}, {kPi / 4, kPi / 4, 0}},
    {true, 5, 6, {AXIS_Y, -kPi / 2, 0.02f, -0.22f, 0}, {AXIS_Y, -kPi / 2, 0, 0.22f, 0}, {0, kPi / 2, 0}},
    {false, 1, 7, {AXIS_NONE, 0, -0.20f, 0.12f, 0}, {AXIS_Z, -kPi / 2, 0, 0.13f, 0}, {kPi / 2, kPi / 2, 0}},
    {true, 7, 8, {AXIS_Y, kPi / 2, 0, -0.15f, 0}, {AXIS_Y, kPi / 2, 0, 0.17f, 0}, {0, kPi / 2, 0}},
    {false, 1, 9, {AXIS_Z, kPi, 0.20f, 0.12f, 0}, {AXIS_Z, -kPi / 2, 0, 0.13f, 0}, {kPi / 2, kPi / 2, 0}},
    {true, 9, 10, {AXIS_Y, kPi / 2, 0.02f, -0.15f, 0}, {AXIS_Y, kPi / 2, 0, 0.17f, 0}, {0, kPi / 2, 0}},
};

btTransform FrameOf(const JointFrame& f)
{
    btTransform t;
    t.setIdentity();
    t.getBasis().setEulerZYX(0.0f, f.axis == AXIS_Y ? f.angle : 0.0f, f.axis == AXIS_Z ? f.angle : 0.0f);
    t.setOrigin(btVector3(f.x, f.y, f.z));
    return t;
}

void ApplyPartSettings(btRigidBody* body)
{
    body->setFriction(0.75f);
    body->setDamping(0.2f, 2.0f);
    body->setRestitution(0.0f);
    body->setHitFraction(1.0f);
    body->setActivationState(ACTIVE_TAG);
    body->forceActivationState(ACTIVE_TAG);
    body->setDeactivationTime(0.25f);
    body->setSleepingThresholds(2.0f, 4.0f);
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));
}

} // namespace

void CreateHumanBodyShapes()
{
    for (int i = 0; i < RAGDOLL_BODIES; ++i) {
        if (g_HumanBodyShapes[i])
            continue;
        const PartSpec& p = kParts[i];
        auto* box = new btBoxShape(btVector3(0.6f * p.a, 0.6f * p.b, 0.6f * p.c));
        box->setMargin(0.05f);
        g_HumanBodyShapes[i] = box;
    }
}

void DeleteHumanBodyShapes()
{
    for (btCollisionShape*& shape : g_HumanBodyShapes) {
        delete shape;
        shape = nullptr;
    }
}

btRigidBody* CHumanRagdoll::CreateBody(float mass, const btTransform& start, btCollisionShape* shape, CHuman* owner)
{
    auto* motionState = new btDefaultMotionState(start);
    btVector3 inertia(0, 0, 0);
    shape->calculateLocalInertia(mass, inertia);
    btRigidBody::btRigidBodyConstructionInfo info(mass, motionState, shape, inertia);
    auto* body = new btRigidBody(info);
    body->setUserPointer(owner);
    return body;
}

CHumanRagdoll::CHumanRagdoll(CHuman* owner, const btTransform& base)
{
    for (int i = 0; i < RAGDOLL_BODIES; ++i) {
        btTransform local;
        local.setIdentity();
        local.setOrigin(btVector3(kParts[i].x, kParts[i].y, kParts[i].z));
        m_pBodies[i] = CreateBody(10.0f, base * local, g_HumanBodyShapes[i], owner);
    }
    for (btRigidBody* body : m_pBodies)
        ApplyPartSettings(body);
    for (int j = 0; j < RAGDOLL_JOINTS; ++j) {
        const JointSpec& s = kJoints[j];
        btRigidBody& a = *m_pBodies[s.a];
        btRigidBody& b = *m_pBodies[s.b];
        if (s.hinge) {
            auto* hinge = new btHingeConstraint(a, b, FrameOf(s.frameA), FrameOf(s.frameB));
            hinge->setLimit(s.limit[0], s.limit[1], 0.9f, 0.3f, 1.0f);
            m_pJoints[j] = hinge;
        } else {
            auto* cone = new btConeTwistConstraint(a, b, FrameOf(s.frameA), FrameOf(s.frameB));
            cone->setLimit(s.limit[0], s.limit[1], s.limit[2], 0.8f, 0.3f, 1.0f);
            m_pJoints[j] = cone;
        }
    }
}

void CHumanRagdoll::AddToWorld()
{
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (!world)
        return;
    for (btRigidBody* body : m_pBodies)
        world->addRigidBody(body);
    for (btTypedConstraint* joint : m_pJoints)
        world->addConstraint(joint, true);
}

void CHumanRagdoll::RemoveFromWorld()
{
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (!world)
        return;
    for (btTypedConstraint* joint : m_pJoints)
        world->removeConstraint(joint);
    for (btRigidBody* body : m_pBodies)
        world->removeRigidBody(body);
}

int CHumanRagdoll::IsResting() const
{
    for (const btRigidBody* body : m_pBodies) {
        const int state = body->getActivationState();
        if (state != ISLAND_SLEEPING && state != DISABLE_SIMULATION)
            return 0;
    }
    return 1;
}

CHumanRagdoll::~CHumanRagdoll()
{
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    for (btTypedConstraint*& joint : m_pJoints) {
        if (world)
            world->removeConstraint(joint);
        delete joint;
        joint = nullptr;
    }
    for (btRigidBody*& body : m_pBodies) {
        if (world)
            world->removeRigidBody(body);
        delete body->getMotionState();
        delete body;
        body = nullptr;
    }
}
