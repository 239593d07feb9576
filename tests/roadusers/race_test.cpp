// Races: the offer's figures, the route's acceptance and map, the places,
// the grid, the markers and the finish bookkeeping.
#include "roadusers/vehicle_fixture.h"

#include "game/PlayerStats.h"
#include "objects/ParticleEffects.h"
#include "roadusers/RaceInfo.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "world/Prop.h"
#include "world/PropManager.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<D3DXVECTOR3> StraightRoute(std::uint32_t count, float step = 4.0f)
{
    std::vector<D3DXVECTOR3> route(count);
    for (std::uint32_t i = 0; i < count; ++i)
        route[i] = D3DXVECTOR3(0.0f, 0.0f, step * static_cast<float>(i));
    return route;
}

struct OfferCase {
    const char* name;
    float length;
    int timeRace, level, grid, rating;
    int prizes[3];
    int damageLimit, cars, gridSize;
    float limits[3];
};

TEST(RaceOffer, FiguresFromLengthLevelRatingAndGrid)
{
    const OfferCase cases[] = {
        {"time race, level 0", 1500.0f, 1, 0, 0, 0, {2650, 1600, 800}, 75, 1, 0, {72.25f, 85.0f, 100.0f}},
        {"time race, level 2, rating", 1900.0f, 1, 2, 0, 4, {5850, 3500, 1750}, 75, 1, 0, {72.25f, 85.0f, 100.0f}},
        {"rival race of 4, level 2", 900.0f, 0, 2, 4, 3, {3350, 2000, 1000}, 50, 4, 4, {}},
        // A first prize already in fifties still goes up by 50.
        {"rival race of 8, no length", 0.0f, 0, 0, 8, 0, {1550, 950, 500}, 50, 8, 8, {}},
        {"rival race of 6, level 1", 1200.0f, 0, 1, 6, 0, {3950, 2350, 1200}, 50, 6, 6, {}},
    };
    for (const OfferCase& c : cases) {
        SCOPED_TRACE(c.name);
        RaceInfo info{};
        SetRaceFigures(&info, c.length, c.timeRace, c.level, c.grid, c.rating);
        EXPECT_EQ(info.m_bTimeRace, c.timeRace);
        EXPECT_EQ(info.m_nLevel, c.level);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(info.m_nPrize[k], c.prizes[k]) << k;
            EXPECT_EQ(info.m_nPrize[k] % 50, 0);
            EXPECT_NEAR(info.m_fTimeLimit[k], c.limits[k], 0.01f) << k;
        }
        EXPECT_EQ(info.m_nDamageLimit, c.damageLimit);
        EXPECT_EQ(info.m_nCars, c.cars);
        EXPECT_EQ(info.m_nGridSize, c.gridSize);
        if (!c.timeRace) {
            EXPECT_EQ(info.m_nPrizeLevel, c.level);
        }
    }
}

