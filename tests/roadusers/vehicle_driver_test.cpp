// The drivers: speed law and over-steer, the player's keys with the
// criminal level and arrest, the AI transitions, route ends and the trail.
#include "vehicle_fixture.h"

#include "game/CityLogic.h"
#include "game/PlayerStats.h"
#include "roadusers/DriverSteps.h"
#include "shell/GameTimer.h"
#include "shell/Input.h"

#include <cmath>

namespace {

using test::VehicleTest;

constexpr float kDt = 1.0f / 60.0f;

class DriverTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        g_GameTimer.m_fDelta = g_GameTimer.m_fRealDelta = kDt;
        g_PlayerStats = CPlayerStats{};
        g_CityLogic.SetScene(0, nullptr, nullptr);
    }
    void TearDown() override
    {
        for (int* key : {&g_bActAccelerate, &g_bActBrake, &g_bActTurnLeft, &g_bActTurnRight, &g_bActHandBrake})
            *key = 0;
        g_VehicleManager.m_nCars = 0;
        std::fill(std::begin(g_VehicleManager.m_Cars), std::end(g_VehicleManager.m_Cars), nullptr);
        g_pPlayerVehicle = nullptr;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        VehicleTest::TearDown();
    }
    // A car listed with the manager (the fixture frees it).
    CVehicle* Listed(int kind, D3DXVECTOR3 at = {0, 1, 0})
    {
        CVehicle* car = Spawned(kind, "Data/Vehicles/01/Main.obj", at);
        g_VehicleManager.AddVehicle(car);
        return car;
    }
    // The player's car, listed and under the player's control.
    CVehicle* Player()
    {
        CVehicle* car = Listed(VEHICLE_PLAYER);
        g_pPlayerVehicle = car;
        car->SetControlMode(2);
        return car;
    }
    // A police car chasing the player with its body wrecked.
    CVehicle* WreckedPursuer(D3DXVECTOR3 at)
    {
        CVehicle* police = Listed(VEHICLE_POLICE, at);
        police->SetAIState(AI_STATE_PURSUIT);
        police->m_fBodyDamage = 1.0f;
        return police;
    }
    // A straight route north from the car's position.
    static void StraightRoute(CVehicle* car, std::uint32_t points, std::uint32_t index = 0)
    {
        for (std::uint32_t i = 0; i < points; ++i)
            car->m_Route[i] = car->m_vPosition + D3DXVECTOR3(0.0f, 0.0f, 8.0f * static_cast<float>(i + 1));
        car->m_nRoutePoints = points;
        car->m_nRouteIndex = index;
    }
};

TEST_F(DriverTest, SpeedLawAndOverSteerLimit)
{
    CVehicle* car = Spawned(VEHICLE_TRAFFIC);
    struct Law {
        float s, v, throttle, brake;
    } const laws[] = {
        {45.0f, 0.0f, 2000.0f, 0.0f},  {45.0f, 45.0f, 0.0f, 0.0f}, {45.0f, 90.0f, 0.0f, 50.0f},
        {45.0f, -9.0f, 2400.0f, 0.0f}, {0.0f, 10.0f, 0.0f, 100.0f}, {0.0f, -5.0f, 0.0f, 0.0f},
    };
    for (const Law& c : laws) {
        SCOPED_TRACE(testing::Message() << "s " << c.s << " v " << c.v);
        car->m_fThrottleTarget = car->m_fBrakeTarget = 0.0f;
        ApplySpeedLaw(*car, c.s, c.v);
        EXPECT_NEAR(car->m_fThrottleTarget, c.throttle, 1e-3f);
        EXPECT_NEAR(car->m_fBrakeTarget, c.brake, 1e-3f);
        EXPECT_TRUE(std::isfinite(car->m_fThrottleTarget) && std::isfinite(car->m_fBrakeTarget));
    }
    struct Steer {
        float x, z, steering, wantSteering;
        bool inputCleared;
    } const steers[] = {
        {-0.5f, 1.0f, -0.6f, -0.4f, true},  {-0.5f, 1.0f, -0.3f, -0.3f, false}, {0.5f, 1.0f, 0.6f, 0.4f, true},
        {0.5f, 1.0f, 0.1f, 0.1f, false},   {-0.5f, -1.0f, -0.6f, -0.6f, false},
    };
    for (const Steer& c : steers) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << " z " << c.z << " steering " << c.steering);
        car->m_fSteering = c.steering;
        car->m_fSteerInput = 0.7f;
        LimitOverSteer(*car, D3DXVECTOR3(c.x, 0.0f, c.z));
        EXPECT_FLOAT_EQ(car->m_fSteering, c.wantSteering);
        EXPECT_EQ(car->m_fSteerInput == 0.0f, c.inputCleared);
    }
}

