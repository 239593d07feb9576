// The cars (placeholder until the road users are built).
#pragma once

#include <cstdint>

class CVehicleManager {
public:
    std::uint32_t m_nCars = 0;
    std::uint32_t m_nSpawnLimit = 0;
};

extern CVehicleManager g_VehicleManager;
