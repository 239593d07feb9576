// The menu's keyboard focus, name entry, options and start fade.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "menu_fixture.h"
#include "roadusers/Vehicle.h"
#include "shell/GameSteps.h"
#include "writers/ProfileWriter.h"

#include <vector>

namespace {

using test::ProfileHeader;

class GameMenuTest : public test::MenuTest {
protected:
    void SetUp() override
    {
        test::MenuTest::SetUp();
        for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i)
            m_savedVideo[i] = *VideoSettingPointers()[i];
        m_savedMusic = g_nMusicVolume;
    }
    void TearDown() override
    {
        for (int i = 0; i < MENU_VIDEO_SETTINGS; ++i)
            *VideoSettingPointers()[i] = m_savedVideo[i];
        g_nMusicVolume = m_savedMusic;
        test::MenuTest::TearDown();
    }
    // The main menu of a profile that may continue.
    void OpenMainMenu()
    {
        WriteProfile(1, ProfileHeader("Ann", 0));
        g_GameMenu.Show(MENU_PROFILES);
        Choose(g_GameMenu.m_ProfilesDone);
        ASSERT_EQ(g_GameMenu.m_nState, MENU_MAIN);
    }
    void Key(int* flag)
    {
        *flag = 1;
        Frame();
    }
    void Type(const char* text)
    {
        for (const char* c = text; *c; ++c) {
            g_nTypedChar = static_cast<unsigned char>(*c);
            Frame();
        }
    }
    int m_savedVideo[MENU_VIDEO_SETTINGS] = {};
    int m_savedMusic = 0;
};

TEST_F(GameMenuTest, ArrowsWrapAndSkipDisabledButtons)
{
    OpenMainMenu();
    CGameMenu& m = g_GameMenu;
    EXPECT_EQ(m.m_pFocus, &m.m_Continue);
    Key(&g_bKeyUp);
    EXPECT_EQ(m.m_pFocus, &m.m_Exit);
    Key(&g_bKeyDown);
    EXPECT_EQ(m.m_pFocus, &m.m_Continue);
    m.m_StartNew.m_bEnabled = 0;
    Key(&g_bKeyDown);
    EXPECT_EQ(m.m_pFocus, &m.m_ChangeProfile);
    // With nothing enabled the search ends and the focus stays.
    for (int i = 0; i < m.m_nFocusCount; ++i)
        m.m_FocusList[i]->m_bEnabled = 0;
    Key(&g_bKeyDown);
    Key(&g_bKeyUp);
    EXPECT_EQ(m.m_pFocus, &m.m_ChangeProfile);
    EXPECT_EQ(g_bKeyUp + g_bKeyDown, 0);
}

TEST_F(GameMenuTest, WithoutASaveStartNewGameTakesTheFocus)
{
    WriteProfile(1, ProfileHeader("Ann", 1));
    g_GameMenu.Show(MENU_PROFILES);
    Choose(g_GameMenu.m_ProfilesDone);
    EXPECT_FALSE(g_GameMenu.m_Continue.m_bEnabled);
    EXPECT_EQ(g_GameMenu.m_pFocus, &g_GameMenu.m_StartNew);
}

// An action fires on the release 0.1 s of real time after the press, from
// the mouse as from the keys.
TEST_F(GameMenuTest, ActionsFireATenthOfASecondAfterThePress)
{
    OpenMainMenu();
    CMenuButton& options = g_GameMenu.m_Options;
    for (bool mouse : {false, true}) {
        if (mouse) {
            g_nMouseX = static_cast<int>(options.m_fX);
            g_nMouseY = static_cast<int>(options.m_fY);
            g_bMouseLeft = 1;
        } else {
            Focus(options);
            g_bKeyEnter = 1;
        }
        Frame();
        EXPECT_TRUE(options.m_bPressed) << mouse;
        EXPECT_EQ(g_bMouseLeft + g_bKeyEnter, 0);
        Frame(0.05);
        EXPECT_EQ(g_GameMenu.m_nState, MENU_MAIN) << mouse;
        Frame(0.06);
        EXPECT_EQ(g_GameMenu.m_nState, MENU_OPTIONS) << mouse;
        g_nMouseX = g_nMouseY = 0;
        Choose(g_GameMenu.m_Back);
        ASSERT_EQ(g_GameMenu.m_nState, MENU_MAIN);
    }
}

