// What the interface reads of the running race and the player car's route.
// The race flag is set by the race start and cleared when it ends.
#pragma once

#include "platform/D3DX9.h"

// 1 while a street or time race runs.
extern int g_bRaceRunning;

// The player car's route: its points, their count and the point the car
// drives towards. False when the car has no route.
bool GetPlayerRoute(const D3DXVECTOR3** points, int* count, int* index);
