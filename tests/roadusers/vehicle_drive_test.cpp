// The drive steps: steering, engine force and brakes on the car's raycast
// vehicle, the engine sound, which regime moves the car, the kinematic step
// on a slope and the two stops.
#include "vehicle_fixture.h"

#include "game/CityLogic.h"
#include "objects/ParticleEffects.h"
#include "shell/AudioManager.h"
#include "shell/GameSound.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "shell/Settings.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/Prop.h"
#include "world/PropManager.h"
#include "writers/SampleCity.h"

#include <cmath>

namespace {

using test::VehicleTest;

class DriveTest : public VehicleTest {
protected:
    void SetUp() override
    {
        VehicleTest::SetUp();
        m_savedAudio = g_bAudio;
        g_GameTimer.m_fDelta = 1.0f / 60.0f;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        g_CityLogic.m_pCar = nullptr;
    }
    void TearDown() override
    {
        g_bAudio = m_savedAudio;
        g_CityLogic.m_pCar = nullptr;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        g_PropManager.m_nProps = 0;
        g_VehicleManager.m_nCars = 0;
        g_VehicleManager.m_Cars[0] = g_VehicleManager.m_Cars[1] = nullptr;
        g_pPlayerVehicle = nullptr;
        VehicleTest::TearDown();
    }
    // A sample car out of the physics world with round figures, so its
    // speed is whatever the test sets.
    CVehicle* Car(int kind = VEHICLE_TRAFFIC)
    {
        CVehicle* car = Spawned(kind);
        car->m_fPower = 4000.0f;
        car->m_fTransmission = 1.0f;
        car->m_nDriveValue = 0;
        car->m_nDrivenAxle = 1;
        return car;
    }
    static float WheelForce(const CVehicle* car, int i)
    {
        return car->m_pRaycastVehicle->getWheelInfo(i).m_engineForce;
    }
    static float WheelBrake(const CVehicle* car, int i)
    {
        return car->m_pRaycastVehicle->getWheelInfo(i).m_brake;
    }