TEST_F(GameMenuTest, NameEntryKeepsToFifteenKnownCharactersWithinTheWidth)
{
    g_nTypedChar = 32; // the blank the program starts with
    g_GameMenu.Show(MENU_PROFILES);
    ASSERT_EQ(g_GameMenu.m_nState, MENU_NAME);
    Frame(); // a character left from before the screen opened is not typed
    EXPECT_STREQ(g_szPlayerName, "Player");
    for (int i = 0; i < 6; ++i) {
        g_nTextInput = 3;
        Frame();
    }
    EXPECT_STREQ(g_szPlayerName, "");
    EXPECT_FALSE(g_GameMenu.m_NameDone.m_bEnabled);
    EXPECT_EQ(g_nTextInput, 1);

    struct Case {
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {"Ann\x7F\x01\xE9!", "Ann!"},                 // characters the font lacks are ignored
        {"abcdefghijklmnopq", "abcdefghijklmno"},    // 15 at most
        {"WWWWWWWWWWWWWWW", nullptr},                // stops below 300 wide
    };
    for (const Case& c : cases) {
        g_szPlayerName[0] = '\0';
        Type(c.typed);
        if (c.kept) {
            EXPECT_STREQ(g_szPlayerName, c.kept);
            continue;
        }
        const std::size_t n = std::strlen(g_szPlayerName);
        EXPECT_LT(n, 15u);
        g_szPlayerName[n - 1] = '\0';
        EXPECT_LT(g_GameMenu.m_Font.GetTextWidth(g_szPlayerName, 0.75f, 0), 300.0f);
    }
    EXPECT_TRUE(g_GameMenu.m_NameDone.m_bEnabled);
}

TEST_F(GameMenuTest, NameScreenEscapeReturnsToProfilesOnlyWhenThereAreSome)
{
    g_GameMenu.Show(MENU_PROFILES);
    g_nTextInput = 4;
    Frame();
    EXPECT_EQ(g_GameMenu.m_nState, MENU_NAME);
    EXPECT_EQ(g_nTextInput, 1);

    WriteProfile(1, ProfileHeader("Ann", 1));
    g_GameMenu.SetState(MENU_PROFILES);
    Choose(g_GameMenu.m_NewProfile);
    ASSERT_EQ(g_GameMenu.m_nState, MENU_NAME);
    EXPECT_EQ(g_GameMenu.m_nFocusCount, 2);
    g_nTextInput = 4;
    Frame();
    EXPECT_EQ(g_GameMenu.m_nState, MENU_PROFILES);
    EXPECT_EQ(g_nTextInput, 0);
}

TEST_F(GameMenuTest, TypedNameBecomesANewProfile)
{
    g_GameMenu.Show(MENU_PROFILES);
    g_szPlayerName[0] = '\0';
    Type("Eve");
    Enter();
    EXPECT_EQ(g_GameMenu.m_nState, MENU_MAIN);
    EXPECT_EQ(g_nTextInput, 0);
    EXPECT_EQ(test::ReadWholeFile(m_dir.File("Save/Profile01.sav")), ProfileHeader("Eve", 1));
    EXPECT_EQ(g_nProfile, 0);
}

