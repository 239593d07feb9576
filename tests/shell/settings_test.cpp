#include "graphics/ScreenVertex.h"
#include "platform/Win32Profile.h"
#include "shell/Input.h"
#include "shell/Log.h"
#include "shell/Settings.h"
#include "support/TempDir.h"
#include "writers/GameIniWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <cstring>
#include <string>

namespace {

class Settings : public ::testing::Test {
protected:
    void SetUp() override { std::memcpy(m_savedMax, g_SettingMax, sizeof(m_savedMax)); }
    void TearDown() override
    {
        std::memcpy(g_SettingMax, m_savedMax, sizeof(m_savedMax));
        g_bDebugLog = 0;
    }

    // Writes "Game.ini" with the defaults and one changed key, then loads it.
    void LoadWith(const char* section, const char* key, const char* value)
    {
        std::vector<tools::IniEntry> ini = tools::DefaultGameIni();
        tools::SetIniValue(&ini, section, key, value);
        ASSERT_TRUE(tools::WriteIni("Game.ini", ini));
        LoadSettings("Game.ini");
    }

    test::ScopedTempDir m_dir;
    int m_savedMax[9];
};

TEST_F(Settings, MissingFileGivesEveryDefault)
{
    g_nVideoMode = 3;
    g_bDebugOut = 1;
    g_KeyBindings[0].nKey = 0;
    LoadSettings("Game.ini");
    EXPECT_STREQ(g_szVersion, "1.0.1");
    const int expected[] = {1, 600, 1, 1, 3, 1, 1, 2, 1, 0, 1, 100, 100, 100, 1, 1, 1, 0, 0};
    const int actual[] = {g_nVideoMode,   g_nViewDistance, g_nDetails,     g_nTraffic,     g_nShadows,
                          g_bGlow,        g_bBlur,         g_nWater,       g_bReflect,     g_bWindowed,
                          g_bAudio,       g_nMasterVolume, g_nMusicVolume, g_nEffectsVolume, g_bFileManager,
                          g_bBmpToJpg,    g_bGameMenu,     g_bDebugOut,    g_bEditorMode};
    for (std::size_t i = 0; i < sizeof(expected) / sizeof(expected[0]); ++i)
        EXPECT_EQ(actual[i], expected[i]) << "key " << i;
    EXPECT_EQ(g_bDebugLog, 0);
    const int keys[] = {38, 40, 37, 39};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(g_KeyBindings[i].nKey, keys[i]);
}

TEST_F(Settings, ConvertsAndClamps)
{
    struct Case {
        const char* section;
        const char* key;
        const char* text;
        const int* global;
        int expected;
    };
    const Case cases[] = {
        {"Video", "Distance", "0", &g_nViewDistance, 200},
        {"Video", "Distance", "1", &g_nViewDistance, 400},
        {"Video", "Distance", "3", &g_nViewDistance, 600},
        {"Video", "Distance", "-5", &g_nViewDistance, 0},
        {"Video", "Distance", "99999999999", &g_nViewDistance, 600},
        {"Video", "Distance", "-99999999999", &g_nViewDistance, 0},
        {"Audio", "Master", "150", &g_nMasterVolume, 100},
        {"Audio", "Music", "-1", &g_nMusicVolume, 0},
        {"Audio", "Effects", "55", &g_nEffectsVolume, 55},
        {"Video", "Mode", "7", &g_nVideoMode, 3},
        {"Video", "Mode", "fast", &g_nVideoMode, 0},
        {"Video", "Water", "9", &g_nWater, 2},
        {"Video", "Reflect", "5", &g_bReflect, 1},
        {"Video", "Shadows", "2x", &g_nShadows, 2},
        {"Video", "Windowed", "7", &g_bWindowed, 7},
        {"Misc", "Editor mode", "-3", &g_bEditorMode, -3},
        {"Controls", "Act02", "83", &g_KeyBindings[1].nKey, 83},
    };
    for (const Case& c : cases) {
        LoadWith(c.section, c.key, c.text);
        EXPECT_EQ(*c.global, c.expected) << c.key << "=" << c.text;
    }
}

TEST_F(Settings, ClampFollowsLoweredBounds)
{
    LoadWith("Video", "Mode", "7");
    g_SettingMax[0] = 1;
    g_SettingMax[7] = 0;
    ClampSettings();
    EXPECT_EQ(g_nVideoMode, 1);
    EXPECT_EQ(g_nWater, 0);
}

TEST_F(Settings, DebugOutSwitchesTheLog)
{
    LoadWith("Misc", "Debug out", "1");
    EXPECT_EQ(g_bDebugOut, 1);
    EXPECT_EQ(g_bDebugLog, 1);
}

TEST_F(Settings, VersionKeepsNineCharacters)
{
    LoadWith("Game", "Version", "2.3.4-beta-build");
    EXPECT_STREQ(g_szVersion, "2.3.4-bet");
}

TEST_F(Settings, SaveWritesBackOnlyItsKeys)
{
    test::WriteWholeFile("Game.ini", "; player options\r\n"
                                     "[Video]\r\n"
                                     "Mode=1\r\n"
                                     "Distance=3\r\n"
                                     "Windowed= yes please \r\n"
                                     "[Audio]\r\n"
                                     "Master=150\r\n"
                                     "Audio=1\r\n"
                                     "[Misc]\r\n"
                                     "File manager=0\r\n"
                                     "[Controls]\r\n"
                                     "Act01=87\r\n");
    LoadSettings("Game.ini");
    ASSERT_EQ(g_nViewDistance, 600);
    ASSERT_NE(SaveSettings(), 0);
    EXPECT_EQ(test::ReadWholeFile("Game.ini"), "; player options\r\n"
                                               "[Video]\r\n"
                                               "Mode=1\r\n"
                                               "Distance=2\r\n"
                                               "Windowed= yes please \r\n"
                                               "Details=1\r\n"
                                               "Traffic=1\r\n"
                                               "Shadows=3\r\n"
                                               "Glow=1\r\n"
                                               "Blur=1\r\n"
                                               "Water=2\r\n"
                                               "Reflect=1\r\n"
                                               "[Audio]\r\n"
                                               "Master=100\r\n"
                                               "Audio=1\r\n"
                                               "Music=100\r\n"
                                               "Effects=100\r\n"
                                               "[Misc]\r\n"
                                               "File manager=0\r\n"
                                               "[Controls]\r\n"
                                               "Act01=87\r\n");
}

TEST_F(Settings, SaveAndLoadRoundTrip)
{
    LoadSettings("Game.ini");
    g_nViewDistance = 400;
    g_nMusicVolume = 35;
    g_bBlur = 0;
    ASSERT_NE(SaveSettings(), 0);
    g_nViewDistance = 0;
    g_nMusicVolume = 0;
    g_bBlur = 1;
    LoadSettings("Game.ini");
    EXPECT_EQ(g_nViewDistance, 400);
    EXPECT_EQ(g_nMusicVolume, 35);
    EXPECT_EQ(g_bBlur, 0);
}

TEST_F(Settings, WorkingDirectoryLongerThanThePathBuffer)
{
    std::filesystem::path deep = m_dir.Path();
    while (deep.string().size() < 300)
        deep /= std::string(40, 'd');
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    test::WriteWholeFile("Game.ini", "[Audio]\nMaster=40\n");
    LoadSettings("Game.ini");
    EXPECT_EQ(g_nMasterVolume, 40);
    g_nMasterVolume = 30;
    ASSERT_NE(SaveSettings(), 0);
    EXPECT_NE(test::ReadWholeFile("Game.ini").find("Master=30"), std::string::npos);
    std::filesystem::current_path(m_dir.Path());
}

TEST_F(Settings, FillsTheDiscFan)
{
    LoadSettings("Game.ini");
    const CScreenVertex& centre = g_DiscVertices[0];
    EXPECT_EQ(centre.x, 0.0f);
    EXPECT_EQ(centre.y, 0.0f);
    EXPECT_EQ(centre.u, 0.5f);
    EXPECT_EQ(centre.v, 0.5f);
    for (int i = 1; i < DISC_VERTEX_COUNT; ++i) {
        const CScreenVertex& p = g_DiscVertices[i];
        EXPECT_NEAR(std::hypot(p.x, p.y), 1.0, 1e-5) << i;
        EXPECT_EQ(p.z, 0.0f);
        EXPECT_EQ(p.rhw, 1.0f);
        EXPECT_EQ(p.colour, 0u);
        EXPECT_FLOAT_EQ(p.u, p.x / 2 + 0.5f);
        EXPECT_FLOAT_EQ(p.v, p.y / 2 + 0.5f);
    }
    // Clockwise in screen terms: the second rim vertex has a negative y.
    EXPECT_LT(g_DiscVertices[2].y, 0.0f);
    EXPECT_NEAR(g_DiscVertices[1].x, g_DiscVertices[16].x, 1e-5);
    EXPECT_NEAR(g_DiscVertices[1].y, g_DiscVertices[16].y, 1e-5);
}

} // namespace

