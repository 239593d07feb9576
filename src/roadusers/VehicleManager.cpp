// Placeholder of the vehicle manager until the road users are built.
#include "roadusers/VehicleManager.h"

CVehicleManager g_VehicleManager;

float CVehicleManager::GetTrafficDensity(const D3DXVECTOR3&) const
{
    return 0.0f;
}