// Enter ends the typing wherever the pointer rests, even on BACK: an empty
// name is not taken, a typed one becomes the new profile.
TEST_F(GameMenuTest, EnterAcceptsTheTypedNameWithThePointerOnBack)
{
    WriteProfile(1, ProfileHeader("Ann", 1));
    g_GameMenu.Show(MENU_PROFILES);
    Choose(g_GameMenu.m_NewProfile);
    ASSERT_EQ(g_GameMenu.m_nState, MENU_NAME);
    g_nMouseX = static_cast<int>(g_GameMenu.m_Back.m_fX);
    g_nMouseY = static_cast<int>(g_GameMenu.m_Back.m_fY);
    Frame();
    ASSERT_EQ(g_GameMenu.m_pFocus, &g_GameMenu.m_Back) << "the pointer rests on BACK";

    g_szPlayerName[0] = '\0';
    g_nTextInput = TEXT_INPUT_ACCEPT;
    Frame(0.11);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_NAME) << "an empty name is not taken";
    EXPECT_EQ(g_nTextInput, TEXT_INPUT_ON);

    Type("Eve");
    g_nTextInput = TEXT_INPUT_ACCEPT;
    Frame(0.11);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_MAIN);
    EXPECT_EQ(g_nTextInput, TEXT_INPUT_OFF);
    EXPECT_EQ(test::ReadWholeFile(m_dir.File("Save/Profile02.sav")), ProfileHeader("Eve", 1));
}

TEST_F(GameMenuTest, ViewDistanceCyclesAndEveryLabelIsInRange)
{
    OpenMainMenu();
    g_nViewDistance = 600;
    Choose(g_GameMenu.m_Options);
    Choose(g_GameMenu.m_Graphics);
    ASSERT_EQ(g_GameMenu.m_nState, MENU_GRAPHICS);
    CMenuValueButton& distance = g_GameMenu.m_VideoButtons[VIDEO_DISTANCE];
    EXPECT_STREQ(distance.m_szValue, " Maximum");
    const std::pair<int, const char*> cycle[] = {{300, " Minimum"}, {550, " Average"}, {600, " Maximum"}};
    for (const auto& [value, label] : cycle) {
        Choose(distance);
        EXPECT_EQ(g_GameMenu.m_Video[VIDEO_DISTANCE], value);
        EXPECT_STREQ(distance.m_szValue, label);
    }
    // A distance of 0 (below the first step) still names a label.
    g_GameMenu.m_Video[VIDEO_DISTANCE] = 0;
    g_GameMenu.RefreshOptionLabels();
    EXPECT_STREQ(distance.m_szValue, " Minimum");
    EXPECT_EQ(g_nViewDistance, 600) << "stepping edits a copy";
}

TEST_F(GameMenuTest, AcceptWritesGameIniAndCancelOrEscapeDiscard)
{
    OpenMainMenu();
    g_nVideoMode = 1;
    g_bGlow = 1;
    g_nShadows = 3;
    Choose(g_GameMenu.m_Options);
    for (bool escape : {false, true}) {
        Choose(g_GameMenu.m_Graphics);
        Choose(g_GameMenu.m_VideoButtons[VIDEO_MODE]);
        Choose(g_GameMenu.m_VideoButtons[VIDEO_SHADOWS]);
        EXPECT_EQ(g_GameMenu.m_Video[VIDEO_SHADOWS], 0);
        if (escape)
            Key(&g_bKeyEscape);
        else
            Choose(g_GameMenu.m_Cancel);
        EXPECT_EQ(g_GameMenu.m_nState, MENU_OPTIONS);
        EXPECT_EQ(g_nVideoMode, 1);
        EXPECT_EQ(g_nShadows, 3);
        EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Game.ini"));
    }
    Choose(g_GameMenu.m_Graphics);
    Choose(g_GameMenu.m_VideoButtons[VIDEO_MODE]);
    Choose(g_GameMenu.m_VideoButtons[VIDEO_GLOW]);
    Choose(g_GameMenu.m_Accept);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_OPTIONS);
    EXPECT_EQ(g_nVideoMode, 2);
    EXPECT_EQ(g_bGlow, 0);
    const std::string ini = test::ReadWholeFile(m_dir.File("Game.ini"));
    for (const char* line : {"Mode=2", "Glow=0", "Shadows=3", "Distance=2"})
        EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
}

