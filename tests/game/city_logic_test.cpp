// The scene machine with the interface's own panels and shop screens, whose
// state the tests read and close by hand: each scene's timing on the game
// or real clock, what it hands back to the player, and the races, arrests,
// shops and taxi fares it books.
#include "roadusers/vehicle_fixture.h"

#include "game/CityLogic.h"
#include "game/GameInterface.h"
#include "game/GameMenu.h"
#include "game/PlayerStats.h"
#include "game/TaxiJob.h"
#include "roadusers/Human.h"
#include "roadusers/HumanManager.h"
#include "roadusers/RaceInfo.h"
#include "shell/GameTimer.h"
#include "shell/Profile.h"
#include "world/Prop.h"
#include "world/Landscape.h"
#include "world/PropManager.h"

#include <gtest/gtest.h>

#include <cstring>

namespace test {
namespace {

class CityLogicTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        // The scenes run here on a city with no streets: a landscape a
        // whole run of the game left loaded is set aside.
        m_savedWorldSize = g_Landscape.m_fWorldSize;
        g_Landscape.m_fWorldSize = 0.0f;
        m_savedStreamPoint = g_Landscape.m_vStreamPoint;
        m_savedSortPoint = g_Landscape.m_vSortPoint;
        g_GameInterface.ResetScreenPanels();
        g_GameTimer.Reset();
        g_GameTimer.m_fDelta = 0.02f;
        g_PlayerStats = CPlayerStats{};
        g_TaxiJob = CTaxiJob{};
        g_RaceInfo = RaceInfo{};
        g_GameInterface.m_bMessageVisible = 0;
        g_GameInterface.m_bDialogueVisible = 0;
        g_CityLogic.Init();
        m_player = g_VehicleManager.CreateVehicle("Data/Vehicles/01/Main.obj");
        const D3DXVECTOR3 at(0, 1, -10), to(0, 1, 0), up(0, 1, 0);
        m_player->Spawn(&at, &to, &up, 2, VEHICLE_PLAYER, 1);
        g_pPlayerVehicle = m_player;
    }
    void TearDown() override
    {
        // As the game's reset: the props a scene placed (the taxi marker) go
        // before the scenes forget them.
        g_PropManager.Clear();
        g_CityLogic.Reset();
        g_VehicleManager.ResetRace();
        g_HumanManager.Clear();
        g_GameInterface.ResetScreenPanels();
        g_GameTimer.Reset();
        g_Landscape.m_fWorldSize = m_savedWorldSize;
        g_Landscape.m_vStreamPoint = m_savedStreamPoint;
        g_Landscape.m_vSortPoint = m_savedSortPoint;
        VehicleTest::TearDown();
    }
    float m_savedWorldSize = 0.0f;
    D3DXVECTOR3 m_savedStreamPoint, m_savedSortPoint;
    // Game and real clocks move on together (or the real clock alone at a
    // time scale), then one scene step.
    void Step(float gameSeconds, float realSeconds = -1.0f)
    {
        g_GameTimer.m_fGameTime += gameSeconds * 1000.0;
        g_GameTimer.m_fRealTime += (realSeconds < 0.0f ? gameSeconds : realSeconds) * 1000.0;
        g_CityLogic.Update();
    }
    void Start(int scene, CProp* object = nullptr) { g_CityLogic.SetScene(scene, m_player, object); }
    void OfferRace(int cars)
    {
        for (std::uint32_t i = 0; i < 120; ++i)
            g_VehicleManager.m_RaceRoute[i] = D3DXVECTOR3(0.0f, 0.0f, 4.0f * static_cast<float>(i));
        g_VehicleManager.m_nRaceRoutePoints = 120;
        SetRaceFigures(&g_RaceInfo, 476.0f, cars == 1, 0, cars, 0);
    }
    void RunRace(int cars)
    {
        OfferRace(cars);
        g_VehicleManager.SetupRaceGrid();
        g_VehicleManager.StartRace();
    }
    // The race offer as the panel leaves it when the player answers.
    static void AnswerOffer(int accept)
    {
        g_GameInterface.m_RaceOfferPanel.m_nRaceOfferChoice = accept ? 1u : 0u;
        g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen = 0;
    }
    static bool ResultOpen() { return g_GameInterface.m_RaceResultPanel.m_bRaceResultOpen != 0; }

