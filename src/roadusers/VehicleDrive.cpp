// The driver's inputs turned into the raycast vehicle's steering, engine
// force and brakes, with the engine's smoke and sound, and the two stops.
#include "roadusers/Vehicle.h"

#include "game/CityLogic.h"
#include "objects/ParticleEffects.h"
#include "shell/AudioManager.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float kMaxSteering = 0.8f;
constexpr float kFullBrake = 100.0f;
constexpr float kEngineSoundReach = 50.0f;

} // namespace

void CVehicle::UpdateSteering()
{
    const float dt = g_GameTimer.m_fDelta;
    const float back = kMaxSteering * dt * m_fHandling * 0.85f;
    if (m_fSteerInput != 0.0f) {
        // Counter-steering brings the wheels back before turning them over.
        if (m_fSteerInput < 0.0f && m_fSteering > 0.0f)
            m_fSteering -= back;
        else if (m_fSteerInput > 0.0f && m_fSteering < 0.0f)
            m_fSteering += back;
        m_fSteering += dt * m_fSteerInput * m_fHandling / (std::fabs(m_fSpeed) / 40.0f + 1.0f);
        m_fSteering = std::clamp(m_fSteering, -kMaxSteering, kMaxSteering);
    } else if (m_fSteering > 0.0f) {
        m_fSteering = std::max(0.0f, m_fSteering - back);
    } else if (m_fSteering < 0.0f) {
        m_fSteering = std::min(0.0f, m_fSteering + back);
    }
    m_fSteerInput = 0.0f;
    if (m_pRaycastVehicle && m_pRaycastVehicle->getNumWheels() >= 2) {
        m_pRaycastVehicle->setSteeringValue(m_fSteering, 0);
        m_pRaycastVehicle->setSteeringValue(m_fSteering, 1);
    }
}

// The engine force builds up with the throttle and falls away without it;
// a held brake at full pressure turns it into reverse force.
void CVehicle::UpdateEngineForce(float dt)
{
    if (m_fEngineForce > m_fPower)
        m_fThrottleTarget = 0.0f;
    if (m_fThrottleTarget != 0.0f) {
        m_fEngineForce += dt * m_fThrottleTarget * m_fTransmission / (std::max(m_fEngineForce, 0.0f) / 250.0f + 1.0f);
        m_fEngineForce = std::min(m_fEngineForce, m_fPower);
    } else if (m_fEngineForce > 0.0f) {
        m_fEngineForce = std::max(0.0f, m_fEngineForce - 2000.0f * dt * m_fTransmission * 0.2f);
    }

    if (m_fBrakeTarget != 0.0f) {
        m_fBrake = std::min(kFullBrake, m_fBrake + dt * m_fBrakeTarget * 7.5f);
        if (m_fBrake == kFullBrake) {
            if (m_bHandBrake)
                m_fEngineForce = 0.0f;
            else if (m_fSpeed < 0.0f) // reverse force fades out at 80 km/h backwards
                m_fEngineForce = -(1.0f - std::min(std::fabs(m_fSpeed) / 80.0f, 1.0f)) * m_fPower;
            else
                m_fEngineForce -= 2000.0f * dt * m_fTransmission * 2.0f;
            m_fEngineForce = std::max(m_fEngineForce, -m_fPower);
        }
    } else {
        m_fBrake = std::max(0.0f, m_fBrake - 100.0f * dt * 2.0f);
        if (m_fEngineForce < 0.0f) {
            m_fEngineForce = std::min(0.0f, m_fEngineForce + 2000.0f * dt * m_fTransmission * 0.5f);
            // The accelerator while reversing brakes first.
            if (m_fThrottleTarget != 0.0f)
                m_fBrakeTarget = kFullBrake;
        }
    }
}

float CVehicle::WheelForce() const
{
    float force = std::min(m_fEngineForce, 0.0f); // coasting pushes nothing forward
    if (m_fThrottleTarget != 0.0f && m_fBrakeTarget == 0.0f) {
        const float boost = std::max(0.0f, 50.0f - std::max(m_fSpeed, 0.0f)) * m_fTransmission * 0.5f / 20.0f;
        force = m_fEngineForce * (1.0f + boost);
    }
    if (m_fBrakeTarget != 0.0f && m_fSpeed > 1.0f)
        force = 0.0f;
    if (m_bObstacle && m_fSpeed < 1.0f)
        force = 0.0f;
    return force;
}

void CVehicle::UpdateEngine()
{
    const float dt = g_GameTimer.m_fDelta;
    if (m_bPhysicsActive && m_pRaycastVehicle)
        m_fSpeed = m_pRaycastVehicle->getCurrentSpeedKmHour();
    UpdateEngineForce(dt);

    const float force = WheelForce();
    if (m_pRaycastVehicle && m_pRaycastVehicle->getNumWheels() >= 4) {
        if (m_nDriveValue) {
            m_pRaycastVehicle->applyEngineForce(force, 0);
            m_pRaycastVehicle->applyEngineForce(force, 1);
        }
        if (m_nDrivenAxle) {
            m_pRaycastVehicle->applyEngineForce(force, 2);
            m_pRaycastVehicle->applyEngineForce(force, 3);
        }
        // No braking while the brake key drives the car backwards.
        const float brake = (m_fBrakeTarget != 0.0f && force < 0.0f && !m_bHandBrake) ? 0.0f : m_fBrake;
        m_pRaycastVehicle->setBrake(brake, 2);
        m_pRaycastVehicle->setBrake(brake, 3);
    }

    PuffEngineSmoke(dt);
    if (g_bAudio)
        UpdateEngineSound(dt);
    m_fThrottleTarget = 0.0f;
    m_fBrakeTarget = m_bHandBrake ? kFullBrake : 0.0f;
}

