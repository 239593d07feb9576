// The vehicle manager's life cycle, its car list and the player's car.
#include "roadusers/VehicleManager.h"

#include "roadusers/RaceInfo.h"

#include "game/PlayerStats.h"
#include "graphics/D3DRender.h"
#include "roadusers/Vehicle.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "world/Landscape.h"
#include "world/Prop.h"

#include <cstring>

const char* const g_VehicleModelPaths[VEHICLE_MODEL_COUNT] = {
    "Data/Vehicles/01/Main.obj",   "Data/Vehicles/02/Main.obj", "Data/Vehicles/03/Main.obj",
    "Data/Vehicles/04/Main.obj",   "Data/Vehicles/05/Main.obj", "Data/Vehicles/06/Main.obj",
    "Data/Vehicles/07/Main.obj",   "Data/Vehicles/08/Main.obj", "Data/Vehicles/01/Police.obj",
    "Data/Vehicles/03/Police.obj",
};

namespace {

const char* const kTextureNames[3] = {"Data/Vehicles/Elements.dds", "Data/Vehicles/Scratches.bmp",
                                      "Data/Vehicles/BrokenGlass.bmp"};

void FreeCar(CVehicle* car)
{
    car->Release();
    delete car;
}

} // namespace

CVehicleManager::CVehicleManager()
{
    std::memset(m_RouteMarkers, 0xff, sizeof(m_RouteMarkers));
}

int CVehicleManager::GetRaceOfferLevel() const
{
    return g_RaceInfo.m_nLevel;
}

int CVehicleManager::Init()
{
    g_RaceInfo = RaceInfo{};
    for (int i = 0; i < 3; ++i)
        m_Textures[i] = static_cast<int>(g_D3DRender.LoadTexture(kTextureNames[i], 0, D3DPOOL_MANAGED));
    LoadDensityMap("Data/Landscape/TrafficDensityMap.dat");
    // A template is listed only once loaded, so that its own load reads the
    // body file instead of copying from itself.
    for (int i = 0; i < VEHICLE_MODEL_COUNT; ++i) {
        auto* car = new CVehicle();
        car->LoadModel(g_VehicleModelPaths[i]);
        m_Templates[i] = car;
        KeepPaintTextures(*car);
    }
    m_nPolice = 0;
    return 1;
}

// A car draws one of its model's paint textures as it is made: holding them
// all from the start means no car made in play reads and decodes one, and
// none is freed when the last car wearing it goes.
void CVehicleManager::KeepPaintTextures(const CVehicle& model)
{
    for (int k = 0; k < model.m_nBodyTextureNames; ++k) {
        const TextureId id = g_D3DRender.LoadTexture(model.m_BodyTextureNames[k], 0, D3DPOOL_MANAGED);
        m_Kept.KeepTexture(id);
        g_D3DRender.ReleaseTexture(id);
    }
}

void CVehicleManager::Release()
{
    Clear();
    m_Kept.Release();
    for (int& texture : m_Textures) {
        if (texture != -1)
            g_D3DRender.ReleaseTexture(texture);
        texture = -1;
    }
    for (CVehicle*& car : m_Templates) {
        if (car)
            FreeCar(car);
        car = nullptr;
    }
}

void CVehicleManager::Clear()
{
    ResetRace();
    while (m_nCars > 0)
        DestroyVehicle(m_Cars[0]);
    m_nPolice = 0;
    m_nCars = 0;
    g_pPlayerVehicle = nullptr;
    // The spawner starts each game on its own phase, so a game's traffic
    // does not depend on the games played before it in this run.
    m_nSpawnLimit = 0;
    m_fSpawnTimer = 0.0f;
    m_vSpawnAnchor = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    // Likewise the race offer: its check comes on the game's own phase, and
    // the wait after a race the last game declined does not hold this one's.
    m_fRaceCheckTimer = 0.0f;
    m_fRaceCountdown = 0.0f;
}

int CVehicleManager::IndexOf(const CVehicle* car) const
{
    if (!car)
        return -1;
    for (std::uint32_t i = 0; i < m_nCars; ++i)
        if (m_Cars[i] == car)
            return static_cast<int>(i);
    return -1;
}

void CVehicleManager::RemoveAt(std::uint32_t index)
{
    for (std::uint32_t k = index; k + 1 < m_nCars; ++k)
        m_Cars[k] = m_Cars[k + 1];
    m_Cars[--m_nCars] = nullptr;
    if (m_nCars == 0)
        g_pPlayerVehicle = nullptr;
}