    CVehicle* m_player = nullptr;
};

TEST_F(CityLogicTest, ScenesWithoutACarEndAtOnceAndANewSceneReplacesTheOld)
{
    for (int scene : {SCENE_NEW_GAME, SCENE_CONTINUE_GAME, SCENE_RACE_START, SCENE_RACE_END, SCENE_SHOP_VISIT,
                      SCENE_TRICK_BONUS, SCENE_ARREST, SCENE_PASSENGER_IN, SCENE_PASSENGER_OUT}) {
        g_CityLogic.SetScene(scene, nullptr, nullptr);
        Step(0.0f);
        EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE) << scene;
    }
    // Nothing opened and the landscape not re-streamed.
    const CGameInterface& ui = g_GameInterface;
    EXPECT_EQ(ui.m_RaceOfferPanel.m_bRaceOfferOpen, 0u);
    EXPECT_FALSE(ResultOpen());
    EXPECT_EQ(ui.m_WorkshopPanel.m_bWorkshopOpen, 0u);
    EXPECT_EQ(ui.m_CarShopPanel.m_bCarShopOpen, 0u);
    EXPECT_EQ(g_Landscape.m_vStreamPoint, m_savedStreamPoint);

    Start(SCENE_ARREST);
    Step(0.0f);
    ASSERT_EQ(g_CityLogic.m_nPhase, 1);
    Start(SCENE_CONTINUE_GAME);
    EXPECT_EQ(g_CityLogic.m_nPhase, 0);
    EXPECT_EQ(g_CityLogic.m_fWait, 0.0f);

    // An id without a script stays as it is.
    Start(33);
    Step(10.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, 33);
}

TEST_F(CityLogicTest, PassengerOutPaysOnlyAfterARide)
{
    for (int onBoard : {1, 0}) {
        SCOPED_TRACE(onBoard);
        g_PlayerStats.m_nMoney = 100;
        g_TaxiJob.m_bOnBoard = onBoard;
        g_TaxiJob.m_fFare = 240.0f;
        g_HumanManager.m_nWaitingPassengers = 1;
        g_GameInterface.m_bMessageVisible = 0;
        Start(SCENE_PASSENGER_OUT);
        Step(0.0f);
        Step(1.9f);
        EXPECT_EQ(g_CityLogic.m_nScene, SCENE_PASSENGER_OUT);
        EXPECT_EQ(m_player->m_nControlMode, 1) << "parked while the door opens";
        Step(0.1f);
        EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
        EXPECT_EQ(g_PlayerStats.m_nMoney, onBoard ? 340 : 100);
        EXPECT_EQ(g_TaxiJob.m_fFare, 0.0f);
        EXPECT_EQ(g_TaxiJob.m_bOnBoard, 0);
        EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, 0);
        EXPECT_EQ(g_pTaxiMarker, nullptr);
        EXPECT_EQ(m_player->m_nControlMode, 2);
    }
}

TEST_F(CityLogicTest, PassengerInBoardsAndRemovesOnlyAListedPassenger)
{
    CHuman unlisted;
    g_TaxiJob.m_pPassenger = &unlisted;
    g_TaxiJob.m_vLandingPoint = D3DXVECTOR3(30.0f, 0.0f, 40.0f);
    Start(SCENE_PASSENGER_IN);
    Step(0.0f);
    Step(1.99f);
    EXPECT_EQ(g_TaxiJob.m_bOnBoard, 0);
    Step(0.01f);
    EXPECT_EQ(g_TaxiJob.m_bOnBoard, 1);
    EXPECT_EQ(g_TaxiJob.m_pPassenger, nullptr);
    EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, 1);
    EXPECT_EQ(m_player->m_nControlMode, 2);
    Step(5.9f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_PASSENGER_IN);
    Step(0.1f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
}

