// The physics world the game object owns: created at start-up, stepped once
// per frame of a running game, emptied by a reset and destroyed at shut-down.
#include "shell/Game.h"

#include "objects/CollisionFilter.h"
#include "platform/Win32Types.h"
#include "shell/GameTimer.h"
#include "shell/Log.h"
#include "shell/Input.h"
#include "shell/Settings.h"

#include <btBulletDynamicsCommon.h>

namespace {

const btScalar kWorldHalfSize = 1500.0f;

// The library's world keeps its actions (vehicles) to itself; a reset has to
// take them out before it deletes the bodies they drive. It also refuses an
// object the full broadphase has no handle for: the sweep-and-prune
// broadphase would otherwise hand out its reserved handle and corrupt itself.
class CPhysicsWorld : public btDiscreteDynamicsWorld {
public:
    using btDiscreteDynamicsWorld::btDiscreteDynamicsWorld;
    void RemoveAllActions()
    {
        while (m_actions.size() > 0)
            removeAction(m_actions[m_actions.size() - 1]);
    }
    void addCollisionObject(btCollisionObject* object, int group, int mask) override
    {
        if (HasRoom())
            btDiscreteDynamicsWorld::addCollisionObject(object, group, mask);
    }
    void addRigidBody(btRigidBody* body) override
    {
        if (HasRoom())
            btDiscreteDynamicsWorld::addRigidBody(body);
    }
    void addRigidBody(btRigidBody* body, int group, int mask) override
    {
        if (HasRoom())
            btDiscreteDynamicsWorld::addRigidBody(body, group, mask);
    }

private:
    bool HasRoom() const
    {
        const auto* sweep = static_cast<const btAxisSweep3*>(getBroadphase());
        if (sweep->getNumHandles() < PHYSICS_MAX_BODIES)
            return true;
        const int limit = PHYSICS_MAX_BODIES;
        DebugLog("Physics world full: a body was not added (limit %d)", &limit);
        return false;
    }
};

} // namespace

int CGame::InitPhysics()
{
    m_pCollisionConfig = new btDefaultCollisionConfiguration();
    m_pBroadphase = new btAxisSweep3(btVector3(-kWorldHalfSize, -kWorldHalfSize, -kWorldHalfSize),
                                     btVector3(kWorldHalfSize, kWorldHalfSize, kWorldHalfSize), PHYSICS_MAX_BODIES);
    m_pDispatcher = new btCollisionDispatcher(m_pCollisionConfig);
    m_pDispatcher->setNearCallback(PhysicsNearCallback);
    m_pSolver = new btSequentialImpulseConstraintSolver();
    m_pDynamicsWorld = new CPhysicsWorld(m_pDispatcher, m_pBroadphase, m_pSolver, m_pCollisionConfig);
    m_pVehicleRaycaster = new btDefaultVehicleRaycaster(m_pDynamicsWorld);
    m_pDynamicsWorld->setGravity(btVector3(0.0f, -10.0f, 0.0f));
    g_pCollisionFilter = new CCollisionFilterCallback();
    m_pBroadphase->getOverlappingPairCache()->setOverlapFilterCallback(g_pCollisionFilter);
    return 1;
}

void CGame::StepPhysics()
{
    if (!m_pDynamicsWorld)
        return;
    if (g_bDebugOut && g_bKeyDelete)
        return; // held for inspection
    // No sub-steps: the world advances by exactly the (already capped) frame time.
    m_pDynamicsWorld->stepSimulation(g_GameTimer.m_fDelta, 0, 1.0f / 60.0f);
    ProcessContacts();
    m_nActiveBodies = 0;
    if (!g_bDebugOut)
        return;
    const btCollisionObjectArray& objects = m_pDynamicsWorld->getCollisionObjectArray();
    for (int i = 0; i < objects.size(); ++i) {
        const int state = objects[i]->getActivationState();
        if (state != ISLAND_SLEEPING && state != DISABLE_SIMULATION)
            ++m_nActiveBodies;
    }
}

// Constraints and vehicle actions reference bodies, so they leave the world
// before any body is deleted; then every collision object goes, last first.
void CGame::RemoveAllCollisionObjects()
{
    if (!m_pDynamicsWorld)
        return;
    for (int i = m_pDynamicsWorld->getNumConstraints() - 1; i >= 0; --i)
        m_pDynamicsWorld->removeConstraint(m_pDynamicsWorld->getConstraint(i));
    static_cast<CPhysicsWorld*>(m_pDynamicsWorld)->RemoveAllActions();
    btCollisionObjectArray& objects = m_pDynamicsWorld->getCollisionObjectArray();
    for (int i = objects.size() - 1; i >= 0; --i) {
        btCollisionObject* object = objects[i];
        btRigidBody* body = btRigidBody::upcast(object);
        if (body && body->getMotionState())
            delete body->getMotionState();
        m_pDynamicsWorld->removeCollisionObject(object);
        delete object;
    }
}

void CGame::ReleasePhysics()
{
    RemoveAllCollisionObjects();
    delete m_pVehicleRaycaster;
    m_pVehicleRaycaster = nullptr;
    delete m_pDynamicsWorld;
    m_pDynamicsWorld = nullptr;
    delete m_pSolver;
    m_pSolver = nullptr;
    delete m_pDispatcher;
    m_pDispatcher = nullptr;
    delete m_pBroadphase;
    m_pBroadphase = nullptr;
    delete m_pCollisionConfig;
    m_pCollisionConfig = nullptr;
    delete g_pCollisionFilter;
    g_pCollisionFilter = nullptr;
}
