// The race on offer: the check that makes or withdraws it near the camera,
// the start trigger at its board, and the withdrawal of everything.
#include "game/CityLogic.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "graphics/D3DRender.h"
#include "graphics/MeshRecord.h"
#include "objects/ParticleEffects.h"
#include "platform/Win32Time.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/RaceOffer.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/Prop.h"
#include "world/PropManager.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::uint32_t ClockSeed()
{
    return timeGetTime();
}

} // namespace

std::uint32_t (*g_pRaceOfferSeed)() = ClockSeed;

namespace {

const float kCheckPeriod = 0.25f;
const float kOfferReach = 175.0f;
const float kStartRadius = 150.0f;
const float kStartNearest = 100.0f;
const float kBridgeClearance = 60.0f;
const float kStartReach = 4.0f;
const float kStartSpeed = 7.5f;
const int kBoardPointPart = 8;

bool BridgeNear(const D3DXVECTOR3& point, float radius)
{
    return g_PropManager.FindPropTouching(GTYPE_BRIDGE, &point, radius) != nullptr;
}

// Point 0 of the board's part 8 in the world: where a car starts the race.
// False for a board without one.
bool BoardStartPoint(const CProp* board, D3DXVECTOR3* out)
{
    const CMeshRecord* mesh = board ? board->m_pMesh : nullptr;
    if (!mesh || mesh->m_nPoints[kBoardPointPart] == 0 || !mesh->m_pPoints[kBoardPointPart])
        return false;
    D3DXVec3TransformCoord(out, &mesh->m_pPoints[kBoardPointPart][0], &board->m_matWorld);
    return true;
}

D3DXVECTOR3 LookAtSide(const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    D3DXMATRIX view;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &from, &to, &up);
    return D3DXVECTOR3(view._11, view._21, view._31);
}

} // namespace

std::uint32_t TrimRaceRoute(const D3DXVECTOR3* route, std::uint32_t count)
{
    while (count > 0 && BridgeNear(route[count - 1], kBridgeClearance))
        --count;
    return count >= RACE_MIN_ROUTE_POINTS ? count : 0;
}

void CVehicleManager::UpdateRace()
{
    CVehicle* player = g_pPlayerVehicle;
    if (!player)
        return;
    const float dt = g_GameTimer.m_fDelta;
    if (m_pRaceInfoScreen && g_RaceInfo.m_bGridReady && m_nRaceRoutePoints > 5) {
        const float d = std::max(0.0f, Vec3Distance(&player->m_vPosition, &m_RaceRoute[5]) - 20.0f);
        if (d <= 10.0f)
            g_AudioManager.SetVoiceVolume(0, 90.0f - 60.0f * d / 10.0f);
        else
            g_AudioManager.PlayVoice(0, 0);
    }
    if (m_bRaceRunning) {
        g_RaceInfo.m_fClock += dt;
        UpdateRaceMarkers();
        UpdateRacePlaces();
        return;
    }
    m_fRaceCheckTimer += dt;
    if (m_fRaceCheckTimer < kCheckPeriod)
        return;
    m_fRaceCheckTimer = 0.0f;
    const CWorldCamera* camera = g_Game.m_pCamera;
    const bool intro = g_CityLogic.m_nScene == SCENE_NEW_GAME;
    const bool passenger = g_TaxiJob.m_bOnBoard != 0;
    if (m_nRaceRoutePoints && camera && !intro && Vec3Distance(&m_RaceRoute[0], &camera->m_vEye) > kOfferReach)
        ResetRace();
    if (m_nRaceRoutePoints && passenger)
        ResetRace();
    if (!m_nRaceRoutePoints) {
        if (!intro && !passenger)
            GenerateRace();
        return;
    }
    if (!m_pRaceInfoScreen || player->m_nControlMode != 2)
        return;
    m_fRaceCountdown -= kCheckPeriod + dt;
    if (m_fRaceCountdown > 0.0f)
        return;
    if (g_CityLogic.m_nScene != SCENE_IDLE || !camera || camera->m_nMode < 1 || camera->m_nMode > 3)
        return;
    D3DXVECTOR3 start;
    if (!BoardStartPoint(RaceBoard(), &start)) {
        ResetRace();
        return;
    }
    if (Vec3Distance(&player->m_vPosition, &start) < kStartReach && player->m_fSpeed <= kStartSpeed) {
        player->StopImmediately();
        g_CityLogic.SetScene(SCENE_RACE_START, player, nullptr);
    }
}

