// The behaviours of the pedestrian's actions: idle, walking and running along
// the walk path, applauding a race, waiting for a taxi and lying dead.
#include "roadusers/Human.h"

#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "objects/BloodEffect.h"
#include "roadusers/HumanRagdoll.h"
#include "roadusers/SpawnRoute.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr float kFramesPerSecond = 12.5f;
constexpr float kCarCheckInterval = 0.2f;
constexpr float kFastCar = 10.0f;         // km/h
constexpr float kSpectatorRange = 120.0f; // the player's car beyond this sends spectators home

float RandomStep(float delta)
{
    return (static_cast<float>(std::rand() % 101) / 100.0f + 0.5f) * delta;
}

// The frame truncated, at most the last one; a frame driven past any range
// by a wild rate from a file still names a frame of the model.
int ShownFrame(float frame, int last)
{
    if (!(frame >= 0.0f))
        return 0;
    if (frame >= static_cast<float>(last))
        return last;
    return static_cast<int>(frame);
}

D3DXVECTOR3 RandomNearbyPoint(const D3DXVECTOR3& from)
{
    const float x = static_cast<float>(std::rand() % 2001) / 10.0f - 100.0f;
    const float z = static_cast<float>(std::rand() % 2001) / 10.0f - 100.0f;
    return from + D3DXVECTOR3(x, 0.0f, z);
}

} // namespace

float AdvanceHumanAnimation(float frame, float step, float rate, int first, int last, int* shown)
{
    if (static_cast<float>(first) <= frame) {
        frame += step * rate * kFramesPerSecond;
        if (frame >= static_cast<float>(last + 1))
            frame -= static_cast<float>(last - first + 1);
    } else {
        frame = static_cast<float>(first);
    }
    *shown = ShownFrame(frame, last);
    return frame;
}

float AdvanceWaitingAnimation(float frame, float step, float* rate, int first, int last, int* shown)
{
    frame += step * *rate * kFramesPerSecond;
    if (frame >= static_cast<float>(last + 1) && *rate > 0.0f) {
        frame = static_cast<float>(last) - 0.1f;
        *rate = -*rate;
    } else if (frame < static_cast<float>(first) && *rate < 0.0f) {
        frame = static_cast<float>(first);
        *rate = -*rate;
    }
    *shown = ShownFrame(frame, last);
    return frame;
}

void CHuman::SetShownFrame(int shown)
{
    m_nFrame = static_cast<std::uint32_t>(shown < 0 ? 0 : shown);
}

void CHuman::UpdateAction()
{
    switch (m_nAction) {
    case 0:
        UpdateIdle();
        break;
    case ACTION_WALK:
    case ACTION_RUN:
        UpdateWalk();
        break;
    case ACTION_APPLAUD1:
    case ACTION_APPLAUD2:
        UpdateApplaud();
        break;
    case ACTION_WAITCAR:
        UpdateWaitForTaxi();
        break;
    case ACTION_DEAD:
        UpdateDead();
        break;
    default:
        break;
    }
}

void CHuman::UpdateIdle()
{
    m_fActionTimer += RandomStep(g_GameTimer.m_fDelta);
    m_nFrame = 1;
    m_fFrame = 1.0f;
}

void CHuman::CheckForCars()
{
    m_fCarCheckTimer += g_GameTimer.m_fDelta;
    if (m_fCarCheckTimer <= kCarCheckInterval)
        return;
    m_fCarCheckTimer -= kCarCheckInterval;
    CVehicle* car = g_VehicleManager.FindNearestVehicle(&m_vGround, m_fSphereRadius * 1.5f, nullptr, nullptr);
    if (!car)
        return;
    const float offset = car->m_fSpeed < kFastCar ? 0.6f : 0.0f;
    D3DXVECTOR3 away = m_vGround - car->m_vPosition;
    Vec3Normalize(&away, &away);
    const D3DXVECTOR3 flight = m_vGround + away * 1000.0f;
    const D3DXVECTOR3 from = m_vGround;
    if (!g_Landscape.MakeRandomWalkwayRoute(g_SpawnRoute, &g_nSpawnRoute, &from, &flight, ROUTE_WALKWAY,
                                            ROUTE_WALKWAY, 20, offset) ||
        g_nSpawnRoute <= 1)
        return;
    m_nWalkPath = g_nSpawnRoute - 1;
    std::memcpy(m_WalkPath, g_SpawnRoute + 1, sizeof(D3DXVECTOR3) * m_nWalkPath);
    // Only a change of pace enters the action again: a walk restarted on
    // every check would never get past its first frame.
    const int action = car->m_fSpeed > kFastCar ? ACTION_RUN : ACTION_WALK;
    if (action != m_nAction)
        SetAction(action);
}

