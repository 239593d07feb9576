// The traffic and race drivers and backing off when stuck.
#include "roadusers/Vehicle.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "roadusers/DriverSteps.h"
#include "roadusers/VehicleManager.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/PropManager.h"

#include <algorithm>
#include <cmath>

namespace {


D3DXVECTOR3 Forward(const CVehicle& car)
{
    return D3DXVECTOR3(car.m_matWorld._31, car.m_matWorld._32, car.m_matWorld._33);
}

// A wander route onwards from the end of the old one (or from the car,
// heading where it faces). False when none could be made.
bool MakeWanderRoute(CVehicle& car)
{
    const std::uint32_t count = RouteCount(car);
    D3DXVECTOR3 from = car.m_vBodyPos;
    D3DXVECTOR3 towards = from + Forward(car) * 100.0f;
    if (count > 2) {
        from = car.m_Route[count - 2];
        D3DXVECTOR3 direction = car.m_Route[count - 1] - from;
        Vec3Normalize(&direction, &direction);
        towards = from + direction * 100.0f;
    }
    car.m_nRoutePoints = car.m_nRouteIndex = 0;
    g_Landscape.MakeRandomRoadRoute(car.m_Route, &car.m_nRoutePoints, &from, &towards, ROUTE_ROAD, ROUTE_ROAD, 20);
    return RouteCount(car) >= 2;
}

// The raised route point and the next one, for putting a racer back.
void ResetOntoRoute(CVehicle& car)
{
    const std::uint32_t count = RouteCount(car);
    if (count < 2)
        return;
    const std::uint32_t i = std::min(car.m_nRouteIndex, count - 2);
    const D3DXVECTOR3 lift(0.0f, 2.5f, 0.0f);
    const D3DXVECTOR3 at = car.m_Route[i] + lift, look = car.m_Route[i + 1] + lift;
    car.ResetToRoad(&at, &look);
}

} // namespace

void CVehicle::DriveTraffic()
{
    m_fThrottleTarget = m_fBrakeTarget = m_fSteerInput = 0.0f;
    float cruise = 45.0f;
    if (this == g_pPlayerVehicle && g_CityLogic.m_nScene == SCENE_NEW_GAME) {
        const std::uint32_t count = RouteCount(*this);
        if (count > 0 &&
            (m_nRouteIndex >= count - 1 || Vec3Distance(&m_vPosition, &m_Route[count - 1]) < 4.0f)) {
            Park();
            return;
        }
        cruise = 25.0f;
        if (count < 2)
            return;
    } else if (RouteCount(*this) < 2 || std::int64_t{m_nRouteIndex} >= std::int64_t{RouteCount(*this)} - 2) {
        if (!MakeWanderRoute(*this))
            return;
    }

    const D3DXVECTOR3 local = [this] {
        std::uint32_t next = ClampIndex(*this, std::uint64_t{m_nRouteIndex} + 1);
        if (PassRoutePoint(*this, ClampIndex(*this, std::uint64_t{next} + 1)))
            next = ClampIndex(*this, std::uint64_t{m_nRouteIndex} + 1);
        m_vSteerTarget = m_Route[next];
        return LocalTarget(*this, m_vSteerTarget);
    }();

    const float v = m_fSpeed;
    const float s = local.z > 0.0f ? (1.0f - std::fabs(local.x) * 0.5f) * cruise : cruise * 0.3333f;
    ApplySpeedLaw(*this, s, v);
    if (local.z > 0.0f)
        m_fSteerInput = 1.6f * local.x;
    else
        m_fSteerInput = v <= s ? -0.8f : 0.0f;
    LimitOverSteer(*this, local);

    if (!CheckCarAhead(nullptr)) {
        UpdateStuckTimer(*this);
        if (m_fStuckTimer > 1.0f)
            SetAIState(AI_STATE_BACKOFF);
    } else {
        m_fStuckTimer = 0.0f;
        if (m_nKind != VEHICLE_POLICE && m_fSpeed < 5.0f)
            SoundHorn(*this);
    }

    const CVehicle* player = g_pPlayerVehicle;
    if (m_nKind == VEHICLE_POLICE && g_PlayerStats.m_fCriminalLevel > 0.25f && player && player->m_nControlMode == 2 &&
        Vec3Distance(&m_vPosition, &player->m_vPosition) < 40.0f) {
        SetAIState(AI_STATE_PURSUIT);
        m_fReplanTimer = 100.0f;
        const D3DXCOLOR4 colour{1.0f, 0.75f, 0.25f, 1.0f};
        g_GameInterface.ShowMessage(MSG_CRIMINAL_EXCEEDED, 20.0f, &colour, 0.375f);
    }
}

