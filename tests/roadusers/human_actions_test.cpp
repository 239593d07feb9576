// Animation, walking, the car check, fading and leaving, applause, the taxi
// set-up and the waiting count.
#include "human_fixture.h"

namespace {

using test::HumanTest;

struct AdvanceCase {
    float frame, step, rate;
    int first, last;
    float expected;
    int shown;
};

TEST(HumanAnimation, AdvanceWrapsResetsAndClamps)
{
    const AdvanceCase cases[] = {
        {2.0f, 0.08f, 1.0f, 2, 9, 3.0f, 3},     // one frame on
        {9.5f, 0.08f, 1.0f, 2, 9, 2.5f, 2},     // past the last frame: wraps into the loop
        {0.0f, 0.08f, 1.0f, 2, 9, 2.0f, 2},     // before the loop: starts it
        {0.0f, 1.0f, 0.0f, 0, 0, 0.0f, 0},      // an empty action shows frame 0 forever
        {2.0f, 1.0f, 1.0f, 2, 3, 12.5f, 3},     // a step longer than the loop is shown as its last frame
    };
    for (const AdvanceCase& c : cases) {
        int shown = -1;
        EXPECT_FLOAT_EQ(AdvanceHumanAnimation(c.frame, c.step, c.rate, c.first, c.last, &shown), c.expected);
        EXPECT_EQ(shown, c.shown);
    }
}

TEST(HumanAnimation, WaitingRunsUpThenBackDown)
{
    float rate = 1.0f, frame = 14.0f;
    int shown = 0;
    std::vector<int> seen;
    for (int i = 0; i < 12; ++i) {
        frame = AdvanceWaitingAnimation(frame, 0.04f, &rate, 14, 15, &shown);
        seen.push_back(shown);
        EXPECT_GE(frame, 14.0f);
        EXPECT_LT(frame, 16.0f);
    }
    // Up to 15, turns at 16 to 14.9, down to 14 and up again.
    EXPECT_EQ(seen[0], 14);
    EXPECT_EQ(seen[1], 15);
    EXPECT_EQ(seen[2], 15);
    EXPECT_EQ(seen[3], 14); // turned at 16 to 14.9
    const bool wentUpAgain = std::find(seen.begin() + 3, seen.end(), 15) != seen.end();
    EXPECT_TRUE(wentUpAgain);
}

TEST_F(HumanTest, AWalkerFollowsItsPathAndStandsStillWithoutOne)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* h = Make(start, ACTION_WALK);
    // A straight path along +z, one point every 2 units.
    h->m_nWalkPath = 20;
    for (std::uint32_t i = 0; i < 20; ++i)
        h->m_WalkPath[i] = start + D3DXVECTOR3(0, 0, 2.0f * (i + 1));
    for (int f = 0; f < 90; ++f)
        g_HumanManager.Update();
    ASSERT_EQ(g_HumanManager.m_nHumans, 1u);
    const float walked = h->m_vGround.z - start.z;
    EXPECT_NEAR(walked, h->m_fWalkSpeed * 3.0f, 0.3f);
    EXPECT_LT(h->m_nWalkPath, 20u);
    EXPECT_GT(h->m_nFrame, 1u);

    h->m_nWalkPath = 0;
    const D3DXVECTOR3 before = h->m_vGround;
    for (int f = 0; f < 10; ++f)
        h->Update();
    EXPECT_EQ(h->m_vGround.x, before.x);
    EXPECT_EQ(h->m_vGround.z, before.z);
}

TEST_F(HumanTest, AWalkerAtTheEndOfItsPathExtendsItAndWalksOn)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    const D3DXVECTOR3 far = start + D3DXVECTOR3(1000, 0, 0);
    ASSERT_EQ(g_Landscape.MakeRandomWalkwayRoute(g_SpawnRoute, &g_nSpawnRoute, &start, &far, 4, 4, 20, 0.0f), 1);
    ASSERT_GT(g_nSpawnRoute, 3u);
    const D3DXVECTOR3 ahead = g_SpawnRoute[2];
    struct Case {
        const char* name;
        std::uint32_t points; // the first under the walker's feet
    } const cases[] = {{"left with its last two points", 2}, {"three points, the first reached", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHuman* h = Make(start, ACTION_WALK);
        h->m_nWalkPath = c.points;
        h->m_WalkPath[0] = start;
        h->m_WalkPath[1] = c.points == 2 ? ahead : g_SpawnRoute[1];
        if (c.points == 3)
            h->m_WalkPath[2] = ahead;
        h->Update();
        EXPECT_GT(h->m_nWalkPath, 2u) << "the path grows again along the walkways";
        for (int f = 0; f < 60; ++f)
            h->Update();
        EXPECT_GT(Vec3Distance(&h->m_vGround, &start), h->m_fWalkSpeed * 0.5f) << "it walks on";
        g_HumanManager.Clear();
    }
    // Two points on one spot give no heading; the step still ends.
    CHuman* h = Make(start, ACTION_WALK);
    h->m_nWalkPath = 2;
    h->m_WalkPath[0] = start;
    h->m_WalkPath[1] = start;
    h->Update();
    EXPECT_GE(h->m_nWalkPath, 2u);
}

