// The vehicle manager's list rules, density look-up and spawn limit, and
// the queries the drivers ask.
#include "vehicle_fixture.h"

#include "graphics/WorldCamera.h"
#include "shell/GameTimer.h"
#include "shell/Settings.h"
#include "world/Landscape.h"

#include <cmath>
#include <cstring>

namespace {

using test::VehicleTest;

class ManagerTest : public VehicleTest {
protected:
    void TearDown() override
    {
        g_VehicleManager.m_nCars = 0;
        std::fill(std::begin(g_VehicleManager.m_Cars), std::end(g_VehicleManager.m_Cars), nullptr);
        g_pPlayerVehicle = nullptr;
        g_Landscape.m_fWorldSize = 0.0f;
        g_Landscape.m_nCells = 0;
        std::memset(g_VehicleManager.m_DensityMap, 0, sizeof g_VehicleManager.m_DensityMap);
        g_Game.m_pCamera = nullptr;
        VehicleTest::TearDown();
    }
    CVehicle* Listed(int kind, D3DXVECTOR3 at = {0, 1, 0})
    {
        CVehicle* car = Spawned(kind, "Data/Vehicles/01/Main.obj", at);
        g_VehicleManager.AddVehicle(car);
        return car;
    }
    static void FlatWorld()
    {
        g_Landscape.m_fWorldSize = 2400.0f;
        g_Landscape.m_fCellSize = 4.0f;
        g_Landscape.m_nCells = 600;
    }
};

TEST_F(ManagerTest, DensityLookUpAndSpawnLimit)
{
    const D3DXVECTOR3 centre(0.0f, 0.0f, 0.0f);
    g_VehicleManager.m_DensityMap[100 + 100 * TRAFFIC_MAP_SIDE] = 255;
    EXPECT_EQ(g_VehicleManager.GetTrafficDensity(centre), 0.0f) << "no landscape, no traffic";
    FlatWorld();
    EXPECT_EQ(g_VehicleManager.GetTrafficDensity(centre), 1.0f);
    // Beyond the edges and broken positions read the border cells.
    g_VehicleManager.m_DensityMap[0] = 51;
    g_VehicleManager.m_DensityMap[TRAFFIC_MAP_SIZE - 1] = 102;
    EXPECT_FLOAT_EQ(g_VehicleManager.GetTrafficDensity(D3DXVECTOR3(-1e9f, 0.0f, 1e9f)), 0.2f);
    EXPECT_FLOAT_EQ(g_VehicleManager.GetTrafficDensity(D3DXVECTOR3(1e9f, 0.0f, -1e9f)), 0.4f);
    EXPECT_FLOAT_EQ(g_VehicleManager.GetTrafficDensity(D3DXVECTOR3(NAN, 0.0f, NAN)), 0.2f);

    CWorldCamera camera{};
    g_Game.m_pCamera = &camera;
    camera.m_vTarget = D3DXVECTOR3(0.0f, 0.0f, 10.0f);
    struct Case {
        std::uint8_t density;
        int traffic;
        std::uint32_t limit;
    } const cases[] = {{255, 2, 15}, {255, 0, 7}, {0, 2, 4}, {0, 0, 4}, {128, 1, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.density) << " at Traffic " << c.traffic);
        g_VehicleManager.m_DensityMap[100 + 100 * TRAFFIC_MAP_SIDE] = c.density;
        g_nTraffic = c.traffic;
        g_VehicleManager.SpawnTraffic();
        EXPECT_EQ(g_VehicleManager.m_nSpawnLimit, c.limit);
    }
    g_nTraffic = 1;
}

