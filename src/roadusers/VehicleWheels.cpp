// The car's wheels after its motion step: the drawn wheel matrices, skid
// marks, dust at the road's edge, water under the wheels and round the body,
// the jump trick off a ramp, grip from the ground and the tyre screech.
#include "roadusers/Vehicle.h"

#include "game/CityLogic.h"
#include "graphics/WorldCamera.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "world/Sky.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kCameraTransitionMode = 4;
// The wheel on the same axle: a skid point spans the pair.
constexpr int kPartnerWheel[4] = {1, 0, 3, 2};

btVector3 ToBt(const D3DXVECTOR3& v)
{
    return btVector3(v.x, v.y, v.z);
}

D3DXVECTOR3 Translation(const D3DXMATRIX& m)
{
    return D3DXVECTOR3(m._41, m._42, m._43);
}

// A worn wheel wobbles: turned about its own third row, in place.
void Wobble(D3DXMATRIX* wheel, float wear)
{
    const D3DXVECTOR3 axis(wheel->_31, wheel->_32, wheel->_33);
    const D3DXVECTOR3 place = Translation(*wheel);
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &axis, wear * 0.15f);
    D3DXMatrixMultiply(wheel, wheel, &turn);
    wheel->_41 = place.x;
    wheel->_42 = place.y;
    wheel->_43 = place.z;
}

// The squeal still sounds for this car: the pool takes a finished squeal
// back and may give it to another car.
bool WheelSoundPlaying(CVehicle* car)
{
    CGameSound* sound = car->m_pWheelSound;
    if (!sound || !sound->IsPlaying())
        return false;
    for (const PooledSound<CVehicle>& entry : g_AudioManager.m_WheelSounds)
        if (entry.pSound == sound && entry.pOwner == car)
            return true;
    return false;
}

} // namespace

// A car whose model gave no raycast vehicle has no wheels to update.
void CVehicle::UpdateWheels()
{
    m_nWheelsInWater = 0;
    m_nWheelsInContact = 0;
    btRaycastVehicle* vehicle = m_pRaycastVehicle;
    if (!vehicle || !m_pRigidBody)
        return;
    const float dt = g_GameTimer.m_fRealDelta;
    const float speed = std::fabs(m_fSpeed);
    const float level = LandscapeWaterLevel();
    const D3DXVECTOR3 side = D3DXVECTOR3(m_matWorld._11, m_matWorld._12, m_matWorld._13) * (m_fWheelWidth * 0.4f);
    const float lift = m_bInWorld ? 0.0f : m_vCentreOffset.y;
    const int wheels = std::min(vehicle->getNumWheels(), 4);
    bool contact[4] = {};

    for (int i = 0; i < wheels; ++i) {
        // Read before the transform update, which clears it.
        contact[i] = vehicle->getWheelInfo(i).m_raycastInfo.m_isInContact;
        if (contact[i])
            ++m_nWheelsInContact;
        vehicle->updateWheelTransform(i, true);
        BtTransformToMatrix(&vehicle->getWheelTransformWS(i), &m_WheelMatrices[i]);
        D3DXMATRIX& wheel = m_WheelMatrices[i];
        const D3DXVECTOR3 offset = (i == 0 || i == 2) ? side : -side;
        wheel._41 += offset.x;
        wheel._42 += offset.y - lift;
        wheel._43 += offset.z;
        if (m_WheelWear[i] != 0.0f)
            Wobble(&wheel, m_WheelWear[i]);
        m_fEffectTimer[i] += dt;
        m_fSkidTimer[i] += dt;
    }
    for (int i = 0; i < wheels; ++i) {
        LaySkidMark(i, contact[i], speed);
        ThrowDust(i, contact[i], speed);
        WetWheel(i, level);
    }
    FloatBody(level);
    CheckJumpTrick();
    SetGrip();
    UpdateScreech();
}

void CVehicle::LaySkidMark(int i, bool contact, float speed)
{
    const float skid = m_pRaycastVehicle->getWheelInfo(i).m_skidInfo;
    if (speed <= 20.0f || skid >= 0.5f || !contact || m_fSkidTimer[i] > 0.5f) {
        m_pSkidMark[i] = nullptr; // the strip stays where it lies
        if (speed <= 20.0f || skid >= 0.5f || !contact)
            return;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!m_pSkidMark[i]) {
            m_pSkidMark[i] = g_WaterCircles.AllocSkidTrail(&m_nSkidTicket[i]);
            if (!m_pSkidMark[i])
                return; // a full pool: no mark
            m_fSkidTimer[i] = 1.0f; // the first point at once
        }
        if (m_fSkidTimer[i] <= 0.05f)
            return;
        // AddPoint drops the point onto the ground through its argument:
        // a copy, so the partner's drawn wheel stays where it is.
        D3DXVECTOR3 point = Translation(m_WheelMatrices[kPartnerWheel[i]]);
        if (m_pSkidMark[i]->AddPoint(&point, 1.0f - 2.0f * skid, m_nSkidTicket[i])) {
            m_fSkidTimer[i] = 0.0f;
            return;
        }
        // Full, or taken back by the pool: never written again.
        m_pSkidMark[i] = nullptr;
    }
}

