// The race scenes with the interface's own race panels: the start waits for
// the offer's answer, the end goes on once the result has closed itself.
#include "roadusers/vehicle_fixture.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/ScreenKeys.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "roadusers/HumanManager.h"
#include "roadusers/RaceInfo.h"
#include "shell/GameTimer.h"

#include <gtest/gtest.h>

namespace test {
namespace {

class RaceScenePanelsTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        g_GameTimer.Reset();
        g_PlayerStats = CPlayerStats{};
        g_TaxiJob = CTaxiJob{};
        g_RaceInfo = RaceInfo{};
        CGameInterface& ui = g_GameInterface;
        ui.m_bMessageVisible = ui.m_bDialogueVisible = 0;
        ui.m_RaceOfferPanel.m_bRaceOfferOpen = ui.m_RaceResultPanel.m_bRaceResultOpen = 0;
        ui.m_RaceOfferPanel.m_fRaceOfferFade = ui.m_RaceResultPanel.m_fRaceResultFade = 0.0f;
        g_CityLogic.Init();
        m_player = g_VehicleManager.CreateVehicle("Data/Vehicles/01/Main.obj");
        const D3DXVECTOR3 at(0, 1, -10), to(0, 1, 0), up(0, 1, 0);
        m_player->Spawn(&at, &to, &up, 2, VEHICLE_PLAYER, 1);
        g_pPlayerVehicle = m_player;
        for (std::uint32_t i = 0; i < 120; ++i)
            g_VehicleManager.m_RaceRoute[i] = D3DXVECTOR3(0.0f, 0.0f, 4.0f * static_cast<float>(i));
        g_VehicleManager.m_nRaceRoutePoints = 120;
        SetRaceFigures(&g_RaceInfo, 476.0f, 0, 0, 4, 0);
        g_RaceInfo.m_pRoute = g_VehicleManager.m_RaceRoute;
    }
    void TearDown() override
    {
        g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen = g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen = 0;
        g_CityLogic.Reset();
        g_VehicleManager.ResetRace();
        g_HumanManager.Clear();
        g_GameTimer.Reset();
        VehicleTest::TearDown();
    }
    // One frame of dt seconds: the panels' steps with the keys, then the scene.
    void Frame(float dt, ScreenKeys keys = {})
    {
        g_GameTimer.m_fDelta = dt;
        g_GameTimer.m_fGameTime += dt * 1000.0;
        g_GameTimer.m_fRealTime += dt * 1000.0;
        g_GameInterface.m_RaceOfferPanel.Step(g_GameInterface, keys, dt);
        g_GameInterface.m_RaceResultPanel.Step(g_GameInterface, keys, dt);
        g_CityLogic.Update();
    }

    CVehicle* m_player = nullptr;
};

TEST_F(RaceScenePanelsTest, RaceEndGoesOnWhenTheResultClosesItselfAtEightSeconds)
{
    g_VehicleManager.SetupRaceGrid();
    g_VehicleManager.StartRace();
    g_VehicleManager.CarFinished(m_player);
    m_player->m_nRacePlace = 0;
    g_CityLogic.SetScene(SCENE_RACE_END, m_player, nullptr);
    Frame(0.0f);
    EXPECT_EQ(g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen, 1u);
    for (int i = 0; i < 79; ++i)
        Frame(0.1f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_RACE_END) << "waits while the result shows";
    Frame(0.2f);
    Frame(0.1f);
    EXPECT_EQ(g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen, 0u);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_GT(g_PlayerStats.m_nMoney, 0) << "the prize is booked";
    EXPECT_EQ(m_player->m_nControlMode, 2);
}

TEST_F(RaceScenePanelsTest, RaceStartWaitsForTheOfferAndTakesItsAnswer)
{
    for (int accept : {0, 1}) {
        g_CityLogic.SetScene(SCENE_RACE_START, m_player, nullptr);
        for (int i = 0; i < 5; ++i)
            Frame(0.1f);
        ASSERT_EQ(g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen, 1u) << accept;
        ScreenKeys keys;
        keys.enter = accept;
        keys.escape = !accept;
        Frame(0.1f, keys);
        Frame(0.1f);
        EXPECT_EQ(g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen, 0u) << accept;
        EXPECT_EQ(g_GameInterface.m_RaceOfferPanel.m_nRaceOfferChoice, static_cast<std::uint32_t>(accept)) << accept;
        // Declined, the scene ends; accepted, it goes on to set up the grid.
        EXPECT_EQ(g_CityLogic.m_nScene == SCENE_RACE_START, accept == 1) << accept;
        g_CityLogic.Reset();
        g_VehicleManager.ResetRace();
        g_VehicleManager.m_nRaceRoutePoints = 120;
        SetRaceFigures(&g_RaceInfo, 476.0f, 0, 0, 4, 0);
        g_RaceInfo.m_pRoute = g_VehicleManager.m_RaceRoute;
    }
}

} // namespace
} // namespace test
