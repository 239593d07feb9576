// Whole tapes through the city's scenes: an arrest, a workshop repair and a
// car trade. What play leaves to chance or to a long drive (a crime, wear on
// the car, the way to a shop) is set up by named hooks at one frame; the
// rest goes through the keys.
#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/PlayerStats.h"
#include "game/ShopScreens.h"
#include "roadusers/Vehicle.h"
#include "shell/ProfileFile.h"
#include "shell/VectorHelpers.h"
#include "support/TapePlay.h"
#include "world/Landscape.h"
#include "world/PropManager.h"
#include "writers/ProfileWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using test::g_TapeEnd;
using test::PlayTape;

// The frame the hooks act at: the continue scene has handed the car over.
constexpr unsigned kHookFrame = 420;

constexpr float kRaisedCriminalLevel = 0.6f;

void RaiseCriminalLevel()
{
    g_PlayerStats.m_fCriminalLevel = kRaisedCriminalLevel;
}

// The continued car moved out of the lay-by onto the east street's
// southbound carriageway, facing along it: a police car coming down the
// street draws up behind it on the road instead of stopping short of the
// lay-by.
void PlaceCarInEastLane()
{
    const D3DXVECTOR3 at(463.0f, 18.0f, -1054.0f), ahead(463.0f, 18.0f, -1254.0f), up(0.0f, 1.0f, 0.0f);
    g_pPlayerVehicle->Spawn(&at, &ahead, &up, 2, g_pPlayerVehicle->m_nKind, 1);
    g_Landscape.ForceRestream();
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

// The sample park's ramp, rising towards +z.
const D3DXVECTOR3 kRamp(406.0f, 16.0f, -922.0f);

void PlaceCarBeforeRamp()
{
    const D3DXVECTOR3 at = kRamp + D3DXVECTOR3(0.0f, 1.0f, -60.0f), up(0.0f, 1.0f, 0.0f);
    g_pPlayerVehicle->Spawn(&at, &kRamp, &up, 2, g_pPlayerVehicle->m_nKind, 1);
    g_Landscape.ForceRestream();
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

// What the player saw of a shop screen over a tape: how often it opened and
// how the car stood while it was open.
struct ShopWatch {
    int openings = 0;
    float lowestUp = 2.0f; // the car's up axis height, lowest while a screen was open
    bool open = false;

    void Look()
    {
        const bool now =
            g_GameInterface.m_WorkshopPanel.m_bWorkshopOpen || g_GameInterface.m_CarShopPanel.m_bCarShopOpen;
        openings += now && !open;
        open = now;
        if (now && g_pPlayerVehicle)
            lowestUp = std::min(lowestUp, g_pPlayerVehicle->m_matWorld._22);
    }
};

class CityScenesTape : public PlayTape {
protected:
    // The hooks run once, at the hook frame; the shop screens are watched
    // every frame.
    void UseHooks(std::initializer_list<void (*)()> hooks)
    {
        std::vector<void (*)()> list(hooks);
        m_shop = ShopWatch{};
        m_script = [this, list](unsigned frame, HWND) {
            if (frame == kHookFrame)
                for (void (*hook)() : list)
                    hook();
            m_shop.Look();
        };
    }

    // The shop seen as a player: the car stood on its wheels in the shop and
    // after it, and the screen, once left, stayed shut as the car drove off.
    void ExpectUprightVisit()
    {
        EXPECT_EQ(m_shop.openings, 1) << "the screen opened once and did not come back";
        EXPECT_GT(m_shop.lowestUp, 0.9f) << "the car stands on its wheels in the shop";
        EXPECT_GT(g_TapeEnd.carUp, 0.9f) << "the car stands on its wheels after the shop";
    }

    ShopWatch m_shop;
};

// A crime at a standstill: the police come, hold the car until the arrest,
// and the scene books the fine and ends the chase.
TEST_F(CityScenesTape, PoliceArrestTheStandingCarAndBookTheFine)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    const int money = int(tools::SampleProfile().stats[0]);
    UseHooks({PlaceCarInEastLane, RaiseCriminalLevel});

    ASSERT_TRUE(Play("arrest.tape"));
    EXPECT_EQ(g_TapeEnd.arrests, 1);
    EXPECT_GT(g_TapeEnd.finesTotal, 0);
    EXPECT_LE(g_TapeEnd.finesTotal, int(kRaisedCriminalLevel * 500.0f)) << "the fine is the level at the arrest x 500";
    EXPECT_EQ(g_TapeEnd.money, money - g_TapeEnd.finesTotal);
    EXPECT_EQ(g_TapeEnd.criminalLevel, 0.0f);
    EXPECT_EQ(g_TapeEnd.pursuit, 0);
    EXPECT_EQ(g_TapeEnd.arrestTimer, 0.0f);
    EXPECT_EQ(g_TapeEnd.scene, SCENE_IDLE);
}

// A worn car driven into the workshop: the game opens the screen, the
// repair is bought through the keys, the money falls by the price shown and
// the car leaves mended; closing the screen saves the result.
TEST_F(CityScenesTape, WorkshopRepairIsPaidAtTheShownPriceAndMendsTheCar)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    const int money = int(tools::SampleProfile().stats[0]);
    UseHooks({DamageCar, PlaceCarBeforeWorkshop});

    ASSERT_TRUE(Play("workshop_repair.tape"));
    EXPECT_EQ(g_TapeEnd.workshopOpen, 0) << "the screen was left";
    EXPECT_GT(g_TapeEnd.repairPriceShown, 0);
    EXPECT_EQ(g_TapeEnd.money, money - g_TapeEnd.repairPriceShown);
    EXPECT_EQ(g_TapeEnd.carDamage, 0.0f);
    EXPECT_GT(g_TapeEnd.carPosition.y, 15.5f) << "the car stands on the ground outside the workshop";
    ExpectUprightVisit();
    std::string model;
    EXPECT_EQ(SavedStats(m_dir.File("Save/Profile01.sav"), &model).m_nMoney, g_TapeEnd.money) << "leaving saved the game";
}

