// Placeholder until the cars are built: a car neither moves nor dents, and
// its save record is all zeros (no dent records).
#include "roadusers/Vehicle.h"

#include "shell/SaveRecord.h"

CVehicle* g_pPlayerVehicle = nullptr;

void CVehicle::Update()
{
}

void CVehicle::Save(CSaveWriter& out)
{
    out.Zeros(VEHICLE_RECORD_BASE_SIZE);
}

// Steps over the record, dent records included, and applies nothing.
int CVehicle::Load(CSaveReader& in)
{
    std::uint32_t count = 0;
    if (!in.Skip(VEHICLE_RECORD_COUNT_OFFSET) || !in.U32(&count) || count > in.Remaining() / VEHICLE_RECORD_ITEM_SIZE)
        return 0;
    return in.Skip(std::size_t{count} * VEHICLE_RECORD_ITEM_SIZE) ? 1 : 0;
}

void CVehicle::RepairBody(float)
{
}

void CVehicle::ApplyCollisionDamage(const D3DXVECTOR3*, const D3DXVECTOR3*, void*, float)
{
}