// Every opening copies all nine settings: a Glow changed elsewhere is not
// written back from a stale copy.
TEST_F(GameMenuTest, ShowCopiesEveryVideoSetting)
{
    g_GameMenu.Show(MENU_MAIN);
    g_bGlow = 0;
    g_bReflect = 0;
    g_GameMenu.Show(MENU_MAIN);
    EXPECT_EQ(g_GameMenu.m_Video[VIDEO_GLOW], 0);
    EXPECT_EQ(g_GameMenu.m_Video[VIDEO_REFLECT], 0);
}

TEST_F(GameMenuTest, MusicVolumeStepsByFiveAndWraps)
{
    OpenMainMenu();
    g_nMusicVolume = 95;
    Choose(g_GameMenu.m_Options);
    Choose(g_GameMenu.m_Audio);
    const std::pair<int, const char*> steps[] = {{100, " 100%"}, {0, " 0%"}, {5, " 5%"}};
    for (const auto& [value, label] : steps) {
        Choose(g_GameMenu.m_MusicVolume);
        EXPECT_EQ(g_nMusicVolume, value);
        EXPECT_STREQ(g_GameMenu.m_MusicVolume.m_szValue, label);
    }
    EXPECT_NE(test::ReadWholeFile(m_dir.File("Game.ini")).find("Music=5"), std::string::npos);
}

std::vector<std::string> s_steps;
CVehicle s_standInCar;
bool s_makeCar = true;

// The vehicle manager makes no car yet: a stand-in takes its place.
void RecordStep(const char* step)
{
    s_steps.push_back(step);
    if (s_makeCar && std::strncmp(step, "g_VehicleManager.CreatePlayerCar", 32) == 0)
        g_pPlayerVehicle = &s_standInCar;
}