// Moves the walk target on along the path; false when the path could not be
// extended this frame.
bool CHuman::FollowPath()
{
    m_vWalkTarget = D3DXVECTOR3(m_WalkPath[0].x, m_vGround.y, m_WalkPath[0].z);
    // A path down to its last two points is walked on along a fresh route,
    // also one that came with only two (the walker would stand at point 0
    // for ever). One fresh route a frame: a route whose points all lie under
    // the walker's feet (a dead end) would otherwise be rebuilt again and
    // again within the frame.
    bool extended = false;
    for (int turn = 0; turn <= HUMAN_PATH_POINTS && Vec3Distance(&m_vGround, &m_vWalkTarget) < 0.5f; ++turn) {
        if (m_nWalkPath < 2)
            break;
        if (m_nWalkPath > 2)
            g_Landscape.RemovePathPoint(m_WalkPath, &m_nWalkPath, 0);
        if (m_nWalkPath == 2) {
            if (extended)
                break;
            extended = true;
            D3DXVECTOR3 ahead = m_WalkPath[1] - m_WalkPath[0];
            Vec3Normalize(&ahead, &ahead);
            const D3DXVECTOR3 from = m_WalkPath[0];
            const D3DXVECTOR3 heading = from + ahead * 1000.0f;
            const float offset = m_nAction == ACTION_RUN ? 0.0f : 0.6f;
            if (!g_Landscape.MakeRandomWalkwayRoute(g_SpawnRoute, &g_nSpawnRoute, &from, &heading, ROUTE_WALKWAY,
                                                    ROUTE_WALKWAY, 20, offset) ||
                g_nSpawnRoute == 0)
                return false;
            m_nWalkPath = g_nSpawnRoute;
            std::memcpy(m_WalkPath, g_SpawnRoute, sizeof(D3DXVECTOR3) * m_nWalkPath);
        }
        m_vWalkTarget = D3DXVECTOR3(m_WalkPath[0].x, m_vGround.y, m_WalkPath[0].z);
    }
    return true;
}

void CHuman::UpdateWalk()
{
    const float delta = g_GameTimer.m_fDelta;
    CheckForCars();
    if (m_nWalkPath == 0)
        return; // nowhere to go: stands where it is
    if (!FollowPath())
        return;
    D3DXVECTOR3 local;
    WorldToLocal(&local, &m_vWalkTarget);
    Vec3Normalize(&local, &local);
    float turn = local.x;
    if (local.z < 0.0f)
        turn = local.x > 0.0f ? 1.0f : -1.0f;
    D3DXMATRIX rotation;
    D3DXMatrixRotationY(&rotation, turn * delta * 10.0f);
    D3DXMatrixMultiply(&m_matWorld, &rotation, &m_matWorld);

    const int code = m_nAction;
    int shown = 0;
    m_fFrame = AdvanceHumanAnimation(m_fFrame, delta, m_fActionRates[code], m_ActionFrames[code][0],
                                     m_ActionFrames[code][1], &shown);
    SetShownFrame(shown);

    float speed = code == ACTION_RUN ? m_fRunSpeed : m_fWalkSpeed;
    speed = local.z >= 0.0f ? speed * (1.0f - std::fabs(local.x)) : 0.0f;
    D3DXVECTOR3 at(m_matWorld._41, m_matWorld._42, m_matWorld._43);
    at += D3DXVECTOR3(m_matWorld._31, m_matWorld._32, m_matWorld._33) * (speed * delta);
    at.y = GetExactAltitude(&at);
    m_matWorld._41 = at.x;
    m_matWorld._42 = at.y;
    m_matWorld._43 = at.z;
    m_vGround = at;
}

