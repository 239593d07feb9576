// Play-through tapes: the recorded input of a session replayed through the
// real window procedure on the headless back end, in this process, and the
// game's own figures read at the tape's end.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/PlayerStats.h"
#include "game/ShopScreens.h"
#include "platform/Backend.h"
#include "platform/InputTape.h"
#include "platform/Win32.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/Vehicle.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "shell/Game.h"
#include "shell/ProfileFile.h"
#include "shell/WinMain.h"
#include "support/TempDir.h"
#include "writers/ProfileWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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
    int arrests = 0;
    int finesTotal = 0;
    int workshopOpen = -1;
    int carShopOpen = -1;
    int repairPriceShown = -1; // the price on the repair page, as the player read it
    float damage = -1.0f;      // the player's car's damage ratio
    std::string carModel;      // the player's car's description path
    int carBudget = -1;        // the car shop's trade-in plus money, and the price
    int carPrice = -1;
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
    s_end.arrests = g_PlayerStats.m_nArrests;
    s_end.finesTotal = g_PlayerStats.m_nFinesTotal;
    s_end.workshopOpen = static_cast<int>(g_GameInterface.m_bWorkshopOpen);
    s_end.carShopOpen = static_cast<int>(g_GameInterface.m_bCarShopOpen);
    s_end.repairPriceShown = std::atoi(g_GameInterface.m_szRepairTexts[1]);
    if (g_pPlayerVehicle) {
        s_end.damage = g_pPlayerVehicle->GetDamageRatio();
        s_end.carModel = g_pPlayerVehicle->m_szPath;
    }
    s_end.carBudget = g_nCarBudget;
    s_end.carPrice = g_nCarPrice;
}

// A named change to the game's state at one frame of a replay: what play
// would leave to chance (police nearby, a crime) is set up this way, and the
// rest is driven through the keys.
struct TestHook {
    unsigned frame;
    void (*apply)();
};

constexpr float kRaisedCriminalLevel = 0.6f;

void RaiseCriminalLevel()
{
    g_PlayerStats.m_fCriminalLevel = kRaisedCriminalLevel;
}

