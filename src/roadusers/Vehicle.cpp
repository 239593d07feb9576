// Placeholder until the cars are built: a car neither moves, saves nor dents.
#include "roadusers/Vehicle.h"

CVehicle* g_pPlayerVehicle = nullptr;

void CVehicle::Update()
{
}

void CVehicle::Save(std::uint32_t)
{
}

void CVehicle::Load(std::uint32_t)
{
}

void CVehicle::RepairBody(float)
{
}

void CVehicle::ApplyCollisionDamage(const D3DXVECTOR3*, const D3DXVECTOR3*, void*, float)
{
}
