// What the interface reads of the player car's route.
#pragma once

#include "platform/D3DX9.h"

// The player car's route: its points, their count and the point the car
// drives towards. False when the car has no route.
bool GetPlayerRoute(const D3DXVECTOR3** points, int* count, int* index);
