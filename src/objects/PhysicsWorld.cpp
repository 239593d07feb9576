// The physics world the game object owns: created at start-up, stepped once
// per frame of a running game, emptied by a reset and destroyed at shut-down.
#include "shell/Game.h"

#include "platform/Win32Types.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Settings.h"

#include <btBulletDynamicsCommon.h>

namespace {

const btScalar kWorldHalfSize = 1500.0f;
const unsigned short kMaxBroadphaseHandles = 1024;

// The library's world keeps its actions (vehicles) to itself; a reset has to
// take them out before it deletes the bodies they drive.
class CPhysicsWorld : public btDiscreteDynamicsWorld {
public:
    using btDiscreteDynamicsWorld::btDiscreteDynamicsWorld;
    void RemoveAllActions()
    {
        while (m_actions.size() > 0)
            removeAction(m_actions[m_actions.size() - 1]);
    }
};

} // namespace

int CGame::InitPhysics()
{
    m_pCollisionConfig = new btDefaultCollisionConfiguration();
    m_pBroadphase = new btAxisSweep3(btVector3(-kWorldHalfSize, -kWorldHalfSize, -kWorldHalfSize),
                                     btVector3(kWorldHalfSize, kWorldHalfSize, kWorldHalfSize), kMaxBroadphaseHandles);
    m_pDispatcher = new btCollisionDispatcher(m_pCollisionConfig);
    m_pSolver = new btSequentialImpulseConstraintSolver();
    m_pDynamicsWorld = new CPhysicsWorld(m_pDispatcher, m_pBroadphase, m_pSolver, m_pCollisionConfig);
    m_pVehicleRaycaster = new btDefaultVehicleRaycaster(m_pDynamicsWorld);
    m_pDynamicsWorld->setGravity(btVector3(0.0f, -10.0f, 0.0f));
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

// The contact pass needs the game objects behind the bodies; until they
// exist it only empties the manifolds so every step starts without old points.
void CGame::ProcessContacts()
{
    m_nManifolds = m_pDispatcher->getNumManifolds();
    for (int i = 0; i < m_nManifolds; ++i) {
        btPersistentManifold* manifold = m_pDispatcher->getManifoldByIndexInternal(i);
        manifold->clearManifold();
    }
}

// Constraints and vehicle actions reference bodies, so they leave the world
// before any body is deleted; then every collision object goes, last first.
void CGame::RemoveAllCollisionObjects(bool deleteMotionStates)
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
        if (deleteMotionStates && body && body->getMotionState())
            delete body->getMotionState();
        m_pDynamicsWorld->removeCollisionObject(object);
        delete object;
    }
}

void CGame::ReleasePhysics()
{
    RemoveAllCollisionObjects(true);
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
}
