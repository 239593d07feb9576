// Traffic on the sample city the build wrote: the spawner's rules with a
// fixed generator, and the player's car driven by keys among full traffic.
#include "vehicle_fixture.h"

#include "game/CityLogic.h"
#include "game/PlayerStats.h"
#include "graphics/WorldCamera.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <vector>

namespace {

using test::VehicleTest;

class TrafficCityTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        g_VehicleManager.Init();
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
        const int landscape = g_Landscape.Init();
        const int density = g_VehicleManager.LoadDensityMap("Data/Landscape/TrafficDensityMap.dat");
        std::filesystem::current_path(previous);
        ASSERT_EQ(landscape, 1);
        ASSERT_EQ(density, 1);
        g_Landscape.Update();
        g_Game.m_pCamera = &g_Game.m_Cameras[0];
        m_savedTraffic = g_nTraffic;
        g_nTraffic = 2;
        g_PlayerStats = CPlayerStats{};
        g_CityLogic.SetScene(0, nullptr, nullptr);
        g_GameTimer.m_fTimeScale = 1.0f;
        Frame(0.0f);
    }
    void TearDown() override
    {
        g_VehicleManager.Release();
        g_Game.m_pCamera = nullptr;
        g_Landscape.Release();
        g_Landscape.m_fWorldSize = 0.0f;
        // The city's density map and the busier setting would go on
        // spawning pedestrians and cars under the next test's feet.
        std::memset(g_VehicleManager.m_DensityMap, 0, sizeof g_VehicleManager.m_DensityMap);
        g_nTraffic = m_savedTraffic;
        for (int* key : {&g_bActAccelerate, &g_bActTurnLeft, &g_bActTurnRight, &g_bActBrake})
            *key = 0;
        VehicleTest::TearDown();
    }
    static void Frame(float dt)
    {
        g_GameTimer.m_fDelta = g_GameTimer.m_fRealDelta = dt;
        g_GameTimer.m_fGameTime += dt * 1000.0;
        g_GameTimer.m_fRealTime += dt * 1000.0;
    }
    // The camera behind and above a point, looking along a direction.
    static void LookFrom(const D3DXVECTOR3& at, const D3DXVECTOR3& forward)
    {
        CWorldCamera* camera = g_Game.m_pCamera;
        camera->m_vEye = at - forward * 8.0f + D3DXVECTOR3(0.0f, 3.0f, 0.0f);
        camera->m_vTarget = at + forward * 4.0f;
    }
    static D3DXVECTOR3 Forward(const CVehicle* car)
    {
        return D3DXVECTOR3(car->m_matWorld._31, car->m_matWorld._32, car->m_matWorld._33);
    }
    static D3DXVECTOR3 StreetStart()
    {
        D3DXVECTOR3 at(226.0f, 0.0f, -730.0f);
        at.y = GetExactAltitude(&at);
        return at;
    }

    int m_savedTraffic = 1;
};

// One attempt every 0.1 s of real time: a few frames of 0.1 s each.
int SpawnAttempts(int attempts)
{
    const std::uint32_t before = g_VehicleManager.m_nCars;
    for (int i = 0; i < attempts; ++i) {
        g_GameTimer.m_fRealDelta = 0.1f;
        g_VehicleManager.SpawnTraffic();
    }
    return static_cast<int>(g_VehicleManager.m_nCars - before);
}

