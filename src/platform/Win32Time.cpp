#include "platform/Win32Time.h"

#include <chrono>
#include <thread>

namespace {

bool s_fakeClock = false;
DWORD s_fakeNow = 0;

DWORD RealMilliseconds()
{
    using namespace std::chrono;
    const auto now = steady_clock::now().time_since_epoch();
    // Only the low 32 bits are kept, as the clock the game was written for.
    return static_cast<DWORD>(duration_cast<milliseconds>(now).count());
}

} // namespace

DWORD timeGetTime()
{
    return s_fakeClock ? s_fakeNow : RealMilliseconds();
}

DWORD GetTickCount()
{
    return timeGetTime();
}

void Sleep(DWORD ms)
{
    if (s_fakeClock)
        s_fakeNow += ms;
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace plat {

void SetFakeClock(DWORD ms)
{
    s_fakeClock = true;
    s_fakeNow = ms;
}

void AdvanceFakeClock(DWORD ms)
{
    s_fakeNow += ms;
}

void UseRealClock()
{
    s_fakeClock = false;
}

bool IsFakeClock()
{
    return s_fakeClock;
}

} // namespace plat
