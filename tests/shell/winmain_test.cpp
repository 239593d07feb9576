// The program entry in this process on the sample data: its start-up and
// shut-down order, and each start-up failure that ends it early.
#include "graphics/D3DRender.h"
#include "platform/Backend.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "shell/AudioManager.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
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

class WinMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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
    }
    test::ScopedTempDir m_dir;
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
