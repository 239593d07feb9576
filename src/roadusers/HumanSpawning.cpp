// Keeping the walkways populated, and the race spectators.
#include "roadusers/HumanManager.h"

#include "game/CityLogic.h"
#include "roadusers/Human.h"
#include "roadusers/SpawnRoute.h"
#include "roadusers/VehicleManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "graphics/WorldCamera.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr float kSpawnRadius = 30.000002f;
constexpr int kSpectatorPoints = 3;
// Spectators stand beside three route points and face two points back.
constexpr std::uint32_t kSpectatorRouteMinimum = 6;

D3DXVECTOR3 RandomAim()
{
    D3DXVECTOR3 aim(0, 0, 0);
    while (Vec3Length(&aim) == 0.0f) {
        aim.x = static_cast<float>(std::rand() % 2001 - 1000);
        aim.z = static_cast<float>(std::rand() % 2001 - 1000);
    }
    Vec3Normalize(&aim, &aim);
    return aim * 1000.0f;
}

float Jitter()
{
    return static_cast<float>(std::rand() % 151) / 100.0f - 0.75f;
}

} // namespace

std::uint32_t HumanSpawnLimit(float density, int traffic)
{
    const float limit = density * static_cast<float>(traffic * 4 + 7);
    return limit > 0.0f ? static_cast<std::uint32_t>(limit) : 0u;
}

void CHumanManager::SpawnPedestrians()
{
    D3DXVECTOR3 eye(0, 0, 0);
    if (g_Game.m_pCamera)
        eye = g_Game.m_pCamera->m_vEye;
    m_nSpawnLimit = HumanSpawnLimit(g_VehicleManager.GetTrafficDensity(eye), g_nTraffic);
    if (m_nSpawnLimit <= m_nHumans)
        return;
    m_fSpawnTimer -= g_GameTimer.m_fRealDelta;
    if (m_fSpawnTimer > 0.0f)
        return;
    m_fSpawnTimer = 0.1f;
    TrySpawnPedestrian();
}

int CHumanManager::TrySpawnPedestrian()
{
    D3DXVECTOR3 spawn;
    const D3DXVECTOR3 centre = g_VehicleManager.m_vSpawnAnchor;
    if (!g_Landscape.PickRandomRoutePointAtDistance(&centre, &spawn, kSpawnRadius, ROUTE_WALKWAY, ROUTE_WALKWAY))
        return 0;
    const D3DXVECTOR3 aim = RandomAim();
    if (!g_Landscape.MakeRandomWalkwayRoute(g_SpawnRoute, &g_nSpawnRoute, &spawn, &aim, ROUTE_WALKWAY, ROUTE_WALKWAY,
                                            20, 0.6f) ||
        g_nSpawnRoute < 2)
        return 0;
    if (FindHumanInSphere(&g_SpawnRoute[0], 4.0f, nullptr, nullptr))
        return 0;
    const int gender = std::rand() % 2;
    CHuman* human = CreateHuman(g_HumanModelPaths[gender], &g_SpawnRoute[0], &g_SpawnRoute[1], gender);
    if (!human)
        return 0;
    human->m_nWalkPath = g_nSpawnRoute;
    std::memcpy(human->m_WalkPath, g_SpawnRoute, sizeof(D3DXVECTOR3) * g_nSpawnRoute);
    const D3DXVECTOR3 first = human->m_WalkPath[0], second = human->m_WalkPath[1];
    human->SetPosition(&first, &second);
    if (m_nWaitingPassengers == 0 && g_CityLogic.m_nScene != SCENE_NEW_GAME && !g_VehicleManager.m_bRaceRunning &&
        std::rand() % 101 > 50) {
        human->SetAction(ACTION_WAITCAR);
        return 1;
    }
    human->SetAction(ACTION_WALK);
    return 1;
}

void CHumanManager::PlaceSpectator(const D3DXVECTOR3& at, const D3DXVECTOR3& facing)
{
    const int gender = std::rand() % 2;
    CHuman* human = CreateHuman(g_HumanModelPaths[gender], &at, &facing, gender);
    if (!human)
        return;
    human->SetPosition(&at, &facing);
    human->SetAction(ACTION_APPLAUD1);
}

void CHumanManager::CreateSpectators(int restart)
{
    const std::uint32_t points = g_VehicleManager.m_nRaceRoutePoints;
    // A shorter route has no three points with two before each to face.
    if (points < kSpectatorRouteMinimum || points > RACE_ROUTE_POINTS)
        return;
    if (restart)
        Clear();
    const std::uint32_t k = restart ? 3 : points - 3;
    const D3DXVECTOR3* P = g_VehicleManager.m_RaceRoute;
    const D3DXVECTOR3 up(0, 1, 0);
    for (std::uint32_t i = k; i < k + kSpectatorPoints && i < points; ++i) {
        for (int s = 0; s < 2; ++s) {
            const D3DXVECTOR3 shift = (P[i] - P[i - 1]) * (0.5f * static_cast<float>(s));
            D3DXMATRIX look;
            BuildLookAtMatrix(&look, &P[i - 1], &P[i], &up);
            const D3DXVECTOR3 right(look._11, look._12, look._13);
            const float width = std::max(g_Landscape.GetRouteWidthAt(&P[i]), 10.0f);
            const D3DXVECTOR3 lateral = right * (width * 0.4f);
            for (float side : {1.0f, -1.0f}) {
                D3DXVECTOR3 at = P[i] + lateral * side + shift;
                at.x += Jitter();
                at.z += Jitter();
                at.y = GetExactAltitude(&at);
                D3DXVECTOR3 facing = P[i - 2] + shift;
                facing.y = at.y;
                PlaceSpectator(at, facing);
            }
        }
    }
}

void CHumanManager::DisperseSpectators()
{
    for (std::uint32_t i = 0; i < m_nHumans; ++i) {
        CHuman* human = m_pHumans[i];
        if (human->m_nAction != ACTION_APPLAUD1 && human->m_nAction != ACTION_APPLAUD2)
            continue;
        if (!g_Landscape.FindNearestRouteCell(ROUTE_WALKWAY, &human->m_vGround, 2))
            continue;
        const D3DXVECTOR3 from = human->m_vGround;
        const D3DXVECTOR3 destination =
            from + D3DXVECTOR3(static_cast<float>(std::rand() % 2001) / 10.0f - 100.0f, 0.0f,
                               static_cast<float>(std::rand() % 2001) / 10.0f - 100.0f);
        g_Landscape.MakeRandomWalkwayRoute(human->m_WalkPath, &human->m_nWalkPath, &from, &destination, ROUTE_WALKWAY,
                                           ROUTE_WALKWAY, 20, 0.6f);
        human->SetAction(ACTION_WALK);
    }
}
