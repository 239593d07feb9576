// The race itself: the grid, the start signal, the places, the route
// markers and the finish bookkeeping.
#include "game/PlayerStats.h"
#include "objects/MaterialEffects.h"
#include "objects/ParticleEffects.h"
#include "roadusers/HumanManager.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/Profile.h"
#include "world/Landscape.h"
#include "world/Prop.h"
#include "world/PropManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const D3DXVECTOR3 kUp(0.0f, 1.0f, 0.0f);
const float kMarkerPeriod = 0.2f;

D3DXVECTOR3 LookAtSide(const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &from, &to, &kUp);
    return D3DXVECTOR3(view._11, view._21, view._31);
}

struct MarkerLook {
    D3DXVECTOR3 direction;
    float size;
    float r, g, b, a;
};

const MarkerLook kRouteMarker = {D3DXVECTOR3(0.0f, 1.0f, 0.0f), 0.1f, 1.0f, 0.0f, 0.0f, 1.0f};
const MarkerLook kFinishGate = {D3DXVECTOR3(0.0f, 4.0f, 0.0f), 0.45f, 1.0f, 1.0f, 0.0f, 1.0f};

// A rival of one of the eight race models, or null: a car that cannot drive
// stays off the grid.
CVehicle* CreateRival(CVehicleManager& manager)
{
    char path[64];
    std::snprintf(path, sizeof(path), "Data/Vehicles/%02d/Main.obj", std::rand() % 8 + 1);
    CVehicle* car = manager.CreateVehicle(path);
    if (car && !car->HasPhysicsModel()) {
        manager.DestroyVehicle(car);
        car = nullptr;
    }
    return car;
}

// Stands a car in its grid slot, left or right of the route in a row, held
// on the hand brake with the whole route to drive.
void PlaceOnGrid(CVehicleManager& manager, CVehicle* car, int row, bool left, bool isPlayer)
{
    const D3DXVECTOR3& p = manager.m_RaceRoute[2 * row];
    const D3DXVECTOR3& q = manager.m_RaceRoute[2 * row + 1];
    const float s = std::max(1.5f, g_Landscape.GetRouteWidthAt(&p) * 0.125f);
    const D3DXVECTOR3 side = LookAtSide(p, q) * s;
    D3DXVECTOR3 at = left ? p + side : p - side;
    const D3DXVECTOR3 facing = at + (q - p) * 2.0f;
    at.y += std::fabs(car->m_Box.vMin.y) + 0.4f;
    car->Spawn(&at, &facing, &kUp, 1, isPlayer ? VEHICLE_PLAYER : VEHICLE_RIVAL, 1);
    car->StopImmediately();
    const std::uint32_t count = manager.m_nRaceRoutePoints;
    std::memcpy(car->m_Route, manager.m_RaceRoute, count * sizeof(D3DXVECTOR3));
    car->m_nRoutePoints = count;
    car->m_nRouteIndex = static_cast<std::uint32_t>(2 * row);
    car->m_bHandBrake = 1;
    car->SetAIState(AI_STATE_HOLD);
}

// The camera starts above the route ahead of the grid and flies back past
// the start, keeping the player in view.
void FlyOverGrid(const CVehicleManager& manager, CWorldCamera* camera, const CVehicle* player, int rows)
{
    const D3DXVECTOR3* route = manager.m_RaceRoute;
    const std::uint32_t count = manager.m_nRaceRoutePoints;
    const std::uint32_t ahead = std::min<std::uint32_t>(std::max(2 * (rows - 1), 4) + 2, count - 1);
    const D3DXVECTOR3 lift(0.0f, 5.0f, 0.0f);
    const D3DXVECTOR3 from = route[ahead] + lift;
    const D3DXVECTOR3 to = route[0] - (route[1] - route[0]) * 2.0f + lift;
    camera->SetView(&from, &player->m_vPosition, &kUp);
    camera->StartTransition(&to, &player->m_vPosition, 8.0f, nullptr, 0.0f, 0);
}

} // namespace

