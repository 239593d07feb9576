#include "game/PlayerStats.h"

CPlayerStats g_PlayerStats;
CPlayerStats g_RaceStartStats;