class StartFadeTest : public GameMenuTest {
protected:
    void SetUp() override
    {
        GameMenuTest::SetUp();
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
        s_steps.clear();
        s_makeCar = true;
        g_CityLogic.m_nScene = 0;
        g_pGameStepObserver = RecordStep;
    }
    void TearDown() override
    {
        g_pGameStepObserver = nullptr;
        g_pPlayerVehicle = nullptr;
        g_Game.m_pCamera = nullptr;
        g_CityLogic.m_nScene = 0;
        GameMenuTest::TearDown();
    }
    // Frames of the start fade until its 2 s have passed.
    void RunFade()
    {
        for (int i = 0; i < 25 && g_GameMenu.m_nState == MENU_START; ++i)
            Frame(0.1);
    }
    bool Ran(const char* prefix) const
    {
        for (const std::string& s : s_steps)
            if (s.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

TEST_F(StartFadeTest, ContinueLoadsTheSaveAndStartsTheContinueScene)
{
    OpenMainMenu();
    tools::ProfileSave save = tools::SampleProfile();
    save.name = "Ann";
    WriteProfile(1, tools::EncodeProfile(save));
    Choose(g_GameMenu.m_Continue);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_START);
    EXPECT_EQ(g_Game.m_pCamera->m_nFadeKind, 0);
    EXPECT_EQ(g_bMenuContinue, 1);
    Frame(1.5);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_START);
    EXPECT_FALSE(Ran("g_Game.LoadGame"));
    RunFade();
    EXPECT_TRUE(Ran("g_Game.LoadGame"));
    EXPECT_EQ(g_CityLogic.m_nScene, 11);
    EXPECT_EQ(g_bInGame, 1);
    EXPECT_EQ(g_GameMenu.m_bOpen, 0);
    EXPECT_EQ(g_bMenuContinue + g_bMenuNewGame, 0);
}

TEST_F(StartFadeTest, YesStartsANewGameWithThePlayersCar)
{
    OpenMainMenu();
    Choose(g_GameMenu.m_StartNew);
    ASSERT_EQ(g_GameMenu.m_nState, MENU_NEW_GAME);
    EXPECT_EQ(g_GameMenu.m_pFocus, &g_GameMenu.m_No);
    Choose(g_GameMenu.m_Yes);
    RunFade();
    EXPECT_TRUE(Ran("g_Game.NewGame"));
    EXPECT_TRUE(Ran("g_VehicleManager.CreatePlayerCar"));
    EXPECT_EQ(g_CityLogic.m_nScene, 10);
    EXPECT_EQ(g_bInGame, 1);
    EXPECT_EQ(g_GameMenu.m_bOpen, 0);
}

// A start that cannot load the save or make the car returns to the main
// menu: no scene, not in the game, not left behind the loading screen.
TEST_F(StartFadeTest, FailedStartReturnsToTheMainMenu)
{
    for (bool newGame : {false, true}) {
        OpenMainMenu();
        s_makeCar = false;
        if (newGame) {
            Choose(g_GameMenu.m_StartNew);
            Choose(g_GameMenu.m_Yes);
        } else {
            Choose(g_GameMenu.m_Continue); // the header alone is no save
        }
        RunFade();
        EXPECT_EQ(g_GameMenu.m_nState, MENU_MAIN) << newGame;
        EXPECT_EQ(g_GameMenu.m_bOpen, 1);
        EXPECT_EQ(g_CityLogic.m_nScene, 0);
        EXPECT_EQ(g_bInGame, 0);
        EXPECT_EQ(g_bMenuContinue + g_bMenuNewGame, 0);
    }
}

// After the fade to black the music stops, the picture fades back in on a
// new background once, and the loading screen shows.
TEST_F(StartFadeTest, TheStartStepRunsOncePerFade)
{
    OpenMainMenu();
    Choose(g_GameMenu.m_StartNew);
    Choose(g_GameMenu.m_Yes);
    CWorldCamera& camera = *g_Game.m_pCamera;
    for (int i = 0; i < 11; ++i) {
        Frame(0.1);
        camera.m_fFadeElapsed += 0.1f;
    }
    EXPECT_EQ(g_GameMenu.m_bStartStepDone, 1);
    EXPECT_EQ(camera.m_nFadeKind, 1);
    Frame(0.1);
    camera.m_fFadeElapsed = 5.0f; // the fade in ended: it must not start again
    Frame(0.1);
    EXPECT_FALSE(camera.IsFading());
    EXPECT_NE(g_GameMenu.m_LoadingText, INVALID_TEXTURE_ID);
}

TEST_F(GameMenuTest, ExitSetsTheQuitFlag)
{
    OpenMainMenu();
    Choose(g_GameMenu.m_Exit);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_EXIT);
    EXPECT_EQ(g_bQuit, 1);
}

} // namespace

namespace {

// Started without the menu, the loading screen is five whole frames of its
// own; inside the start fade it draws into the frame being built.
TEST_F(GameMenuTest, LoadingScreenPresentsFiveFramesOnlyWhenAsked)
{
    g_GameInterface.m_Cursor.m_bVisible = 1;
    for (const auto& [present, frames] : {std::pair{1, 5u}, std::pair{0, 0u}}) {
        m_device->Log().Clear();
        g_GameMenu.ShowLoadingScreen(present);
        EXPECT_EQ(m_device->Log().Count(plat::D3DOp::Present), frames);
        EXPECT_GT(m_device->Log().Count(plat::D3DOp::DrawPrimitiveUP), 0u);
    }
    EXPECT_EQ(g_GameInterface.m_Cursor.m_bVisible, 0u);
    EXPECT_NE(g_GameMenu.m_LoadingText, INVALID_TEXTURE_ID);
    EXPECT_NE(g_GameMenu.m_Background, INVALID_TEXTURE_ID);
    EXPECT_EQ(NewBoxes(), 0u);
}

} // namespace