TEST(RaceOffer, RouteNeedsAHundredPointsClearOfBridgesAtItsEnd)
{
    CProp bridge;
    bridge.m_nType = GTYPE_BRIDGE;
    bridge.m_fSphereRadius = 5.0f;
    struct Case {
        const char* name;
        std::uint32_t points;
        bool bridgeAtEnd;
        std::uint32_t kept;
    } cases[] = {
        {"exactly 100", 100, false, 100},
        {"99 is too short", 99, false, 0},
        {"bridge trims 103 to 100", 103, true, 100},
        {"bridge trims 102 to 99", 102, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Points 20 apart; a bridge 60 beside the second-last point touches
        // (within 60) the last three.
        const std::vector<D3DXVECTOR3> route = StraightRoute(c.points, 20.0f);
        bridge.m_vPosition = route[c.points - 2] + D3DXVECTOR3(60.0f, 0.0f, 0.0f);
        g_PropManager.m_pProps[0] = &bridge;
        g_PropManager.m_nProps = c.bridgeAtEnd ? 1 : 0;
        EXPECT_EQ(TrimRaceRoute(route.data(), c.points), c.kept);
    }
    g_PropManager.m_pProps[0] = nullptr;
    g_PropManager.m_nProps = 0;
}

TEST(RaceOffer, MapStaysWithinItsVerticesAndTheHudCircle)
{
    for (std::uint32_t count : {100u, 2047u, 2048u}) {
        SCOPED_TRACE(count);
        std::vector<D3DXVECTOR3> route(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            const float a = static_cast<float>(i) * 0.01f;
            route[i] = D3DXVECTOR3(300.0f * std::cos(a), 5.0f, 200.0f * std::sin(a));
        }
        auto info = std::make_unique<RaceInfo>();
        SetRaceRouteShape(info.get(), route.data(), count, 1.0f, 1.0f);
        const std::uint32_t pairs = (count - 1 + 2) / 3;
        EXPECT_EQ(info->m_nMapVertices, std::min<std::uint32_t>(2 * pairs, RACE_MAP_VERTICES));
        for (std::uint32_t v = 0; v < info->m_nMapVertices; ++v) {
            const RaceMapVertex& m = info->m_MapVertices[v];
            ASSERT_GE(m.x, 151.0f - 80.0f) << v;
            ASSERT_LE(m.x, 151.0f + 80.0f) << v;
            ASSERT_GE(m.y, 344.0f - 72.0f) << v;
            ASSERT_LE(m.y, 344.0f + 72.0f) << v;
            ASSERT_EQ(m.colour, 0x5CC89600u);
        }
    }
}

TEST(RacePlaces, TimeRaceThresholds)
{
    const float limits[3] = {72.25f, 85.0f, 100.0f};
    const struct {
        float clock;
        int place;
    } cases[] = {{0.0f, 0}, {72.25f, 0}, {72.3f, 1}, {85.0f, 1}, {99.9f, 2}, {100.0f, 2}, {100.01f, 3}, {1e6f, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(TimeRacePlace(c.clock, limits), c.place) << c.clock;
}

TEST(RacePlaces, RivalsSortByRemainingDistanceKeepingTiesInOrder)
{
    std::vector<std::unique_ptr<CVehicle>> cars;
    const float remaining[] = {50.0f, 20.0f, 20.0f, 10.0f, 20.0f};
    CVehicle* grid[5];
    for (int i = 0; i < 5; ++i) {
        cars.push_back(std::make_unique<CVehicle>());
        cars.back()->m_fRemainingDistance = remaining[i];
        grid[i] = cars.back().get();
    }
    SortRacePlaces(grid, 5, 2);
    const int order[] = {3, 1, 2, 4, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(grid[i], cars[order[i]].get()) << i;
        EXPECT_EQ(grid[i]->m_nRacePlace, 2 + i);
    }
}

} // namespace

namespace test {

class RaceTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        g_ParticleEffects.Reset();
        g_RaceInfo = RaceInfo{};
        g_PlayerStats = CPlayerStats{};
        g_GameTimer.m_fDelta = 0.05f;
    }
    void TearDown() override
    {
        g_VehicleManager.ResetRace();
        g_ParticleEffects.Reset();
        VehicleTest::TearDown();
    }
    // The player's car in the manager's list with a route of the given length.
    CVehicle* OfferRace(std::uint32_t points, int cars, int timeRace)
    {
        CVehicle* player = g_VehicleManager.m_nCars ? g_VehicleManager.m_Cars[0]
                                                    : g_VehicleManager.CreateVehicle("Data/Vehicles/01/Main.obj");
        const D3DXVECTOR3 at(0, 1, -10), to(0, 1, 0), up(0, 1, 0);
        player->Spawn(&at, &to, &up, 2, VEHICLE_PLAYER, 1);
        g_pPlayerVehicle = player;
        const std::vector<D3DXVECTOR3> route = StraightRoute(points);
        std::copy(route.begin(), route.end(), g_VehicleManager.m_RaceRoute);
        g_VehicleManager.m_nRaceRoutePoints = points;
        SetRaceFigures(&g_RaceInfo, RouteLength(route.data(), points), timeRace, 0, cars, 0);
        g_RaceInfo.m_pRoute = g_VehicleManager.m_RaceRoute;
        return player;
    }
    static int LiveEmitters()
    {
        int n = 0;
        for (const CSparkEmitter& e : g_ParticleEffects.m_Emitters)
            n += e.m_bActive ? 1 : 0;
        return n;
    }
};

TEST_F(RaceTest, GridPutsThePlayerLastAndRivalsOnHold)
{
    CVehicle* player = OfferRace(120, 4, 0);
    // The grid clears the street of police too, but leaves their count.
    g_VehicleManager.CreateVehicle("Data/Vehicles/01/Police.obj")->m_nKind = VEHICLE_POLICE;
    g_VehicleManager.m_nPolice = 1;
    g_VehicleManager.SetupRaceGrid();
    EXPECT_EQ(g_VehicleManager.m_nPolice, 1u);
    ASSERT_EQ(g_VehicleManager.m_nRaceCars, 4u);
    EXPECT_EQ(g_RaceInfo.m_nCars, 4);
    EXPECT_EQ(g_RaceInfo.m_bGridReady, 1);
    EXPECT_EQ(g_VehicleManager.m_RaceCars[3], player);
    for (std::uint32_t i = 0; i < 4; ++i) {
        CVehicle* car = g_VehicleManager.m_RaceCars[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(car->m_nKind, i == 3 ? VEHICLE_PLAYER : VEHICLE_RIVAL);
        EXPECT_EQ(car->m_nAIState, 1);
        EXPECT_EQ(car->m_nRoutePoints, 120u);
        // Two abreast: cars 0 and 1 at point 2, cars 2 and 3 at point 0.
        EXPECT_EQ(car->m_nRouteIndex, i < 2 ? 2u : 0u);
    }
    // Markers go up with the grid: both sides of point 0, 3, ... 18.
    EXPECT_NE(g_VehicleManager.m_RouteMarkers[0][0], -1);
    EXPECT_NE(g_VehicleManager.m_RouteMarkers[18][1], -1);
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[1][0], -1);
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[21][0], -1);

    // A time race is the player alone, entry 0.
    g_VehicleManager.ResetRace();
    OfferRace(120, 0, 1);
    g_VehicleManager.SetupRaceGrid();
    EXPECT_EQ(g_VehicleManager.m_nRaceCars, 1u);
    EXPECT_EQ(g_VehicleManager.m_RaceCars[0], g_pPlayerVehicle);
    EXPECT_EQ(g_VehicleManager.m_nCars, 1u);
}

