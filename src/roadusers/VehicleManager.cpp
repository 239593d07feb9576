// Placeholder until the vehicle manager is built: no car is made, so the
// player has none and the streets stay empty.
#include "roadusers/VehicleManager.h"

#include "roadusers/Vehicle.h"

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

void CVehicleManager::Update()
{
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
