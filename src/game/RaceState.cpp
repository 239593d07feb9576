#include "game/RaceState.h"

int g_bRaceRunning = 0;

bool GetPlayerRoute(const D3DXVECTOR3** points, int* count, int* index)
{
    *points = nullptr;
    *count = 0;
    *index = 0;
    return false;
}
