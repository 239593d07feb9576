#include "roadusers/Vehicle.h"

CVehicle* g_pPlayerVehicle = nullptr;