void CVehicle::ThrowDust(int i, bool contact, float speed)
{
    if (!(m_fRoadFactor > 0.0f && m_fRoadFactor < 0.5f && speed > 10.0f && m_fEffectTimer[i] > 0.1f && contact))
        return;
    D3DXVECTOR3 position = Translation(m_WheelMatrices[i]);
    position.y = GetExactAltitude(&position);
    const D3DXVECTOR3 velocity = m_vLinearVelocity * 0.75f + D3DXVECTOR3(0.0f, 0.5f, 0.0f);
    const float b = std::max(g_Sky.m_fDaylight, 0.25f); // darker at night
    const D3DXCOLOR4 brown{0.4f * b, 0.3f * b, 0.1f * b, 0.5f - m_fRoadFactor};
    g_ParticleEffects.AddDust(&position, &velocity, m_fWheelRadius * 0.25f, 2.0f, std::sqrt(speed) / 10.0f,
                              &brown);
    m_fEffectTimer[i] = 0.0f;
}

// A sunk wheel is pushed up at its own point, so the car tilts until it rises.
void CVehicle::WetWheel(int i, float level)
{
    const D3DXVECTOR3 at = Translation(m_WheelMatrices[i]);
    if (!(at.y < level))
        return;
    const float depth = level - at.y;
    if (m_pMesh && m_pMesh->m_nPoints[VEHICLE_MESH_WHEEL_PART] > std::uint32_t(i)) {
        const btMatrix3x3& basis = m_pRigidBody->getWorldTransform().getBasis();
        const btVector3 lever = basis * ToBt(m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART][i]);
        const btVector3 torque = lever.cross(btVector3(0.0f, 10.0f * depth, 0.0f));
        m_pRigidBody->setAngularVelocity(m_pRigidBody->getAngularVelocity() +
                                         m_pRigidBody->getInvInertiaTensorWorld() * torque);
    }
    ++m_nWheelsInWater;
    if (m_fEffectTimer[i] > 0.5f && std::rand() % 101 > 75) {
        const float dz = static_cast<float>(std::rand() % 151) / 100.0f - 0.75f;
        const float dx = static_cast<float>(std::rand() % 151) / 100.0f - 0.75f;
        const D3DXVECTOR3 ring = at + D3DXVECTOR3(dx, 0.0f, dz);
        g_WaterCircles.SpawnRing(&ring);
        m_fEffectTimer[i] = 0.0f;
    }
}

// Water drags the body and lifts it by how deep it lies; the player's sinking
// car ends any scene and the camera circles it.
void CVehicle::FloatBody(float level)
{
    if (!(m_vPosition.y < level))
        return;
    const float k = m_fBaseMass;
    const btVector3 v = m_pRigidBody->getLinearVelocity();
    const btVector3 push(-0.1f * k * v.x(), (level - m_vPosition.y) * 0.25f * k - 0.025f * k * v.y(),
                         -0.1f * k * v.z());
    m_pRigidBody->setLinearVelocity(v + push * m_pRigidBody->getInvMass());
    const btVector3 w = m_pRigidBody->getAngularVelocity();
    m_pRigidBody->setAngularVelocity(w + m_pRigidBody->getInvInertiaTensorWorld() * (w * (-0.1f * k)));

    CWorldCamera* camera = g_Game.m_pCamera;
    if (this != g_pPlayerVehicle || !camera || camera->m_nMode == kCameraTransitionMode)
        return;
    g_GameTimer.m_fTimeScale = 1.0f;
    g_CityLogic.SetScene(SCENE_IDLE, nullptr, nullptr);
    camera->SetTargetVehicle(this);
    const D3DXVECTOR3 eye(7.5f, 15.0f, 7.5f), axis(0.0f, 1.0f, 0.0f);
    const float rate = std::rand() % 101 < 50 ? -0.5f : 0.5f;
    camera->StartTransition(&eye, &m_vPosition, 0.0f, &axis, rate, 1);
}

// The player's car flying fast and upwards off a ramp earns the trick scene.
void CVehicle::CheckJumpTrick()
{
    if (this != g_pPlayerVehicle || m_nWheelsInContact != 0 || g_CityLogic.m_nScene == SCENE_TRICK_BONUS)
        return;
    if (!(Vec3Length(&m_vLinearVelocity) > 10.0f && m_vLinearVelocity.y > 5.0f))
        return;
    if (g_PropManager.FindNearestProp(GCLASS_LANDSCAPE, GTYPE_DECORS, &m_vPosition, m_fSphereRadius))
        g_CityLogic.SetScene(SCENE_TRICK_BONUS, this, nullptr);
}

// Off the road and outside dense districts a car has half its grip.
void CVehicle::SetGrip()
{
    const float density = g_VehicleManager.GetTrafficDensity(m_vPosition);
    const float g0 = std::max(m_fRoadFactor, std::max(density - 0.5f, 0.0f));
    const float g = g0 > 0.0f ? std::min(5.0f * g0, 1.0f) : 0.0f;
    const int wheels = std::min(m_pRaycastVehicle->getNumWheels(), 4);
    for (int i = 0; i < wheels; ++i)
        m_pRaycastVehicle->getWheelInfo(i).m_frictionSlip = (0.5f * g + 0.5f) * (i < 2 ? m_fFrontGrip : m_fRearGrip);
}

void CVehicle::UpdateScreech()
{
    const bool skidding = std::any_of(std::begin(m_pSkidMark), std::end(m_pSkidMark),
                                      [](const CSkidTrail* strip) { return strip != nullptr; });
    if (!skidding) {
        if (m_pWheelSound) {
            g_AudioManager.StopWheelSounds(this);
            m_pWheelSound = nullptr;
        }
        return;
    }
    if (!WheelSoundPlaying(this))
        m_pWheelSound = g_AudioManager.PlayWheelSound(this);
}
