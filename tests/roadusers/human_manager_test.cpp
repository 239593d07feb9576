// The pedestrian list: removal during the update, the spawn limit and
// attempt, the list's capacity and the race spectators.
#include "human_fixture.h"

namespace {

using test::HumanTest;

TEST(HumanSpawnLimit, FollowsDensityAndTrafficSetting)
{
    struct Case {
        float density;
        int traffic;
        std::uint32_t limit;
    };
    const Case cases[] = {{0.0f, 2, 0}, {1.0f, 0, 7}, {1.0f, 1, 11}, {1.0f, 2, 15}, {0.5f, 2, 7}, {0.99f, 0, 6}};
    for (const Case& c : cases)
        EXPECT_EQ(HumanSpawnLimit(c.density, c.traffic), c.limit) << c.density << " " << c.traffic;
}

TEST_F(HumanTest, AdjacentLeaversAreRemovedAndTheRestUpdatedOnce)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    const D3DXVECTOR3 far = start + D3DXVECTOR3(100, 0, 0);
    CHuman* stay[3];
    stay[0] = Make(start);
    Make(far);
    Make(far);
    stay[1] = Make(start);
    stay[2] = Make(start);
    g_HumanManager.Update();
    ASSERT_EQ(g_HumanManager.m_nHumans, 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(g_HumanManager.m_pHumans[i], stay[i]);
        // Idle pedestrians collect exactly one step of time per update.
        EXPECT_GT(stay[i]->m_fActionTimer, 0.0f);
        EXPECT_LE(stay[i]->m_fActionTimer, 1.5f / 30.0f + 1e-6f);
    }
    EXPECT_EQ(g_HumanManager.m_pHumans[3], nullptr);
    CHuman stranger;
    g_HumanManager.RemoveHuman(&stranger);
    EXPECT_EQ(g_HumanManager.m_nHumans, 3u);
}

TEST_F(HumanTest, TheListHoldsSixtyFour)
{
    for (int i = 0; i < HUMAN_MANAGER_CAPACITY; ++i)
        ASSERT_NE(g_HumanManager.CreateHuman(g_HumanModelPaths[i % 2], nullptr, nullptr, i % 2), nullptr);
    EXPECT_EQ(g_HumanManager.CreateHuman(g_HumanModelPaths[0], nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(g_HumanManager.m_nHumans, 64u);
}

TEST_F(HumanTest, FindInSphereSkipsExcludedAndStartsAfter)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* a = Make(start);
    CHuman* b = Make(start + D3DXVECTOR3(2, 0, 0));
    Make(start + D3DXVECTOR3(40, 0, 0));
    EXPECT_EQ(g_HumanManager.FindHumanInSphere(&start, 4.0f, nullptr, nullptr), a);
    EXPECT_EQ(g_HumanManager.FindHumanInSphere(&start, 4.0f, a, nullptr), b);
    EXPECT_EQ(g_HumanManager.FindHumanInSphere(&start, 4.0f, nullptr, b), nullptr);
}

TEST_F(HumanTest, SpawnAttemptsPutWalkersOnTheWalkways)
{
    int made = 0;
    for (int i = 0; i < 40 && made < 6; ++i)
        made += g_HumanManager.TrySpawnPedestrian();
    ASSERT_GT(made, 0);
    EXPECT_EQ(g_HumanManager.m_nHumans, static_cast<std::uint32_t>(made));
    int waiting = 0;
    for (std::uint32_t i = 0; i < g_HumanManager.m_nHumans; ++i) {
        const CHuman* h = g_HumanManager.m_pHumans[i];
        EXPECT_TRUE(h->m_nAction == ACTION_WALK || h->m_nAction == ACTION_WAITCAR);
        waiting += h->m_nAction == ACTION_WAITCAR;
        EXPECT_NEAR(h->m_vGround.y, GetExactAltitude(&h->m_vGround), 1e-3f);
        // On the walkway ring around the traffic centre (or at the kerb).
        EXPECT_LT(Vec3Distance(&h->m_vGround, &g_VehicleManager.m_vSpawnAnchor), 40.0f);
    }
    // A second passenger never waits while one does.
    EXPECT_LE(waiting, 1);
    // They walk the city for a while without trouble.
    for (int f = 0; f < 60; ++f)
        g_HumanManager.Update();
}

TEST_F(HumanTest, NoWaitingPassengerDuringARaceOrTheIntroduction)
{
    for (int setting = 0; setting < 2; ++setting) {
        g_VehicleManager.m_bRaceRunning = setting == 0;
        g_CityLogic.m_nScene = setting == 1 ? SCENE_NEW_GAME : SCENE_NONE;
        for (int i = 0; i < 30; ++i)
            g_HumanManager.TrySpawnPedestrian();
        ASSERT_GT(g_HumanManager.m_nHumans, 0u);
        for (std::uint32_t i = 0; i < g_HumanManager.m_nHumans; ++i)
            EXPECT_EQ(g_HumanManager.m_pHumans[i]->m_nAction, ACTION_WALK);
        g_HumanManager.Clear();
    }
    g_CityLogic.m_nScene = SCENE_NONE;
}

TEST_F(HumanTest, SpectatorsLineTheRaceRoute)
{
    // A straight route along a road of the sample city.
    const RouteCell* road = g_Landscape.FindNearestRouteCell(ROUTE_ROAD, &g_VehicleManager.m_vSpawnAnchor, 5);
    ASSERT_NE(road, nullptr);
    for (std::uint32_t i = 0; i < 10; ++i)
        g_VehicleManager.m_RaceRoute[i] = road->m_vPosition + D3DXVECTOR3(0, 0, 8.0f * i);
    g_VehicleManager.m_nRaceRoutePoints = 10;
    // Unrelated pedestrians fill the list: the restart clears it first.
    for (int i = 0; i < HUMAN_MANAGER_CAPACITY; ++i)
        g_HumanManager.CreateHuman(g_HumanModelPaths[0], nullptr, nullptr, 0);
    g_HumanManager.CreateSpectators(1);
    ASSERT_EQ(g_HumanManager.m_nHumans, 12u);
    int left = 0, right = 0;
    for (std::uint32_t i = 0; i < 12; ++i) {
        const CHuman* h = g_HumanManager.m_pHumans[i];
        EXPECT_EQ(h->m_nAction, ACTION_APPLAUD1);
        const float side = h->m_vGround.x - road->m_vPosition.x;
        (side > 0 ? right : left)++;
        EXPECT_GE(std::fabs(side), 4.0f - 0.75f);
        EXPECT_LT(h->m_matWorld._33, -0.9f) << "faces back along the route";
    }
    EXPECT_EQ(left, 6);
    EXPECT_EQ(right, 6);

    // A route too short to face back along places nobody.
    g_HumanManager.Clear();
    g_VehicleManager.m_nRaceRoutePoints = 5;
    g_HumanManager.CreateSpectators(0);
    g_HumanManager.CreateSpectators(1);
    EXPECT_EQ(g_HumanManager.m_nHumans, 0u);

    g_VehicleManager.m_nRaceRoutePoints = 10;
    g_HumanManager.CreateSpectators(0);
    ASSERT_EQ(g_HumanManager.m_nHumans, 12u);
    g_HumanManager.DisperseSpectators();
    int walking = 0;
    for (std::uint32_t i = 0; i < 12; ++i)
        walking += g_HumanManager.m_pHumans[i]->m_nAction == ACTION_WALK;
    EXPECT_GT(walking, 0);
}

} // namespace
