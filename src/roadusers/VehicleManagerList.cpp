// Making and freeing the listed cars. The list keeps its order: entry 0 is
// the player's car for as long as there is one.
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"

namespace {

void Unlist(CVehicle** cars, std::uint32_t* count, CVehicle* car)
{
    for (std::uint32_t i = 0; i < *count; ++i) {
        if (cars[i] != car)
            continue;
        for (std::uint32_t k = i; k + 1 < *count; ++k)
            cars[k] = cars[k + 1];
        cars[--*count] = nullptr;
        return;
    }
}

} // namespace

CVehicle* CVehicleManager::CreateVehicle(const char* modelPath)
{
    if (m_nCars >= VEHICLE_MANAGER_CAPACITY)
        return nullptr;
    auto* car = new CVehicle();
    car->LoadModel(modelPath);
    m_Cars[m_nCars++] = car;
    return car;
}

void CVehicleManager::DestroyVehicle(CVehicle* car)
{
    bool listed = false;
    for (std::uint32_t i = 0; i < m_nCars; ++i)
        listed = listed || m_Cars[i] == car;
    if (!car || !listed)
        return;
    Unlist(m_Cars, &m_nCars, car);
    if (car == g_pPlayerVehicle)
        g_pPlayerVehicle = nullptr;
    car->Release();
    delete car;
    if (m_nCars == 0)
        g_pPlayerVehicle = nullptr;
}

void CVehicleManager::RemovePoliceCars()
{
    for (std::uint32_t i = 1; i < m_nCars;) {
        if (m_Cars[i] && m_Cars[i]->m_nKind == VEHICLE_POLICE)
            DestroyVehicle(m_Cars[i]);
        else
            ++i;
    }
    m_nPoliceCars = 0;
}
