// A sector of the landscape: one square of the map with its own roads,
// sidewalks and placed objects. Until sector streaming exists a sector holds
// no placed objects.
#pragma once

#include "platform/D3DX9.h"

class CLandscapeSector {
public:
    // Tests the sector's placed objects against the segment in order and
    // stops at the first one hit: 1 with the hit point written (and the
    // object recorded in the ray-hit record), else 0.
    int IntersectProps(const D3DXVECTOR3* from, const D3DXVECTOR3* to, D3DXVECTOR3* hitPoint);
};
