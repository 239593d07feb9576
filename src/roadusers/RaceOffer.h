// The race on offer as the scripts and tests see it: where a car stops to
// start it, and the seed each new offer draws from.
#pragma once

#include "platform/D3DX9.h"

#include <cstdint>

// Where a car stops to start the offered race (point 0 of the board's
// start part); false without a board or a start point on it.
bool GetRaceStartPoint(D3DXVECTOR3* out);

// The seed each new race offer draws its route and kind from: the clock.
// Tests replace it to set up an offer of the kind they play.
extern std::uint32_t (*g_pRaceOfferSeed)();