    int m_savedAudio = 0;
};

TEST(Steering, ReturnsCounterSteersSlowsWithSpeedAndClamps)
{
    const struct {
        const char* name;
        float angle, input, speed, handling, dt, expected;
    } cases[] = {
        {"zero input returns to the centre", 0.3f, 0.0f, 0.0f, 1.0f, 0.1f, 0.3f - 0.068f},
        {"no overshoot past the centre", 0.05f, 0.0f, 0.0f, 2.0f, 0.1f, 0.0f},
        {"no overshoot from the left", -0.05f, 0.0f, 0.0f, 2.0f, 0.1f, 0.0f},
        {"counter-steer returns first", 0.3f, -0.8f, 0.0f, 1.0f, 0.1f, 0.3f - 0.068f - 0.08f},
        {"counter-steer from the left", -0.3f, 0.8f, 0.0f, 1.0f, 0.1f, -0.3f + 0.068f + 0.08f},
        {"standing: full rate", 0.0f, 0.8f, 0.0f, 1.0f, 0.1f, 0.08f},
        {"at 40 km/h half the rate", 0.0f, 0.8f, 40.0f, 1.0f, 0.1f, 0.04f},
        {"reversing at 40 km/h as well", 0.0f, 0.8f, -40.0f, 1.0f, 0.1f, 0.04f},
        {"clamped at 0.8", 0.79f, 0.8f, 0.0f, 1.0f, 0.1f, 0.8f},
        {"clamped at -0.8", -0.79f, -0.8f, 0.0f, 1.0f, 0.1f, -0.8f},
        {"a paused frame changes nothing", 0.3f, -0.8f, 0.0f, 1.0f, 0.0f, 0.3f},
    };
    for (const auto& c : cases) {
        CVehicle car;
        car.m_fSteering = c.angle;
        car.m_fSteerInput = c.input;
        car.m_fSpeed = c.speed;
        car.m_fHandling = c.handling;
        g_GameTimer.m_fDelta = c.dt;
        car.UpdateSteering();
        EXPECT_NEAR(car.m_fSteering, c.expected, 1e-5f) << c.name;
        EXPECT_EQ(car.m_fSteerInput, 0.0f) << c.name;
    }
}

TEST_F(DriveTest, SteeringTurnsTheFrontWheelsOnly)
{
    CVehicle* car = Car();
    car->m_fHandling = 1.0f;
    car->m_fSteerInput = 0.8f;
    car->UpdateSteering();
    const float angle = car->m_fSteering;
    ASSERT_GT(angle, 0.0f);
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(car->m_pRaycastVehicle->getSteeringValue(i), i < 2 ? angle : 0.0f) << i;
}

// Holding the brake from a standstill: full pressure after 0.133 s, then
// reverse force building to minus the power, the rear wheels unbraked while
// they drive backwards and the front wheels never braked.
TEST_F(DriveTest, HeldBrakeTurnsIntoReverse)
{
    CVehicle* car = Car();
    int frame = 0;
    for (; frame < 60 && car->m_fBrake < 100.0f; ++frame) {
        car->m_fBrakeTarget = 100.0f;
        car->UpdateEngine();
        EXPECT_EQ(car->m_fEngineForce, frame < 7 ? 0.0f : car->m_fEngineForce) << frame;
    }
    EXPECT_EQ(frame, 8) << "100 / (100 x 7.5) s at 60 frames a second";
    EXPECT_LT(car->m_fEngineForce, 0.0f);
    float last = car->m_fEngineForce;
    for (int i = 0; i < 120; ++i) {
        car->m_fBrakeTarget = 100.0f;
        car->UpdateEngine();
        EXPECT_LE(car->m_fEngineForce, last);
        EXPECT_GE(car->m_fEngineForce, -car->m_fPower);
        EXPECT_EQ(WheelBrake(car, 2), 0.0f) << "no braking while reversing";
        EXPECT_EQ(WheelBrake(car, 3), 0.0f);
        EXPECT_EQ(WheelBrake(car, 0), 0.0f) << "the front wheels are never braked";
        EXPECT_EQ(WheelForce(car, 2), car->m_fEngineForce);
        EXPECT_EQ(WheelForce(car, 0), 0.0f) << "rear drive only";
        last = car->m_fEngineForce;
    }
    EXPECT_FLOAT_EQ(car->m_fEngineForce, -car->m_fPower) << "2 x 2000 a second reaches the power in 1 s";
    EXPECT_EQ(car->m_fBrakeTarget, 0.0f) << "the driver sets it anew every frame";

    // Already reversing: the force is what is left of the power below 80 km/h.
    car->m_fSpeed = -40.0f;
    car->m_fBrakeTarget = 100.0f;
    car->UpdateEngine();
    EXPECT_FLOAT_EQ(car->m_fEngineForce, -0.5f * car->m_fPower);
    car->m_fSpeed = -100.0f;
    car->m_fBrakeTarget = 100.0f;
    car->UpdateEngine();
    EXPECT_EQ(car->m_fEngineForce, 0.0f);

    // With the hand brake the force goes and the rear wheels hold.
    car->m_fEngineForce = -1000.0f;
    car->m_bHandBrake = 1;
    car->m_fBrakeTarget = 100.0f;
    car->UpdateEngine();
    EXPECT_EQ(car->m_fEngineForce, 0.0f);
    EXPECT_EQ(WheelBrake(car, 2), 100.0f);
    EXPECT_EQ(car->m_fBrakeTarget, 100.0f) << "the hand brake keeps the brake target";
}

TEST_F(DriveTest, ThrottleWhileReversingBrakesFirst)
{
    CVehicle* car = Car();
    car->m_fSpeed = -10.0f;
    car->m_fEngineForce = -2000.0f;
    car->m_fBrake = 50.0f;
    car->m_fThrottleTarget = 2000.0f;
    car->UpdateEngine();
    const float dt = g_GameTimer.m_fDelta;
    EXPECT_NEAR(car->m_fEngineForce, -2000.0f + 2000.0f * dt + 2000.0f * dt * 0.5f, 1e-3f);
    EXPECT_NEAR(car->m_fBrake, 50.0f - 200.0f * dt, 1e-4f);
    // The brake target set this frame keeps the throttle from pushing: the
    // wheels still carry the reverse force, unbraked.
    EXPECT_FLOAT_EQ(WheelForce(car, 2), car->m_fEngineForce);
    EXPECT_EQ(WheelBrake(car, 2), 0.0f);
    EXPECT_EQ(car->m_fBrakeTarget, 0.0f);
}

TEST_F(DriveTest, ThrottleBuildsForceWithABoostBelow50)
{
    const struct {
        float speed, boost;
    } cases[] = {{0.0f, 1.0f + 50.0f * 0.5f / 20.0f}, {20.0f, 1.0f + 30.0f * 0.5f / 20.0f}, {-20.0f, 2.25f},
                 {50.0f, 1.0f}, {90.0f, 1.0f}};
    for (const auto& c : cases) {
        CVehicle* car = Car();
        car->m_fSpeed = c.speed;
        car->m_fThrottleTarget = 2000.0f;
        car->UpdateEngine();
        const float dt = g_GameTimer.m_fDelta;
        EXPECT_FLOAT_EQ(car->m_fEngineForce, dt * 2000.0f) << c.speed;
        EXPECT_FLOAT_EQ(WheelForce(car, 2), car->m_fEngineForce * c.boost) << c.speed;
        EXPECT_EQ(car->m_fThrottleTarget, 0.0f);
    }
    // Capped at the power; above it the throttle is ignored and the force falls.
    CVehicle* car = Car();
    car->m_fEngineForce = 3999.0f;
    car->m_fThrottleTarget = 2000.0f;
    car->UpdateEngine();
    EXPECT_EQ(car->m_fEngineForce, 4000.0f);
    car->m_fEngineForce = 4100.0f;
    car->m_fThrottleTarget = 2000.0f;
    car->UpdateEngine();
    EXPECT_NEAR(car->m_fEngineForce, 4100.0f - 400.0f * g_GameTimer.m_fDelta, 1e-3f);
    // An obstacle ahead of a standing car holds it.
    car->m_bObstacle = 1;
    car->m_fSpeed = 0.5f;
    car->m_fThrottleTarget = 2000.0f;
    car->UpdateEngine();
    EXPECT_EQ(WheelForce(car, 2), 0.0f);
}

TEST_F(DriveTest, DriveFlagsChooseTheWheels)
{
    const struct {
        int front, rear;
    } cases[] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (const auto& c : cases) {
        CVehicle* car = Car();
        car->m_nDriveValue = c.front;
        car->m_nDrivenAxle = c.rear;
        car->m_fThrottleTarget = 2000.0f;
        car->UpdateEngine();
        for (int i = 0; i < 4; ++i) {
            const bool driven = i < 2 ? c.front : c.rear;
            EXPECT_EQ(WheelForce(car, i) > 0.0f, driven) << c.front << c.rear << " wheel " << i;
        }
    }
}

TEST_F(DriveTest, PausedFrameChangesNothing)
{
    CVehicle* car = Car();
    car->m_fEngineForce = 1000.0f;
    car->m_fBrake = 40.0f;
    car->m_fSpeed = 30.0f;
    g_GameTimer.m_fDelta = 0.0f;
    car->m_fThrottleTarget = 2000.0f;
    car->m_fBrakeTarget = 100.0f;
    car->UpdateEngine();
    car->UpdateSpeedModel();
    EXPECT_EQ(car->m_fEngineForce, 1000.0f);
    EXPECT_EQ(car->m_fBrake, 40.0f);
    EXPECT_EQ(car->m_fSpeed, 30.0f);
}

// The gear band gives the load: its position inside the band plus half
// the share of the top speed; below 0.2 the revs drop at once.
TEST_F(DriveTest, EngineSoundFollowsTheGearBand)
{
    CGameSound sound("engine", nullptr, nullptr, 0, 1.0f, 50.0f);
    sound.m_nBaseFrequency = 20000;
    const struct {
        float speed, load, volume;
    } cases[] = {
        {0.0f, 0.0f, 60.0f},
        {19.0f, 0.95f + 0.0095f, 60.0f - 0.57f + 40.0f * 0.9595f},
        {21.0f, 0.05f + 0.0105f, 60.0f - 0.63f + 40.0f * 0.0605f},
        {99.0f, 0.95f + 0.0495f, 60.0f - 2.97f + 40.0f * 0.9995f},
        {119.0f, 1.0f, 60.0f - 3.57f + 40.0f},
        {130.0f, 1.0f, 60.0f - 3.9f + 40.0f},
    };
    g_bAudio = 1;
    for (const auto& c : cases) {
        CVehicle* car = Car();
        car->m_fTopSpeedFigure = 1000.0f;
        car->m_pEngineSound = &sound;
        car->m_fCameraDistance = 10.0f;
        car->m_fSpeed = c.speed;
        // One long frame reaches a higher target; from far above, only a
        // gear change falls all the way in a tenth of a second.
        car->m_fEnginePitch = 20000.0f;
        car->m_fThrottleTarget = 100.0f;
        g_GameTimer.m_fDelta = 1.0f;
        car->UpdateEngine();
        EXPECT_NEAR(car->m_fEnginePitch, 20000.0f * (1.0f + 0.75f * c.load), 0.5f) << c.speed;
        EXPECT_NEAR(car->m_fEngineVolume, c.volume, 1e-3f) << c.speed;
        car->m_fEnginePitch = 60000.0f;
        car->m_fThrottleTarget = 100.0f;
        g_GameTimer.m_fDelta = 0.1f;
        car->UpdateEngine();
        const float target = 20000.0f * (1.0f + 0.75f * c.load);
        EXPECT_NEAR(car->m_fEnginePitch, c.load < 0.2f ? target : 60000.0f - 2000.0f, 0.5f) << c.speed;
        car->m_pEngineSound = nullptr;
    }
    g_GameTimer.m_fDelta = 1.0f / 60.0f;

    // Revving at a standstill, a car without a top speed, and the caps of
    // the player's car.
    CVehicle* car = Car();
    car->m_pEngineSound = &sound;
    car->m_fCameraDistance = 10.0f;
    car->m_fTopSpeedFigure = 0.0f;
    car->m_fSpeed = 21.0f;
    car->m_fThrottleTarget = 100.0f;
    car->UpdateEngine();
    EXPECT_NEAR(car->m_fEngineVolume, 60.0f - 30.0f + 40.0f * 0.55f, 1e-3f) << "no top speed counts as flat out";
    car->m_fTopSpeedFigure = 1000.0f;
    car->m_fSpeed = 0.0f;
    car->m_fEngineForce = 1000.0f;
    car->m_fThrottleTarget = 1000.0f;
    car->UpdateEngine();
    EXPECT_NEAR(car->m_fEngineVolume, 60.0f + 40.0f * 0.5f, 1e-3f);
    g_pPlayerVehicle = car;
    car->m_fSpeed = 19.0f;
    car->m_fThrottleTarget = 100.0f;
    car->UpdateEngine();
    EXPECT_EQ(car->m_fEngineVolume, 70.0f);
    g_CityLogic.m_nScene = 10;
    car->m_fSpeed = 0.0f;
    car->UpdateEngine();
    EXPECT_EQ(car->m_fEngineVolume, 100.0f);
    car->m_pEngineSound = nullptr;
}

TEST_F(DriveTest, PhysicsLevelOfDetail)
{
    CProp bridge;
    bridge.m_nType = GTYPE_BRIDGE;
    bridge.m_fSphereRadius = 5.0f;
    const struct {
        const char* name;
        int kind, aiState;
        float distance;
        int water, touched;
        bool onBridge, nearCar, sceneCar, active, expected;
    } cases[] = {
        {"far traffic stays out", VEHICLE_TRAFFIC, 0, 30.0f, 0, 0, false, false, false, false, false},
        {"near traffic goes in", VEHICLE_TRAFFIC, 0, 19.0f, 0, 0, false, false, false, false, true},
        {"a racer is near up to 60", VEHICLE_TRAFFIC, 3, 59.0f, 0, 0, false, false, false, false, true},
        {"a chaser as well", VEHICLE_TRAFFIC, 4, 59.0f, 0, 0, false, false, false, false, true},
        {"police at any distance", VEHICLE_POLICE, 0, 5000.0f, 0, 0, false, false, false, false, true},
        {"wheels in water", VEHICLE_TRAFFIC, 0, 500.0f, 1, 0, false, false, false, false, true},
        {"on a bridge", VEHICLE_TRAFFIC, 0, 500.0f, 0, 0, true, false, false, false, true},
        {"touching a car", VEHICLE_TRAFFIC, 0, 500.0f, 0, 0, false, true, false, false, true},
        {"far traffic leaves", VEHICLE_TRAFFIC, 0, 30.0f, 0, 0, false, false, false, true, false},
        {"at 20 it stays", VEHICLE_TRAFFIC, 0, 20.0f, 0, 0, false, false, false, true, true},
        {"a racer stays until 60", VEHICLE_TRAFFIC, 3, 59.0f, 0, 0, false, false, false, true, true},
        {"police never leave", VEHICLE_POLICE, 0, 5000.0f, 0, 0, false, false, false, true, true},
        {"wet wheels keep it", VEHICLE_TRAFFIC, 0, 500.0f, 1, 0, false, false, false, true, true},
        {"touched this step", VEHICLE_TRAFFIC, 0, 500.0f, 0, 1, false, false, false, true, true},
        {"the city logic's car", VEHICLE_TRAFFIC, 0, 500.0f, 0, 0, false, false, true, true, true},
        {"a car alongside", VEHICLE_TRAFFIC, 0, 500.0f, 0, 0, false, true, false, true, true},
        {"a bridge under it", VEHICLE_TRAFFIC, 0, 500.0f, 0, 0, true, false, false, true, true},
    };
    for (const auto& c : cases) {
        CVehicle* car = Car(c.kind);
        CVehicle* other = Spawned(VEHICLE_TRAFFIC, "Data/Vehicles/01/Main.obj", D3DXVECTOR3(0, 1, c.nearCar ? 2 : 50));
        other->m_vPosition = D3DXVECTOR3(0.0f, 1.0f, c.nearCar ? 2.0f : 50.0f);
        car->m_vPosition = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
        g_VehicleManager.m_Cars[0] = car;
        g_VehicleManager.m_Cars[1] = other;
        g_VehicleManager.m_nCars = 2;
        bridge.m_vPosition = D3DXVECTOR3(0.0f, 0.0f, c.onBridge ? 3.0f : 100.0f);
        g_PropManager.m_pProps[0] = &bridge;
        g_PropManager.m_nProps = 1;
        g_CityLogic.m_pCar = c.sceneCar ? car : nullptr;
        car->SetPhysicsActive(c.active);
        car->m_nAIState = c.aiState;
        car->m_fCameraDistance = c.distance;
        car->m_nWheelsInWater = c.water;
        car->m_bTouched = c.touched;
        car->UpdatePhysicsLod();
        EXPECT_EQ(car->m_bPhysicsActive != 0, c.expected) << c.name;
        EXPECT_EQ(car->m_bInWorld != 0, c.expected) << c.name;
        car->SetPhysicsActive(0);
    }
    g_PropManager.m_nProps = 0;
}

TEST_F(DriveTest, SpeedModelFollowsTheEngineForce)
{
    const struct {
        const char* name;
        float speed, force, throttle, brake;
        int obstacle, handBrake;
        float expected;
    } cases[] = {
        // dt 0.1: the climb is throttle x 0.025 x dt / (force / 200 + 1).
        {"accelerates", 0.0f, 1000.0f, 2000.0f, 0.0f, 0, 0, 2000.0f * 0.025f * 0.1f / 6.0f},
        {"not past the target", 59.9f, 1000.0f, 2000.0f, 0.0f, 0, 0, 60.0f},
        {"coasts down", 60.0f, 0.0f, 0.0f, 0.0f, 0, 0, 59.0f},
        {"brakes", 60.0f, 1000.0f, 0.0f, 100.0f, 0, 0, 60.0f - 1.0f},
        {"an obstacle stops a crawling car", 0.5f, 1000.0f, 2000.0f, 100.0f, 1, 0, 0.0f},
        {"the hand brake holds", 0.5f, 1000.0f, 2000.0f, 100.0f, 0, 1, 0.0f},
        {"the hand brake slows a fast car", 30.0f, 1000.0f, 0.0f, 100.0f, 0, 1, 30.0f - 1.0f - 1.0f},
    };
    g_GameTimer.m_fDelta = 0.1f;
    for (const auto& c : cases) {
        CVehicle car;
        car.m_fTransmission = 1.0f;
        car.m_fSpeed = c.speed;
        car.m_fEngineForce = c.force;
        car.m_fThrottleTarget = c.throttle;
        car.m_fBrake = c.brake;
        car.m_bObstacle = c.obstacle;
        car.m_bHandBrake = c.handBrake;
        car.UpdateSpeedModel();
        EXPECT_NEAR(car.m_fSpeed, c.expected, 1e-4f) << c.name;
    }
}

// A hill rising to the east, one in four.
void LoadSlope()
{
    tools::LandscapeMaps maps;
    maps.frame.cells = 40;
    maps.frame.sectorsPerSide = 1;
    maps.frame.cellsPerSector = 40;
    for (int row = 0; row < 40; ++row)
        for (int column = 0; column < 40; ++column)
            maps.Altitude(column, row) = 16.0f + static_cast<float>(column);
    ASSERT_TRUE(tools::WriteLandscapeFiles(".", maps, 40));
    ASSERT_NE(g_Landscape.Init(), 0);
}

TEST_F(DriveTest, KinematicStepFollowsTheSlope)
{
    LoadSlope();
    const D3DXVECTOR3 start(0.0f, 30.0f, 0.0f);
    CVehicle* car = Spawned(VEHICLE_TRAFFIC, "Data/Vehicles/01/Main.obj", start);
    car->m_fSpeed = 36.0f; // 10 m/s north, across the slope
    g_GameTimer.m_fDelta = 0.1f;
    car->UpdateMotion();
    const D3DXVECTOR3 at(car->m_matWorld._41, car->m_matWorld._42, car->m_matWorld._43);
    EXPECT_NEAR(at.z, 1.0f, 1e-3f);
    EXPECT_NEAR(at.x, 0.0f, 1e-3f);
    const D3DXVECTOR3* hubs = car->m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART];
    for (int i = 0; i < 4; ++i) {
        D3DXVECTOR3 hub;
        D3DXVec3TransformCoord(&hub, &hubs[i], &car->m_matWorld);
        const float ground = GetExactAltitude(&hub);
        EXPECT_NEAR(hub.y - car->m_fWheelRadius, ground, 0.1f) << "wheel " << i << " stands on the ground";
    }
    const D3DXVECTOR3 up(car->m_matWorld._21, car->m_matWorld._22, car->m_matWorld._23);
    EXPECT_NEAR(Vec3Length(&up), 1.0f, 1e-4f);
    EXPECT_LT(up.x, -0.2f) << "tilted away from the hill";
    EXPECT_NEAR(up.x, -0.25f / std::sqrt(1.0f + 0.0625f), 0.01f);
    // Velocities go to the car and its body; the body sits at the car.
    const D3DXVECTOR3 forward(car->m_matWorld._31, car->m_matWorld._32, car->m_matWorld._33);
    const D3DXVECTOR3 velocity = forward * 10.0f;
    EXPECT_NEAR(Vec3Distance(&car->m_vLinearVelocity, &velocity), 0.0f, 1e-4f);
    EXPECT_NEAR(car->m_pRigidBody->getLinearVelocity().z(), 10.0f * forward.z, 1e-4f);
    EXPECT_EQ(car->m_pRigidBody->getAngularVelocity().length(), 0.0f);
    EXPECT_NEAR(car->m_pRigidBody->getWorldTransform().getOrigin().y(), at.y, 1e-4f);

