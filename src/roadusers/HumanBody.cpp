// The pedestrian in the physics world: a standing box that follows the
// animated figure, swapped for a ragdoll when a car strikes it, and taken
// out of the world once the ragdoll lies still.
#include "roadusers/Human.h"

#include "roadusers/HumanRagdoll.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"

#include <btBulletDynamicsCommon.h>

namespace {

const D3DXVECTOR3 kCentreOffset(0.0f, 0.85f, 0.0f);

// The standing shape is made once per model mesh and kept with it; the mesh
// record frees it with its child box.
btCollisionShape* StandingShape(CMeshRecord* mesh)
{
    if (!mesh->m_pCompoundShape) {
        auto* box = new btBoxShape(btVector3(0.2f, 0.85f, 0.15f));
        box->setMargin(0.05f);
        auto* compound = new btCompoundShape();
        btTransform identity;
        identity.setIdentity();
        compound->addChildShape(identity, box);
        mesh->m_pCompoundShape = compound;
    }
    return mesh->m_pCompoundShape;
}

void ApplyStandingSettings(btRigidBody* body, void* owner)
{
    body->setFriction(1.0f);
    body->setDamping(0.2f, 0.2f);
    body->setRestitution(0.0f);
    body->setHitFraction(1.0f);
    body->setLinearVelocity(btVector3(0, 0, 0));
    body->setAngularVelocity(btVector3(0, 0, 0));
    body->setActivationState(DISABLE_DEACTIVATION);
    body->forceActivationState(DISABLE_DEACTIVATION);
    body->setDeactivationTime(0.8f);
    body->setSleepingThresholds(1.6f, 2.5f);
    body->setUserPointer(owner);
}

void MoveBody(btRigidBody* body, const btTransform& transform)
{
    body->setCenterOfMassTransform(transform);
    if (body->getMotionState())
        body->getMotionState()->setWorldTransform(transform);
    body->setInterpolationWorldTransform(transform);
}

D3DXVECTOR3 Transformed(const D3DXMATRIX& m, const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &v, &m);
    return out;
}

} // namespace

void CHuman::PlaceBody(const D3DXVECTOR3* position, const D3DXVECTOR3* target)
{
    m_vGround = *position;
    if (!m_pMesh)
        return; // no model, no body
    D3DXMATRIX look = m_matWorld;
    const D3DXVECTOR3 up(0, 1, 0);
    const float dx = target->x - position->x, dz = target->z - position->z;
    if (dx * dx + dz * dz >= 1e-12f)
        BuildLookAtMatrix(&look, position, target, &up);
    btTransform transform;
    MatrixToBtTransform(&look, &transform);
    m_fMass = m_fBodyMass;
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (!m_pRigidBody) {
        m_vCentreOffset = kCentreOffset;
        transform.setOrigin(btVector3(position->x, position->y + 0.85f + 0.1f, position->z));
        btCollisionShape* shape = StandingShape(m_pMesh);
        btVector3 inertia(0, 0, 0);
        shape->calculateLocalInertia(m_fMass, inertia);
        m_pRigidBody = new btRigidBody(m_fMass, new btDefaultMotionState(transform), shape, inertia);
        if (world) {
            world->addRigidBody(m_pRigidBody);
            m_bInWorld = 1;
        }
    } else {
        transform.setOrigin(btVector3(position->x, position->y + 0.85f + 0.1f, position->z));
        MoveBody(m_pRigidBody, transform);
        // Contacts cached at the old place must not survive the jump.
        if (m_pRigidBody->getBroadphaseHandle() && g_Game.m_pBroadphase && g_Game.m_pDispatcher)
            g_Game.m_pBroadphase->getOverlappingPairCache()->cleanProxyFromPairs(m_pRigidBody->getBroadphaseHandle(),
                                                                                  g_Game.m_pDispatcher);
    }
    ApplyStandingSettings(m_pRigidBody, this);
    UpdateCameraDistance();
    m_vLinearVelocity = m_vAngularVelocity = D3DXVECTOR3(0, 0, 0);
}

void CHuman::SyncBody()
{
    if (m_pRagdoll) {
        btRigidBody* pelvis = m_pRagdoll->m_pBodies[0];
        btTransform transform;
        pelvis->getMotionState()->getWorldTransform(transform);
        BtTransformToMatrix(&transform, &m_matWorld);
        const btVector3& o = transform.getOrigin();
        m_vGround = D3DXVECTOR3(o.x(), o.y(), o.z());
        const btVector3& v = pelvis->getLinearVelocity();
        m_vLinearVelocity = D3DXVECTOR3(v.x(), v.y(), v.z());
        m_vPosition = m_vGround - m_vCentreOffset;
        return;
    }
    m_vPosition = Transformed(m_matWorld, m_vSphereCentre);
    if (!m_pRigidBody)
        return;
    const D3DXVECTOR3 origin = Transformed(m_matWorld, m_vCentreOffset + D3DXVECTOR3(0.0f, 0.1f, 0.0f));
    btTransform transform;
    MatrixToBtTransform(&m_matWorld, &transform);
    transform.setOrigin(btVector3(origin.x, origin.y, origin.z));
    MoveBody(m_pRigidBody, transform);
    m_pRigidBody->setLinearVelocity(btVector3(0, 0, 0));
    m_pRigidBody->setAngularVelocity(btVector3(0, 0, 0));
    m_vLinearVelocity = D3DXVECTOR3(0, 0, 0);
}

void CHuman::SetRagdoll(int on)
{
    if ((on != 0) == (m_pRagdoll != nullptr))
        return;
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (!on) {
        if (world && m_pRigidBody)
            world->addRigidBody(m_pRigidBody);
        DestroyRagdoll();
        return;
    }
    if (!m_pRigidBody || !g_HumanBodyShapes[0])
        return;
    if (world)
        world->removeRigidBody(m_pRigidBody);
    btTransform base;
    m_pRigidBody->getMotionState()->getWorldTransform(base);
    // Known as fallen before the parts enter the world, so their very first
    // pairs are filtered as ragdoll parts.
    m_pRagdoll = new CHumanRagdoll(this, base);
    m_pRagdoll->AddToWorld();
    g_AudioManager.PlayHumanVoice(m_nGender, this);
    SetAction(ACTION_DEAD);
}

void CHuman::UpdateRagdollSleep()
{
    if (!m_pRagdoll || !m_bInWorld || !m_pRagdoll->IsResting())
        return;
    m_pRagdoll->RemoveFromWorld();
    m_bInWorld = 0;
}

void CHuman::DestroyRagdoll()
{
    delete m_pRagdoll;
    m_pRagdoll = nullptr;
}