int CVehicleManager::GenerateRace()
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera || g_Landscape.m_fCellSize <= 0.0f)
        return 0;
    std::srand(g_pRaceOfferSeed ? g_pRaceOfferSeed() : timeGetTime());
    const float progress = std::min(1.0f, static_cast<float>(g_PlayerStats.m_nRacesPlaced) / 75.0f);
    const float wanted = 800.0f + 2500.0f * progress + static_cast<float>(std::rand() % 1001);
    const int steps = static_cast<int>(wanted / g_Landscape.m_fCellSize);
    D3DXVECTOR3 start;
    if (!g_Landscape.PickRandomRoutePointAtDistance(&camera->m_vEye, &start, kStartRadius, 3, 3))
        return 0;
    const float away = Vec3Distance(&start, &camera->m_vEye);
    if (away < kStartNearest || away > kOfferReach || BridgeNear(start, kBridgeClearance))
        return 0;
    m_nRaceRoutePoints = 0;
    if (!g_Landscape.MakeRaceRoute(m_RaceRoute, &m_nRaceRoutePoints, &start, steps)) {
        m_nRaceRoutePoints = 0;
        return 0;
    }
    m_nRaceRoutePoints = TrimRaceRoute(m_RaceRoute, std::min<std::uint32_t>(m_nRaceRoutePoints, RACE_ROUTE_POINTS));
    if (!m_nRaceRoutePoints)
        return 0;
    g_RaceInfo = RaceInfo{};
    const int timeRace = std::rand() % 101 < 41;
    const int level = std::rand() % 3;
    const int grid = timeRace ? 0 : (std::rand() % 300 / 100) * 2 + 4;
    SetRaceFigures(&g_RaceInfo, RouteLength(m_RaceRoute, m_nRaceRoutePoints), timeRace, level, grid,
                   g_PlayerStats.m_nRatingPoints);
    g_RaceInfo.m_pRoute = m_RaceRoute;
    SetRaceRouteShape(&g_RaceInfo, m_RaceRoute, m_nRaceRoutePoints, g_D3DRender.m_fScaleX, g_D3DRender.m_fScaleY);

    // The board stands beside the road at point 5, facing along it.
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    const D3DXVECTOR3& p5 = m_RaceRoute[5];
    const D3DXVECTOR3 p6(m_RaceRoute[6].x, p5.y, m_RaceRoute[6].z);
    const float width = std::max(10.0f, g_Landscape.GetRouteWidthAt(&p5));
    D3DXVECTOR3 at = p5 + LookAtSide(p5, p6) * (0.4f * width);
    at.y = GetExactAltitude(&at);
    const D3DXVECTOR3 facing(p6.x, at.y, p6.z);
    m_pRaceInfoScreen = g_PropManager.AddProp(timeRace ? "Data/Static/InfoScreen/01/Main2.obj"
                                                       : "Data/Static/InfoScreen/01/Main1.obj",
                                              &at, &facing, &up, 0);
    // A board that did not load, or has no start point, makes no start.
    D3DXVECTOR3 startPoint;
    if (!m_pRaceInfoScreen || !BoardStartPoint(RaceBoard(), &startPoint)) {
        ResetRace();
        return 0;
    }
    return 1;
}

void CVehicleManager::ResetRace()
{
    if (m_pRaceInfoScreen) {
        g_PropManager.RemoveProp(RaceBoard());
        m_pRaceInfoScreen = nullptr;
    }
    for (auto& slot : m_RouteMarkers) {
        for (int& id : slot) {
            if (id != -1)
                g_ParticleEffects.RemoveSparkEmitter(id);
            id = -1;
        }
    }
    m_bFinishCrowd = 0;
    g_RaceInfo = RaceInfo{};
    m_nRaceRoutePoints = 0;
    m_bRaceRunning = 0;
    m_nFinished = 0;
    m_nRaceCars = 0;
    for (CVehicle*& car : m_RaceCars)
        car = nullptr;
    if (g_pPlayerVehicle) {
        g_pPlayerVehicle->m_nRoutePoints = 0;
        g_pPlayerVehicle->m_nRouteIndex = 0;
    }
}

CProp* CVehicleManager::RaceBoard() const
{
    return static_cast<CProp*>(m_pRaceInfoScreen);
}

bool GetRaceStartPoint(D3DXVECTOR3* out)
{
    return BoardStartPoint(g_VehicleManager.RaceBoard(), out);
}