void CVehicleManager::SetupRaceGrid()
{
    CVehicle* player = m_nCars ? m_Cars[0] : nullptr;
    const std::uint32_t count = m_nRaceRoutePoints;
    if (!player || count < RACE_MIN_ROUTE_POINTS)
        return;
    while (m_nCars > 1)
        DestroyVehicle(m_Cars[m_nCars - 1]);
    const int cars = std::clamp(g_RaceInfo.m_nCars, 1, static_cast<int>(RACE_GRID_CARS));
    const int rows = std::max(1, (cars + 1) / 2);
    m_nRaceCars = 0;
    // The grid fills from the back row forward, two cars a row; the player
    // starts last.
    for (int i = 0; i < cars; ++i) {
        const int row = rows - 1 - i / 2;
        const bool isPlayer = i == cars - 1;
        CVehicle* car = isPlayer ? player : CreateRival(*this);
        if (car) {
            PlaceOnGrid(*this, car, row, i % 2 == 0, isPlayer);
            m_RaceCars[m_nRaceCars++] = car;
        }
    }
    g_RaceInfo.m_nCars = static_cast<std::int32_t>(m_nRaceCars);
    g_RaceInfo.m_bGridReady = 1;
    if (CWorldCamera* camera = g_Game.m_pCamera)
        FlyOverGrid(*this, camera, player, rows);
    // The grid gets its markers at once, not at the next marker tick.
    m_fMarkerTimer = kMarkerPeriod;
    UpdateRaceMarkers();
    // The board's light maps go dark. The overlay borrows the board's own
    // mesh: it is only let go of, never released, or the board would draw
    // a freed mesh.
    if (m_pRaceInfoScreen && m_pRaceInfoScreen->m_pLightMaps)
        m_pRaceInfoScreen->m_pLightMaps->m_pMesh = nullptr;
}

void CVehicleManager::StartRace()
{
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        if (m_Cars[i] && m_Cars[i]->m_nKind == VEHICLE_RIVAL) {
            m_Cars[i]->SetAIState(AI_STATE_RACE);
            m_Cars[i]->m_bHandBrake = 0;
        }
    }
    m_nFinished = 0;
    if (CVehicle* player = g_pPlayerVehicle) {
        player->m_fRaceStartDamage = player->GetDamageRatio() * 100.0f;
        CopyRaceCarFigures(&g_RaceStartCarFigures, player);
    }
    g_RaceStartStats = g_PlayerStats;
    if (m_pRaceInfoScreen)
        g_AudioManager.SafeFreeSound(&RaceBoard()->m_pSound);
    m_bRaceRunning = 1;
}

void CVehicleManager::UpdateRacePlaces()
{
    const std::uint32_t racing = std::min<std::uint32_t>(m_nRaceCars, static_cast<std::uint32_t>(
                                                                          std::max(0, g_RaceInfo.m_nCars)));
    if (racing == 0)
        return;
    if (g_RaceInfo.m_bTimeRace)
        m_RaceCars[0]->m_nRacePlace = TimeRacePlace(g_RaceInfo.m_fClock, g_RaceInfo.m_fTimeLimit);
    else
        SortRacePlaces(m_RaceCars, racing, m_nFinished);
}

// Both emitters of a slot; only an id still missing is asked for, so a slot
// the particle layer could not fill at once is completed later.
static void PlaceMarkerPair(int* ids, const D3DXVECTOR3* route, std::uint32_t i, const MarkerLook& look)
{
    if (ids[0] != -1 && ids[1] != -1)
        return;
    const float half = std::max(6.0f, g_Landscape.GetRouteWidthAt(&route[i]) * 0.375f);
    const D3DXVECTOR3 side = LookAtSide(route[i], route[i + 1]) * half;
    for (int k = 0; k < 2; ++k) {
        if (ids[k] != -1)
            continue;
        D3DXVECTOR3 at = k == 0 ? route[i] + side : route[i] - side;
        at.y = GetExactAltitude(&at) + 0.1f;
        ids[k] = g_ParticleEffects.AddSparkEmitter(&at, &look.direction, look.size, look.r, look.g, look.b, look.a);
    }
}

