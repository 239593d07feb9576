// Placeholder until the vehicle manager is built: no car is made, so the
// player has none and the streets stay empty.
#include "roadusers/VehicleManager.h"

#include "graphics/WorldCamera.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "world/Landscape.h"
#include "shell/VectorHelpers.h"

#include <cstring>

int CVehicleManager::Init()
{
    return 1;
}

void CVehicleManager::Release()
{
}

void CVehicleManager::Clear()
{
    g_pPlayerVehicle = nullptr;
}

void CVehicleManager::CreatePlayerCar(const D3DXVECTOR3*, const D3DXVECTOR3*, const char*)
{
}

// No traffic yet; only the point traffic and pedestrians are held around
// follows the camera: 24 ahead of the eye on the ground.
void CVehicleManager::Update()
{
    const CWorldCamera* camera = g_Game.m_pCamera;
    if (!camera)
        return;
    D3DXVECTOR3 ahead = camera->m_vTarget - camera->m_vEye;
    Vec3Normalize(&ahead, &ahead);
    ahead.y = 0.0f;
    m_vSpawnAnchor = camera->m_vEye + ahead * 24.0f;
    m_vSpawnAnchor.y = GetExactAltitude(&m_vSpawnAnchor);
}

void CVehicleManager::Refresh()
{
}

void CVehicleManager::RenderVehicles()
{
}

void CVehicleManager::RenderVehiclesSecondPass()
{
}

void CVehicleManager::RenderLights()
{
}

void CVehicleManager::RenderShadows()
{
}

void CVehicleManager::ResetRace()
{
}

float CVehicleManager::GetTrafficDensity(const D3DXVECTOR3&) const
{
    return 0.0f;
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