TEST_F(RaceTest, GridLeavesOutCarsThatCannotBeMade)
{
    for (int model = 1; model <= 8; ++model) {
        char path[64];
        std::snprintf(path, sizeof(path), "Data/Vehicles/%02d/Main.obj", model);
        if (model != 1)
            std::filesystem::remove(path);
    }
    // Every rival draws a model; only the first can be loaded.
    CVehicle* player = OfferRace(120, 8, 0);
    g_VehicleManager.SetupRaceGrid();
    EXPECT_EQ(g_RaceInfo.m_nCars, static_cast<int>(g_VehicleManager.m_nRaceCars));
    EXPECT_EQ(g_VehicleManager.m_nCars, g_VehicleManager.m_nRaceCars);
    EXPECT_LT(g_VehicleManager.m_nRaceCars, 8u);
    EXPECT_EQ(g_VehicleManager.m_RaceCars[g_VehicleManager.m_nRaceCars - 1], player);
    for (std::uint32_t i = 0; i < g_VehicleManager.m_nRaceCars; ++i)
        EXPECT_NE(g_VehicleManager.m_RaceCars[i], nullptr);
}

TEST_F(RaceTest, MarkersAskOnlyForMissingEmittersAndNeedARoute)
{
    CVehicle* player = OfferRace(120, 0, 1);
    std::copy(g_VehicleManager.m_RaceRoute, g_VehicleManager.m_RaceRoute + 120, player->m_Route);
    player->m_nRouteIndex = 0;
    const D3DXVECTOR3 at(0, 0, 0), up(0, 1, 0);
    const int kept = g_ParticleEffects.AddSparkEmitter(&at, &up, 0.1f, 1, 0, 0, 1);
    g_VehicleManager.m_RouteMarkers[0][0] = kept;

    player->m_nRoutePoints = 99;
    g_VehicleManager.m_fMarkerTimer = 1.0f;
    g_VehicleManager.UpdateRaceMarkers();
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[0][1], -1) << "a route below 100 points gets no markers";

    player->m_nRoutePoints = 120;
    g_VehicleManager.UpdateRaceMarkers();
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[0][0], kept);
    EXPECT_NE(g_VehicleManager.m_RouteMarkers[0][1], -1);
    EXPECT_EQ(LiveEmitters(), 14) << "points 0, 3 .. 18, two each";

    // Driving on: markers behind the player go, the finish gate comes.
    player->m_nRouteIndex = 110;
    g_VehicleManager.m_fMarkerTimer = 1.0f;
    g_VehicleManager.UpdateRaceMarkers();
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[0][0], -1);
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[18][1], -1);
    EXPECT_NE(g_VehicleManager.m_RouteMarkers[115][0], -1);
    EXPECT_NE(g_VehicleManager.m_RouteMarkers[115][1], -1);
    EXPECT_EQ(g_VehicleManager.m_bFinishCrowd, 0);
}

