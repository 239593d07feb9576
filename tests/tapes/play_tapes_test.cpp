// Play-through tapes: the recorded input of a session replayed through the
// real window procedure on the headless back end, in this process, and the
// game's own figures read at the tape's end.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/PlayerStats.h"
#include "platform/Backend.h"
#include "platform/InputTape.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/Vehicle.h"
#include "shell/VectorHelpers.h"
#include "shell/Game.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"
#include "writers/ProfileWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// What a tape's end shows of the game.
struct Figures {
    unsigned frame = 0;
    int menuState = -1;
    int inGame = -1;
    int scene = -1;
    int money = 0;
    int ratingPoints = 0;
    int pursuit = -1;
    float criminalLevel = 0.0f;
    float arrestTimer = 0.0f;
    float playTime = 0.0f;
    int continueOffered = -1;
    int messageShown = -1;
    int figures = -1; // the introduction's two pedestrians still listed
    // The player's car, when there is one.
    int controlMode = -1;
    int handBrake = -1;
    float speed = 0.0f;
    D3DXVECTOR3 carAt{0.0f, 0.0f, 0.0f};
};

Figures s_end;

void ReadFigures(unsigned frame)
{
    s_end.frame = frame;
    s_end.menuState = g_GameMenu.m_nState;
    s_end.inGame = g_bInGame;
    s_end.scene = g_CityLogic.m_nScene;
    s_end.money = g_PlayerStats.m_nMoney;
    s_end.ratingPoints = g_PlayerStats.m_nRatingPoints;
    s_end.pursuit = g_PlayerStats.m_bPursuit;
    s_end.criminalLevel = g_PlayerStats.m_fCriminalLevel;
    s_end.arrestTimer = g_PlayerStats.m_fArrestTimer;
    s_end.playTime = g_PlayerStats.m_fPlayTime;
    s_end.continueOffered = g_GameMenu.m_Continue.m_bEnabled;
    s_end.messageShown = static_cast<int>(g_GameInterface.m_bMessageVisible);
    s_end.figures = (g_pMechanic != nullptr) + (g_pPlayerFigure != nullptr);
    if (const CVehicle* car = g_pPlayerVehicle) {
        s_end.controlMode = car->m_nControlMode;
        s_end.handBrake = car->m_bHandBrake;
        s_end.speed = car->m_fSpeed;
        s_end.carAt = car->m_vPosition;
    }
}

std::string TapeFile(const char* name)
{
    return std::string(MORVAINE_SOURCE_DIR) + "/tests/data/tapes/" + name;
}

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

class PlayTape : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(std::string(MORVAINE_BUILD_DIR) + "/run", m_dir.Path(),
                              std::filesystem::copy_options::recursive);
        plat::SetHeadless(true);
        plat::ResetWindowing();
        plat::SetFrameBudget(0);
        plat::g_pTapeEndObserver = ReadFigures;
    }
    void TearDown() override
    {
        plat::g_pTapeEndObserver = nullptr;
        plat::StopTape();
        plat::SetSoundBackend(plat::SoundBackendKind::Default);
        plat::ResetWindowing();
        g_bInGame = 0;
    }

    // Replays a tape through a whole run of the program; false when the tape
    // cannot be read or the run ended before the tape's last frame.
    bool Play(const char* name)
    {
        s_end = Figures{};
        plat::Tape tape;
        std::string error;
        if (!plat::ParseTape(test::ReadWholeFile(TapeFile(name)), &tape, &error)) {
            ADD_FAILURE() << name << ": " << error;
            return false;
        }
        m_end = tape.end;
        plat::StartReplay(tape);
        const int status = WinMain(nullptr, nullptr, nullptr, 1);
        EXPECT_EQ(status, 0) << name;
        EXPECT_EQ(s_end.frame, m_end) << name << " stopped before its end: last frame " << plat::TapeFrameNumber()
                                      << ", scene " << g_CityLogic.m_nScene << ", menu " << g_GameMenu.m_nState;
        return s_end.frame == m_end;
    }

    test::ScopedTempDir m_dir;
    unsigned m_end = 0;
};

