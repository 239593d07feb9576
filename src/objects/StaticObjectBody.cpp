// A static object's rigid body: made on the mesh's shared shapes, moved by a
// second call, removed from the world before it is deleted.
#include "objects/StaticObject.h"

#include "shell/Game.h"
#include "shell/VectorHelpers.h"

#include <btBulletDynamicsCommon.h>

namespace {

constexpr float kPropDamping = 0.632f;

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// The inertia of a solid box the size of the mesh, for a compound with no
// children (its own answer would come from an inverted, infinite box).
btVector3 BoxInertia(float mass, const D3DXVECTOR3& size)
{
    const float x = size.x > 0.0f ? size.x : 1.0f;
    const float y = size.y > 0.0f ? size.y : 1.0f;
    const float z = size.z > 0.0f ? size.z : 1.0f;
    const float k = mass / 12.0f;
    return btVector3(k * (y * y + z * z), k * (x * x + z * z), k * (x * x + y * y));
}

btVector3 CompoundInertia(btCollisionShape* shape, float mass, const D3DXVECTOR3& meshSize)
{
    auto* compound = static_cast<btCompoundShape*>(shape);
    if (compound->getNumChildShapes() == 0)
        return BoxInertia(mass, meshSize);
    btVector3 inertia(0, 0, 0);
    compound->calculateLocalInertia(mass, inertia);
    return inertia;
}

void ApplyBodySettings(btRigidBody* body, float mass, void* owner)
{
    body->setUserPointer(owner);
    body->setRestitution(0.0f);
    body->setHitFraction(1.0f);
    body->setDeactivationTime(0.5f);
    body->setActivationState(ISLAND_SLEEPING);
    body->forceActivationState(ISLAND_SLEEPING);
    if (mass == 0.0f) {
        body->setFriction(0.5f);
        body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_STATIC_OBJECT);
        body->setSleepingThresholds(1.6f, 2.5f);
        return;
    }
    body->setFriction(1.0f);
    // Damping 1.0 meant "lose about 1/60 of the speed per 60 Hz step"; the
    // physics library now reads damping as the fraction lost per second, so
    // 1.0 would stop every movable prop dead. 1 - e^-1 keeps the old decay.
    body->setDamping(kPropDamping, kPropDamping);
    body->setSleepingThresholds(0.6f, 1.0f);
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));
}

void CleanPairs(btRigidBody* body)
{
    if (body->getBroadphaseHandle() && g_Game.m_pBroadphase && g_Game.m_pDispatcher)
        g_Game.m_pBroadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                              g_Game.m_pDispatcher);
}

} // namespace

void CStaticObject::CreateRigidBody(float mass, const D3DXVECTOR3* position, const D3DXVECTOR3* target,
                                    const D3DXVECTOR3* up)
{
    D3DXVECTOR3 eye, look, upward;
    if (mass == -1.0f) {
        eye = Row(m_matPlacement, 3);
        look = eye + Row(m_matPlacement, 2) * 100.0f;
        upward = Row(m_matPlacement, 1);
        mass = m_fMass;
    } else {
        eye = *position;
        look = *target;
        upward = *up;
    }
    D3DXMATRIX placement;
    BuildLookAtMatrix(&placement, &eye, &look, &upward);
    btTransform transform;
    MatrixToBtTransform(&placement, &transform);
    m_fMass = mass;

    if (!m_pRigidBody) {
        if (!m_pMesh)
            return;
        btCollisionShape* shape = nullptr;
        if (mass == 0.0f) {
            m_pMesh->BuildTriangleMeshShape();
            shape = m_pMesh->m_pTriangleMeshShape;
            // The triangle mesh lies in model space: a static body sits at
            // the placement itself, whatever a compound of the mesh is
            // centred on.
            m_vCentreOffset = D3DXVECTOR3(0, 0, 0);
        } else {
            m_pMesh->BuildCompoundShape();
            shape = m_pMesh->m_pCompoundShape;
            m_vCentreOffset = m_pMesh->m_vCentreOffset;
        }
        if (!shape)
            return; // no body on a shape the mesh cannot give
        const btVector3 inertia =
            mass == 0.0f ? btVector3(0, 0, 0) : CompoundInertia(shape, mass, m_pMesh->m_vBoxSize);
        transform.setOrigin(transform.getOrigin() + transform.getBasis() * btVector3(m_vCentreOffset.x,
                                                                                    m_vCentreOffset.y,
                                                                                    m_vCentreOffset.z));
        auto* motionState = new btDefaultMotionState(transform);
        m_pRigidBody = new btRigidBody(mass, motionState, shape, inertia);
    } else {
        transform.setOrigin(transform.getOrigin() +
                            transform.getBasis() * btVector3(m_vCentreOffset.x, m_vCentreOffset.y, m_vCentreOffset.z));
        m_pRigidBody->setWorldTransform(transform);
        m_pRigidBody->setInterpolationWorldTransform(transform);
        if (m_pRigidBody->getMotionState())
            m_pRigidBody->getMotionState()->setWorldTransform(transform);
        // Pairs cached at the old place would survive the move.
        CleanPairs(m_pRigidBody);
    }
    ApplyBodySettings(m_pRigidBody, m_pRigidBody->getInvMass() == 0.0f ? 0.0f : mass, this);
}

void CStaticObject::DestroyRigidBody()
{
    if (!m_pRigidBody)
        return;
    // Out of the world first: removal cleans the pairs and frees the manifolds
    // that still point at the body.
    if (g_Game.m_pDynamicsWorld)
        g_Game.m_pDynamicsWorld->removeRigidBody(m_pRigidBody);
    m_bInWorld = 0;
    delete m_pRigidBody->getMotionState();
    delete m_pRigidBody;
    m_pRigidBody = nullptr;
}