TEST_F(ManagerTest, MissingOrShortDensityMapLeavesTheRestEmpty)
{
    g_VehicleManager.m_DensityMap[5] = 9;
    EXPECT_EQ(g_VehicleManager.LoadDensityMap("Data/Landscape/None.dat"), 0);
    EXPECT_EQ(g_VehicleManager.m_DensityMap[5], 0);
    std::string bytes(TRAFFIC_MAP_SIZE + 100, '\x07');
    bytes.resize(300);
    WriteRaw("Data/Landscape/Short.dat", bytes);
    EXPECT_EQ(g_VehicleManager.LoadDensityMap("Data/Landscape/Short.dat"), 0);
    EXPECT_EQ(g_VehicleManager.m_DensityMap[299], 7);
    EXPECT_EQ(g_VehicleManager.m_DensityMap[300], 0);
    WriteRaw("Data/Landscape/Long.dat", std::string(TRAFFIC_MAP_SIZE + 100, '\x07'));
    EXPECT_EQ(g_VehicleManager.LoadDensityMap("Data/Landscape/Long.dat"), 1);
    EXPECT_EQ(g_VehicleManager.m_DensityMap[TRAFFIC_MAP_SIZE - 1], 7);
}

TEST_F(ManagerTest, ListKeepsOrderRefusesTheSixtyFifthAndSwapsInOnePass)
{
    CVehicle* a = Listed(VEHICLE_PLAYER);
    CVehicle* b = Listed(VEHICLE_TRAFFIC);
    CVehicle* c = Listed(VEHICLE_POLICE);
    CVehicle* d = Listed(VEHICLE_POLICE);
    g_VehicleManager.RemoveVehicle(b);
    ASSERT_EQ(g_VehicleManager.m_nCars, 3u);
    EXPECT_EQ(g_VehicleManager.m_Cars[1], c) << "order kept";
    EXPECT_EQ(g_VehicleManager.m_Cars[2], d);
    g_VehicleManager.RemoveVehicle(b); // absent: nothing
    EXPECT_EQ(g_VehicleManager.m_nCars, 3u);

    CVehicle* x = a;
    CVehicle* y = d;
    g_VehicleManager.SwapVehicles(&x, &y);
    EXPECT_EQ(g_VehicleManager.m_Cars[0], d);
    EXPECT_EQ(g_VehicleManager.m_Cars[2], a) << "each entry exchanged once";

    while (g_VehicleManager.m_nCars < VEHICLE_MANAGER_CARS)
        ASSERT_EQ(g_VehicleManager.AddVehicle(b), 1);
    EXPECT_EQ(g_VehicleManager.AddVehicle(c), 0);
    EXPECT_EQ(g_VehicleManager.m_nCars, 64u);
    EXPECT_EQ(g_VehicleManager.CreateVehicle("Data/Vehicles/01/Main.obj"), nullptr);
    EXPECT_EQ(g_VehicleManager.m_nCars, 64u);
}

TEST_F(ManagerTest, PoliceRemovedFromEntryOneOnAndCountedDown)
{
    CVehicle* player = g_VehicleManager.CreatePlayerCar(nullptr, nullptr, "Data/Vehicles/01/Main.obj");
    ASSERT_NE(player, nullptr);
    player->m_nKind = VEHICLE_POLICE; // even a player's car of that kind stays
    for (int kind : {VEHICLE_POLICE, VEHICLE_TRAFFIC, VEHICLE_POLICE, VEHICLE_POLICE})
        g_VehicleManager.CreateVehicle("Data/Vehicles/01/Police.obj")->m_nKind = kind;
    g_VehicleManager.m_nPolice = 3;
    g_VehicleManager.RemovePoliceCars();
    ASSERT_EQ(g_VehicleManager.m_nCars, 2u);
    EXPECT_EQ(g_VehicleManager.m_Cars[0], player);
    EXPECT_EQ(g_VehicleManager.m_Cars[1]->m_nKind, VEHICLE_TRAFFIC);
    EXPECT_EQ(g_VehicleManager.m_nPolice, 0u);
    player->m_nKind = VEHICLE_PLAYER;

    EXPECT_EQ(g_VehicleManager.CreatePlayerCar(nullptr, nullptr, "Data/Vehicles/99/Main.obj"), nullptr)
        << "no silent fall-back to another model";
    EXPECT_EQ(g_VehicleManager.m_nCars, 2u);
    g_VehicleManager.Clear();
    EXPECT_EQ(g_VehicleManager.m_nCars, 0u);
    EXPECT_EQ(g_pPlayerVehicle, nullptr);
}