// A first start: no profile yet, a name typed, the new game started from the
// main menu, and the introduction running with the menu closed.
TEST_F(PlayTape, NewProfileThroughTheMenuIntoTheIntroduction)
{
    ASSERT_TRUE(Play("new_profile.tape"));
    EXPECT_EQ(s_end.menuState, MENU_CLOSED);
    EXPECT_EQ(s_end.inGame, 1);
    EXPECT_EQ(s_end.scene, SCENE_NEW_GAME);
    EXPECT_EQ(s_end.criminalLevel, 0.0f);
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
    EXPECT_EQ(s_end.menuState, MENU_CLOSED);
    EXPECT_EQ(s_end.inGame, 1);
    EXPECT_EQ(s_end.scene, SCENE_IDLE) << "the introduction has handed over";
    EXPECT_EQ(s_end.money, 1000);
    EXPECT_EQ(s_end.pursuit, 0);
    EXPECT_EQ(s_end.criminalLevel, 0.0f);
    EXPECT_EQ(s_end.arrestTimer, 0.0f);
    EXPECT_EQ(s_end.figures, 0) << "the mechanic and the player's figure are gone";
    EXPECT_EQ(s_end.messageShown, 1) << "the controls help";
    EXPECT_EQ(s_end.controlMode, 2) << "the player's input drives the car";
    EXPECT_EQ(s_end.handBrake, 0);
    EXPECT_GT(s_end.speed, 5.0f) << "the accelerator moves the car";
    const D3DXVECTOR3 yard(-83.0f, 17.0f, -381.0f);
    EXPECT_LT(Vec3Distance(&s_end.carAt, &yard), 30.0f) << "the drive ended in the yard";
}

// The game's own save read back: a continued game left through the pause
// menu's "SAVE AND EXIT" writes the profile and offers to continue it; the
// program ends, starts again and continues with what it saved.
TEST_F(PlayTape, SaveAndExitThenContinueAfterARestart)
{
    const tools::ProfileSave sample = tools::SampleProfile();
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(sample));

    ASSERT_TRUE(Play("save_and_exit.tape"));
    EXPECT_EQ(s_end.menuState, MENU_MAIN);
    EXPECT_EQ(s_end.inGame, 0);
    EXPECT_EQ(s_end.continueOffered, 1) << "the main menu offers the saved game";
    const std::string saved = test::ReadWholeFile(m_dir.File("Save/Profile01.sav"));
    EXPECT_EQ(FieldAt(saved, 16), 0u) << "the file holds a saved game";
    float savedPlayTime = 0.0f;
    const std::uint32_t bits = FieldAt(saved, 24);
    std::memcpy(&savedPlayTime, &bits, sizeof savedPlayTime);
    EXPECT_GT(savedPlayTime, 1805.0f) << "the session's play time was saved";

    ASSERT_TRUE(Play("continue_sample.tape"));
    EXPECT_EQ(s_end.inGame, 1);
    EXPECT_EQ(s_end.scene, SCENE_CONTINUE_GAME);
    EXPECT_EQ(s_end.money, int(sample.stats[0]));
    EXPECT_EQ(s_end.ratingPoints, int(sample.stats[9]));
    EXPECT_GE(s_end.playTime, savedPlayTime);
    EXPECT_EQ(s_end.pursuit, 0);
    EXPECT_EQ(s_end.criminalLevel, 0.0f);
    EXPECT_EQ(s_end.arrestTimer, 0.0f);
    const D3DXVECTOR3 spot(461.0f, 17.0f, -1054.0f);
    EXPECT_LT(Vec3Distance(&s_end.carAt, &spot), 2.0f) << "the continue scene's spot";
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
    EXPECT_EQ(s_end.menuState, MENU_CLOSED);
    EXPECT_EQ(s_end.inGame, 1);
    EXPECT_EQ(s_end.scene, 11) << "the continue scene";
    EXPECT_EQ(s_end.money, int(save.stats[0]));
    EXPECT_EQ(s_end.ratingPoints, int(save.stats[9]));
    EXPECT_EQ(s_end.pursuit, 0);
    EXPECT_EQ(s_end.criminalLevel, 0.0f);
    EXPECT_EQ(s_end.arrestTimer, 0.0f);
}

} // namespace
