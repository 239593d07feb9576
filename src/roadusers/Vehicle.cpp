// Placeholder of the player's car until the road users are built.
#include "roadusers/Vehicle.h"

CVehicle* g_pPlayerVehicle = nullptr;
