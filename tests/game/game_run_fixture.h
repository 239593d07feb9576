// The whole program run in this process on a copy of the built sample data:
// a fresh folder without saves, headless, silent, on a fake clock. A test
// plays it with a script that posts keys to its window; the file's step
// observer gives the script its turns through ScriptFrame.
#pragma once

#include "game/GameMenu.h"
#include "platform/Backend.h"
#include "platform/D3D9Recording.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/Profile.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace test {

inline void Post(UINT message, WPARAM w)
{
    PostMessageA(g_hWnd, message, w, 0);
}

class GameRunTest : public ::testing::Test {
public:
    // One frame: the fake clock goes on 50 ms. Like a player, the script
    // waits for a pressed button to act first: it has its turn every second
    // frame while no menu button is pressed and `keysAtRest` holds. A run
    // that goes astray (over 3000 frames) ends instead of hanging the test.
    static void ScriptFrame(bool keysAtRest)
    {
        plat::AdvanceFakeClock(50);
        if (++s_ticks > 3000) {
            Post(WM_CLOSE, 0);
            return;
        }
        const CMenuButton* focus = g_GameMenu.m_pFocus;
        if (s_ticks % 2 == 0 && s_script && !(focus && focus->m_bPressed) && keysAtRest)
            s_script();
    }

    // Frames since the run's start, and the test's script.
    static inline int s_ticks = 0;
    static inline std::function<void()> s_script;

protected:
    explicit GameRunTest(void (*observer)(const char* step)) : m_observer(observer) {}

    void SetUp() override
    {
        std::filesystem::copy(std::string(MORVAINE_BUILD_DIR) + "/run", m_dir.Path(),
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove_all(m_dir.Path() / "Save");
        plat::SetHeadless(true);
        plat::SetSoundBackend(plat::SoundBackendKind::Silent);
        plat::ResetWindowing();
        plat::SetFrameBudget(0);
        plat::SetFakeClock(100000);
        // A run reads the game, not the device's calls: no call log kept.
        m_callsKept = plat::DeviceCallsKept();
        plat::KeepDeviceCalls(false);
        g_pGameStepObserver = m_observer;
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        s_script = nullptr;
        plat::UseRealClock();
        plat::ResetWindowing();
        plat::KeepDeviceCalls(m_callsKept);
        g_bInGame = 0;
        g_pPlayerVehicle = nullptr;
        g_nProfile = -1;
    }
    // The program from its start to its end.
    int Run()
    {
        s_ticks = 0;
        return WinMain(nullptr, nullptr, nullptr, 1);
    }

    ScopedTempDir m_dir;

private:
    void (*m_observer)(const char* step);
    bool m_callsKept = true;
};

} // namespace test
