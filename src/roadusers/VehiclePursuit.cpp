// The police chase and the obstacle scan every AI driver runs.
#include "roadusers/Vehicle.h"

#include "game/GameInterface.h"
#include "game/MessageIds.h"
#include "game/PlayerStats.h"
#include "roadusers/DriverSteps.h"
#include "roadusers/VehicleManager.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cmath>

namespace {

D3DXVECTOR3 Forward(const CVehicle& car)
{
    return D3DXVECTOR3(car.m_matWorld._31, car.m_matWorld._32, car.m_matWorld._33);
}

// The flat direction to a point in the car's own axes.
D3DXVECTOR3 DirectionInAxes(const CVehicle& car, const D3DXVECTOR3& point)
{
    D3DXVECTOR3 local;
    car.WorldToLocal(&local, &point);
    local.y = 0.0f;
    Vec3Normalize(&local, &local);
    return local;
}

// Where the player's car will be shortly: ahead of it by its speed.
D3DXVECTOR3 PointAheadOf(const CVehicle& player)
{
    return player.m_vPosition + Forward(player) * std::min(player.m_fSpeed / 5.0f, 20.0f);
}

// Where a pursuer heads: the next point of its planned path while it is
// still far, else the point ahead of the player, or a point of the player's
// trail when it is behind and coming from the side. Across the player's way
// it stops to block it (hand brake on).
D3DXVECTOR3 PursuitTarget(CVehicle& car, const CVehicle& player, float d)
{
    const std::uint32_t count = RouteCount(car);
    if (d >= 8.0f && count > 0)
        return car.m_Route[std::min<std::uint32_t>(1, count - 1)];
    D3DXVECTOR3 target = PointAheadOf(player);
    if (d < 8.0f)
        return target;
    const D3DXVECTOR3 a = DirectionInAxes(car, player.m_vPosition);
    const D3DXVECTOR3 b = DirectionInAxes(player, car.m_vPosition);
    if (b.z > 0.25f && a.z < -0.25f && player.m_fSpeed > 20.0f) {
        car.m_bHandBrake = 1; // across the player's way: block it
    } else if (!(b.z > 0.0f || a.z <= 0.25f || d <= 20.0f) && player.m_nTrailPoints > 0) {
        const float last = static_cast<float>(std::min(player.m_nTrailPoints, int{VEHICLE_TRAIL_SIZE}) - 1);
        target = player.m_Trail[static_cast<int>(std::clamp(d / 6.0f - 1.0f, 0.0f, last))];
    }
    return target;
}

// The wanted speed: with the target ahead, matched to a slow player or
// closing in faster the higher the criminal level; with it behind, a slow
// turn.
float PursuitSpeed(const CVehicle& car, const CVehicle& player, const D3DXVECTOR3& local, float d)
{
    if (local.z <= 0.0f)
        return d <= 8.0f ? 11.25f : 33.75f;
    const float vp = std::fabs(player.m_fSpeed), c = g_PlayerStats.m_fCriminalLevel;
    if (vp <= 15.0f)
        return d <= 12.0f ? std::max(0.0f, d - 4.0f) : (c * 0.5f + 1.0f) * std::max(vp, 4.0f * d);
    return d <= 12.0f ? (c * 0.2f + 1.0f) * vp : car.m_fTopSpeedFigure;
}

// A blocking car stands; a wanted speed of 2 or less is a stop.
void DrivePursuitSpeed(CVehicle& car, float s)
{
    if (car.m_bHandBrake)
        s = 0.0f;
    if (s <= 2.0f)
        car.m_bHandBrake = 1;
    else
        ApplySpeedLaw(car, s, std::max(car.m_fSpeed, 0.0f), 4000.0f, 200.0f);
}

// Straight at a target ahead, full lock towards one behind.
void SteerPursuit(CVehicle& car, const D3DXVECTOR3& local)
{
    if (local.z > 0.0f)
        car.m_fSteerInput = 1.6f * local.x;
    else
        car.m_fSteerInput = local.x > 0.0f ? 0.8f : -0.8f;
    LimitOverSteer(car, local);
}

// A wrecked pursuer gives up: it parks as traffic, its horn turns shrill and
// the player is paid for it.
void GiveUpWrecked(CVehicle& car, const CVehicle& player)
{
    if (player.m_nControlMode == 2) {
        const D3DXCOLOR4 colour{1.0f, 0.75f, 0.25f, 1.0f};
        g_GameInterface.ShowMessage(MSG_POLICE_DEACTIVATED, 5.0f, &colour, 0.375f);
    }
    if (HornSounding(car))
        car.m_pHornSound->SetFrequency(car.m_pHornSound->m_nBaseFrequency * 2);
    car.m_nKind = VEHICLE_TRAFFIC;
    car.SetAIState(AI_STATE_HOLD);
    // The wreck is no pursuer: with the chase still remembered as its
    // previous state it would go on holding the player for an arrest,
    // freezing the criminal level and refusing the restore key.
    car.m_nPrevAIState = AI_STATE_HOLD;
    car.Park();
    g_PlayerStats.m_nRatingPoints += 1;
    g_PlayerStats.m_nEarningsTotal += 200;
    g_PlayerStats.m_nMoney += 200;
}

} // namespace

