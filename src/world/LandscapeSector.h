// A sector of the landscape: one square of the map with its own roads,
// sidewalks and placed objects. Until sector streaming exists a sector holds
// no placed objects.
#pragma once

#include "graphics/SceneLights.h"
#include "platform/D3DX9.h"

#include <cstdint>

class CLandscapeSector {
public:
    // Tests the sector's placed objects against the segment in order and
    // stops at the first one hit: 1 with the hit point written (and the
    // object recorded in the ray-hit record), else 0.
    int IntersectProps(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint);

    // What the field objects read of their sector.
    float m_fDistance = 0.0f;
    std::int32_t m_bVisible = 0;
    CLightSet m_LightSet{};
    std::int32_t m_bGrassBuilt = 0;
    std::int32_t m_bTreesBuilt = 0;
    std::int32_t m_bStonesBuilt = 0;
    D3DXVECTOR3 m_vCentre{0.0f, 0.0f, 0.0f};
};
