#include "shell/GameTimer.h"

#include "game/PlayerStats.h"
#include "platform/Win32Time.h"
#include "roadusers/Vehicle.h"
#include "shell/AudioManager.h"
#include "shell/FileManager.h"
#include "shell/Input.h"
#include "shell/SaveRecord.h"
#include "shell/Settings.h"

#include <cmath>

CGameTimer g_GameTimer;

namespace {

const double kStartClock = 60000.0; // a stamp of 0 is a minute in the past
const std::uint32_t kMaxStepMs = 50;

} // namespace

void CGameTimer::Init()
{
    Reset();
}

void CGameTimer::Reset()
{
    m_nLastTick = timeGetTime();
    m_fDelta = 0.0f;
    m_fGameTime = kStartClock;
    m_fRealTime = kStartClock;
    m_fSavedGameTime = kStartClock;
    m_fTimeScale = 1.0f;
}

// Page Up doubles and Page Down halves the time scale, once per key press,
// within 0.125 .. 32.
static void ApplyDeveloperTimeKeys(float& scale)
{
    if (!g_bDebugOut)
        return;
    if (g_bKeyPageUp) {
        if (scale < 32.0f)
            scale *= 2.0f;
        g_bKeyPageUp = 0;
    }
    if (g_bKeyPageDown) {
        if (scale >= 0.25f)
            scale *= 0.5f;
        g_bKeyPageDown = 0;
    }
}

void CGameTimer::Update()
{
    ApplyDeveloperTimeKeys(m_fTimeScale);
    const std::uint32_t now = timeGetTime();
    std::uint32_t stepMs = now - m_nLastTick; // unsigned: a wrapped clock still gives the true step
    m_nLastTick = now;
    if (stepMs > kMaxStepMs)
        stepMs = kMaxStepMs;
    const float delta = static_cast<float>(stepMs);
    m_fRealTime += delta;
    m_fRealDelta = delta * 0.001f;
    m_fDelta = delta * m_fTimeScale * 0.001f;
    m_fGameTime += static_cast<double>(delta) * m_fTimeScale;
    g_PlayerStats.m_fPlayTime += m_fDelta;
    if (g_pPlayerVehicle)
        g_pPlayerVehicle->m_fDrivingTime += m_fDelta;
}

void CGameTimer::Pause()
{
    m_fTimeScale = 0.0f;
    m_fSavedGameTime = m_fGameTime;
    g_AudioManager.PauseAll();
}

// Resuming a running game (focus regained without a loss before it) must not
// rewind the game clock to an old saved value: the saved clock is restored
// only after a pause.
void CGameTimer::Resume()
{
    if (IsPaused())
        m_fGameTime = m_fSavedGameTime;
    m_fTimeScale = 1.0f;
    m_nLastTick = timeGetTime();
    g_AudioManager.ResumeAll();
}

float CGameTimer::GetGameTimeSince(std::uint32_t stamp) const
{
    return static_cast<float>((m_fGameTime - static_cast<double>(stamp)) * 0.001);
}

float CGameTimer::GetRealTimeSince(std::uint32_t stamp) const
{
    return static_cast<float>((m_fRealTime - static_cast<double>(stamp)) * 0.001);
}

void CGameTimer::Save(CSaveWriter& out) const
{
    out.U32(m_nReserved);
    out.U32(m_nLastTick);
    out.F32(m_fDelta);
    out.F32(m_fRealDelta);
    out.F32(static_cast<float>(m_fGameTime));
    out.F32(static_cast<float>(m_fRealTime));
    out.F32(static_cast<float>(m_fSavedGameTime));
    out.F32(m_fTimeScale);
}

int CGameTimer::Save(std::uint32_t handle) const
{
    CSaveWriter out;
    Save(out);
    return g_FileManager.Write(out.Data(), 1, out.Size(), handle) == out.Size() ? 1 : 0;
}

// A later Resume continues from the loaded game clock. A short record
// changes nothing; clocks or a scale that no running game can hold (not
// finite, scale outside 0..32) are replaced by the values of a fresh start.
int CGameTimer::Load(CSaveReader& in)
{
    CGameTimer loaded{};
    in.U32(&loaded.m_nReserved);
    in.U32(&loaded.m_nLastTick);
    in.F32(&loaded.m_fDelta);
    in.F32(&loaded.m_fRealDelta);
    float clocks[3] = {};
    for (float& clock : clocks)
        in.F32(&clock);
    loaded.m_fGameTime = clocks[0];
    loaded.m_fRealTime = clocks[1];
    loaded.m_fSavedGameTime = clocks[2];
    in.F32(&loaded.m_fTimeScale);
    if (!in.Ok())
        return 0;
    if (!std::isfinite(loaded.m_fGameTime) || !std::isfinite(loaded.m_fRealTime))
        loaded.m_fGameTime = loaded.m_fRealTime = kStartClock;
    if (!std::isfinite(loaded.m_fTimeScale) || loaded.m_fTimeScale < 0.0f || loaded.m_fTimeScale > 32.0f)
        loaded.m_fTimeScale = 1.0f;
    if (!std::isfinite(loaded.m_fDelta) || !std::isfinite(loaded.m_fRealDelta))
        loaded.m_fDelta = loaded.m_fRealDelta = 0.0f;
    *this = loaded;
    m_fSavedGameTime = m_fGameTime;
    return 1;
}

int CGameTimer::Load(std::uint32_t handle)
{
    std::uint8_t record[GAME_TIMER_RECORD_SIZE];
    if (g_FileManager.Read(record, sizeof record, 1, handle) != 1)
        return 0;
    CSaveReader in(record, sizeof record);
    return Load(in);
}
