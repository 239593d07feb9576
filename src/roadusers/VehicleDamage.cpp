// Contact damage: impact strength, sparks, the player's statistics, dents,
// broken lamps, wheel wear and engine damage.
#include "roadusers/Vehicle.h"

std::uint8_t g_DamageMarks[VEHICLE_MAX_BODY_VERTICES];

void CVehicle::ApplyRandomDamage(int, float)
{
}

float CVehicle::GetMeanDeformation() const
{
    return 0.0f;
}

float CVehicle::GetDamageRatio() const
{
    return 0.0f;
}
