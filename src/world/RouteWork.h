// Working storage shared by the route builders (which are therefore not
// reentrant).
#pragma once

#include "world/Landscape.h"

#include <cstdint>

// The cell list of the last search or walk.
extern RouteCellPair g_PathCells[ROUTE_MAX_POINTS];
extern std::uint32_t g_nPathCells;
// The first re-joined list of a race route.
extern RouteCellPair g_RouteScratch[ROUTE_MAX_POINTS];
extern std::uint32_t g_nRouteScratch;
// Visited marks of the random road walk.
extern std::uint16_t g_RouteVisited[LANDSCAPE_GRID][LANDSCAPE_GRID];
extern std::uint32_t g_PathSearchStamp;