TEST_F(ManagerTest, AdjacentDeadCarsGoInOneUpdate)
{
    CVehicle* player = Listed(VEHICLE_PLAYER);
    g_pPlayerVehicle = player;
    CVehicle* first = g_VehicleManager.CreateVehicle("Data/Vehicles/01/Main.obj");
    CVehicle* second = g_VehicleManager.CreateVehicle("Data/Vehicles/01/Main.obj");
    CVehicle* kept = Listed(VEHICLE_PLAYER, {20, 1, 0});
    first->m_bAlive = second->m_bAlive = 0;
    g_VehicleManager.Update();
    ASSERT_EQ(g_VehicleManager.m_nCars, 2u);
    EXPECT_EQ(g_VehicleManager.m_Cars[0], player);
    EXPECT_EQ(g_VehicleManager.m_Cars[1], kept);
}

TEST_F(ManagerTest, NearestVehicleAndPursuerQueries)
{
    CVehicle* a = Listed(VEHICLE_TRAFFIC, {0, 1, 0});
    CVehicle* b = Listed(VEHICLE_TRAFFIC, {10, 1, 0});
    CVehicle* c = Listed(VEHICLE_POLICE, {20, 1, 0});
    const D3DXVECTOR3 at(9.0f, 1.0f, 0.0f);
    EXPECT_EQ(g_VehicleManager.FindNearestVehicle(&at, 50.0f, nullptr, nullptr), b);
    EXPECT_EQ(g_VehicleManager.FindNearestVehicle(&at, 50.0f, b, nullptr), a);
    EXPECT_EQ(g_VehicleManager.FindNearestVehicle(&at, 50.0f, nullptr, b), c) << "starts after b";
    EXPECT_EQ(g_VehicleManager.FindNearestVehicle(&at, 50.0f, nullptr, c), nullptr) << "after the last car";
    EXPECT_EQ(g_VehicleManager.FindNearestVehicle(&at, -5.0f, nullptr, nullptr), nullptr);
    EXPECT_EQ(g_VehicleManager.FindPursuingPolice(&at, 60.0f), nullptr);
    c->SetAIState(AI_STATE_PURSUIT);
    c->SetAIState(AI_STATE_BACKOFF); // the previous state still counts
    EXPECT_EQ(g_VehicleManager.FindPursuingPolice(&at, 60.0f), c);
    EXPECT_EQ(g_VehicleManager.FindVehicleInSphere(a, &at, 1.0f), b);
    b->m_bInWorld = 0;
    EXPECT_EQ(g_VehicleManager.FindActiveVehicleInSphere(a, &at, 1.0f), nullptr);
}

// Two cars on the road ahead: traffic stops for the first in list order,
// a rival for the nearest.
TEST_F(ManagerTest, CarAheadFirstHitForTrafficNearestForRivals)
{
    CVehicle* far = Listed(VEHICLE_TRAFFIC, {0, 1, 9});
    CVehicle* near = Listed(VEHICLE_TRAFFIC, {0, 1, 5});
    CVehicle* side = Listed(VEHICLE_TRAFFIC, {30, 1, 0});
    CVehicle* car = Listed(VEHICLE_TRAFFIC, {0, 1, 0});
    for (CVehicle* other : {far, near, side}) {
        other->m_nRoutePoints = 0; // no route target: its own axes
        other->m_fSpeed = 0.0f;
    }
    car->m_nRoutePoints = 1;
    car->m_nRouteIndex = 0;
    car->m_Route[0] = D3DXVECTOR3(0.0f, 1.0f, 40.0f);
    car->m_fSpeed = 20.0f;
    car->m_vLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, 6.0f);
    EXPECT_EQ(g_VehicleManager.FindCarAhead(car, nullptr), far);
    EXPECT_EQ(g_VehicleManager.FindCarAhead(car, far), near);
    EXPECT_EQ(g_VehicleManager.FindCarAhead(car, near), nullptr);
    car->m_nKind = VEHICLE_RIVAL;
    EXPECT_EQ(g_VehicleManager.FindCarAhead(car, nullptr), near);
    // A car standing on its own route target keeps its own axes.
    near->m_nRoutePoints = 1;
    near->m_Route[0] = near->m_vPosition;
    EXPECT_EQ(g_VehicleManager.FindCarAhead(car, nullptr), near);
}

} // namespace