TEST_F(TrafficCityTest, SpawnedCarsStartOnTheRoadAheadRollingAndKeepTheirDistance)
{
    LookFrom(StreetStart(), D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    std::srand(11);
    SpawnAttempts(200);
    ASSERT_GE(g_VehicleManager.m_nCars, 3u);
    EXPECT_EQ(g_VehicleManager.m_nSpawnLimit, 15u) << "full density, Traffic 2";
    EXPECT_LE(g_VehicleManager.m_nCars, g_VehicleManager.m_nSpawnLimit);
    for (std::uint32_t i = 0; i < g_VehicleManager.m_nCars; ++i) {
        const CVehicle* car = g_VehicleManager.m_Cars[i];
        SCOPED_TRACE(i);
        EXPECT_GE(car->m_nRoutePoints, 2u);
        EXPECT_EQ(car->m_nRouteIndex, 0u);
        EXPECT_EQ(car->m_nAIState, AI_STATE_TRAFFIC);
        EXPECT_EQ(car->m_nControlMode, 1);
        EXPECT_FLOAT_EQ(car->m_fSpeed, 22.5f);
        EXPECT_FLOAT_EQ(car->m_fEngineForce, 375.0f);
        EXPECT_NEAR(Vec3Length(&car->m_vLinearVelocity), 45.0f / 3.6f * 0.5f, 1e-3f);
        const D3DXVECTOR3 at(car->m_matPlacement._41, car->m_matPlacement._42, car->m_matPlacement._43);
        EXPECT_NEAR(at.y, car->m_Route[0].y + std::abs(car->m_pMesh->m_vBoxMin.y) + 0.25f, 1e-3f);
        for (std::uint32_t k = 0; k < i; ++k) {
            const CVehicle* earlier = g_VehicleManager.m_Cars[k];
            EXPECT_GE(Vec3Distance(&earlier->m_vPosition, &car->m_Route[0]), 10.0f)
                << "no spawn within 10 of a car already there";
        }
    }
}

// Spawn attempts until `wanted` police cars were made or the attempts ran
// out; every other new car goes again at once, so that the limit never
// stops the spawner. Returns the police cars made.
int SpawnPolice(int attempts, int wanted, int* made = nullptr)
{
    int police = 0;
    for (int i = 0; i < attempts && police < wanted; ++i) {
        if (SpawnAttempts(1) == 0)
            continue;
        CVehicle* car = g_VehicleManager.m_Cars[g_VehicleManager.m_nCars - 1];
        if (made)
            ++*made;
        if (car->m_nKind == VEHICLE_POLICE)
            ++police;
        else
            g_VehicleManager.DestroyVehicle(car);
    }
    return police;
}

std::vector<CVehicle*> ListedPolice()
{
    std::vector<CVehicle*> police;
    for (std::uint32_t i = 1; i < g_VehicleManager.m_nCars; ++i)
        if (g_VehicleManager.m_Cars[i]->m_nKind == VEHICLE_POLICE)
            police.push_back(g_VehicleManager.m_Cars[i]);
    return police;
}

TEST_F(TrafficCityTest, PoliceShareAndCapAndModelFollowTheCriminalLevel)
{
    LookFrom(StreetStart(), D3DXVECTOR3(0.0f, 0.0f, 1.0f));
    CVehicle* player = g_VehicleManager.CreatePlayerCar(nullptr, nullptr, "Data/Vehicles/02/Main.obj");
    ASSERT_NE(player, nullptr);
    g_PlayerStats.m_fCriminalLevel = 0.9f;
    std::srand(5);
    int made = 0;
    ASSERT_EQ(SpawnPolice(600, TRAFFIC_MAX_POLICE, &made), TRAFFIC_MAX_POLICE);
    EXPECT_GT(made, TRAFFIC_MAX_POLICE * 3) << "about one car in ten is police";
    std::vector<CVehicle*> police = ListedPolice();
    ASSERT_EQ(police.size(), 4u);
    for (const CVehicle* car : police) {
        EXPECT_STREQ(car->m_szPath, "Data/Vehicles/03/Police.obj") << "criminal level above 0.8";
        EXPECT_LT(Vec3Distance(&car->m_Route[0], &player->m_vPosition), 54.0f + 40.0f);
    }
    EXPECT_EQ(SpawnPolice(40, 1), 0) << "four counted: every further car is traffic";

    // Police that leave on their own stay counted: a wreck that turned
    // traffic, or a car gone out of reach, makes no room for another.
    police[0]->m_nKind = VEHICLE_TRAFFIC; // disabled in a chase
    g_VehicleManager.DestroyVehicle(police[0]);
    g_VehicleManager.DestroyVehicle(police[1]);
    EXPECT_EQ(g_VehicleManager.m_nPolice, 4u) << "only removing the police lowers the count";
    EXPECT_EQ(SpawnPolice(600, 1), 0) << "no further police car";

    // Removing the police starts the count afresh; a wreck that survived the
    // removal as traffic does not lower the new count when it goes.
    CVehicle* wreck = police[2];
    wreck->m_nKind = VEHICLE_TRAFFIC;
    wreck->m_vPosition += D3DXVECTOR3(0.0f, 0.0f, 400.0f); // clear of the police's spawn points
    g_VehicleManager.RemovePoliceCars();
    EXPECT_EQ(g_VehicleManager.m_nPolice, 0u);
    EXPECT_TRUE(ListedPolice().empty());
    EXPECT_EQ(g_VehicleManager.m_Cars[0], player);
    ASSERT_EQ(SpawnPolice(2000, TRAFFIC_MAX_POLICE), TRAFFIC_MAX_POLICE);
    g_VehicleManager.DestroyVehicle(wreck);
    EXPECT_EQ(g_VehicleManager.m_nPolice, 4u);
    EXPECT_EQ(SpawnPolice(600, 1), 0) << "no fifth police car";
}

// The player's car under scripted keys for two minutes of game time on the
// sample city, the manager running traffic around it as the game's tick does.
TEST_F(TrafficCityTest, PlayerDrivesAmongTrafficThatComesAndGoes)
{
    CVehicle* player = g_VehicleManager.CreatePlayerCar(nullptr, nullptr, nullptr);
    ASSERT_NE(player, nullptr);
    const D3DXVECTOR3 start = player->m_vPosition;
    std::srand(3);
    std::set<CVehicle*> seen;
    std::uint32_t most = 0;
    int despawned = 0, advanced = 0;
    float farthest = 0.0f;
    const float dt = 1.0f / 30.0f;
    for (int frame = 0; frame < 120 * 30; ++frame) {
        const int second = frame / 30;
        g_bActAccelerate = second % 10 < 7;
        g_bActBrake = second % 10 == 9;
        g_bActTurnLeft = second % 20 == 4;
        g_bActTurnRight = second % 20 == 14;
        Frame(dt);
        g_Game.StepPhysics();
        player->Update();
        LookFrom(player->m_vPosition, Forward(player));
        const std::uint32_t before = g_VehicleManager.m_nCars;
        std::set<CVehicle*> live(g_VehicleManager.m_Cars, g_VehicleManager.m_Cars + before);
        g_VehicleManager.Update();
        for (CVehicle* car : live)
            if (std::find(g_VehicleManager.m_Cars, g_VehicleManager.m_Cars + g_VehicleManager.m_nCars, car) ==
                g_VehicleManager.m_Cars + g_VehicleManager.m_nCars)
                ++despawned;
        most = std::max(most, g_VehicleManager.m_nCars);
        ASSERT_LE(g_VehicleManager.m_nCars, 64u);
        ASSERT_EQ(g_VehicleManager.m_Cars[0], player);
        for (std::uint32_t i = 0; i < g_VehicleManager.m_nCars; ++i) {
            CVehicle* car = g_VehicleManager.m_Cars[i];
            ASSERT_TRUE(std::isfinite(car->m_vPosition.x) && std::isfinite(car->m_vPosition.y) &&
                        std::isfinite(car->m_vPosition.z))
                << "car " << i << " at frame " << frame;
            if (seen.insert(car).second)
                continue;
            if (car != player && car->m_nRouteIndex > 3)
                ++advanced;
        }
        farthest = std::max(farthest, Vec3Distance(&player->m_vPosition, &start));
    }
    EXPECT_GT(seen.size(), 20u) << "traffic keeps coming";
    EXPECT_GE(most, 8u);
    EXPECT_GT(despawned, 5) << "cars left behind go";
    EXPECT_GT(advanced, 0) << "traffic follows its routes";
    EXPECT_GT(farthest, 30.0f) << "the keys drive the player's car";
}

} // namespace
