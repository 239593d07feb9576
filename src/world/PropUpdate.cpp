// A prop's frame: bodies in and out of the physics world by distance and
// nearby cars, street lamps that break when hit and light up at night.
#include "world/Prop.h"

#include "graphics/WorldCamera.h"
#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Sky.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>

namespace {

void CleanPairs(btRigidBody* body)
{
    if (body->getBroadphaseHandle() && g_Game.m_pBroadphase && g_Game.m_pDispatcher)
        g_Game.m_pBroadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                              g_Game.m_pDispatcher);
}

// The drawn matrix of a body: its basis as rows and its origin moved back by
// the centre-of-mass offset.
void MatrixFromBody(const btRigidBody* body, const D3DXVECTOR3& offset, D3DXMATRIX* out)
{
    btTransform t;
    if (body->getMotionState())
        body->getMotionState()->getWorldTransform(t);
    else
        t = body->getWorldTransform();
    BtTransformToMatrix(&t, out);
    const D3DXVECTOR3 back(-offset.x, -offset.y, -offset.z);
    D3DXVECTOR3 moved;
    D3DXVec3TransformCoord(&moved, &back, out);
    out->_41 = moved.x;
    out->_42 = moved.y;
    out->_43 = moved.z;
}

D3DXVECTOR3 ToD3D(const btVector3& v)
{
    return D3DXVECTOR3(v.x(), v.y(), v.z());
}

} // namespace

void CProp::Update()
{
    if (!m_bActive)
        return;
    const float d = UpdateCameraDistance();
    if (!g_bEditorMode) {
        UpdatePhysicsRule(d);
        if (m_nType == GTYPE_LAMPPOST)
            UpdateLamp(d);
    }
    g_SceneLights.GatherNearLights(&m_vPosition, m_fSphereRadius, &m_LightSet);
}

void CProp::UpdatePhysicsRule(float d)
{
    switch (m_nType) {
    case GTYPE_BRIDGE:
        if (m_pRigidBody) {
            const bool nearCar = g_VehicleManager.FindVehicleInSphere(0, &m_vPosition, m_fSphereRadius) != nullptr;
            if (!m_bInWorld && (nearCar || d < PROP_PHYSICS_DISTANCE))
                SetPhysicsActive(true);
            else if (m_bInWorld && !nearCar && d > PROP_PHYSICS_DISTANCE)
                SetPhysicsActive(false);
        }
        break;
    case GTYPE_BUILDING:
        if (m_pRigidBody) {
            if (d < PROP_PHYSICS_DISTANCE)
                SetPhysicsActive(true);
            else if (d > PROP_PHYSICS_DISTANCE)
                SetPhysicsActive(false);
        }
        if (m_bCarShop) {
            if (m_nCars == 0 && d < PROP_SHOWROOM_DISTANCE)
                CreateShowroomCars();
            else if (m_nCars > 0 && d > PROP_SHOWROOM_DISTANCE)
                ReleaseCars();
        }
        break;
    case GTYPE_DECORS:
    case GTYPE_LAMPPOST:
        if (m_pRigidBody) {
            const bool nearCar =
                g_VehicleManager.FindActiveVehicleInSphere(0, &m_vPosition, m_fSphereRadius) != nullptr;
            if (!m_bInWorld && (nearCar || d < PROP_PHYSICS_DISTANCE))
                SetPhysicsActive(true);
            else if (m_bInWorld && !nearCar && d > PROP_PHYSICS_DISTANCE && !m_bTouched)
                SetPhysicsActive(false);
        }
        // Bodies outside the world do not move: their matrices stand.
        if (m_bInWorld) {
            SyncFromBodies();
            RecomputeCentre();
        }
        break;
    default:
        break;
    }
}

void CProp::UpdateLamp(float d)
{
    btVector3 v(0, 0, 0), w(0, 0, 0);
    if (m_pRigidBody) {
        v = m_pRigidBody->getLinearVelocity();
        w = m_pRigidBody->getAngularVelocity();
    }
    m_vLinearVelocity = ToD3D(v);
    m_vAngularVelocity = ToD3D(w);
    float lampDistance = d;
    // A lamp mesh without a light point keeps the camera distance and makes
    // no light (there is nowhere to put one).
    const bool hasPoint = m_pMesh && m_pMesh->m_nPoints[3] > 0 && m_pMesh->m_pPoints[3];
    if (m_pLights && g_pPlayerVehicle && hasPoint) {
        D3DXVec3TransformCoord(&m_vLampPoint, &m_pMesh->m_pPoints[3][0], &m_matWorld);
        lampDistance = Vec3Distance(&m_vLampPoint, &g_pPlayerVehicle->m_vPosition);
    } else if (hasPoint) {
        D3DXVec3TransformCoord(&m_vLampPoint, &m_pMesh->m_pPoints[3][0], &m_matWorld);
    }
    const int state = m_pRigidBody ? m_pRigidBody->getActivationState() : ISLAND_SLEEPING;
    if (!m_bBroken && state != ISLAND_SLEEPING && state != DISABLE_SIMULATION &&
        (v.length() > PROP_LAMP_BREAK_SPEED || w.length() > PROP_LAMP_BREAK_SPIN))
        BreakLamp();
    // A lamp pushed without breaking carries its glow along.
    if ((v.length() != 0.0f || w.length() != 0.0f) && m_pLights && !m_bBroken)
        m_pLights->UpdateWorldPositions();
    UpdateNightLight(hasPoint ? lampDistance : PROP_LAMP_DISTANCE);
}

