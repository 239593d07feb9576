// The whole program run in this process on a copy of the built sample data:
// a fresh folder without saves, headless, silent, under a tape without keys
// whose clock moves on 50 ms a frame. A test plays it with a script that
// posts keys to its window at the start of the tape's frames; a test that
// must act inside start-up or a tick gives a step observer too.
#pragma once

#include "game/GameMenu.h"
#include "platform/Backend.h"
#include "platform/D3D9Recording.h"
#include "platform/InputTape.h"
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
    // Like a player, the script waits for a pressed button to act first: it
    // has its turn every second frame while no menu button is pressed and
    // the test's keys are at rest. A run that goes astray ends with the
    // tape (3000 frames) instead of hanging the test.
    static void ScriptFrame(unsigned frame, HWND)
    {
        s_ticks = static_cast<int>(frame);
        const CMenuButton* focus = g_GameMenu.m_pFocus;
        if (frame % 2 == 0 && s_script && !(focus && focus->m_bPressed) && s_keysAtRest())
            s_script();
    }

    // Frames since the run's start, and the test's script.
    static inline int s_ticks = 0;
    static inline std::function<void()> s_script;

protected:
    GameRunTest(bool (*keysAtRest)(), void (*observer)(const char* step)) : m_observer(observer)
    {
        s_keysAtRest = keysAtRest;
    }

    void SetUp() override
    {
        std::filesystem::copy(std::string(MORVAINE_BUILD_DIR) + "/run", m_dir.Path(),
                              std::filesystem::copy_options::recursive);
        std::filesystem::remove_all(m_dir.Path() / "Save");
        plat::SetHeadless(true);
        plat::SetSoundBackend(plat::SoundBackendKind::Silent);
        plat::ResetWindowing();
        plat::SetFrameBudget(0);
        // A run reads the game, not the device's calls: no call log kept.
        m_callsKept = plat::DeviceCallsKept();
        plat::KeepDeviceCalls(false);
        g_pGameStepObserver = m_observer;
        plat::g_pTapeFrameObserver = ScriptFrame;
    }
    void TearDown() override
    {
        plat::g_pTapeFrameObserver = nullptr;
        g_pGameStepObserver = nullptr;
        s_script = nullptr;
        plat::StopTape();
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
        plat::Tape tape;
        tape.step = 50;
        tape.seed = 100000;
        tape.end = 3000;
        plat::StartReplay(tape);
        return WinMain(nullptr, nullptr, nullptr, 1);
    }

    ScopedTempDir m_dir;

private:
    static inline bool (*s_keysAtRest)() = nullptr;
    void (*m_observer)(const char* step);
    bool m_callsKept = true;
};

} // namespace test