TEST_F(DriverTest, PlayerKeysSetTheTargets)
{
    CVehicle* car = Player();
    struct Keys {
        int accelerate, brake, handBrake, left, right;
        float throttle, brakeTarget, steer;
    } const cases[] = {
        {0, 0, 0, 0, 0, 0.0f, 0.0f, 0.0f},       {1, 0, 0, 0, 0, 2000.0f, 0.0f, 0.0f},
        {0, 1, 0, 0, 0, 0.0f, 100.0f, 0.0f},     {0, 0, 1, 0, 0, 0.0f, 100.0f, 0.0f},
        {0, 0, 0, 1, 0, 0.0f, 0.0f, -0.8f},      {0, 0, 0, 0, 1, 0.0f, 0.0f, 0.8f},
        {0, 0, 0, 1, 1, 0.0f, 0.0f, 0.8f}, // both held: right wins
    };
    for (const Keys& c : cases) {
        g_bActAccelerate = c.accelerate;
        g_bActBrake = c.brake;
        g_bActHandBrake = c.handBrake;
        g_bActTurnLeft = c.left;
        g_bActTurnRight = c.right;
        car->UpdatePlayerInput();
        EXPECT_EQ(car->m_fThrottleTarget, c.throttle);
        EXPECT_EQ(car->m_fBrakeTarget, c.brakeTarget);
        EXPECT_EQ(car->m_bHandBrake, c.handBrake);
        EXPECT_EQ(car->m_fSteerInput, c.steer);
    }
    car->SetControlMode(1);
    g_bActAccelerate = 1;
    car->m_fThrottleTarget = 0.0f;
    car->UpdatePlayerInput();
    EXPECT_EQ(car->m_fThrottleTarget, 0.0f) << "no keys without player control";
}

