// The game timer: the real clock always runs, the game clock runs at the
// time scale and stops in pause. Its eight fields are saved with a profile
// as a 32-byte record, 4 bytes each little-endian, in declaration order
// (the clocks as f32).
#pragma once

#include <cstdint>

class CSaveReader;
class CSaveWriter;

class CGameTimer {
public:
    void Init();
    void Reset();
    void Update();
    void Pause();
    void Resume();
    float GetGameTimeSince(std::uint32_t stamp) const;
    float GetRealTimeSince(std::uint32_t stamp) const;
    int Save(std::uint32_t handle) const;
    int Load(std::uint32_t handle);
    // The same 32-byte record inside a save built in memory.
    void Save(CSaveWriter& out) const;
    int Load(CSaveReader& in);

    // Paused means the scale is exactly 0: slow motion never goes below 0.125.
    bool IsPaused() const { return m_fTimeScale == 0.0f; }

    std::uint32_t m_nReserved;
    std::uint32_t m_nLastTick;
    float m_fDelta;
    float m_fRealDelta;
    // The clocks (ms) grow across saves for as long as a profile is played:
    // in single precision a frame's step would be rounded away after some
    // 75 hours, so they are kept in double precision and only the saved
    // record holds them as f32.
    double m_fGameTime;
    double m_fRealTime;
    double m_fSavedGameTime;
    float m_fTimeScale;
};
// The saved record's size: eight 4-byte fields.
constexpr unsigned GAME_TIMER_RECORD_SIZE = 32;

extern CGameTimer g_GameTimer;
