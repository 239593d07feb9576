// Whole tapes through the game: a first start, the introduction played to
// its hand-over, a game saved and continued, and a continued career.
#include "game/CityLogic.h"
#include "game/GameMenu.h"
#include "roadusers/Vehicle.h"
#include "roadusers/VehicleManager.h"
#include "shell/VectorHelpers.h"
#include "support/TapePlay.h"
#include "writers/ProfileWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
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

// A 32-bit field of a file's bytes, or 0xFFFFFFFF past their end.
std::uint32_t FieldAt(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0xFFFFFFFFu;
    if (bytes.size() >= offset + sizeof value)
        std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
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

// A new game played through its introduction: the battered car drives
// itself along the streets into the mechanic's yard, the talk is clicked
// through, and the player then has the car: free driving with the game's
// start money, no chase, the figures gone, the controls help on screen and
// the car answering the accelerator.
TEST_F(PlayTape, NewGameIntroductionEndsWithThePlayerDrivingFromTheYard)
{
    ASSERT_TRUE(Play("new_game_handover.tape"));
    EXPECT_EQ(g_TapeEnd.menuState, MENU_CLOSED);
    EXPECT_EQ(g_TapeEnd.inGame, 1);
    EXPECT_EQ(g_TapeEnd.scene, SCENE_IDLE) << "the introduction has handed over";
    EXPECT_EQ(g_TapeEnd.money, 1000);
    EXPECT_EQ(g_TapeEnd.pursuit, 0);
    EXPECT_EQ(g_TapeEnd.criminalLevel, 0.0f);
    EXPECT_EQ(g_TapeEnd.arrestTimer, 0.0f);
    EXPECT_EQ(g_TapeEnd.figures, 0) << "the mechanic and the player's figure are gone";
    EXPECT_EQ(g_TapeEnd.messageShown, 1) << "the controls help";
    EXPECT_EQ(g_TapeEnd.controlMode, 2) << "the player's input drives the car";
    EXPECT_EQ(g_TapeEnd.handBrake, 0);
    EXPECT_GT(g_TapeEnd.carSpeed, 5.0f) << "the accelerator moves the car";
    const D3DXVECTOR3 yard(-83.0f, 17.0f, -381.0f);
    EXPECT_LT(Vec3Distance(&g_TapeEnd.carPosition, &yard), 30.0f) << "the drive ended in the yard";
}

// The game's own save read back: a continued game left through the pause
// menu's "SAVE AND EXIT" writes the profile and offers to continue it; the
// program ends, starts again and continues with what it saved.
TEST_F(PlayTape, SaveAndExitThenContinueAfterARestart)
{
    const tools::ProfileSave sample = tools::SampleProfile();
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(sample));

    ASSERT_TRUE(Play("save_and_exit.tape"));
    EXPECT_EQ(g_TapeEnd.menuState, MENU_MAIN);
    EXPECT_EQ(g_TapeEnd.inGame, 0);
    EXPECT_EQ(g_TapeEnd.continueOffered, 1) << "the main menu offers the saved game";
    const std::string saved = test::ReadWholeFile(m_dir.File("Save/Profile01.sav"));
    EXPECT_EQ(FieldAt(saved, 16), 0u) << "the file holds a saved game";
    float savedPlayTime = 0.0f;
    const std::uint32_t bits = FieldAt(saved, 24);
    std::memcpy(&savedPlayTime, &bits, sizeof savedPlayTime);
    EXPECT_GT(savedPlayTime, 1805.0f) << "the session's play time was saved";

    ASSERT_TRUE(Play("continue_sample.tape"));
    EXPECT_EQ(g_TapeEnd.inGame, 1);
    EXPECT_EQ(g_TapeEnd.scene, SCENE_CONTINUE_GAME);
    EXPECT_EQ(g_TapeEnd.money, int(sample.stats[0]));
    EXPECT_EQ(g_TapeEnd.ratingPoints, int(sample.stats[9]));
    EXPECT_GE(g_TapeEnd.playTime, savedPlayTime);
    EXPECT_EQ(g_TapeEnd.pursuit, 0);
    EXPECT_EQ(g_TapeEnd.criminalLevel, 0.0f);
    EXPECT_EQ(g_TapeEnd.arrestTimer, 0.0f);
    const D3DXVECTOR3 spot(461.0f, 17.0f, -1054.0f);
    EXPECT_LT(Vec3Distance(&g_TapeEnd.carPosition, &spot), 2.0f) << "the continue scene's spot";
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

// A continued game left alone: the car stands at the continue spot while
// traffic runs along the street beside it. Traffic passes it: nothing
// strikes it and pushes it onto the walkway (no record, no chase), and no
// car queues behind it as if it blocked the lane.
TEST_F(PlayTape, ContinuedCarLeftStandingIsPassedByTraffic)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    ASSERT_TRUE(Play("save_and_exit.tape"));

    int heldUp = 0;
    m_script = [&heldUp](unsigned, HWND) {
        const CVehicle* car = g_pPlayerVehicle;
        if (!car)
            return;
        for (const CVehicle* other : g_VehicleManager.m_Cars)
            if (other && other != car && other->m_bObstacle && std::fabs(other->m_fSpeed) < 1.0f &&
                Vec3Distance(&other->m_vPosition, &car->m_vPosition) < 10.0f)
                ++heldUp;
    };
    ASSERT_TRUE(Play("continue_standing.tape"));
    EXPECT_EQ(g_TapeEnd.inGame, 1);
    EXPECT_EQ(g_TapeEnd.pursuit, 0);
    EXPECT_EQ(g_TapeEnd.criminalLevel, 0.0f);
    EXPECT_EQ(g_TapeEnd.arrestTimer, 0.0f);
    const D3DXVECTOR3 spot(461.0f, 17.0f, -1054.0f);
    EXPECT_LT(Vec3Distance(&g_TapeEnd.carPosition, &spot), 0.25f) << "the car still stands at the continue spot";
    EXPECT_LT(std::fabs(g_TapeEnd.carSpeed), 0.5f) << "km/h";
    EXPECT_EQ(heldUp, 0) << "frames with traffic stopped short of the standing car";
}

} // namespace