// Plans a road path to the player's car; 0 when any part of it fails.
int CVehicle::PlanPursuitPath(float distance)
{
    m_fReplanTimer = 0.0f;
    m_nRoutePoints = m_nRouteIndex = 0;
    if (distance <= 22.0f)
        return 1;
    const D3DXVECTOR3 playerAt = g_pPlayerVehicle->m_vPosition;
    D3DXVECTOR3 to, from;
    if (!g_Landscape.FindNearestRoutePoint(&playerAt, &m_vPosition, &to, 1, 4, 20) ||
        !g_Landscape.FindNearestRoutePoint(&m_vPosition, &playerAt, &from, 1, 4, 20) ||
        !g_Landscape.FindRoutePath(m_Route, &m_nRoutePoints, &from, &to, 1, 4, 0, 0, 2, 0.0f, 2048)) {
        m_nRoutePoints = 0;
        return 0;
    }
    return 1;
}

void CVehicle::DrivePursuit()
{
    const CVehicle* player = g_pPlayerVehicle;
    // Nobody to chase: the car drives on as traffic.
    if (!player) {
        SetAIState(AI_STATE_TRAFFIC);
        return;
    }
    const float d = Vec3Distance(&m_vPosition, &player->m_vPosition);
    m_fThrottleTarget = m_fSteerInput = 0.0f;
    m_bHandBrake = 0;
    m_fReplanTimer += g_GameTimer.m_fDelta;
    if (m_fReplanTimer >= 0.5f && !PlanPursuitPath(d)) {
        m_fBrakeTarget = m_fBrake = 100.0f;
        m_bHandBrake = 1;
        return;
    }
    m_vSteerTarget = PursuitTarget(*this, *player, d);
    const D3DXVECTOR3 local = LocalTarget(*this, m_vSteerTarget);
    DrivePursuitSpeed(*this, PursuitSpeed(*this, *player, local, d));
    SteerPursuit(*this, local);
    UpdateStuckTimer(*this, !m_bHandBrake && d > 8.0f);
    if (m_fStuckTimer > 2.0f)
        SetAIState(AI_STATE_BACKOFF);
    SoundHorn(*this);
    if (m_fBodyDamage >= 1.0f)
        GiveUpWrecked(*this, *player);
}

int CVehicle::CheckCarAhead(CVehicle** out)
{
    if (out)
        *out = nullptr;
    if (m_bObstacle) {
        m_fThrottleTarget = 0.0f;
        if (m_fSpeed > 1.0f)
            m_fBrakeTarget = 100.0f;
        m_bHandBrake = 1;
    } else {
        m_bHandBrake = 0;
    }
    const bool rival = m_nKind == VEHICLE_RIVAL;
    m_fObstacleTimer += g_GameTimer.m_fDelta;
    if (!rival && m_fObstacleTimer < 0.2f)
        return m_bObstacle;
    m_fObstacleTimer = 0.0f;
    m_bObstacle = 0;
    const float radius = m_fSphereRadius;
    for (CVehicle* other = g_VehicleManager.FindCarAhead(this, nullptr); other;
         other = g_VehicleManager.FindCarAhead(this, other)) {
        D3DXVECTOR3 local;
        WorldToLocal(&local, &other->m_vPosition);
        if (rival && local.z >= 0.0f) {
            if (out)
                *out = other;
            return 1;
        }
        if (!rival && local.z >= radius && local.x >= -radius) {
            m_bObstacle = 1;
            return 1;
        }
    }
    return 0;
}