TEST_F(RaceTest, ResetRemovesEveryLiveMarkerAndNoOtherEmitter)
{
    OfferRace(120, 0, 1);
    const D3DXVECTOR3 at(0, 0, 0), up(0, 1, 0);
    const int other = g_ParticleEffects.AddSparkEmitter(&at, &up, 0.1f, 1, 1, 1, 1);
    g_VehicleManager.m_RouteMarkers[5][0] = g_ParticleEffects.AddSparkEmitter(&at, &up, 0.1f, 1, 0, 0, 1);
    g_VehicleManager.m_RouteMarkers[2047][1] = g_ParticleEffects.AddSparkEmitter(&at, &up, 0.1f, 1, 0, 0, 1);
    g_VehicleManager.m_bFinishCrowd = 1;
    ASSERT_EQ(LiveEmitters(), 3);
    g_VehicleManager.ResetRace();
    EXPECT_EQ(LiveEmitters(), 1);
    EXPECT_TRUE(g_ParticleEffects.m_Emitters[other & 127].m_bActive);
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[5][0], -1);
    EXPECT_EQ(g_VehicleManager.m_RouteMarkers[2047][1], -1);
    EXPECT_EQ(g_VehicleManager.m_bFinishCrowd, 0);
    EXPECT_EQ(g_VehicleManager.m_nRaceRoutePoints, 0u);
    EXPECT_EQ(g_RaceInfo.m_nPrize[0], 0);
    EXPECT_EQ(g_pPlayerVehicle->m_nRoutePoints, 0u);
    // A second reset (the game reset after a withdrawn offer) is harmless.
    g_VehicleManager.ResetRace();
    EXPECT_EQ(g_VehicleManager.m_pRaceInfoScreen, nullptr);
}

