#include "game/RaceState.h"

#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"

bool GetPlayerRoute(const D3DXVECTOR3** points, int* count, int* index)
{
    *points = nullptr;
    *count = 0;
    *index = 0;
    const CVehicle* car = g_pPlayerVehicle;
    if (!car || car->m_nRoutePoints == 0)
        return false;
    const std::uint32_t n = car->m_nRoutePoints < VEHICLE_ROUTE_SIZE ? car->m_nRoutePoints : std::uint32_t{VEHICLE_ROUTE_SIZE};
    *points = car->m_Route;
    *count = static_cast<int>(n);
    *index = static_cast<int>(car->m_nRouteIndex < n ? car->m_nRouteIndex : n - 1);
    return true;
}
