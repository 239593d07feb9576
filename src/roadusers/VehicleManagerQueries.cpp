// Sphere queries over the cars; until the car list is built the player's car
// is the only car there is.
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/VectorHelpers.h"

namespace {

bool Meets(const CVehicle* car, const D3DXVECTOR3* centre, float radius)
{
    return car && Vec3Distance(&car->m_vPosition, centre) < radius + car->m_fSphereRadius;
}

} // namespace

CVehicle* CVehicleManager::FindVehicleInSphere(int, const D3DXVECTOR3* centre, float radius)
{
    return Meets(g_pPlayerVehicle, centre, radius) ? g_pPlayerVehicle : nullptr;
}

CVehicle* CVehicleManager::FindActiveVehicleInSphere(int, const D3DXVECTOR3* centre, float radius)
{
    CVehicle* car = FindVehicleInSphere(0, centre, radius);
    return car && car->m_bInWorld ? car : nullptr;
}

void CVehicleManager::AddVehicle(CVehicle*)
{
}

void CVehicleManager::RemoveVehicle(CVehicle*)
{
}
