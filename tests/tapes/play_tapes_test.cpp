// Whole tapes through the game: a first start and a continued career.
#include "game/CityLogic.h"
#include "game/GameMenu.h"
#include "support/TapePlay.h"
#include "writers/ProfileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using test::g_TapeEnd;
using test::PlayTape;

// The saved profile file whose player name is the given one, or "".
std::string ProfileNamed(const std::string& name)
{
    if (!std::filesystem::exists("Save"))
        return "";
    for (const auto& entry : std::filesystem::directory_iterator("Save")) {
        const std::string bytes = test::ReadWholeFile(entry.path().string());
        if (bytes.compare(0, name.size() + 1, name.c_str(), name.size() + 1) == 0)
            return entry.path().string();
    }
    return "";
}

// A first start: no profile yet, a name typed, the new game started from the
// main menu, and the introduction running with the menu closed.
TEST_F(PlayTape, NewProfileThroughTheMenuIntoTheIntroduction)
{
    ASSERT_TRUE(Play("new_profile.tape"));
    EXPECT_EQ(g_TapeEnd.menuState, MENU_CLOSED);
    EXPECT_EQ(g_TapeEnd.inGame, 1);
    EXPECT_EQ(g_TapeEnd.scene, SCENE_NEW_GAME);
    EXPECT_EQ(g_TapeEnd.criminalLevel, 0.0f);
    EXPECT_NE(ProfileNamed("Ada"), "") << "the new profile is on disk";
}

// Continue from a profile saved in the middle of a pursuit: the saved career
// comes back, the chase does not (pursuit, criminal level and arrest timer
// are 0), and the player stands in the continue scene.
TEST_F(PlayTape, ContinueBringsBackTheSavedCareerWithoutTheChase)
{
    tools::ProfileSave save = tools::SampleProfile();
    save.stats[10] = 1;                        // pursuit
    save.stats[11] = tools::FloatBits(2.5f);   // criminal level
    save.stats[12] = tools::FloatBits(40.0f);  // arrest timer
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(save));

    ASSERT_TRUE(Play("continue_sample.tape"));
    EXPECT_EQ(g_TapeEnd.menuState, MENU_CLOSED);
    EXPECT_EQ(g_TapeEnd.inGame, 1);
    EXPECT_EQ(g_TapeEnd.scene, 11) << "the continue scene";
    EXPECT_EQ(g_TapeEnd.money, int(save.stats[0]));
    EXPECT_EQ(g_TapeEnd.ratingPoints, int(save.stats[9]));
    EXPECT_EQ(g_TapeEnd.pursuit, 0);
    EXPECT_EQ(g_TapeEnd.criminalLevel, 0.0f);
    EXPECT_EQ(g_TapeEnd.arrestTimer, 0.0f);
}

} // namespace