    // Steering right turns a car going forwards to the right, a reversing
    // one to the left; a crawling car does not turn.
    const struct {
        float speed, sign;
    } turns[] = {{36.0f, 1.0f}, {-36.0f, -1.0f}, {0.05f, 0.0f}};
    for (const auto& t : turns) {
        CVehicle* turning = Spawned(VEHICLE_TRAFFIC, "Data/Vehicles/01/Main.obj", start);
        turning->m_fSpeed = t.speed;
        turning->m_fSteering = 0.5f;
        turning->UpdateMotion();
        const float heading = turning->m_matWorld._31;
        if (t.sign == 0.0f)
            EXPECT_NEAR(heading, 0.0f, 1e-5f);
        else
            EXPECT_NEAR(heading, std::sin(0.05f * 0.1f * 36.0f) * t.sign, 0.01f) << t.speed;
    }
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
}

TEST_F(DriveTest, StopsAndPark)
{
    CVehicle* car = Car();
    car->SetPhysicsActive(1);
    car->m_pRigidBody->setLinearVelocity(btVector3(5, 0, 0));
    car->m_vLinearVelocity = D3DXVECTOR3(5, 0, 0);
    car->m_fSpeed = 18.0f;
    car->m_fEngineForce = 900.0f;
    car->m_fSteering = 0.4f;
    car->SetAIState(2);
    car->SetAIState(3); // pending: the previous state is 2
    car->m_nControlMode = 2;
    car->Park();
    EXPECT_EQ(car->m_fBrake, 100.0f);
    EXPECT_EQ(car->m_fBrakeTarget, 100.0f);
    EXPECT_EQ(car->m_bHandBrake, 1);
    EXPECT_EQ(car->m_nControlMode, 1);
    EXPECT_EQ(car->m_nAIState, 0);
    EXPECT_EQ(car->m_nPrevAIState, 2);
    EXPECT_EQ(car->m_fSpeed, 18.0f) << "the brakes stop a parked car";
    EXPECT_EQ(car->m_pRigidBody->getLinearVelocity().x(), 5.0f);

    car->m_nAIState = 3;
    car->StopImmediately();
    EXPECT_EQ(car->m_fSpeed, 0.0f);
    EXPECT_EQ(car->m_fEngineForce, 0.0f);
    EXPECT_EQ(car->m_fSteering, 0.0f);
    EXPECT_EQ(car->m_vLinearVelocity.x, 0.0f);
    EXPECT_EQ(car->m_pRigidBody->getLinearVelocity().length(), 0.0f);
    EXPECT_EQ(car->m_nAIState, 0);
    EXPECT_EQ(car->m_nPrevAIState, 2) << "the previous state stays";
}

} // namespace

