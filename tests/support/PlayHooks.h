// Set-ups for scripted plays of what otherwise hangs on chance: a pedestrian
// waiting for a taxi, a race offer of a chosen kind, and the game's own route
// planner for the scripted driver's way there.
#pragma once

#include "platform/D3DX9.h"

class CHuman;

namespace test {

// A pedestrian on the walkway nearest `near` who waits for a taxi with a
// ride of at most `longestRide` metres of road offered (the current taxi
// job); every other waiting pedestrian walks on. Null when no such ride
// could be set up.
CHuman* SpawnWaitingPassenger(const D3DXVECTOR3& near, float longestRide);

// Withdraws the race on offer and makes a new one of the kind (1 a time
// race, 0 against rivals) near the camera, trying one seed after another;
// false when none of the tried seeds gives one.
bool OfferRace(int timeRace);

// The road route (roads and passable cells) from one point to another by
// the game's planner; the count, 0 when none was found.
int PlanRoadRoute(const D3DXVECTOR3& from, const D3DXVECTOR3& to, D3DXVECTOR3* points, int capacity);

} // namespace test
