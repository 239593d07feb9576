// The program entry in this process on the sample data: its start-up and
// shut-down order, and each start-up failure that ends it early.
#include "graphics/D3DRender.h"
#include "platform/Backend.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/FileManager.h"
#include "shell/GameSteps.h"
#include "shell/Input.h"
#include "shell/Settings.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> s_entrySteps;
const char* s_refusedStep = nullptr;

// The steps of the program entry itself (the game object's own steps are
// recorded too and left out here).
const char* const kEntrySteps[] = {
    "LoadSettings(\"Game.ini\")",
    "DebugLog(nullptr)",
    "CreateMainWindow(instance)",
    "g_FileManager.Init()",
    "LoadKeyScanCodes()",
    "g_D3DRender.InitD3DRender(g_hWnd, g_bWindowed)",
    "g_AudioManager.Init(g_hWnd)",
    "ClampSettings()",
    "g_GameMenu.PlayStartLogos()",
    "g_Game.Init()",
    "g_Game.ResetSession()",
    "g_AudioManager.Compact()",
    "g_GameMenu.Show(10)",
    "g_D3DRender.SetCursorPosition(400, 300)",
    "g_Game.Release()",
    "g_D3DRender.FreeD3DRender()",
    "g_AudioManager.Release()",
    "ShellExecuteA(nullptr, \"open\", g_pszWebPage, nullptr, nullptr, SW_SHOWMAXIMIZED)",
};

void RecordEntryStep(const char* step)
{
    if (std::find_if(std::begin(kEntrySteps), std::end(kEntrySteps),
                     [step](const char* s) { return std::string(s) == step; }) != std::end(kEntrySteps))
        s_entrySteps.push_back(step);
}

int RefuseNamedStep(const char* step)
{
    return s_refusedStep && std::string(step) == s_refusedStep;
}

// What a run of the program reads into globals from its data folder: the
// settings file, the key bindings and the limits the renderer lowers.
int* const kRunSettings[] = {&g_nVideoMode, &g_nViewDistance, &g_nDetails,     &g_nTraffic,      &g_nShadows,
                             &g_bGlow,      &g_bBlur,         &g_nWater,       &g_bReflect,      &g_bWindowed,
                             &g_bAudio,     &g_nMasterVolume, &g_nMusicVolume, &g_nEffectsVolume, &g_bFileManager,
                             &g_bBmpToJpg,  &g_bGameMenu,     &g_bDebugOut,    &g_bEditorMode,   &g_KeyBindings[0].nKey,
                             &g_KeyBindings[1].nKey, &g_KeyBindings[2].nKey, &g_KeyBindings[3].nKey};

class WinMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (std::size_t i = 0; i < std::size(kRunSettings); ++i)
            m_savedSettings[i] = *kRunSettings[i];
        std::memcpy(m_savedMax, g_SettingMax, sizeof m_savedMax);
        std::filesystem::copy(std::string(MORVAINE_BUILD_DIR) + "/run", m_dir.Path(),
                              std::filesystem::copy_options::recursive);
        plat::SetHeadless(true);
        plat::SetSoundBackend(plat::SoundBackendKind::Silent);
        plat::ResetWindowing();
        plat::SetFrameBudget(3);
        s_entrySteps.clear();
        g_pGameStepObserver = RecordEntryStep;
        g_pGameStepRefusal = RefuseNamedStep;
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        g_pGameStepRefusal = nullptr;
        s_refusedStep = nullptr;
        plat::SetFrameBudget(0);
        plat::ResetWindowing();
        g_bInGame = 0;
        for (std::size_t i = 0; i < std::size(kRunSettings); ++i)
            *kRunSettings[i] = m_savedSettings[i];
        std::memcpy(g_SettingMax, m_savedMax, sizeof m_savedMax);
        // The run left the copied data's archive tables open: the next test
        // would read the sample city through them from its own folder. Opened
        // again in an empty folder, the file manager holds none, as before.
        test::ScopedTempDir empty;
        g_FileManager.Init();
    }
    test::ScopedTempDir m_dir;
    int m_savedSettings[std::size(kRunSettings)] = {};
    int m_savedMax[9] = {};
};

TEST_F(WinMainTest, StartsRunsAndShutsDownInOrder)
{
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), 0);
    EXPECT_EQ(s_entrySteps, std::vector<std::string>(std::begin(kEntrySteps), std::end(kEntrySteps)));
    EXPECT_STREQ(plat::LastShellOpen(), g_pszWebPage);
}

// Each failing start-up step ends the entry at once, with the failure
// status, before any later step and without shutting anything down.
TEST_F(WinMainTest, EachFailingStartUpStepEndsTheEntryThere)
{
    const int failing[] = {5, 6, 9}; // renderer, audio, game object
    for (const int at : failing) {
        s_refusedStep = kEntrySteps[at];
        SCOPED_TRACE(s_refusedStep);
        s_entrySteps.clear();
        EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 1), START_UP_FAILED);
        EXPECT_EQ(s_entrySteps, std::vector<std::string>(kEntrySteps, kEntrySteps + at + 1));
        // What was made stays made; release it for the next case.
        g_pGameStepObserver = nullptr;
        g_Game.Release();
        g_D3DRender.FreeD3DRender();
        g_AudioManager.Release();
        g_pGameStepObserver = RecordEntryStep;
        plat::ResetWindowing();
    }
}

} // namespace
