// The whole program in this process on the sample data, played from its
// menu by posted keys: a profile is typed in, a new game reaches the
// introduction, saving and leaving returns to the menu, and after a restart
// the profile continues its game.
#include "game_run_fixture.h"

#include "game/CityLogic.h"
#include "shell/Input.h"

#include <cstring>
#include <string>

namespace {

using test::Post;

CVehicle s_runStandInCar;

// One key press a frame; the menu clears the flags of the keys it takes.
void Key(WPARAM key)
{
    Post(WM_KEYDOWN, key);
}

// The vehicle manager makes no car yet: a stand-in takes its place.
void StandInForThePlayersCar(const char* step)
{
    if (std::strncmp(step, "g_VehicleManager.CreatePlayerCar", 32) == 0)
        g_pPlayerVehicle = &s_runStandInCar;
}

bool MenuKeysAtRest()
{
    return !g_bKeyEnter && !g_bKeyUp;
}

class MenuRunTest : public test::GameRunTest {
protected:
    MenuRunTest() : GameRunTest(MenuKeysAtRest, StandInForThePlayersCar) {}
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