// How many points ahead a racer steers for: fewer off wide roads, near
// bridges and at low speed.
static std::uint32_t RaceLookAhead(CVehicle& car)
{
    const float width = g_Landscape.GetRouteWidthAt(&car.m_vPosition);
    int ahead = 4 - static_cast<int>(std::max(0.0f, 2.0f - width / 6.0f));
    if (g_PropManager.FindPropTouching(GTYPE_BRIDGE, &car.m_vPosition, 50.0f))
        ahead = 2;
    const float speed = std::fabs(car.m_fSpeed);
    // A car without handling figures steers for the full look-ahead while it
    // moves (the speed limit would divide by nothing).
    float limit = speed > 0.0f ? static_cast<float>(ahead) : 0.0f;
    if (car.m_fHandling > 0.0f)
        limit = std::min(static_cast<float>(ahead), speed / car.m_fHandling / 5.0f);
    return ClampIndex(car, std::uint64_t{car.m_nRouteIndex} + static_cast<std::uint32_t>(std::max(0.0f, limit)));
}

void CVehicle::DriveRace()
{
    m_fThrottleTarget = m_fBrakeTarget = m_fSteerInput = 0.0f;
    const std::uint32_t count = RouteCount(*this);
    if (count < 2)
        return;
    m_nRouteIndex = ClampIndex(*this, m_nRouteIndex);
    std::uint32_t next = RaceLookAhead(*this);
    if (PassRoutePoint(*this, ClampIndex(*this, std::uint64_t{next} + 1)))
        next = RaceLookAhead(*this);
    const D3DXVECTOR3 p1 = m_Route[next], p2 = m_Route[ClampIndex(*this, std::uint64_t{next} + 1)];

    const float radius = m_fSphereRadius;
    D3DXVECTOR3 target = p1 + RouteFrameRight(p1, p2) * (static_cast<float>(m_nLane) * radius);
    CVehicle* other = nullptr;
    if (!CheckCarAhead(&other) || !other) {
        m_nLane = 0;
        target = p1;
    } else {
        const int j = FindNearestRouteIndex(&other->m_vPosition);
        // Without a nearby route point for the other car the lane is kept.
        if (j >= 0) {
            const D3DXVECTOR3 a = m_Route[j], b = m_Route[ClampIndex(*this, std::uint64_t(j) + 1)];
            m_nLane = InRouteFrame(other->m_vPosition, a, b).x >= 0.0f ? -1 : 1;
            target = b + RouteFrameRight(a, b) * (static_cast<float>(m_nLane) * radius);
        }
    }
    m_vSteerTarget = target;
    const D3DXVECTOR3 local = LocalTarget(*this, target);

    const float s = local.z > 0.0f ? (1.0f - std::fabs(local.x) * 0.75f) * m_fTopSpeedFigure : 14.9985f;
    ApplySpeedLaw(*this, s, m_fSpeed);
    if (local.z > 0.0f)
        m_fSteerInput = 0.8f * local.x;
    else
        m_fSteerInput = local.x > 0.0f ? 0.8f : -0.8f;
    LimitOverSteer(*this, local);

    UpdateStuckTimer(*this, !m_bHandBrake);
    if (m_fStuckTimer > 5.0f && m_fCameraDistance > 60.0f)
        ResetOntoRoute(*this);
    else if (m_fStuckTimer > 2.0f)
        SetAIState(AI_STATE_BACKOFF);

    UpdateRemainingDistance();
    if (std::int64_t{m_nRouteIndex} >= std::int64_t{count} - 4)
        g_VehicleManager.CarFinished(this);
    if (m_nWheelsInWater > 0 && m_fCameraDistance > 60.0f)
        ResetOntoRoute(*this);
    RaceCatchUp();
}

// A rival far behind the player's car drives with stronger parts for this
// frame's figures; its own levels stay as they are.
void CVehicle::RaceCatchUp()
{
    int bonus = 0;
    if (const CVehicle* player = g_pPlayerVehicle) {
        const float d = m_fRemainingDistance - player->m_fRemainingDistance;
        bonus = d > 40.0f ? 2 : d > 20.0f ? 1 : 0;
    }
    if (bonus == 0) {
        UpdatePerformance(1, 1);
        return;
    }
    const int kept[3] = {m_UpgradeLevels[ENGINE], m_UpgradeLevels[TRANSMISSION], m_UpgradeLevels[CHASSIS]};
    for (int part : {ENGINE, TRANSMISSION, CHASSIS})
        m_UpgradeLevels[part] += bonus;
    UpdatePerformance(1, 1);
    m_UpgradeLevels[ENGINE] = kept[0];
    m_UpgradeLevels[TRANSMISSION] = kept[1];
    m_UpgradeLevels[CHASSIS] = kept[2];
}

// Reverses away from what holds the car, turning the other way.
void CVehicle::BackOff()
{
    m_fThrottleTarget = 0.0f;
    m_fSteerInput = m_vLocalTarget.x * -0.8f * 0.5f;
    m_fBrakeTarget = 100.0f;
    m_fStuckTimer += g_GameTimer.m_fDelta;
    if (m_fStuckTimer <= 2.0f)
        return;
    if (m_nKind == VEHICLE_RIVAL)
        SetAIState(AI_STATE_RACE);
    else if (m_nKind == VEHICLE_POLICE)
        SetAIState(m_nPrevAIState);
    else
        SetAIState(AI_STATE_TRAFFIC);
}