TEST_F(RaceTest, FinishBookkeeping)
{
    CVehicle* player = OfferRace(120, 4, 0);
    g_VehicleManager.SetupRaceGrid();
    g_VehicleManager.StartRace();
    ASSERT_EQ(g_VehicleManager.m_bRaceRunning, 1);
    CVehicle* first = g_VehicleManager.m_RaceCars[0];
    CVehicle* second = g_VehicleManager.m_RaceCars[1];
    EXPECT_EQ(first->m_nAIState, 3);
    EXPECT_EQ(first->m_bHandBrake, 0);

    // Remaining distances put the player second; a rival finishes first.
    player->m_fRemainingDistance = 20.0f;
    first->m_fRemainingDistance = 10.0f;
    second->m_fRemainingDistance = 30.0f;
    g_VehicleManager.m_RaceCars[2]->m_fRemainingDistance = 40.0f;
    g_VehicleManager.UpdateRacePlaces();
    EXPECT_EQ(player->m_nRacePlace, 1);
    g_VehicleManager.CarFinished(first);
    EXPECT_EQ(first->m_nKind, VEHICLE_TRAFFIC);
    EXPECT_EQ(first->m_nAIState, 2);
    EXPECT_EQ(first->m_nRoutePoints, 0u);
    EXPECT_EQ(g_VehicleManager.m_nFinished, 1u);
    EXPECT_EQ(g_RaceInfo.m_nCars, 3);
    g_VehicleManager.CarFinished(first); // not on the grid any more: nothing
    EXPECT_EQ(g_RaceInfo.m_nCars, 3);

    g_VehicleManager.UpdateRacePlaces();
    EXPECT_EQ(player->m_nRacePlace, 1);
    g_VehicleManager.CarFinished(player);
    EXPECT_EQ(g_VehicleManager.m_nFinished, 2u);
    // After the player finished its place no longer moves.
    second->m_fRemainingDistance = 0.0f;
    g_VehicleManager.UpdateRacePlaces();
    EXPECT_EQ(player->m_nRacePlace, 1);

    // A rival backing off at the finish is released with the racing one.
    second->SetAIState(AI_STATE_BACKOFF);
    CVehicle* third = g_VehicleManager.m_RaceCars[0] == second ? g_VehicleManager.m_RaceCars[1]
                                                               : g_VehicleManager.m_RaceCars[0];
    ASSERT_EQ(g_VehicleManager.m_nRaceCars, 2u);
    ASSERT_EQ(third->m_nAIState, AI_STATE_RACE);
    g_VehicleManager.ReleaseRivals();
    EXPECT_EQ(g_VehicleManager.m_nRaceCars, 0u);
    for (const CVehicle* rival : {second, third}) {
        EXPECT_EQ(rival->m_nKind, VEHICLE_TRAFFIC);
        EXPECT_EQ(rival->m_nAIState, AI_STATE_TRAFFIC);
        EXPECT_EQ(rival->m_nRoutePoints, 0u) << "no race route to return to";
    }
    g_VehicleManager.FinishRace();
    EXPECT_EQ(g_PlayerStats.m_nRacesPlaced, 1);
    EXPECT_EQ(g_VehicleManager.m_bRaceRunning, 0);
    EXPECT_EQ(player->m_nRacePlace, 1);
}

TEST_F(RaceTest, AbandonedRaceCountsNoPlace)
{
    CVehicle* player = OfferRace(120, 0, 1);
    g_VehicleManager.SetupRaceGrid();
    g_VehicleManager.StartRace();
    g_RaceInfo.m_fClock = 1.0f;
    g_VehicleManager.UpdateRacePlaces();
    ASSERT_EQ(player->m_nRacePlace, 0);
    g_VehicleManager.FinishRace(); // stopped by an arrest or a shop
    EXPECT_EQ(player->m_nRacePlace, -1);
    EXPECT_EQ(g_PlayerStats.m_nRacesPlaced, 0);
}

} // namespace test

#include "game/CityLogic.h"
#include "game/TaxiJob.h"
#include "writers/PropDescriptions.h"
#include "graphics/MeshContainer.h"
#include "graphics/MeshRecord.h"
#include "objects/MaterialEffects.h"

