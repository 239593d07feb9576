// The millisecond clocks of the stand-in layer.
//
// Both clocks count milliseconds in 32 bits and wrap after about 49.7 days,
// so every user subtracts them as unsigned values. Tests replace the clock
// with a fake one they drive by hand.
#pragma once

#include "platform/Win32Types.h"

DWORD timeGetTime();
DWORD GetTickCount();
// Waits about ms milliseconds; under a fake clock it moves that clock on
// instead, so a loop that waits for time to pass ends in a test too.
void Sleep(DWORD ms);

namespace plat {

// While a fake clock is set, both clocks return its value.
void SetFakeClock(DWORD ms);
void AdvanceFakeClock(DWORD ms);
void UseRealClock();
bool IsFakeClock();

} // namespace plat