TEST_F(CityLogicTest, RaceStartDeclinedAndAccepted)
{
    OfferRace(4);
    Start(SCENE_RACE_START);
    Step(0.0f);
    EXPECT_EQ(g_GameInterface.m_RaceOfferPanel.m_bRaceOfferOpen, 1u);
    Step(3.0f);
    EXPECT_EQ(g_CityLogic.m_nPhase, 1) << "waits while the panel is open";
    AnswerOffer(0);
    Step(0.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(g_VehicleManager.m_fRaceCountdown, 5.0f);
    EXPECT_EQ(g_VehicleManager.m_nRaceCars, 0u) << "no grid after a decline";
    EXPECT_EQ(g_VehicleManager.m_nRaceRoutePoints, 120u) << "the offer stays";
    EXPECT_EQ(m_player->m_nControlMode, 2);

    m_player->m_fBodyDamage = 0.75f;
    Start(SCENE_RACE_START);
    Step(0.0f);
    AnswerOffer(1);
    Step(0.0f);
    ASSERT_EQ(g_CityLogic.m_nPhase, 2);
    Step(0.99f);
    EXPECT_EQ(g_RaceInfo.m_bGridReady, 0);
    Step(0.01f);
    EXPECT_EQ(g_RaceInfo.m_bGridReady, 1);
    EXPECT_EQ(g_VehicleManager.m_nRaceCars, 4u);
    // The start signal counts 8 s from the accepted offer, not the grid.
    Step(6.99f);
    EXPECT_EQ(g_VehicleManager.m_bRaceRunning, 0);
    Step(0.01f);
    EXPECT_EQ(g_VehicleManager.m_bRaceRunning, 1);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(m_player->m_nControlMode, 2);
    EXPECT_NEAR(m_player->m_fRaceStartDamage, 25.0f, 1e-4f) << "the car's damage ratio as the grid formed";
}

TEST_F(CityLogicTest, RaceEndWaitsForTheResultThenFinishes)
{
    RunRace(4);
    g_VehicleManager.CarFinished(m_player);
    m_player->m_nRacePlace = 0;
    Start(SCENE_RACE_END);
    Step(0.0f);
    EXPECT_TRUE(ResultOpen());
    EXPECT_EQ(g_VehicleManager.m_nRaceCars, 0u) << "rivals released to traffic";
    Step(30.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_RACE_END);
    g_GameInterface.ShowRaceResult(0);
    Step(0.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(g_VehicleManager.m_bRaceRunning, 0);
    EXPECT_EQ(g_PlayerStats.m_nRacesPlaced, 1);
    EXPECT_EQ(m_player->m_nControlMode, 2);
}

TEST_F(CityLogicTest, ArrestDuringARaceFinishesItAndClearsThePolice)
{
    RunRace(1);
    CVehicle* police = g_VehicleManager.CreateVehicle("Data/Vehicles/01/Police.obj");
    police->m_nKind = VEHICLE_POLICE;
    g_PlayerStats.m_bPursuit = 1;
    g_PlayerStats.m_fCriminalLevel = 0.7f;
    m_player->m_fSpeed = 20.0f;
    m_player->m_vLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, 20.0f);
    Start(SCENE_ARREST);
    Step(0.0f);
    EXPECT_EQ(m_player->m_fSpeed, 0.0f) << "the car stopped at once";
    EXPECT_EQ(m_player->m_vLinearVelocity, D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    Step(1.0f);
    ASSERT_EQ(g_CityLogic.m_nPhase, 2);
    EXPECT_EQ(g_GameInterface.m_bMessageVisible, 1u);
    Step(10.0f);
    EXPECT_EQ(g_CityLogic.m_nPhase, 2) << "waits for the message box";
    g_GameInterface.m_bMessageVisible = 0;
    Step(0.0f);
    Step(1.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(g_VehicleManager.m_bRaceRunning, 0);
    EXPECT_TRUE(ResultOpen());
    EXPECT_EQ(m_player->m_nRacePlace, -1);
    EXPECT_EQ(g_VehicleManager.m_nCars, 1u);
    EXPECT_EQ(g_PlayerStats.m_bPursuit, 0);
    EXPECT_EQ(g_PlayerStats.m_fCriminalLevel, 0.0f);
    EXPECT_EQ(m_player->m_nControlMode, 2);
}

TEST_F(CityLogicTest, ShopVisitOpensTheShopOfItsPathOrHandsBackControl)
{
    const struct {
        const char* path;
        std::uint32_t workshop, carShop;
        int controlMode;
    } cases[] = {
        {"Data/Static/WorkShops/01/Main.obj", 1, 0, 1},
        {"Data/Static/AvtoShops/01/Main.obj", 0, 1, 1},
        {"Data/Static/Buildings/01/Main.obj", 0, 0, 2},
    };
    const CGameInterface& ui = g_GameInterface;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        RunRace(1);
        CProp entrance;
        std::strcpy(entrance.m_szPath, c.path);
        // A building placed facing +x: its entrance (no mesh, so its
        // position) opens that way.
        const D3DXVECTOR3 at(50.0f, 2.0f, 60.0f), out(150.0f, 2.0f, 60.0f), up(0.0f, 1.0f, 0.0f);
        entrance.SetLookAtTransform(&at, &out, &up);
        entrance.m_vPosition = at;
        g_PropManager.m_fShopTimer = 1.0f;
        m_player->m_bHandBrake = 1;
        Start(SCENE_SHOP_VISIT, &entrance);
        Step(0.0f);
        Step(0.5f);
        EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
        EXPECT_TRUE(ResultOpen()) << "the race was stopped";
        EXPECT_EQ(g_VehicleManager.m_bRaceRunning, 0);
        EXPECT_NEAR(m_player->m_vPosition.x, 50.0f, 0.01f);
        EXPECT_NEAR(m_player->m_vPosition.z, 60.0f, 0.01f);
        ASSERT_NE(m_player->m_pMesh->m_vBoxMin.y, 0.0f) << "the fixture car has a mesh box";
        EXPECT_NEAR(m_player->m_vPosition.y, 2.0f - 1.5f * m_player->m_pMesh->m_vBoxMin.y, 0.01f)
            << "the entrance height moved by the car mesh's depth below its centre";
        const D3DXMATRIX& car = m_player->m_matWorld;
        EXPECT_GT(car._22, 0.99f) << "the car stands on its wheels";
        EXPECT_GT(car._31, 0.99f) << "the car faces out of the entrance";
        EXPECT_EQ(m_player->m_nControlMode, c.controlMode);
        EXPECT_EQ(ui.m_WorkshopPanel.m_bWorkshopOpen, c.workshop);
        EXPECT_EQ(ui.m_CarShopPanel.m_bCarShopOpen, c.carShop);
        EXPECT_EQ(ui.m_CarShopPanel.m_pCarShopProp, c.carShop ? &entrance : nullptr);
        if (!c.workshop && !c.carShop) {
            EXPECT_EQ(m_player->m_bHandBrake, 0);
            EXPECT_EQ(g_PropManager.m_fShopTimer, -4.0f);
        }
        // The car shop must not keep this entrance once it is gone.
        g_GameInterface.ResetScreenPanels();
        entrance.m_pMesh = nullptr;
    }
}

TEST_F(CityLogicTest, TrickEndsAfterFifteenSecondsOfRealTimeInTheAir)
{
    m_player->m_nWheelsInContact = 0;
    Start(SCENE_TRICK_BONUS);
    Step(0.0f);
    EXPECT_EQ(g_GameTimer.m_fTimeScale, 0.4f);
    // Slow motion: 0.4 s of game time per real second.
    Step(14.9f * 0.4f, 14.9f);
    EXPECT_EQ(g_CityLogic.m_nPhase, 1);
    Step(0.1f * 0.4f, 0.1f);
    EXPECT_EQ(g_CityLogic.m_nPhase, 2);
    Step(0.99f * 0.4f, 0.99f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_TRICK_BONUS);
    Step(0.01f * 0.4f, 0.01f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(g_GameTimer.m_fTimeScale, 1.0f);

    // Landing on four wheels ends the wait early.
    Start(SCENE_TRICK_BONUS);
    Step(0.0f);
    m_player->m_nWheelsInContact = 4;
    Step(0.4f, 1.0f);
    EXPECT_EQ(g_CityLogic.m_nPhase, 2);
}

TEST_F(CityLogicTest, IntroductionWithoutARouteSkipsToTheHandOver)
{
    ASSERT_EQ(m_player->GetMeanDeformation(), 0.0f);
    g_Landscape.m_vStreamPoint = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    Start(SCENE_NEW_GAME);
    Step(0.0f);
    EXPECT_NE(g_Landscape.m_vStreamPoint, D3DXVECTOR3(0.0f, 0.0f, 0.0f)) << "streaming forced to start over";
    EXPECT_GT(m_player->GetMeanDeformation(), 0.0f) << "the car starts dented";
    EXPECT_EQ(g_CityLogic.m_nPhase, 20);
    EXPECT_EQ(m_player->m_nRoutePoints, 0u);
    Step(1.99f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_NEW_GAME);
    Step(0.01f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(m_player->m_nControlMode, 2);
    EXPECT_EQ(m_player->m_bHandBrake, 0);
    EXPECT_EQ(g_GameInterface.m_bMessageVisible, 1u);
}

TEST_F(CityLogicTest, IntroductionWithAMissingFigureSkipsTheDialogue)
{
    CHuman figure;
    Start(SCENE_NEW_GAME);
    g_CityLogic.m_nPhase = 5;
    g_pMechanic = nullptr;
    g_pPlayerFigure = &figure;
    Step(2.0f);
    EXPECT_EQ(g_CityLogic.m_nPhase, 20);
    EXPECT_EQ(g_GameInterface.m_bDialogueVisible, 0u);
    g_pPlayerFigure = nullptr;
    Step(2.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
}

// Leaving for the menu from the paused game: the scene starts the clock
// again itself, and a second later the game is saved and the menu opens
// offering to continue it.
TEST_F(CityLogicTest, ExitToMenuResumesTheClockAndOffersTheSavedGame)
{
    g_nProfile = -1; // nothing written to disk
    g_GameMenu.m_Continue.m_bEnabled = 0;
    g_GameTimer.Pause();
    Start(SCENE_EXIT_TO_MENU);
    Step(0.0f);
    EXPECT_FALSE(g_GameTimer.IsPaused());
    g_GameMenu.m_bOpen = 0;
    Step(0.99f);
    EXPECT_EQ(g_GameMenu.m_bOpen, 0);
    Step(0.01f);
    EXPECT_EQ(g_GameMenu.m_bOpen, 1);
    EXPECT_EQ(g_GameMenu.m_nState, MENU_MAIN);
    EXPECT_EQ(g_GameMenu.m_Continue.m_bEnabled, 1);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    g_GameMenu.Show(MENU_CLOSED);
}

TEST_F(CityLogicTest, ResetForgetsTheSceneTheFiguresAndTheTaxiJob)
{
    CHuman figure;
    Start(SCENE_ARREST);
    g_pMechanic = g_pPlayerFigure = &figure;
    g_TaxiJob.m_bOnBoard = 1;
    g_TaxiJob.m_fFare = 9.0f;
    g_CityLogic.Reset();
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(g_CityLogic.m_pCar, nullptr);
    EXPECT_EQ(g_CityLogic.m_pObject, nullptr);
    EXPECT_EQ(g_pMechanic, nullptr);
    EXPECT_EQ(g_pPlayerFigure, nullptr);
    EXPECT_EQ(g_TaxiJob.m_bOnBoard, 0);
    EXPECT_EQ(g_TaxiJob.m_fFare, 0.0f);
}

} // namespace

} // namespace test