TEST_F(DriverTest, CriminalLevelArrestTimerAndArrest)
{
    CVehicle* car = Player();
    CVehicle* police = Listed(VEHICLE_POLICE, {0, 1, 30});
    police->SetAIState(AI_STATE_PURSUIT);
    struct Case {
        const char* what;
        float level, gap, speed;
        bool pursuer, grows;
    } const cases[] = {
        {"no pursuer: the level falls", 0.5f, 0.0f, 0.0f, false, false},
        {"pursuer at 7.9", 0.5f, 7.9f, 0.0f, true, true},
        {"pursuer at 8.0", 0.5f, 8.0f, 0.0f, true, false},
        {"speed 9.9", 0.5f, 4.0f, 9.9f, true, true},
        {"speed 10.0", 0.5f, 4.0f, 10.0f, true, false},
        {"level at 0.25", 0.25f, 4.0f, 0.0f, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        police->m_vPosition = c.pursuer ? car->m_vPosition + D3DXVECTOR3(c.gap, 0.0f, 0.0f)
                                        : car->m_vPosition + D3DXVECTOR3(500.0f, 0.0f, 0.0f);
        car->m_fSpeed = c.speed;
        g_PlayerStats.m_fCriminalLevel = c.level;
        g_PlayerStats.m_fArrestTimer = 1.0f;
        car->UpdatePlayerInput();
        EXPECT_FLOAT_EQ(g_PlayerStats.m_fArrestTimer, c.grows ? 1.0f + kDt : 0.0f);
        EXPECT_EQ(g_PlayerStats.m_bPursuit, c.pursuer ? 1 : 0);
        EXPECT_FLOAT_EQ(g_PlayerStats.m_fCriminalLevel, c.pursuer ? c.level : c.level - kDt * 0.025f);
    }

    // Held long enough the arrest scene is asked for, once: the scene stops
    // the car and takes the player's control.
    police->m_vPosition = car->m_vPosition + D3DXVECTOR3(4.0f, 0.0f, 0.0f);
    car->m_fSpeed = 0.0f;
    g_PlayerStats.m_fCriminalLevel = 0.5f;
    g_PlayerStats.m_fArrestTimer = 5.0f - kDt / 2.0f;
    car->UpdatePlayerInput();
    EXPECT_EQ(g_CityLogic.m_nScene, 60);
    EXPECT_EQ(g_CityLogic.m_pCar, car);
    EXPECT_EQ(g_PlayerStats.m_nArrests, 1);
    car->StopImmediately();
    EXPECT_EQ(car->m_nControlMode, 1);
    car->UpdateBehaviour();
    EXPECT_EQ(g_PlayerStats.m_nArrests, 1);
}

// Alone and stuck a traffic car backs off, then drives on; stuck behind a
// car it waits.
TEST_F(DriverTest, TrafficBacksOffOnlyWhenStuckAlone)
{
    CVehicle* car = Listed(VEHICLE_TRAFFIC);
    car->SetAIState(AI_STATE_TRAFFIC);
    StraightRoute(car, 20);
    int frames = 0;
    for (; car->m_nAIState == AI_STATE_TRAFFIC && frames < 200; ++frames) {
        car->m_fSpeed = 0.0f;
        car->m_fEngineForce = 100.0f;
        car->DriveTraffic();
    }
    EXPECT_EQ(car->m_nAIState, AI_STATE_BACKOFF);
    EXPECT_NEAR(frames * kDt, 1.0f, 2.5f * kDt);
    frames = 0;
    for (; car->m_nAIState == AI_STATE_BACKOFF && frames < 300; ++frames) {
        car->BackOff();
        EXPECT_EQ(car->m_fBrakeTarget, 100.0f);
    }
    EXPECT_EQ(car->m_nAIState, AI_STATE_TRAFFIC);
    EXPECT_NEAR(frames * kDt, 2.0f, 2.5f * kDt);

    CVehicle* ahead = Listed(VEHICLE_TRAFFIC, car->m_vPosition + D3DXVECTOR3(0.0f, 0.0f, 6.0f));
    StraightRoute(ahead, 20);
    for (int i = 0; i < 200; ++i) {
        car->m_fSpeed = 0.0f;
        car->m_fEngineForce = 100.0f;
        car->DriveTraffic();
        ASSERT_EQ(car->m_nAIState, AI_STATE_TRAFFIC) << "frame " << i;
    }
    EXPECT_EQ(car->m_bObstacle, 1);
    EXPECT_EQ(car->m_fStuckTimer, 0.0f);
}

// The work counts its smoke puffs, one each 0.1 s of game time, so it lasts
// as long at any frame rate.
TEST_F(DriverTest, WorkshopWorkLastsItsTimeWhateverTheFrameRate)
{
    CVehicle* car = Spawned(VEHICLE_PLAYER);
    struct Case {
        int state;
        float fraction;
        float seconds; // from the first puff to the last
    } const cases[] = {{AI_STATE_REPAIR, 0.5f, 1.1f}, {AI_STATE_REPAIR, 0.0f, 0.5f}, {AI_STATE_PAINT, 0.0f, 2.1f}};
    for (const float fps : {60.0f, 144.0f})
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << fps << " fps, state " << c.state << " fraction " << c.fraction);
            const float dt = 1.0f / fps;
            g_GameTimer.m_fDelta = dt;
            g_GameTimer.m_fGameTime = 50000.0;
            car->SetAIState(AI_STATE_HOLD);
            car->SetAIState(c.state);
            car->m_fRepairFraction = c.fraction;
            float worked = 0.0f;
            for (int frame = 0; car->m_nAIState == c.state && frame < 1000; ++frame) {
                c.state == AI_STATE_REPAIR ? car->DriveWorkshopRepair() : car->DriveWorkshopPaint();
                g_GameTimer.m_fGameTime += dt * 1000.0;
                worked += dt;
            }
            EXPECT_EQ(car->m_nAIState, AI_STATE_HOLD);
            // The last puff's frame counts too, and each wait may end up to
            // a frame late.
            EXPECT_GE(worked, c.seconds);
            EXPECT_LE(worked, c.seconds * 1.1f + dt);
        }
}