TEST_F(HumanTest, TheCarCheckPicksPaceAndLaneFromTheCarsSpeed)
{
    struct Case {
        float speed;
        int action;
    };
    const Case cases[] = {{9.9f, ACTION_WALK}, {10.0f, ACTION_WALK}, {10.1f, ACTION_RUN}, {-5.0f, ACTION_WALK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        const D3DXVECTOR3 start = test::KerbPoint();
        CHuman* h = Make(start, ACTION_WALK);
        h->m_nWalkPath = 1;
        h->m_WalkPath[0] = start + D3DXVECTOR3(0, 0, 50);
        CVehicle car;
        AddCar(&car, start + D3DXVECTOR3(1.0f, 0, 0), c.speed);
        g_GameTimer.m_fDelta = 0.21f;
        h->Update();
        EXPECT_EQ(h->m_nAction, c.action);
        EXPECT_GT(h->m_nWalkPath, 1u) << "a new route away from the car";
        // The walk keeps its animation when the pace stays the same.
        const float frame = h->m_fFrame;
        h->Update();
        if (c.action == ACTION_WALK) {
            EXPECT_GT(h->m_fFrame, frame);
        }
        g_VehicleManager.m_nCars = 0;
        g_HumanManager.Clear();
    }
}

TEST_F(HumanTest, FadeAndLeavingFollowTheDistances)
{
    CWorldCamera camera;
    const D3DXVECTOR3 start = test::KerbPoint();
    g_Game.m_pCamera = &camera;
    CHuman* h = Make(start);
    struct Case {
        float cameraDistance;
        float alpha;
    };
    for (const Case c : {Case{10.0f, 1.0f}, Case{32.5f, 1.0f}, Case{41.25f, 0.5f}, Case{50.0f, 0.0f}}) {
        camera.m_vEye = h->m_vPosition + D3DXVECTOR3(c.cameraDistance + h->m_fSphereRadius, 0, 0);
        h->Update();
        EXPECT_NEAR(h->m_Material.Diffuse.a, c.alpha, 1e-4f) << c.cameraDistance;
    }
    g_VehicleManager.m_vSpawnAnchor = h->m_vPosition + D3DXVECTOR3(0, 0, 62.49f);
    h->Update();
    EXPECT_EQ(h->m_bAlive, 1);
    g_VehicleManager.m_vSpawnAnchor = h->m_vPosition + D3DXVECTOR3(0, 0, 62.5f);
    g_HumanManager.Update();
    EXPECT_EQ(g_HumanManager.m_nHumans, 0u);
}

TEST_F(HumanTest, SpectatorsFaceThePlayerAndGoHomeWhenItIsFar)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* h = Make(start, ACTION_APPLAUD1);
    CVehicle player;
    player.m_vPosition = start + D3DXVECTOR3(120.0f, 0, 0);
    g_pPlayerVehicle = &player;
    for (int i = 0; i < 30; ++i)
        h->Update();
    EXPECT_TRUE(h->m_nAction == ACTION_APPLAUD1 || h->m_nAction == ACTION_APPLAUD2);
    EXPECT_GT(h->m_matWorld._31, 0.99f) << "faces the car along +x";
    player.m_vPosition = h->m_vGround + D3DXVECTOR3(120.1f, 0, 0);
    h->Update();
    EXPECT_EQ(h->m_nAction, ACTION_WALK);

    // With no player's car nothing holds a spectator.
    g_pPlayerVehicle = nullptr;
    CHuman* other = Make(start, ACTION_APPLAUD2);
    other->Update();
    EXPECT_EQ(other->m_nAction, ACTION_WALK);
}

