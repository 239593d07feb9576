// The whole program in this process on the sample data, played from its
// menu by posted keys: the logos are skipped, a profile is typed in, a new
// game reaches the introduction, saving and leaving returns to the menu,
// and after a restart the profile continues its game.
#include "game/CityLogic.h"
#include "game/GameMenu.h"
#include "platform/Backend.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/Vehicle.h"
#include "shell/Game.h"
#include "shell/GameSteps.h"
#include "shell/Input.h"
#include "shell/Profile.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace {

CVehicle s_standInCar;
int s_ticks = 0;
std::function<void()> s_script;

void Post(UINT message, WPARAM w)
{
    PostMessageA(g_hWnd, message, w, 0);
}

// One key press a frame; the menu clears the flags of the keys it takes.
void Key(WPARAM key)
{
    Post(WM_KEYDOWN, key);
}

void Drive(const char* step)
{
    // The vehicle manager makes no car yet: a stand-in takes its place.
    if (std::strncmp(step, "g_VehicleManager.CreatePlayerCar", 32) == 0)
        g_pPlayerVehicle = &s_standInCar;
    // The window exists from here on: the skip reaches the logo loop.
    if (std::strcmp(step, "g_FileManager.Init()") == 0)
        Key(VK_ESCAPE);
    if (std::strcmp(step, "g_GameTimer.Update()") != 0)
        return;
    plat::AdvanceFakeClock(50);
    // A run that goes astray ends instead of hanging the test.
    if (++s_ticks > 3000) {
        Post(WM_CLOSE, 0);
        return;
    }
    // Like a player, the script waits for a pressed button to act first.
    const CMenuButton* focus = g_GameMenu.m_pFocus;
    if (s_ticks % 2 == 0 && s_script && !(focus && focus->m_bPressed) && !g_bKeyEnter && !g_bKeyUp)
        s_script();
}

class MenuRunTest : public ::testing::Test {
protected:
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
        g_pGameStepObserver = Drive;
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        s_script = nullptr;
        plat::UseRealClock();
        plat::ResetWindowing();
        g_bInGame = 0;
        g_pPlayerVehicle = nullptr;
        g_nProfile = -1;
    }
    int Run()
    {
        s_ticks = 0;
        return WinMain(nullptr, nullptr, nullptr, 1);
    }
    test::ScopedTempDir m_dir;
};

TEST_F(MenuRunTest, ProfileNewGameSaveAndContinueAfterARestart)
{
    int scene = -1;
    std::string typed = "Tess";
    s_script = [&]() {
        CGameMenu& m = g_GameMenu;
        if (g_bInGame) {
            // What the pop-up menu's "save and exit" does.
            scene = g_CityLogic.m_nScene;
            SaveGame();
            g_bInGame = 0;
            g_GameMenu.Show(MENU_MAIN);
            Post(WM_CLOSE, 0);
        } else if (m.m_nState == MENU_NAME && g_szPlayerName[0] != '\0' && typed == "Tess") {
            Key(VK_BACK);
        } else if (m.m_nState == MENU_NAME && !typed.empty()) {
            Post(WM_CHAR, static_cast<unsigned char>(typed[0]));
            typed.erase(0, 1);
        } else if (m.m_nState == MENU_NAME || m.m_nState == MENU_MAIN) {
            Key(VK_RETURN);
        } else if (m.m_nState == MENU_NEW_GAME) {
            Key(m.m_pFocus == &m.m_No ? VK_UP : VK_RETURN);
        }
    };
    Run();
    EXPECT_EQ(scene, 10) << "the new game's introduction";
    EXPECT_STREQ(g_szPlayerName, "Tess");
    const std::string save = test::ReadWholeFile(m_dir.File("Save/Profile01.sav"));
    ASSERT_GT(save.size(), 20u);
    EXPECT_EQ(save.substr(0, 5), std::string("Tess\0", 5));
    EXPECT_LT(s_ticks, 300) << "the script went astray";

    std::strcpy(g_szPlayerName, "Player");
    scene = -1;
    s_script = [&]() {
        CGameMenu& m = g_GameMenu;
        if (g_bInGame) {
            scene = g_CityLogic.m_nScene;
            Post(WM_CLOSE, 0);
        } else if (m.m_nState == MENU_PROFILES || (m.m_nState == MENU_MAIN && m.m_pFocus == &m.m_Continue)) {
            Key(VK_RETURN);
        }
    };
    Run();
    EXPECT_EQ(scene, 11) << "the saved game continues";
    EXPECT_STREQ(g_szPlayerName, "Tess");
    EXPECT_LT(s_ticks, 300) << "the script went astray";
}

} // namespace