void CHuman::UpdateApplaud()
{
    const float step = RandomStep(g_GameTimer.m_fDelta);
    m_fActionTimer += step;
    const int first = m_ActionFrames[m_nAction][0];
    if (static_cast<int>(m_nFrame) == first && std::rand() % 101 > 75 && m_fActionTimer > 1.0f) {
        m_nAction = m_nAction == ACTION_APPLAUD1 ? ACTION_APPLAUD2 : ACTION_APPLAUD1;
        m_fActionTimer = 0.0f;
    }
    const int code = m_nAction;
    int shown = 0;
    m_fFrame = AdvanceHumanAnimation(m_fFrame, step, m_fActionRates[code], m_ActionFrames[code][0],
                                     m_ActionFrames[code][1], &shown);
    SetShownFrame(shown);

    // With no player's car there is nothing to face, and nothing keeps the
    // spectator here.
    const CVehicle* car = g_pPlayerVehicle;
    if (car)
        FaceHorizontally(&car->m_vPosition);
    const bool far = !car || Vec3Distance(&m_vGround, &car->m_vPosition) > kSpectatorRange;
    if (!far || !g_Landscape.FindNearestRouteCell(ROUTE_WALKWAY, &m_vGround, 2))
        return;
    const D3DXVECTOR3 from = m_vGround;
    const D3DXVECTOR3 destination = RandomNearbyPoint(from);
    g_Landscape.MakeRandomWalkwayRoute(m_WalkPath, &m_nWalkPath, &from, &destination, ROUTE_WALKWAY, ROUTE_WALKWAY,
                                       20, 0.6f);
    SetAction(ACTION_WALK);
}

void CHuman::UpdateWaitForTaxi()
{
    if (g_VehicleManager.m_bRaceRunning || g_PlayerStats.m_bPursuit) {
        SetAction(ACTION_WALK);
        return;
    }
    const float step = RandomStep(g_GameTimer.m_fDelta);
    m_fActionTimer += step;
    const int first = m_ActionFrames[ACTION_WAITCAR][0];
    const int last = m_ActionFrames[ACTION_WAITCAR][1];
    CVehicle* car = g_pPlayerVehicle;
    if (car && Vec3Distance(&m_vGround, &car->m_vPosition) < car->m_fSphereRadius * 1.5f && m_fActionTimer > 2.0f) {
        FaceHorizontally(&car->m_vPosition);
        m_fFrame = static_cast<float>(first);
        if (std::fabs(car->m_fSpeed) < 4.0f && car->m_nControlMode == 2) {
            g_TaxiJob.m_pPassenger = this;
            g_GameInterface.SetPopupMenu(POPUP_TAXI_OFFER);
        }
    } else {
        FaceHorizontally(&m_vWaitingSpot);
        int ignored = 0;
        m_fFrame = AdvanceWaitingAnimation(m_fFrame, step, &m_fActionRates[ACTION_WAITCAR], first, last, &ignored);
    }
    SetShownFrame(ShownFrame(m_fFrame, last));
}

void CHuman::UpdateDead()
{
    if (!m_bInWorld)
        return;
    const float delta = g_GameTimer.m_fDelta;
    m_fBleedTimer += delta;
    float interval = 0.33f - 0.05f * Vec3Length(&m_vLinearVelocity);
    if (interval < 0.05f)
        interval = 0.05f;
    if (m_fBleedTimer <= interval)
        return;
    m_fBleedTimer -= interval;
    if (std::rand() % 101 > 25)
        return;
    const D3DXVECTOR3& v = m_vLinearVelocity;
    const D3DXVECTOR3 direction(0.75f * v.x, 0.75f * v.y + static_cast<float>(std::rand() % 101) / 200.0f + 0.25f,
                                0.75f * v.z);
    g_BloodEffect.Spawn(&m_vPosition, &direction, D3DXCOLOR4{0.5f, 0.0f, 0.0f, 1.0f});
}