namespace {

// A save that cannot be written whole (here the temporary file lands on a
// full device) keeps every byte of the old file and says so.
TEST_F(Settings, FailedSaveKeepsTheOldFileAndReportsFailure)
{
    LoadWith("Controls", "Act03", "37");
    const std::string before = test::ReadWholeFile("Game.ini");
    if (std::filesystem::exists("/dev/full"))
        std::filesystem::create_symlink("/dev/full", "Game.ini.tmp");
    else
        std::filesystem::create_directory("Game.ini.tmp"); // the temporary file cannot be made at all
    g_nMasterVolume = 55;
    EXPECT_EQ(SaveSettings(), 0);
    EXPECT_EQ(test::ReadWholeFile("Game.ini"), before);
    std::filesystem::remove_all("Game.ini.tmp");
    EXPECT_NE(SaveSettings(), 0);
    EXPECT_NE(test::ReadWholeFile("Game.ini").find("Master=55"), std::string::npos);
}

// A large settings file must not be read again for every key: start-up and
// a save each read it once.
TEST_F(Settings, LoadAndSaveReadTheFileOnce)
{
    LoadWith("Audio", "Master", "70");
    const unsigned before = plat::ProfileReadCount();
    LoadSettings("Game.ini");
    EXPECT_EQ(plat::ProfileReadCount() - before, 1u);
    EXPECT_EQ(g_nMasterVolume, 70);
    EXPECT_NE(SaveSettings(), 0);
    EXPECT_EQ(plat::ProfileReadCount() - before, 2u);
}

// A settings file far larger than any real one is neither read nor
// overwritten: the defaults hold and a log line names the file.
TEST_F(Settings, OversizedFileIsNotReadNorOverwritten)
{
    for (const bool folder : {false, true}) {
        if (folder) {
            std::filesystem::create_directory("Game.ini");
        } else {
            test::WriteWholeFile("Game.ini", "[Video]\nMode=3\n");
            std::filesystem::resize_file("Game.ini", 64u << 20);
        }
        g_bDebugLog = 1;
        std::remove("debug.txt");
        g_nVideoMode = 0;
        LoadSettings("Game.ini");
        EXPECT_EQ(g_nVideoMode, 1) << folder;
        EXPECT_NE(test::ReadWholeFile("debug.txt").find("Game.ini"), std::string::npos) << folder;
        EXPECT_EQ(SaveSettings(), 0) << folder;
        if (!folder) {
            EXPECT_EQ(std::filesystem::file_size("Game.ini"), 64u << 20);
        }
        std::filesystem::remove_all("Game.ini");
    }
}

} // namespace