namespace test {

// An offer with its real board beside the start; the player drives up to
// the board's start point under various conditions.
class RaceStartTest : public RaceTest {
protected:
    void SetUp() override
    {
        RaceTest::SetUp();
        for (const tools::SampleFile& f : tools::SamplePropFiles())
            WriteRaw(f.path, f.bytes);
        g_PropManager.Init();
        m_player = OfferRace(120, 4, 0);
        const D3DXVECTOR3 at(12.0f, 0.0f, 20.0f), facing(12.0f, 0.0f, 40.0f), up(0, 1, 0);
        g_VehicleManager.m_pRaceInfoScreen =
            g_PropManager.AddProp("Data/Static/InfoScreen/01/Main1.obj", &at, &facing, &up, 0);
        ASSERT_NE(g_VehicleManager.m_pRaceInfoScreen, nullptr);
        const CMeshRecord* mesh = g_VehicleManager.m_pRaceInfoScreen->m_pMesh;
        ASSERT_TRUE(mesh && mesh->m_nPoints[8] > 0);
        D3DXVec3TransformCoord(&m_start, &mesh->m_pPoints[8][0], &g_VehicleManager.m_pRaceInfoScreen->m_matWorld);
        m_savedCamera = g_Game.m_pCamera;
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
        g_Game.m_pCamera->m_nMode = 1;
        g_Game.m_pCamera->m_vEye = D3DXVECTOR3(0.0f, 5.0f, -20.0f);
        g_CityLogic.Init();
        g_TaxiJob = CTaxiJob{};
    }
    void TearDown() override
    {
        g_Game.m_pCamera = m_savedCamera;
        g_CityLogic.Init();
        g_TaxiJob = CTaxiJob{};
        g_VehicleManager.ResetRace();
        g_PropManager.Clear();
        RaceTest::TearDown();
    }
    // One offer check with the player at distance from the start point.
    void Check(float distance, float speed)
    {
        m_player->m_vPosition = m_start + D3DXVECTOR3(distance, 0.0f, 0.0f);
        m_player->m_fSpeed = speed;
        m_player->m_nControlMode = 2;
        g_VehicleManager.m_fRaceCheckTimer = 0.25f;
        g_VehicleManager.UpdateRace();
    }