namespace {

TEST_F(DriveTest, DamagedEngineSmokes)
{
    const struct {
        float damage, dt;
        int frames, puffs;
    } cases[] = {{0.25f, 1.0f, 3, 0}, {1.0f, 0.06f, 3, 3}, {1.0f, 0.04f, 3, 1}, {0.5f, 0.1f, 4, 2}};
    for (const auto& c : cases) {
        g_ParticleEffects.Reset();
        CVehicle* car = Car();
        car->m_fBodyDamage = c.damage;
        g_GameTimer.m_fDelta = c.dt;
        for (int i = 0; i < c.frames; ++i)
            car->UpdateEngine();
        EXPECT_EQ(g_ParticleEffects.m_nFlames, c.puffs) << c.damage << " " << c.dt;
    }
    // A model without an engine point makes none.
    g_ParticleEffects.Reset();
    CVehicle* car = Car();
    car->m_fBodyDamage = 1.0f;
    const std::uint32_t points = car->m_pMesh->m_nPoints[VEHICLE_MESH_ENGINE_PART];
    car->m_pMesh->m_nPoints[VEHICLE_MESH_ENGINE_PART] = 0;
    car->UpdateEngine();
    car->m_pMesh->m_nPoints[VEHICLE_MESH_ENGINE_PART] = points;
    EXPECT_EQ(g_ParticleEffects.m_nFlames, 0);
    g_ParticleEffects.Reset();
}

// Wheel points that give no ground plane, or too few of them, leave the
// car's tilt as it was; it still moves.
TEST_F(DriveTest, KinematicStepKeepsTheMatrixWithoutAGroundPlane)
{
    CVehicle* car = Car();
    D3DXVECTOR3* hubs = car->m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART];
    const std::uint32_t count = car->m_pMesh->m_nPoints[VEHICLE_MESH_WHEEL_PART];
    D3DXVECTOR3 saved[4];
    std::copy(hubs, hubs + 4, saved);
    const D3DXMATRIX before = car->m_matWorld;
    const struct {
        const char* name;
        std::uint32_t points;
        bool collapse;
    } cases[] = {{"three wheel points", 3, false}, {"all hubs at one place", count, true}};
    for (const auto& c : cases) {
        car->m_matWorld = before;
        car->m_pMesh->m_nPoints[VEHICLE_MESH_WHEEL_PART] = c.points;
        if (c.collapse)
            std::fill(hubs, hubs + 4, D3DXVECTOR3(0, 0.3f, 0));
        car->m_fSpeed = 36.0f;
        g_GameTimer.m_fDelta = 0.1f;
        car->UpdateMotion();
        std::copy(saved, saved + 4, hubs);
        car->m_pMesh->m_nPoints[VEHICLE_MESH_WHEEL_PART] = count;
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                EXPECT_TRUE(std::isfinite(car->m_matWorld.m[row][col])) << c.name;
        EXPECT_EQ(car->m_matWorld._22, before._22) << c.name;
        EXPECT_NEAR(car->m_matWorld._43, before._43 + 1.0f, 1e-4f) << c.name;
        EXPECT_EQ(car->m_matWorld._42, before._42) << c.name;
    }
}

} // namespace

