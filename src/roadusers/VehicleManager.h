// Placeholder of the vehicle manager until the road users are built.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

class CVehicleManager {
public:
    // Traffic density (0..1) at a world position; no traffic yet.
    float GetTrafficDensity(const D3DXVECTOR3& position) const;

    std::uint32_t m_nCars = 0;
    std::uint32_t m_nSpawnLimit = 0;
};

extern CVehicleManager g_VehicleManager;