TEST_F(DriverTest, DisabledPoliceCarPaysOnceAndNoPlayerMeansTraffic)
{
    CVehicle* player = Player();
    CVehicle* police = WreckedPursuer({0, 1, 15});
    for (int i = 0; i < 3; ++i)
        police->UpdateBehaviour();
    EXPECT_EQ(g_PlayerStats.m_nMoney, 200);
    EXPECT_EQ(g_PlayerStats.m_nEarningsTotal, 200);
    EXPECT_EQ(g_PlayerStats.m_nRatingPoints, 1);
    EXPECT_EQ(police->m_nKind, VEHICLE_TRAFFIC);
    EXPECT_NE(police->m_nAIState, AI_STATE_PURSUIT);

    // An empty trail: the chaser aims ahead of the player instead.
    CVehicle* chaser = Listed(VEHICLE_POLICE, {0, 1, -30});
    chaser->SetAIState(AI_STATE_PURSUIT);
    player->m_nTrailPoints = 0;
    chaser->m_fReplanTimer = 0.0f;
    chaser->DrivePursuit();
    EXPECT_TRUE(std::isfinite(chaser->m_vSteerTarget.z));
    EXPECT_GE(chaser->m_vSteerTarget.z, player->m_vPosition.z - 1e-3f);

    g_pPlayerVehicle = nullptr;
    chaser->DrivePursuit();
    EXPECT_EQ(chaser->m_nAIState, AI_STATE_TRAFFIC);
}

// A police car wrecked in the chase stops pursuing: standing still beside
// it for longer than an arrest takes, the player is not arrested and the
// criminal level falls as without a pursuer.
TEST_F(DriverTest, WreckedPoliceCarNoLongerHoldsThePlayer)
{
    CVehicle* player = Player();
    CVehicle* police = WreckedPursuer({0, 1, 4});
    police->DrivePursuit();
    ASSERT_EQ(police->m_nKind, VEHICLE_TRAFFIC);
    EXPECT_EQ(g_VehicleManager.FindPursuingPolice(&player->m_vPosition, 60.0f), nullptr);

    g_PlayerStats.m_fCriminalLevel = 0.5f;
    player->m_fSpeed = 0.0f;
    const int steps = static_cast<int>(6.0f / kDt);
    for (int i = 0; i < steps; ++i)
        player->UpdatePlayerInput();
    EXPECT_EQ(g_PlayerStats.m_nArrests, 0);
    EXPECT_NE(g_CityLogic.m_nScene, 60);
    EXPECT_EQ(g_PlayerStats.m_fArrestTimer, 0.0f);
    EXPECT_EQ(g_PlayerStats.m_bPursuit, 0);
    EXPECT_LT(g_PlayerStats.m_fCriminalLevel, 0.5f);
}

// Short routes with the index at their last points never step past the
// count; the advanced index stays on the route.
TEST_F(DriverTest, RouteEndsStayInsideTheRoute)
{
    CVehicle* car = Listed(VEHICLE_RIVAL);
    car->m_fHandling = 0.0f; // the look-ahead must not divide by it
    car->m_fTopSpeedFigure = 100.0f;
    for (std::uint32_t count : {2u, 3u})
        for (std::uint32_t index : {count - 2, count - 1}) {
            SCOPED_TRACE(testing::Message() << "count " << count << " index " << index);
            StraightRoute(car, count, index);
            for (std::uint32_t i = count; i < count + 4; ++i)
                car->m_Route[i] = D3DXVECTOR3(NAN, NAN, NAN); // poison past the end
            car->m_fSpeed = 30.0f;
            car->DriveRace();
            EXPECT_LT(car->m_nRouteIndex, count);
            EXPECT_TRUE(std::isfinite(car->m_vSteerTarget.x) && std::isfinite(car->m_fSteerInput));
            StraightRoute(car, count, index);
            car->m_Route[count] = D3DXVECTOR3(NAN, NAN, NAN);
            car->UpdateRaceProgress();
            EXPECT_LT(car->m_nRouteIndex, count);
        }
}

TEST_F(DriverTest, TrailKeepsAPointEveryFourUnits)
{
    CVehicle* car = Listed(VEHICLE_PLAYER);
    g_pPlayerVehicle = car;
    car->m_nTrailPoints = 0;
    for (int step = 0; step <= 60; ++step) {
        car->m_vPosition = D3DXVECTOR3(0.0f, 1.0f, static_cast<float>(step));
        car->UpdateTrail();
    }
    ASSERT_EQ(car->m_nTrailPoints, VEHICLE_TRAIL_SIZE);
    for (int i = 0; i + 1 < VEHICLE_TRAIL_SIZE; ++i)
        EXPECT_NEAR(car->m_Trail[i].z - car->m_Trail[i + 1].z, 4.0f, 1e-4f);
}

} // namespace