    CVehicle* m_player = nullptr;
    D3DXVECTOR3 m_start;
    CWorldCamera* m_savedCamera = nullptr;
};

TEST_F(RaceStartTest, StartsOnlySlowAtTheBoardInADrivingViewWithNoScene)
{
    const struct {
        const char* name;
        float distance, speed;
        int scene, cameraMode;
        bool starts;
    } cases[] = {
        {"slow at the start", 3.9f, 7.5f, SCENE_IDLE, 1, true},
        {"in the third driving view", 0.0f, 0.0f, SCENE_IDLE, 3, true},
        {"too far", 4.1f, 0.0f, SCENE_IDLE, 1, false},
        {"too fast", 0.0f, 7.6f, SCENE_IDLE, 1, false},
        {"a scene runs", 0.0f, 0.0f, SCENE_TRICK_BONUS, 1, false},
        {"free camera", 0.0f, 0.0f, SCENE_IDLE, 4, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_CityLogic.SetScene(c.scene, nullptr, nullptr);
        g_Game.m_pCamera->m_nMode = c.cameraMode;
        g_VehicleManager.m_fRaceCountdown = 0.0f;
        Check(c.distance, c.speed);
        EXPECT_EQ(g_CityLogic.m_nScene == SCENE_RACE_START, c.starts);
        ASSERT_EQ(g_VehicleManager.m_nRaceRoutePoints, 120u) << "the offer stays";
    }
}

TEST_F(RaceStartTest, DeclinedOfferWaitsForItsCountdown)
{
    g_VehicleManager.m_fRaceCountdown = 5.0f; // set by a decline
    int checks = 0;
    while (g_CityLogic.m_nScene == SCENE_IDLE && checks < 100) {
        Check(0.0f, 0.0f);
        ++checks;
    }
    // Each check takes 0.25 s plus the frame's 0.05 s off the countdown.
    EXPECT_EQ(checks, 17);
}

TEST_F(RaceStartTest, OfferWithdrawnFarFromTheCameraOrWithAPassenger)
{
    g_Game.m_pCamera->m_vEye = g_VehicleManager.m_RaceRoute[0] + D3DXVECTOR3(0.0f, 0.0f, -174.0f);
    Check(50.0f, 0.0f);
    EXPECT_EQ(g_VehicleManager.m_nRaceRoutePoints, 120u);
    // The introduction keeps its offer wherever the camera goes.
    g_Game.m_pCamera->m_vEye = g_VehicleManager.m_RaceRoute[0] + D3DXVECTOR3(0.0f, 0.0f, -176.0f);
    g_CityLogic.SetScene(SCENE_NEW_GAME, nullptr, nullptr);
    Check(50.0f, 0.0f);
    EXPECT_EQ(g_VehicleManager.m_nRaceRoutePoints, 120u);
    g_CityLogic.SetScene(SCENE_IDLE, nullptr, nullptr);
    Check(50.0f, 0.0f);
    EXPECT_EQ(g_VehicleManager.m_nRaceRoutePoints, 0u);
    EXPECT_EQ(g_VehicleManager.m_pRaceInfoScreen, nullptr);

    g_Game.m_pCamera->m_vEye = D3DXVECTOR3(0.0f, 5.0f, -20.0f);
    g_VehicleManager.m_nRaceRoutePoints = 120;
    g_TaxiJob.m_bOnBoard = 1;
    Check(50.0f, 0.0f);
    EXPECT_EQ(g_VehicleManager.m_nRaceRoutePoints, 0u);
}

TEST_F(RaceStartTest, BoardWithoutAStartPointWithdrawsTheOffer)
{
    g_PropManager.RemoveProp(g_VehicleManager.RaceBoard());
    const D3DXVECTOR3 at(12.0f, 0.0f, 20.0f), facing(12.0f, 0.0f, 40.0f), up(0, 1, 0);
    g_VehicleManager.m_pRaceInfoScreen = g_PropManager.AddProp("Data/Static/TaxiPoint/Main.obj", &at, &facing, &up, 0);
    ASSERT_NE(g_VehicleManager.m_pRaceInfoScreen, nullptr);
    g_VehicleManager.m_fRaceCountdown = 0.0f;
    Check(0.0f, 0.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, SCENE_IDLE);
    EXPECT_EQ(g_VehicleManager.m_nRaceRoutePoints, 0u);
    EXPECT_EQ(g_VehicleManager.m_pRaceInfoScreen, nullptr);
}

} // namespace test

namespace test {

// The grid switches the board's light maps off. The overlay draws with the
// board's own mesh, which must stay loaded for the board itself.
TEST_F(RaceStartTest, GridDimsTheBoardButKeepsItsMesh)
{
    CStaticObject* board = g_VehicleManager.m_pRaceInfoScreen;
    ASSERT_NE(board->m_pLightMaps, nullptr) << "the sample board has light maps";
    const CMeshRecord* mesh = board->m_pMesh;
    const std::uint32_t references = mesh->m_nRefCount;
    auto listed = [](const CMeshRecord* record) {
        for (const CMeshRecord* r = g_MeshContainer.m_pHead; r; r = r->m_pNext)
            if (r == record)
                return true;
        return false;
    };

    g_VehicleManager.SetupRaceGrid();

    EXPECT_EQ(board->m_pLightMaps->m_pMesh, nullptr) << "the overlay is off";
    ASSERT_TRUE(listed(mesh)) << "the board's mesh is still loaded";
    EXPECT_EQ(mesh->m_nRefCount, references);
    EXPECT_EQ(board->m_pMesh, mesh);
}

} // namespace test
