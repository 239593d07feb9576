// The route scratch the car and pedestrian spawners and the pedestrians'
// own route changes fill; each user copies what it needs before returning.
#pragma once

#include "world/Landscape.h"

#include <cstdint>

extern D3DXVECTOR3 g_SpawnRoute[ROUTE_MAX_POINTS];
extern std::uint32_t g_nSpawnRoute;