namespace {

// Near the camera a car borrows an engine sound and starts at its base
// pitch; far away it gives it back. With sound off it asks for none.
TEST_F(DriveTest, EngineSoundIsBorrowedNearAndGivenBackFar)
{
    CGameSound sound("engine", nullptr, nullptr, 0, 1.0f, 50.0f);
    sound.m_nBaseFrequency = 22050;
    PooledSound<CVehicle>& slot = g_AudioManager.m_EngineSounds[3][0];
    slot = {&sound, nullptr};
    CVehicle* car = Car();
    car->m_nEngineSound = 3;
    car->m_fEnginePitch = 1.0f;
    const struct {
        int audio;
        float distance;
        bool lent;
    } steps[] = {{0, 10.0f, false}, {1, 60.0f, false}, {1, 10.0f, true}, {1, 10.0f, true}, {1, 50.0f, false}};
    for (const auto& s : steps) {
        g_bAudio = s.audio;
        car->m_fCameraDistance = s.distance;
        car->UpdateEngine();
        EXPECT_EQ(car->m_pEngineSound == &sound, s.lent) << s.audio << " " << s.distance;
        EXPECT_EQ(slot.pOwner == car, s.lent) << s.audio << " " << s.distance;
    }
    EXPECT_EQ(car->m_fEnginePitch, 22050.0f) << "idling at the base pitch";
    slot = {nullptr, nullptr};
}

} // namespace
