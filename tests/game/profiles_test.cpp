// The menu's profile list: which files it shows, and that creating, loading
// and deleting act on the file a slot shows.
#include "menu_fixture.h"

namespace {

using test::ProfileHeader;

class ProfilesTest : public test::MenuTest {};

TEST_F(ProfilesTest, ListsOnlyProfileFilesThatOpenSortedByName)
{
    WriteProfile(3, ProfileHeader("Carol", 1));
    WriteProfile(1, ProfileHeader("Ann", 0));
    std::filesystem::create_directories(m_dir.Path() / "Save/Profile02.sav");
    test::WriteWholeFile(m_dir.File("Save/Other.sav"), ProfileHeader("Other", 1));
    test::WriteWholeFile(m_dir.File("Save/Profile4.sav"), ProfileHeader("Short", 1));
    test::WriteWholeFile(m_dir.File("Save/Profile05.sav.bak"), ProfileHeader("Backup", 1));
    g_GameMenu.SetState(MENU_PROFILES);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_PROFILES);
    ASSERT_EQ(g_GameMenu.m_nProfiles, 2);
    EXPECT_STREQ(g_GameMenu.m_ProfileSlots[0].m_szText, "Ann");
    EXPECT_STREQ(g_GameMenu.m_ProfileSlots[1].m_szText, "Carol");
    EXPECT_STREQ(g_GameMenu.m_szProfileFiles[1], "Profile03.sav");
    EXPECT_TRUE(g_GameMenu.m_ProfileSlots[1].m_bEnabled);
    EXPECT_FALSE(g_GameMenu.m_ProfileSlots[2].m_bEnabled);
    EXPECT_STREQ(g_GameMenu.m_ProfileSlots[2].m_szText, "-");
    EXPECT_EQ(g_nProfile, 0);
    EXPECT_TRUE(g_GameMenu.m_ProfilesDone.m_bEnabled);
}

// With no profile the menu asks for a name, with no way back.
TEST_F(ProfilesTest, NoProfileGoesToNameEntryWithOnlyDone)
{
    g_GameMenu.SetState(MENU_PROFILES);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_NAME);
    EXPECT_EQ(g_nProfile, -1);
    ASSERT_EQ(g_GameMenu.m_nFocusCount, 1);
    EXPECT_EQ(g_GameMenu.m_FocusList[0], &g_GameMenu.m_NameDone);
    EXPECT_EQ(g_nTextInput, 1);
    EXPECT_STREQ(g_szPlayerName, "Player");
}

// A new profile takes the lowest number no file uses, so a gap is filled
// and no other player's file is overwritten.
TEST_F(ProfilesTest, CreationWritesTheHeaderUnderTheLowestFreeNumber)
{
    struct Case {
        std::vector<int> existing;
        const char* expected;
    };
    const Case cases[] = {
        {{}, "Save/Profile01.sav"},
        {{1, 3}, "Save/Profile02.sav"},
        {{2}, "Save/Profile01.sav"},
        {{1, 2, 3}, "Save/Profile04.sav"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(m_dir.Path() / "Save");
        for (int n : c.existing)
            WriteProfile(n, ProfileHeader("Other", 0));
        g_GameMenu.ListProfiles();
        std::strcpy(g_szPlayerName, "Dana");
        ASSERT_EQ(g_GameMenu.CreateNewProfile(), 1);
        EXPECT_EQ(test::ReadWholeFile(m_dir.File(c.expected)), ProfileHeader("Dana", 1)) << c.expected;
        for (int n : c.existing) {
            char name[32];
            std::snprintf(name, sizeof name, "Save/Profile%02d.sav", n);
            EXPECT_EQ(test::ReadWholeFile(m_dir.File(name)), ProfileHeader("Other", 0)) << name;
        }
        EXPECT_FALSE(g_GameMenu.m_Continue.m_bEnabled);
    }
}

TEST_F(ProfilesTest, CreationFailureShowsTheBoxAndStaysOnTheNameScreen)
{
    test::WriteWholeFile(m_dir.File("Save"), "a file where the folder belongs");
    g_GameMenu.Show(MENU_PROFILES);
    ASSERT_EQ(g_GameMenu.m_nState, MENU_NAME);
    Choose(g_GameMenu.m_NameDone);
    EXPECT_EQ(NewBoxes(), 1u);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Could't create new profile!");
    EXPECT_EQ(g_GameMenu.m_nState, MENU_NAME);
    EXPECT_EQ(g_nProfile, -1);
}

// A full disk shows only when the bytes leave the C library's buffer: the
// menu must not call a profile created that is an empty or partial file.
TEST_F(ProfilesTest, CreationOnAFullDiskShowsTheBoxAndLeavesNoFile)
{
    WriteProfile(1, ProfileHeader("Ann", 0));
    g_GameMenu.ListProfiles();
    std::strcpy(g_szPlayerName, "Dana");
    int created = -1;
    {
        test::ScopedFileSizeLimit disk(10);
        created = g_GameMenu.CreateNewProfile();
    }
    EXPECT_EQ(created, 0);
    EXPECT_EQ(NewBoxes(), 1u);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Could't create new profile!");
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Save/Profile02.sav"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Save/Profile02.sav.tmp"));
    EXPECT_EQ(g_GameMenu.m_nProfiles, 1);
    EXPECT_EQ(test::ReadWholeFile(m_dir.File("Save/Profile01.sav")), ProfileHeader("Ann", 0));
}