// A damaged engine smokes, blacker and more often the worse it is.
void CVehicle::PuffEngineSmoke(float dt)
{
    m_fSmokeTimer += dt;
    const float damage = m_fBodyDamage;
    if (!(damage > 0.25f) || !(m_fSmokeTimer > 0.3f - 0.25f * damage))
        return;
    if (!m_pMesh || m_pMesh->m_nPoints[VEHICLE_MESH_ENGINE_PART] == 0 || !m_pMesh->m_pPoints[VEHICLE_MESH_ENGINE_PART])
        return;
    D3DXVECTOR3 at;
    D3DXVec3TransformCoord(&at, &m_pMesh->m_pPoints[VEHICLE_MESH_ENGINE_PART][0], &m_matWorld);
    const D3DXVECTOR3 velocity = m_vLinearVelocity * 0.5f + D3DXVECTOR3(0.0f, 2.0f, 0.0f);
    const D3DXCOLOR4 black{0.0f, 0.0f, 0.0f, 0.65f * (damage - 0.25f) / 0.75f};
    g_ParticleEffects.AddFlame(&at, &velocity, 0.5f * damage, 1.5f - damage, 1.0f, &black, 0, nullptr);
    m_fSmokeTimer = 0.0f;
}

float VehicleEngineLoad(float speed, float topSpeed, float throttle, float engineForce)
{
    const float pace = std::fabs(speed);
    const float gear = std::trunc(std::min(pace / 20.0f, 5.0f));
    float load = (std::min(pace, 120.0f) - 20.0f * gear) / 20.0f;
    if (load < 0.05f && pace < 5.0f && engineForce > 500.0f)
        load = std::min(throttle / 2000.0f, 1.0f); // revving at a standstill
    return std::min(load + 0.5f * VehicleSpeedRatio(speed, topSpeed), 1.0f);
}

// A car without a top speed counts as flat out.
float VehicleSpeedRatio(float speed, float topSpeed)
{
    return topSpeed > 0.0f ? std::min(speed / topSpeed, 1.0f) : 1.0f;
}

void CVehicle::UpdateEngineSound(float dt)
{
    const bool near = m_fCameraDistance < kEngineSoundReach;
    if (!m_pEngineSound) {
        if (!near || m_nEngineSound < 0)
            return;
        m_pEngineSound = g_AudioManager.AcquireEngineSound(static_cast<DWORD>(m_nEngineSound), this);
        if (!m_pEngineSound)
            return; // none free: no sound this frame
        m_fEnginePitch = static_cast<float>(m_pEngineSound->m_nBaseFrequency);
    }
    if (!near) {
        if (m_nEngineSound >= 0)
            g_AudioManager.ReleaseEngineSounds(static_cast<DWORD>(m_nEngineSound), this);
        m_pEngineSound = nullptr;
        return;
    }
    float load = 0.0f, fall = 20000.0f;
    if (m_fThrottleTarget > 0.0f) {
        load = VehicleEngineLoad(m_fSpeed, m_fTopSpeedFigure, m_fThrottleTarget, m_fEngineForce);
        if (load < 0.2f)
            fall = 9000000.0f; // a gear change drops the revs at once
    }
    const float target = static_cast<float>(m_pEngineSound->m_nBaseFrequency) * (1.0f + 0.75f * load);
    if (m_fEnginePitch < target)
        m_fEnginePitch = std::min(target, m_fEnginePitch + 40000.0f * dt);
    else if (m_fEnginePitch > target)
        m_fEnginePitch = std::max(target, m_fEnginePitch - dt * fall);
    float volume = 60.0f - 30.0f * VehicleSpeedRatio(m_fSpeed, m_fTopSpeedFigure) + 40.0f * load;
    if (this == g_pPlayerVehicle)
        volume = g_CityLogic.m_nScene == SCENE_NEW_GAME ? 100.0f : std::min(volume, 70.0f);
    m_fEngineVolume = std::clamp(volume, 0.0f, 100.0f);
}

void CVehicle::StopImmediately()
{
    m_fSpeed = m_fThrottleTarget = m_fEngineForce = 0.0f;
    m_fSteering = m_fSteerInput = 0.0f;
    m_fBrake = m_fBrakeTarget = kFullBrake;
    m_bHandBrake = 1;
    m_vLinearVelocity = m_vAngularVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    if (m_pRigidBody) {
        m_pRigidBody->setLinearVelocity(btVector3(0, 0, 0));
        m_pRigidBody->setAngularVelocity(btVector3(0, 0, 0));
    }
    SetControlMode(1);
    // Written directly: the previous state and the behaviour timers stay.
    m_nAIState = AI_STATE_NONE;
}

void CVehicle::Park()
{
    m_fThrottleTarget = 0.0f;
    m_fBrake = m_fBrakeTarget = kFullBrake;
    m_bHandBrake = 1;
    SetControlMode(1);
    m_nAIState = AI_STATE_NONE;
}