void CProp::BreakLamp()
{
    if (m_pLights)
        m_pLights->m_pOwner = nullptr;
    if (m_pSelfIllum) {
        D3DCOLORVALUE& e = m_pSelfIllum->m_Material.Emissive;
        e.r *= 0.2f;
        e.g *= 0.2f;
        e.b *= 0.2f;
        e.a *= 0.2f;
    }
    SwitchOffLight();
    m_bBroken = 1;
}

void CProp::UpdateNightLight(float lampDistance)
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (g_Sky.m_fLightsFactor > 0.5f && lampDistance < PROP_LAMP_DISTANCE && !m_bBroken && camera && m_pLights) {
        const float range = m_pLights->m_fRange;
        const bool seen = camera->IsSphereVisible(&m_vLampPoint, range) != 0;
        if (m_nLightIndex == -1 && range != 0.0f && seen) {
            const float k = std::max(0.0f, (g_Sky.m_fLightsFactor - 0.5f) * 2.0f);
            const float colour[4] = {k * m_pLights->m_Colour.r, k * m_pLights->m_Colour.g, k * m_pLights->m_Colour.b,
                                     k * m_pLights->m_Colour.a};
            m_nLightIndex = g_SceneLights.AddPointLight(&m_vLampPoint, colour, range, 1);
            if (m_nLightIndex >= 0 && m_nLightIndex < MAX_POINT_LIGHTS) {
                D3DLIGHT9& light = g_SceneLights.m_Slots[g_SceneLights.m_PointLightSlots[m_nLightIndex]].m_Light;
                light.Attenuation1 = m_pLights->m_fAttenuation1;
                light.Attenuation2 = m_pLights->m_fAttenuation2;
            }
        } else if (m_nLightIndex != -1 && !seen) {
            SwitchOffLight();
        }
        return;
    }
    SwitchOffLight();
}

void CProp::SetPhysicsActive(bool on)
{
    if (static_cast<bool>(m_bInWorld) == on)
        return;
    m_bTouched = 0;
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    if (!world)
        return;
    if (on) {
        if (m_pRigidBody)
            world->addRigidBody(m_pRigidBody);
        for (std::uint32_t j = 0; j < m_nParts; ++j)
            if (m_pPartBodies[j])
                world->addRigidBody(m_pPartBodies[j]);
    } else {
        if (m_pRigidBody) {
            CleanPairs(m_pRigidBody);
            world->removeRigidBody(m_pRigidBody);
        }
        for (std::uint32_t j = 0; j < m_nParts; ++j)
            if (m_pPartBodies[j]) {
                CleanPairs(m_pPartBodies[j]);
                world->removeRigidBody(m_pPartBodies[j]);
            }
    }
    m_bInWorld = on ? 1 : 0;
}

void CProp::SetActive(bool on)
{
    if (static_cast<bool>(m_bActive) == on)
        return;
    m_bActive = on ? 1 : 0;
    if (on) {
        m_matWorld = m_matPlacement;
        RecomputeCentre();
        CreateRigidBody(-1.0f, nullptr, nullptr, nullptr);
        ResetParts();
        SyncFromBodies();
    } else {
        SwitchOffLight();
        if (m_bInWorld)
            SetPhysicsActive(false);
    }
    m_bTouched = 0;
}

void CProp::ResetParts()
{
    for (std::uint32_t j = 0; j < m_nParts; ++j) {
        btRigidBody* body = m_pPartBodies[j];
        if (!body)
            continue;
        auto* motion = static_cast<btDefaultMotionState*>(body->getMotionState());
        if (motion) {
            motion->m_graphicsWorldTrans = motion->m_startWorldTrans;
            body->setWorldTransform(motion->m_startWorldTrans);
            body->setInterpolationWorldTransform(motion->m_startWorldTrans);
        }
        CleanPairs(body);
        body->setLinearVelocity(btVector3(0, 0, 0));
        body->setAngularVelocity(btVector3(0, 0, 0));
    }
    if (m_pLights)
        m_pLights->m_pOwner = this;
    // Only a broken lamp was dimmed: brightening on every wake-up would make
    // the lamp glow ever brighter.
    if (m_bBroken && m_pSelfIllum) {
        D3DCOLORVALUE& e = m_pSelfIllum->m_Material.Emissive;
        e.r *= 5.0f;
        e.g *= 5.0f;
        e.b *= 5.0f;
        e.a *= 5.0f;
    }
    m_bBroken = 0;
}

void CProp::SyncFromBodies()
{
    if (m_fMass != 0.0f && m_pRigidBody)
        MatrixFromBody(m_pRigidBody, m_vCentreOffset, &m_matWorld);
    for (std::uint32_t j = 0; j < m_nParts; ++j) {
        btRigidBody* body = m_pPartBodies[j];
        CModelInstance* model = m_pPartModels[j];
        if (!body || !model || !model->m_pMesh)
            continue;
        MatrixFromBody(body, model->m_pMesh->m_vCentreOffset, &model->m_matWorld);
        m_pPartPositions[j] = ToD3D(body->getWorldTransform().getOrigin());
    }
}