TEST_F(ProfilesTest, NineProfilesRefuseAnother)
{
    for (int n = 1; n <= 9; ++n)
        WriteProfile(n, ProfileHeader("P", 1));
    g_GameMenu.SetState(MENU_PROFILES);
    EXPECT_FALSE(g_GameMenu.m_NewProfile.m_bEnabled);
    EXPECT_EQ(g_GameMenu.CreateNewProfile(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Save/Profile10.sav"));
}

// The header's flag decides CONTINUE GAME; a header cut short has none to
// continue; a name without terminator is cut at 15 characters.
TEST_F(ProfilesTest, LoadingTheHeaderSetsNameAndContinue)
{
    struct Case {
        std::string bytes;
        const char* name;
        bool canContinue;
    };
    const Case cases[] = {
        {ProfileHeader("Ann", 0), "Ann", true},
        {ProfileHeader("Ann", 1), "Ann", false},
        {ProfileHeader("Ann", 0).substr(0, 17), "Ann", false},
        {"Bo", "Bo", false},
        {ProfileHeader("ABCDEFGHIJKLMNOP", 0), "ABCDEFGHIJKLMNO", true},
    };
    for (const Case& c : cases) {
        WriteProfile(2, c.bytes);
        g_nProfile = 1;
        ASSERT_EQ(g_GameMenu.LoadProfile(), 1);
        EXPECT_STREQ(g_szPlayerName, c.name);
        EXPECT_EQ(g_GameMenu.m_Continue.m_bEnabled != 0, c.canContinue) << c.name;
    }
    g_nProfile = 4;
    EXPECT_EQ(g_GameMenu.LoadProfile(), 0);
    EXPECT_STREQ(plat::LastMessageBoxText(), "Could't load profile!");
}

// Each slot keeps its file: choosing the second slot loads and deletes
// Profile03, not Profile02.
TEST_F(ProfilesTest, SlotsActOnTheFileTheyShow)
{
    WriteProfile(1, ProfileHeader("Ann", 1));
    WriteProfile(3, ProfileHeader("Carol", 0));
    g_GameMenu.Show(MENU_PROFILES);
    g_GameMenu.m_ProfileSlots[1].m_bPressed = 1;
    g_GameMenu.m_ProfileSlots[1].m_nPressStamp = static_cast<int>(g_GameTimer.m_fRealTime);
    Frame(0.11);
    EXPECT_EQ(g_nProfile, 2);
    Choose(g_GameMenu.m_ProfilesDone);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_MAIN);
    EXPECT_STREQ(g_szPlayerName, "Carol");
    EXPECT_TRUE(g_GameMenu.m_Continue.m_bEnabled);
    EXPECT_EQ(g_GameMenu.m_pFocus, &g_GameMenu.m_Continue);

    Choose(g_GameMenu.m_ChangeProfile);
    ASSERT_EQ(g_GameMenu.m_nState, MENU_PROFILES);
    g_nProfile = 2;
    Choose(g_GameMenu.m_DeleteProfile);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Save/Profile03.sav"));
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "Save/Profile01.sav"));
    EXPECT_EQ(g_GameMenu.m_nProfiles, 1);
    EXPECT_EQ(g_nProfile, -1) << "nothing is selected after a delete";
}

// Enter pressed again on DELETE PROFILE must not go on through the list:
// each delete needs a slot picked first.
TEST_F(ProfilesTest, RepeatedEnterOnDeleteRemovesOnlyTheChosenProfile)
{
    for (int n = 1; n <= 3; ++n)
        WriteProfile(n, ProfileHeader("P", 0));
    g_GameMenu.Show(MENU_PROFILES);
    g_nProfile = 1;
    Choose(g_GameMenu.m_DeleteProfile);
    Enter();
    Enter();
    EXPECT_EQ(g_GameMenu.m_pFocus, &g_GameMenu.m_DeleteProfile);
    EXPECT_EQ(g_GameMenu.m_nProfiles, 2);
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "Save/Profile01.sav"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "Save/Profile02.sav"));
    EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "Save/Profile03.sav"));
    Choose(g_GameMenu.m_ProfilesDone);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_PROFILES) << "DONE needs a chosen profile";
}

TEST_F(ProfilesTest, FailedLoadStaysOnTheProfileScreen)
{
    WriteProfile(1, ProfileHeader("Ann", 1));
    g_GameMenu.Show(MENU_PROFILES);
    std::filesystem::remove(m_dir.Path() / "Save/Profile01.sav");
    Choose(g_GameMenu.m_ProfilesDone);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_PROFILES);
    EXPECT_EQ(NewBoxes(), 1u);
}

} // namespace