TEST_F(HumanTest, WaitingForATaxiMakesAJobOrWalks)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* h = Make(start);
    ASSERT_TRUE(WaitForTaxi(h));
    EXPECT_EQ(g_TaxiJob.m_pPassenger, h);
    EXPECT_GE(Vec3Distance(&g_TaxiJob.m_vLandingPoint, &start), 200.0f);
    EXPECT_GT(g_TaxiJob.m_fRouteLength, 0.0f);
    EXPECT_FLOAT_EQ(g_TaxiJob.m_fOfferedFare, g_TaxiJob.m_fRouteLength * 1.5f);
    EXPECT_FLOAT_EQ(g_TaxiJob.m_fFare, g_TaxiJob.m_fOfferedFare);
    EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, 1);
    EXPECT_EQ(h->m_fFrame, 14.0f);

    // Far from any walkway (out in the lake or the fields) the set-up fails:
    // the job is empty and the pedestrian walks.
    const D3DXVECTOR3 nowhere(-1150.0f, 0.0f, -1150.0f);
    ASSERT_EQ(g_Landscape.FindNearestRouteCell(ROUTE_WALKWAY, &nowhere, 2), nullptr);
    CHuman* lost = Make(nowhere, ACTION_WAITCAR);
    EXPECT_EQ(lost->m_nAction, ACTION_WALK);
    EXPECT_EQ(g_TaxiJob.m_pPassenger, nullptr);
    EXPECT_EQ(g_TaxiJob.m_fRouteLength, 0.0f);
    EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, 1);
}

TEST_F(HumanTest, TheWaitingCountFollowsSetUpsAndNeverGoesNegative)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    const D3DXVECTOR3 nowhere(-1150.0f, 0.0f, -1150.0f);
    // Asking again while waiting is counted again (set-ups, not
    // pedestrians); a failed set-up changes nothing.
    CHuman* a = Make(start);
    int expected = 0;
    for (int i = 0; i < 40; ++i) {
        a->SetAction(ACTION_WAITCAR);
        expected += a->m_nAction == ACTION_WAITCAR;
        EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, expected);
    }
    ASSERT_GE(expected, 2);
    CHuman* b = Make(nowhere, ACTION_WAITCAR);
    EXPECT_EQ(b->m_nAction, ACTION_WALK);
    b->SetAction(ACTION_RUN);
    EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, expected);
    ASSERT_TRUE(WaitForTaxi(a));
    const int waiting = g_HumanManager.m_nWaitingPassengers;
    a->SetAction(ACTION_WALK);
    EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, waiting - 1);
    ASSERT_TRUE(WaitForTaxi(a));
    g_HumanManager.m_nWaitingPassengers = 0;
    g_HumanManager.RemoveHuman(a);
    EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, 0);
    ASSERT_TRUE(WaitForTaxi(Make(start)));
    g_HumanManager.Clear();
    EXPECT_EQ(g_HumanManager.m_nWaitingPassengers, 0);
}

TEST_F(HumanTest, AWaitingPedestrianOffersARideOnlyToAStoppedPlayer)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* h = Make(start);
    ASSERT_TRUE(WaitForTaxi(h));
    g_TaxiJob.m_pPassenger = nullptr;
    // No car: it only waits, however long.
    h->m_fActionTimer = 5.0f;
    h->Update();
    EXPECT_EQ(g_GameInterface.m_PopupMenuPanel.m_nPopupMode, POPUP_NONE);
    CVehicle player;
    player.m_vPosition = h->m_vGround + D3DXVECTOR3(1.0f, 0, 0);
    player.m_fSphereRadius = 2.0f;
    player.m_nControlMode = 2;
    player.m_fSpeed = 10.0f;
    g_pPlayerVehicle = &player;
    h->Update();
    EXPECT_EQ(g_GameInterface.m_PopupMenuPanel.m_nPopupMode, POPUP_NONE);
    player.m_fSpeed = -3.0f;
    h->Update();
    EXPECT_EQ(g_GameInterface.m_PopupMenuPanel.m_nPopupMode, POPUP_TAXI_OFFER);
    EXPECT_EQ(g_TaxiJob.m_pPassenger, h);
    g_PlayerStats.m_bPursuit = 1;
    h->Update();
    EXPECT_EQ(h->m_nAction, ACTION_WALK);
}

TEST_F(HumanTest, ReleaseLeavesNoPointerBehind)
{
    const D3DXVECTOR3 start = test::KerbPoint();
    CHuman* h = Make(start);
    ASSERT_TRUE(WaitForTaxi(h));
    g_pMechanic = h;
    g_pPlayerFigure = h;
    g_GameInterface.m_pDialogueSpeaker = h;
    g_HumanManager.RemoveHuman(h);
    EXPECT_EQ(g_TaxiJob.m_pPassenger, nullptr);
    EXPECT_EQ(g_pMechanic, nullptr);
    EXPECT_EQ(g_pPlayerFigure, nullptr);
    EXPECT_EQ(g_GameInterface.m_pDialogueSpeaker, nullptr);
}

} // namespace
