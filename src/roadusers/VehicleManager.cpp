// The vehicle manager until traffic is built: it makes the player's car and
// the race grid and nothing else, so the streets stay empty.
#include "roadusers/VehicleManager.h"

#include "game/PlayerStats.h"
#include "graphics/WorldCamera.h"
#include "roadusers/RaceInfo.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <cstring>

CVehicleManager::CVehicleManager()
{
    std::memset(m_RouteMarkers, 0xff, sizeof(m_RouteMarkers));
}

int CVehicleManager::Init()
{
    g_RaceInfo = RaceInfo{};
    return 1;
}

void CVehicleManager::Release()
{
    Clear();
}

void CVehicleManager::Clear()
{
    ResetRace();
    for (std::uint32_t i = 0; i < m_nCars && i < VEHICLE_MANAGER_CAPACITY; ++i) {
        if (m_Cars[i]) {
            m_Cars[i]->Release();
            delete m_Cars[i];
        }
        m_Cars[i] = nullptr;
    }
    m_nCars = 0;
    m_nPoliceCars = 0;
    m_nRaceCars = 0;
    g_pPlayerVehicle = nullptr;
}

// The player's car at its start on the streets, facing north. A model that
// cannot drive (no mesh, collision hull, wheel points or wheels) is thrown
// away and the player stays without a car.
void CVehicleManager::CreatePlayerCar(const D3DXVECTOR3* position, const D3DXVECTOR3* target, const char* modelPath)
{
    if (g_bEditorMode || m_nCars >= VEHICLE_MANAGER_CAPACITY)
        return;
    D3DXVECTOR3 at(226.0f, 0.0f, -730.0f);
    at.y = GetExactAltitude(&at) + 1.5f;
    if (position)
        at = *position;
    const D3DXVECTOR3 look = target ? *target : at + D3DXVECTOR3(0.0f, 0.0f, 10.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    auto* car = new CVehicle();
    car->LoadModel(modelPath ? modelPath : "Data/Vehicles/02/Main.obj");
    if (!car->HasPhysicsModel()) {
        car->Release();
        delete car;
        return;
    }
    car->Spawn(&at, &look, &up, 2, VEHICLE_PLAYER, 1);
    car->SetAIState(0);
    // Until the car's own step decides, the player's car always drives on
    // its body.
    car->SetPhysicsActive(1);
    m_Cars[m_nCars++] = car;
    g_pPlayerVehicle = car;
    if (!modelPath) {
        g_PlayerStats = CPlayerStats{};
        g_PlayerStats.m_nMoney = 1000;
    }
}

// No traffic yet; the point traffic and pedestrians are held around follows
// the camera: 24 ahead of the eye on the ground. The race runs here.
void CVehicleManager::Update()
{
    if (g_bEditorMode)
        return;
    if (const CWorldCamera* camera = g_Game.m_pCamera) {
        D3DXVECTOR3 ahead = camera->m_vTarget - camera->m_vEye;
        Vec3Normalize(&ahead, &ahead);
        ahead.y = 0.0f;
        m_vSpawnAnchor = camera->m_vEye + ahead * 24.0f;
        m_vSpawnAnchor.y = GetExactAltitude(&m_vSpawnAnchor);
    }
    UpdateRace();
}

void CVehicleManager::Refresh()
{
}

float CVehicleManager::GetTrafficDensity(const D3DXVECTOR3&) const
{
    return 0.0f;
}

int CVehicleManager::GetRaceOfferLevel() const
{
    return g_RaceInfo.m_nLevel;
}

CVehicle* CVehicleManager::FindNearestVehicle(const D3DXVECTOR3* position, float radius, const CVehicle* exclude,
                                              const CVehicle* startAfter)
{
    std::uint32_t start = 0;
    for (std::uint32_t i = 0; startAfter && i < m_nCars; ++i)
        if (m_Cars[i] == startAfter)
            start = i + 1;
    CVehicle* nearest = nullptr;
    float best = 100000.0f;
    for (std::uint32_t i = start; i < m_nCars; ++i) {
        CVehicle* car = m_Cars[i];
        if (!car || car == exclude)
            continue;
        const float gap = Vec3Distance(position, &car->m_vPosition) - car->m_fSphereRadius;
        if (gap < radius && gap < best) {
            best = gap;
            nearest = car;
        }
    }
    return nearest;
}

CVehicle* CVehicleManager::FindModel(const char* path) const
{
    for (std::uint32_t i = 0; i < m_nModels && i < VEHICLE_MODEL_COUNT; ++i)
        if (m_pModels[i] && std::strcmp(m_pModels[i]->m_szPath, path) == 0)
            return m_pModels[i];
    return nullptr;
}

CVehicle* CVehicleManager::FindPursuingPolice(float) const
{
    return nullptr;
}
