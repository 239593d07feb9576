// The traffic density map and the spawner that keeps the streets around the
// camera filled with traffic and, now and then, police.
#include "roadusers/VehicleManager.h"

#include "game/CityLogic.h"
#include "game/PlayerStats.h"
#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"
#include "shell/FileManager.h"
#include "shell/Game.h"
#include "shell/GameTimer.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr float kSpawnDistance = 48.0f;
constexpr float kPoliceSpawnDistance = 54.0f;
constexpr float kSpawnClearance = 10.0f;
constexpr float kStartSpeed = 45.0f; // km/h the traffic cruises at

// A map index from a position already in map cells: clamped while still a
// real number, so far-off or broken positions read the border cells.
int MapIndex(float cells)
{
    if (!(cells >= 0.0f))
        return 0;
    return static_cast<int>(std::min(cells, static_cast<float>(TRAFFIC_MAP_SIDE - 1)));
}

} // namespace

// A short file leaves the rest of the map empty; a longer one is read only
// as far as the map goes.
int CVehicleManager::LoadDensityMap(const char* path)
{
    std::memset(m_DensityMap, 0, sizeof m_DensityMap);
    std::uint32_t size = 0;
    const FileHandle f = g_FileManager.Open(path, ARCHIVE_WORLD, &size);
    if (f == INVALID_FILE_HANDLE)
        return 0;
    if (size != TRAFFIC_MAP_SIZE)
        LogFileProblem(path, "the traffic density map is not 40000 bytes");
    const std::size_t want = std::min<std::size_t>(size, TRAFFIC_MAP_SIZE);
    const std::size_t got = want > 0 ? g_FileManager.Read(m_DensityMap, 1, want, f) : 0;
    g_FileManager.Close(f);
    return got == TRAFFIC_MAP_SIZE ? 1 : 0;
}

float CVehicleManager::GetTrafficDensity(const D3DXVECTOR3& position) const
{
    const float world = g_Landscape.m_fWorldSize, cell = g_Landscape.m_fCellSize;
    if (world == 0.0f || !(cell > 0.0f))
        return 0.0f;
    const float columns = (world * 0.5f + position.x) / cell / 3.0f;
    const float rows = -((position.z - world * 0.5f) / cell / 3.0f);
    return m_DensityMap[MapIndex(columns) + MapIndex(rows) * TRAFFIC_MAP_SIDE] / 255.0f;
}

const char* CVehicleManager::ChooseSpawnModel(bool* police) const
{
    *police = m_nPolice < TRAFFIC_MAX_POLICE && std::rand() % 101 >= 90;
    if (*police)
        return g_PlayerStats.m_fCriminalLevel <= 0.8f ? g_VehicleModelPaths[8] : g_VehicleModelPaths[9];
    return g_VehicleModelPaths[std::rand() % VEHICLE_STREET_MODELS];
}

// A road path of the distance drawn from the road cell nearest the centre,
// whose first point no other car stands near.
bool CVehicleManager::PlaceSpawnRoute(const D3DXVECTOR3& centre, float distance)
{
    m_nSpawnRoutePoints = 0;
    const RouteCell* cell = g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &centre, 10);
    if (!cell)
        return false;
    D3DXVECTOR3 from = cell->m_vPosition;
    if (!g_Landscape.FindRandomRoadPath(m_SpawnRoute, &m_nSpawnRoutePoints, &from, distance, ROUTE_ROAD, ROUTE_ROAD,
                                        100) ||
        m_nSpawnRoutePoints < 2 || m_nSpawnRoutePoints > VEHICLE_ROUTE_SIZE) {
        m_nSpawnRoutePoints = 0;
        return false;
    }
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        const CVehicle* car = m_Cars[i];
        if (Vec3Distance(&car->m_vPosition, &m_SpawnRoute[0]) - car->m_fSphereRadius < kSpawnClearance)
            return false;
    }
    return true;
}

// On the path's first point facing the second, already rolling at half the
// cruising speed so that it does not stand in the way.
void CVehicleManager::StartTrafficCar(CVehicle* car, bool police)
{
    const float lift = std::abs(car->m_pMesh->m_vBoxMin.y) + 0.25f;
    const D3DXVECTOR3 raise(0.0f, lift, 0.0f), up(0.0f, 1.0f, 0.0f);
    const D3DXVECTOR3 at = m_SpawnRoute[0] + raise, look = m_SpawnRoute[1] + raise;
    car->Spawn(&at, &look, &up, 1, police ? VEHICLE_POLICE : VEHICLE_TRAFFIC, 1);
    car->SetAIState(AI_STATE_TRAFFIC);
    std::memcpy(car->m_Route, m_SpawnRoute, sizeof(D3DXVECTOR3) * m_nSpawnRoutePoints);
    car->m_nRoutePoints = m_nSpawnRoutePoints;
    car->m_nRouteIndex = 0;
    car->m_fEngineForce = 0.5f * 100.0f * kStartSpeed / 6.0f;
    const D3DXVECTOR3 forward(car->m_matWorld._31, car->m_matWorld._32, car->m_matWorld._33);
    car->m_vLinearVelocity = forward * (kStartSpeed / 3.6f * 0.5f);
    if (car->m_pRigidBody)
        car->m_pRigidBody->setLinearVelocity(
            btVector3(car->m_vLinearVelocity.x, car->m_vLinearVelocity.y, car->m_vLinearVelocity.z));
    car->m_fSpeed = kStartSpeed * 0.5f;
    if (police) {
        car->m_bSpawnedPolice = 1;
        ++m_nPolice;
    }
}

void CVehicleManager::SpawnTraffic()
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera)
        return;
    D3DXVECTOR3 ahead = camera->m_vTarget - camera->m_vEye;
    Vec3Normalize(&ahead, &ahead);
    ahead.y = 0.0f;
    m_vSpawnAnchor = camera->m_vEye + ahead * 24.0f;
    m_vSpawnAnchor.y = GetExactAltitude(&m_vSpawnAnchor);

    const int traffic = std::clamp(g_nTraffic, 0, 2);
    m_nSpawnLimit = static_cast<std::uint32_t>(GetTrafficDensity(camera->m_vEye) * (4 * traffic + 3)) + 4;
    if (m_nSpawnLimit <= m_nCars)
        return;
    m_fSpawnTimer -= g_GameTimer.m_fRealDelta;
    if (m_fSpawnTimer > 0.0f)
        return;
    m_fSpawnTimer = 0.1f;
    if (g_CityLogic.m_nScene == SCENE_NEW_GAME && g_CityLogic.m_nPhase < 4)
        return;

    bool police = false;
    const char* model = ChooseSpawnModel(&police);
    D3DXVECTOR3 centre = m_vSpawnAnchor;
    float distance = kSpawnDistance;
    if (police && g_pPlayerVehicle) {
        centre = g_pPlayerVehicle->m_vPosition;
        centre.y = GetExactAltitude(&centre);
        distance = kPoliceSpawnDistance;
    }
    if (!PlaceSpawnRoute(centre, distance))
        return;
    CVehicle* car = CreateVehicle(model);
    if (!car)
        return;
    // A model without a mesh cannot stand on the road: the attempt is lost.
    if (!car->m_pMesh) {
        DestroyVehicle(car);
        return;
    }
    StartTrafficCar(car, police);
}