// The car shop: the first showroom car is taken for the player's car and
// money, the game books budget minus price and saves the new car.
TEST_F(CityScenesTape, CarShopTradesThePlayersCarForAShowroomCar)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    const std::string oldModel = tools::SampleProfile().modelPath;
    UseHooks({PlaceCarBeforeCarShop});

    ASSERT_TRUE(Play("car_shop_trade.tape"));
    EXPECT_EQ(g_TapeEnd.carShopOpen, 0) << "the screen was left";
    EXPECT_GT(g_TapeEnd.carPrice, 0);
    EXPECT_GE(g_TapeEnd.carBudget, g_TapeEnd.carPrice);
    EXPECT_EQ(g_TapeEnd.money, g_TapeEnd.carBudget - g_TapeEnd.carPrice);
    EXPECT_NE(g_TapeEnd.carModel, oldModel) << "the player drives the showroom car";
    EXPECT_GT(g_TapeEnd.carPosition.y, 15.5f) << "the car stands on the ground outside the car shop";
    ExpectUprightVisit();
    std::string savedModel;
    EXPECT_EQ(SavedStats(m_dir.File("Save/Profile01.sav"), &savedModel).m_nMoney, g_TapeEnd.money);
    EXPECT_EQ(savedModel, g_TapeEnd.carModel);
}

// The car shop's trade, then the pop-up menu's save and exit and a
// continue: both resets run after the purchase, and the continued game
// brings back the bought car and the money it left.
TEST_F(CityScenesTape, BoughtCarSurvivesSaveExitAndContinue)
{
    test::WriteWholeFile(m_dir.File("Save/Profile01.sav"), tools::EncodeProfile(tools::SampleProfile()));
    const std::string oldModel = tools::SampleProfile().modelPath;
    constexpr unsigned kOutOfTheShop = 800; // the tape has left the screen, before the pop-up menu
    struct {
        int shopOpen = -1;
        std::string model;
        float height = 0.0f;
        int budget = 0, price = 0;
    } out;
    m_script = [&out](unsigned frame, HWND) {
        if (frame == kHookFrame)
            PlaceCarBeforeCarShop();
        if (frame == kOutOfTheShop && g_pPlayerVehicle) {
            out.shopOpen = g_GameInterface.m_CarShopPanel.m_bCarShopOpen;
            out.model = g_pPlayerVehicle->m_szPath;
            out.height = g_pPlayerVehicle->m_vPosition.y;
            // The shop's figures: the session reset at the exit clears them.
            out.budget = g_GameInterface.m_CarShopPanel.m_nCarBudget;
            out.price = g_GameInterface.m_CarShopPanel.m_nCarPrice;
        }
    };

    ASSERT_TRUE(Play("car_shop_continue.tape"));
    EXPECT_EQ(out.shopOpen, 0) << "the screen was left";
    EXPECT_NE(out.model, oldModel) << "the player drives the showroom car";
    EXPECT_GT(out.height, 15.5f) << "the car stands on the ground outside the car shop";
    EXPECT_GT(out.price, 0);
    EXPECT_GE(out.budget, out.price);
    std::string savedModel;
    const int savedMoney = SavedStats(m_dir.File("Save/Profile01.sav"), &savedModel).m_nMoney;
    EXPECT_EQ(savedMoney, out.budget - out.price);
    EXPECT_EQ(savedModel, out.model);

    EXPECT_EQ(g_TapeEnd.inGame, 1);
    EXPECT_EQ(g_TapeEnd.scene, SCENE_CONTINUE_GAME);
    EXPECT_EQ(g_TapeEnd.carModel, out.model) << "the continued game brings back the bought car";
    EXPECT_EQ(g_TapeEnd.money, savedMoney);
    EXPECT_EQ(g_TapeEnd.carPrice, 0) << "the continued session starts with no shop figures";
}

} // namespace

namespace {

// Full throttle from the lawn over the park's ramp: the car leaves it fast
// and climbing, the trick scene runs its slow motion, pays the bonus and
// hands the car back.
TEST_F(CityScenesTape, AJumpOffTheParkRampPaysTheTrickBonus)
{
    static bool s_trick = false;
    s_trick = false;
    m_script = [](unsigned frame, HWND) {
        if (frame == kHookFrame)
            PlaceCarBeforeRamp();
        s_trick = s_trick || g_CityLogic.m_nScene == SCENE_TRICK_BONUS;
    };
    const int money = int(tools::SampleProfile().stats[0]);
    ASSERT_TRUE(Play("ramp_trick.tape"));
    EXPECT_TRUE(s_trick) << "the jump started the trick scene";
    EXPECT_EQ(g_TapeEnd.money, money + 500) << "the bonus outside a pursuit";
    EXPECT_EQ(g_TapeEnd.scene, SCENE_IDLE) << "the scene handed the car back";
}

} // namespace