CVehicle* CVehicleManager::CreateVehicle(const char* modelPath)
{
    if (m_nCars >= VEHICLE_MANAGER_CARS || !modelPath)
        return nullptr;
    auto* car = new CVehicle();
    car->LoadModel(modelPath);
    m_Cars[m_nCars++] = car;
    return car;
}

void CVehicleManager::DestroyVehicle(CVehicle* car)
{
    const int index = IndexOf(car);
    if (index < 0)
        return;
    if (car->m_pShowroom)
        car->m_pShowroom->RemoveCar(car);
    if (car == g_pPlayerVehicle)
        g_pPlayerVehicle = nullptr;
    FreeCar(car);
    RemoveAt(static_cast<std::uint32_t>(index));
}

int CVehicleManager::AddVehicle(CVehicle* car)
{
    if (!car || m_nCars >= VEHICLE_MANAGER_CARS)
        return 0;
    m_Cars[m_nCars++] = car;
    return 1;
}

void CVehicleManager::RemoveVehicle(CVehicle* car)
{
    const int index = IndexOf(car);
    if (index >= 0)
        RemoveAt(static_cast<std::uint32_t>(index));
}

// Both directions in one pass over the list: an entry is exchanged once.
void CVehicleManager::SwapVehicles(CVehicle** a, CVehicle** b)
{
    if (!a || !b)
        return;
    CVehicle* const first = *a;
    CVehicle* const second = *b;
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        if (m_Cars[i] == second)
            m_Cars[i] = first;
        else if (m_Cars[i] == first)
            m_Cars[i] = second;
    }
}

CVehicle* CVehicleManager::FindModel(const char* path) const
{
    if (!path)
        return nullptr;
    for (int i = 0; i < VEHICLE_MODEL_COUNT; ++i)
        if (std::strcmp(path, g_VehicleModelPaths[i]) == 0)
            return m_Templates[i];
    return nullptr;
}

// A model that cannot drive (no mesh, collision hull, wheel points or
// wheels) is thrown away: the player stays without a car and a profile
// load reports its failure instead of putting the player in another car.
CVehicle* CVehicleManager::CreatePlayerCar(const D3DXVECTOR3* position, const D3DXVECTOR3* target,
                                           const char* modelPath)
{
    if (g_bEditorMode)
        return nullptr;
    D3DXVECTOR3 at(226.0f, 0.0f, -730.0f);
    at.y = GetExactAltitude(&at) + 1.5f;
    if (position)
        at = *position;
    const D3DXVECTOR3 look = target ? *target : at + D3DXVECTOR3(0.0f, 0.0f, 10.0f);
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    CVehicle* car = CreateVehicle(modelPath ? modelPath : "Data/Vehicles/02/Main.obj");
    if (!car)
        return nullptr;
    if (!car->HasPhysicsModel()) {
        LogFileProblem(modelPath ? modelPath : "Data/Vehicles/02/Main.obj", "the player's car does not load");
        // The failed attempt leaves the player's car pointer as it found it.
        CVehicle* const kept = g_pPlayerVehicle;
        DestroyVehicle(car);
        g_pPlayerVehicle = kept;
        return nullptr;
    }
    g_pPlayerVehicle = car;
    car->Spawn(&at, &look, &up, 2, VEHICLE_PLAYER, 1);
    car->SetAIState(AI_STATE_NONE);
    car->SetPhysicsActive(1);
    if (!modelPath) {
        g_PlayerStats = CPlayerStats{};
        g_PlayerStats.m_nMoney = 1000;
    }
    return car;
}

void CVehicleManager::RemovePoliceCars()
{
    for (std::uint32_t i = 1; i < m_nCars;) {
        if (m_Cars[i]->m_nKind == VEHICLE_POLICE)
            DestroyVehicle(m_Cars[i]);
        else
            ++i;
    }
    m_nPolice = 0;
}

void CVehicleManager::Update()
{
    if (g_bEditorMode)
        return;
    for (std::uint32_t i = 1; i < m_nCars;) {
        CVehicle* car = m_Cars[i];
        if (car != g_pPlayerVehicle)
            car->Update();
        if (!car->m_bAlive)
            DestroyVehicle(car);
        else
            ++i;
    }
    SpawnTraffic();
    UpdateRace();
}

void CVehicleManager::Refresh()
{
    for (std::uint32_t i = 0; i < m_nCars; ++i)
        m_Cars[i]->UpdateVisibility();
}

void CVehicleManager::CullOccluded()
{
    for (std::uint32_t i = 0; i < m_nCars; ++i) {
        CVehicle* car = m_Cars[i];
        if (car->m_bVisible && car->IsOccluded())
            car->m_bVisible = 0;
    }
}