void CVehicleManager::UpdateRaceMarkers()
{
    CVehicle* player = g_pPlayerVehicle;
    if (!player || player->m_nRoutePoints < RACE_MIN_ROUTE_POINTS)
        return;
    m_fMarkerTimer += g_GameTimer.m_fDelta;
    if (m_fMarkerTimer < kMarkerPeriod)
        return;
    m_fMarkerTimer = 0.0f;
    const std::uint32_t count = std::min<std::uint32_t>(player->m_nRoutePoints, RACE_ROUTE_POINTS);
    const std::uint32_t k = player->m_nRouteIndex;
    const D3DXVECTOR3* route = player->m_Route;
    if (k >= 2) {
        for (std::uint32_t i = 0; i < std::min(k - 2, count - 10); ++i) {
            for (int& id : m_RouteMarkers[i]) {
                if (id != -1)
                    g_ParticleEffects.RemoveSparkEmitter(id);
                id = -1;
            }
        }
    }
    for (std::uint32_t i = k; i < std::min(k + 20, count - 5); ++i)
        if (i % 3 == 0 && !g_PropManager.FindPropTouching(GTYPE_BRIDGE, &route[i], 10.0f))
            PlaceMarkerPair(m_RouteMarkers[i], route, i, kRouteMarker);
    if (k + 15 > count - 5)
        PlaceMarkerPair(m_RouteMarkers[count - 5], route, count - 5, kFinishGate);
    if (!m_bFinishCrowd && k > count - 5) {
        g_HumanManager.CreateSpectators(0);
        m_bFinishCrowd = 1;
    }
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (m_pRaceInfoScreen && camera && !camera->IsSphereVisible(&m_pRaceInfoScreen->m_vPosition, 30.0f)) {
        g_PropManager.RemoveProp(RaceBoard());
        m_pRaceInfoScreen = nullptr;
    }
}

void CVehicleManager::CarFinished(CVehicle* car)
{
    std::uint32_t at = m_nRaceCars;
    for (std::uint32_t i = 0; i < m_nRaceCars; ++i)
        if (m_RaceCars[i] == car)
            at = i;
    if (!car || at == m_nRaceCars)
        return;
    car->m_nRoutePoints = 0;
    car->m_nRouteIndex = 0;
    if (car != g_pPlayerVehicle) {
        car->SetAIState(AI_STATE_TRAFFIC);
        car->m_nKind = VEHICLE_TRAFFIC;
    }
    for (std::uint32_t i = at; i + 1 < m_nRaceCars; ++i)
        m_RaceCars[i] = m_RaceCars[i + 1];
    m_RaceCars[--m_nRaceCars] = nullptr;
    m_nFinished = static_cast<std::uint32_t>(std::max(0, car->m_nRacePlace) + 1);
    --g_RaceInfo.m_nCars;
}

// Every rival still on the grid finishes, whatever it is doing: one caught
// backing off would else keep its route, go back to racing on its own and
// never leave, since rivals are not despawned by distance.
void CVehicleManager::ReleaseRivals()
{
    for (std::uint32_t i = 0; i < m_nRaceCars;) {
        CVehicle* car = m_RaceCars[i];
        if (car && car != g_pPlayerVehicle)
            CarFinished(car); // takes it off the grid list
        else
            ++i;
    }
}

void CVehicleManager::FinishRace()
{
    if (CVehicle* player = g_pPlayerVehicle) {
        // Still on the grid list: the player never reached the finish.
        for (std::uint32_t i = 0; i < m_nRaceCars; ++i)
            if (m_RaceCars[i] == player)
                player->m_nRacePlace = -1;
        if (player->m_nRacePlace >= 0 && player->m_nRacePlace <= 2)
            ++g_PlayerStats.m_nRacesPlaced;
    }
    ReleaseRivals();
    g_FinishedRaceInfo = g_RaceInfo;
    ResetRace();
    g_AudioManager.PlayMusic(0, nullptr, 0, 0.0f);
    m_bRaceRunning = 0;
    SaveGame();
}
