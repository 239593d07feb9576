// Placeholder of the vehicle manager until the road users are built.
#pragma once

#include "platform/sound/SoundTypes.h"

class CVehicleManager {
public:
    // Traffic density (0..1) at a world position; no traffic yet.
    float GetTrafficDensity(const SoundVector& position) const;
};

extern CVehicleManager g_VehicleManager;