// The player's car some way before a shop entrance, facing it, on streamed
// ground; the approach itself is driven.
void PlaceCarBefore(const D3DXVECTOR3& building, const D3DXVECTOR3& entrance, float distance)
{
    D3DXVECTOR3 out = entrance - building;
    out.y = 0.0f;
    Vec3Normalize(&out, &out);
    const D3DXVECTOR3 at = entrance + out * distance + D3DXVECTOR3(0.0f, 1.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    g_pPlayerVehicle->Spawn(&at, &entrance, &up, 2, g_pPlayerVehicle->m_nKind, 1);
    g_Landscape.ForceRestream();
}

// The entrance listed nearest a shop building of the sample city.
D3DXVECTOR3 EntranceNear(const D3DXVECTOR3* entrances, std::uint32_t count, const D3DXVECTOR3& building)
{
    D3DXVECTOR3 best = building;
    float nearest = 1e9f;
    for (std::uint32_t i = 0; i < count; ++i) {
        const float d = Vec3Distance(&entrances[i], &building);
        if (d < nearest) {
            nearest = d;
            best = entrances[i];
        }
    }
    return best;
}

const D3DXVECTOR3 kWorkshop(-68.0f, 16.0f, -336.0f), kCarShop(290.0f, 16.0f, -690.0f);
constexpr float kApproach = 12.0f; // the tapes' key presses stop the car at the entrance from here

void PlaceCarBeforeWorkshop()
{
    PlaceCarBefore(kWorkshop, EntranceNear(g_PropManager.m_WorkShops, g_PropManager.m_nWorkShops, kWorkshop), kApproach);
}

void PlaceCarBeforeCarShop()
{
    PlaceCarBefore(kCarShop, EntranceNear(g_PropManager.m_CarShops, g_PropManager.m_nCarShops, kCarShop), kApproach);
}

// Wear on the body and the tyres, as after a rough drive.
void DamageCar()
{
    CVehicle* car = g_pPlayerVehicle;
    car->m_fBodyDamage = 0.5f;
    for (float& wear : car->m_WheelWear)
        wear = 0.3f;
    car->UpdatePerformance(1, 1);
}

const TestHook* s_hooks = nullptr;
std::size_t s_hookCount = 0;

void RunHooks(unsigned frame)
{
    for (std::size_t i = 0; i < s_hookCount; ++i)
        if (s_hooks[i].frame == frame)
            s_hooks[i].apply();
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
        plat::g_pTapeFrameObserver = RunHooks;
    }
    void TearDown() override
    {
        plat::g_pTapeEndObserver = nullptr;
        plat::g_pTapeFrameObserver = nullptr;
        s_hooks = nullptr;
        s_hookCount = 0;
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

    template <std::size_t N>
    void UseHooks(const TestHook (&hooks)[N])
    {
        s_hooks = hooks;
        s_hookCount = N;
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

// A crime at a standstill: the police come, hold the car until the arrest,
// and the scene books the fine and ends the chase.
TEST_F(PlayTape, PoliceArrestTheStandingCarAndBookTheFine)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    const int money = int(tools::SampleProfile().stats[0]);
    static const TestHook hooks[] = {{320, RaiseCriminalLevel}};
    UseHooks(hooks);

    ASSERT_TRUE(Play("arrest.tape"));
    EXPECT_EQ(s_end.arrests, 1);
    EXPECT_GT(s_end.finesTotal, 0);
    EXPECT_LE(s_end.finesTotal, int(kRaisedCriminalLevel * 500.0f)) << "the fine is the level at the arrest x 500";
    EXPECT_EQ(s_end.money, money - s_end.finesTotal);
    EXPECT_EQ(s_end.criminalLevel, 0.0f);
    EXPECT_EQ(s_end.pursuit, 0);
    EXPECT_EQ(s_end.arrestTimer, 0.0f);
    EXPECT_EQ(s_end.scene, SCENE_IDLE);
}

// The saved profile's statistics and car model, or zeros when it does not read.
CPlayerStats SavedStats(const std::string& path, std::string* model)
{
    const std::string bytes = test::ReadWholeFile(path);
    CProfileContents contents{};
    if (!ParseProfile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &contents))
        return CPlayerStats{};
    *model = contents.szModelPath;
    return contents.stats;
}

// A worn car driven into the workshop: the game opens the screen, the
// repair is bought through the keys, the money falls by the price shown and
// the car leaves mended; closing the screen saves the result.
TEST_F(PlayTape, WorkshopRepairIsPaidAtTheShownPriceAndMendsTheCar)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    const int money = int(tools::SampleProfile().stats[0]);
    static const TestHook hooks[] = {{420, DamageCar}, {420, PlaceCarBeforeWorkshop}};
    UseHooks(hooks);

    ASSERT_TRUE(Play("workshop_repair.tape"));
    EXPECT_EQ(s_end.workshopOpen, 0) << "the screen was left";
    EXPECT_GT(s_end.repairPriceShown, 0);
    EXPECT_EQ(s_end.money, money - s_end.repairPriceShown);
    EXPECT_EQ(s_end.damage, 0.0f);
    std::string model;
    EXPECT_EQ(SavedStats(m_dir.File("Save/Profile01.sav"), &model).m_nMoney, s_end.money) << "leaving saved the game";
}

// The car shop: the first showroom car is taken for the player's car and
// money, the game books budget minus price and saves the new car.
TEST_F(PlayTape, CarShopTradesThePlayersCarForAShowroomCar)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    const std::string oldModel = tools::SampleProfile().modelPath;
    static const TestHook hooks[] = {{420, PlaceCarBeforeCarShop}};
    UseHooks(hooks);

    ASSERT_TRUE(Play("car_shop_trade.tape"));
    EXPECT_EQ(s_end.carShopOpen, 0) << "the screen was left";
    EXPECT_GT(s_end.carPrice, 0);
    EXPECT_GE(s_end.carBudget, s_end.carPrice);
    EXPECT_EQ(s_end.money, s_end.carBudget - s_end.carPrice);
    EXPECT_NE(s_end.carModel, oldModel) << "the player drives the showroom car";
    std::string savedModel;
    EXPECT_EQ(SavedStats(m_dir.File("Save/Profile01.sav"), &savedModel).m_nMoney, s_end.money);
    EXPECT_EQ(savedModel, s_end.carModel);
}

} // namespace
