// The car's frame: fade with the camera distance, the driver, leaving the
// streets behind the camera, the physics steps and the player's trail.
#include "roadusers/Vehicle.h"

#include "game/CityLogic.h"
#include "game/TaxiJob.h"
#include "graphics/SceneLights.h"
#include "roadusers/VehicleManager.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kFadeStart = 39.0f;
constexpr float kFadeLength = 21.0f;
constexpr float kTrafficReach = 60.0f;
constexpr float kPursuitReach = 90.0f;
constexpr float kTrailStep = 4.0f;

} // namespace

void CVehicle::Update()
{
    if (!m_bAlive)
        return;
    const float distance = UpdateCameraDistance();
    const float fade = distance <= kFadeStart ? 1.0f : std::max(0.0f, 1.0f - (distance - kFadeStart) / kFadeLength);
    m_Material.Diffuse.a = fade;
    CModelInstance::m_Material = m_Material;

    UpdateBehaviour();
    if (ShouldDespawn()) {
        m_bAlive = 0;
        return;
    }
    UpdateSteering();
    UpdateEngine();
    UpdatePhysicsLod();
    UpdateMotion();
    UpdateWheels();
    g_SceneLights.GatherNearLights(&m_vPosition, m_fSphereRadius, &m_LightSet);
    if (this == g_pPlayerVehicle)
        UpdateTrail();
}

// Traffic lives around the spawner's centre ahead of the camera; police
// stay with the player's car, farther while they chase it.
bool CVehicle::ShouldDespawn() const
{
    if (m_nKind == VEHICLE_TRAFFIC)
        return Vec3Distance(&m_vPosition, &g_VehicleManager.m_vSpawnAnchor) >= kTrafficReach;
    if (m_nKind == VEHICLE_POLICE && g_pPlayerVehicle) {
        const bool chasing = m_nAIState == AI_STATE_PURSUIT || m_nPrevAIState == AI_STATE_PURSUIT;
        return Vec3Distance(&m_vPosition, &g_pPlayerVehicle->m_vPosition) >= (chasing ? kPursuitReach : kTrafficReach);
    }
    return false;
}

// The newest point first; a point every 4 units, the oldest dropped.
void CVehicle::UpdateTrail()
{
    if (m_nTrailPoints <= 0) {
        m_Trail[0] = m_vPosition;
        m_nTrailPoints = 1;
        return;
    }
    if (Vec3Distance(&m_vPosition, &m_Trail[0]) < kTrailStep)
        return;
    const int kept = std::min<int>(m_nTrailPoints, VEHICLE_TRAIL_SIZE - 1);
    for (int i = kept; i > 0; --i)
        m_Trail[i] = m_Trail[i - 1];
    m_Trail[0] = m_vPosition;
    m_nTrailPoints = kept + 1;
}

void CVehicle::UpdateBehaviour()
{
    if (m_nControlMode == 2)
        UpdatePlayerInput();
    switch (m_nAIState) {
    case AI_STATE_TRAFFIC: DriveTraffic(); break;
    case AI_STATE_RACE: DriveRace(); break;
    case AI_STATE_PURSUIT: DrivePursuit(); break;
    case AI_STATE_BACKOFF: BackOff(); break;
    case AI_STATE_REPAIR: DriveWorkshopRepair(); break;
    case AI_STATE_PAINT: DriveWorkshopPaint(); break;
    default: break;
    }
    if (!m_bPhysicsActive)
        UpdateSpeedModel();
    if (this == g_pPlayerVehicle && g_TaxiJob.m_bOnBoard)
        UpdateTaxiRide();
}

// The passenger gets out once the car stands at the landing point; the
// fare falls for every second of the ride.
void CVehicle::UpdateTaxiRide()
{
    const float dt = g_GameTimer.m_fDelta;
    if (Vec3Distance(&m_vPosition, &g_TaxiJob.m_vLandingPoint) < 1.5f * m_fSphereRadius &&
        std::fabs(m_fSpeed) < 4.0f && g_CityLogic.m_nScene == SCENE_IDLE)
        g_CityLogic.SetScene(SCENE_PASSENGER_OUT, this, nullptr);
    g_TaxiJob.m_fFare = std::max(0.0f, g_TaxiJob.m_fFare - dt * 3.5f);
    g_TaxiJob.m_fRideTime += dt;
}
