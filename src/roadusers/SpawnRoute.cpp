#include "roadusers/SpawnRoute.h"

D3DXVECTOR3 g_SpawnRoute[ROUTE_MAX_POINTS];
std::uint32_t g_nSpawnRoute;
