// Sample cars driving on real physics through the real contact pass: a
// crash into traffic, and a drive that ends against a wall.
#include "vehicle_fixture.h"

#include "game/PlayerStats.h"
#include "objects/ContactHooks.h"
#include "objects/DirectLightsEffect.h"
#include "objects/ParticleEffects.h"
#include "shell/GameTimer.h"
#include "shell/Keywords.h"
#include "world/Landscape.h"
#include "world/PropManager.h"

#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

class CrashTest : public test::VehicleTest {
protected:
    void SetUp() override
    {
        test::VehicleTest::SetUp();
        InstallVehicleContactHook();
        // Whatever landscape another test left loaded, its water stays below
        // this flat ground.
        m_savedHeight = g_Landscape.m_fHeight;
        g_Landscape.m_fHeight = -100.0f;
        std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
        g_ParticleEffects.Reset();
        g_GameTimer.m_fGameTime = 100000.0;
        g_GameTimer.m_fDelta = g_GameTimer.m_fRealDelta = 1.0f / 60.0f;
        g_GameTimer.m_fTimeScale = 1.0f;
        m_groundShape = std::make_unique<btStaticPlaneShape>(btVector3(0, 1, 0), 0.0f);
        m_ground = std::make_unique<btRigidBody>(0.0f, nullptr, m_groundShape.get());
        m_ground->setUserPointer(&g_Landscape); // the terrain, as the contact pass sees it
        g_Game.m_pDynamicsWorld->addRigidBody(m_ground.get());
    }
    void TearDown() override
    {
        for (auto& car : m_cars)
            car->DestroyPhysics();
        g_Game.m_pDynamicsWorld->removeRigidBody(m_ground.get());
        if (m_wallBody)
            g_Game.m_pDynamicsWorld->removeRigidBody(m_wallBody.get());
        g_pfnCarContact = nullptr;
        g_Landscape.m_fHeight = m_savedHeight;
        g_pPlayerVehicle = nullptr;
        g_ParticleEffects.Reset();
        std::memset(&g_PlayerStats, 0, sizeof(g_PlayerStats));
        test::VehicleTest::TearDown();
    }
    // The car steps of one frame for each car, then the physics step and
    // its contact pass.
    void Frame(std::initializer_list<CVehicle*> cars)
    {
        for (CVehicle* car : cars) {
            car->m_fCameraDistance = 0.0f;
            car->UpdateSteering();
            car->UpdateEngine();
            car->UpdatePhysicsLod();
            car->UpdateMotion();
            car->UpdateWheels();
            car->m_bTouched = 0;
        }
        g_Game.StepPhysics();
        g_GameTimer.m_fGameTime += 1000.0 / 60.0;
    }
    CVehicle* Car(int kind, const D3DXVECTOR3& at)
    {
        CVehicle* car = Spawned(kind, "Data/Vehicles/02/Main.obj", at);
        car->SetPhysicsActive(1);
        return car;
    }
    static void Push(CVehicle* car, float metresPerSecond)
    {
        const btVector3 forward = car->m_pRigidBody->getWorldTransform().getBasis() * btVector3(0, 0, 1);
        car->m_pRigidBody->setLinearVelocity(forward * metresPerSecond);
    }
    void AddWall(float z)
    {
        m_wallShape = std::make_unique<btBoxShape>(btVector3(10, 3, 0.5f));
        btTransform at;
        at.setIdentity();
        at.setOrigin(btVector3(0, 3, z));
        m_wallBody = std::make_unique<btRigidBody>(0.0f, nullptr, m_wallShape.get());
        m_wallBody->setWorldTransform(at);
        m_wall.m_nType = GTYPE_STATIC;
        m_wall.m_nClass = GCLASS_STATIC;
        m_wallBody->setUserPointer(&m_wall);
        g_Game.m_pDynamicsWorld->addRigidBody(m_wallBody.get());
    }

    std::unique_ptr<btCollisionShape> m_groundShape, m_wallShape;
    std::unique_ptr<btRigidBody> m_ground, m_wallBody;
    CStaticObject m_wall;
    float m_savedHeight = 0.0f;
};

// The pass reports a crash on every step the cars touch: it is booked once.
TEST_F(CrashTest, CrashIntoTrafficBooksOneIncident)
{
    CVehicle* player = Car(VEHICLE_PLAYER, D3DXVECTOR3(0, 0.6f, 0));
    g_pPlayerVehicle = player;
    player->m_nControlMode = 2;
    CVehicle* traffic = Car(VEHICLE_TRAFFIC, D3DXVECTOR3(0, 0.6f, 15));
    for (int i = 0; i < 30; ++i)
        Frame({player, traffic});
    // How hard a crash counts is measured against both cars' top speeds: for
    // the player's first car, 70 km/h into a standing car is an incident.
    Push(player, 70.0f / 3.6f);
    for (int i = 0; i < 120; ++i)
        Frame({player, traffic});
    EXPECT_EQ(g_PlayerStats.m_nRoadIncidents, 1);
    EXPECT_GT(g_PlayerStats.m_fCriminalLevel, 0.0125f * 0.25f);
    EXPECT_LE(g_PlayerStats.m_fCriminalLevel, 0.0125f);
    EXPECT_GT(player->GetMeanDeformation(), 0.0f);
    EXPECT_GT(traffic->GetMeanDeformation(), 0.0f);
    EXPECT_GT(traffic->m_vPosition.z, 15.5f) << "the traffic car was pushed on";
}

TEST_F(CrashTest, ScriptedDriveAcceleratesTurnsBrakesAndCrashes)
{
    CVehicle* car = Car(VEHICLE_PLAYER, D3DXVECTOR3(0, 0.6f, 0));
    g_pPlayerVehicle = car;
    for (int i = 0; i < 30; ++i)
        Frame({car});
    float last = 0.0f;
    for (int i = 0; i < 180; ++i) {
        car->m_fThrottleTarget = 2000.0f;
        Frame({car});
        if (i % 30 == 29) {
            EXPECT_GT(car->m_fSpeed, last) << "still accelerating after " << i << " frames";
            last = car->m_fSpeed;
        }
    }
    EXPECT_GT(car->m_fSpeed, 20.0f);
    EXPECT_GT(car->m_vPosition.z, 10.0f);
    EXPECT_NEAR(car->m_matWorld._31, 0.0f, 0.05f) << "straight on";
    for (int i = 0; i < 30; ++i) {
        car->m_fThrottleTarget = 2000.0f;
        car->m_fSteerInput = 0.8f;
        Frame({car});
    }
    EXPECT_GT(car->m_matWorld._31, 0.05f) << "turned right";
    int frames = 0;
    for (; frames < 400 && car->m_fSpeed > 1.0f; ++frames) {
        car->m_fBrakeTarget = 100.0f;
        Frame({car});
    }
    EXPECT_LT(frames, 400) << "the brakes stop the car";
    car->Park();
    for (int i = 0; i < 60; ++i)
        Frame({car});
    EXPECT_LT(std::fabs(car->m_fSpeed), 1.0f);
    EXPECT_LT(car->m_pRigidBody->getLinearVelocity().length(), 0.5f);
    EXPECT_EQ(car->GetMeanDeformation(), 0.0f) << "driving on the ground dents nothing";

    // Straight into a wall.
    AddWall(car->m_vPosition.z + 12.0f);
    const D3DXVECTOR3 at(car->m_vPosition.x, 0.6f, car->m_vPosition.z), target = at + D3DXVECTOR3(0, 0, 10),
                      up(0, 1, 0);
    car->Spawn(&at, &target, &up, 2, VEHICLE_PLAYER, 0);
    for (int i = 0; i < 20; ++i)
        Frame({car});
    Push(car, 20.0f);
    for (int i = 0; i < 90; ++i)
        Frame({car});
    EXPECT_GT(car->GetMeanDeformation(), 0.0f);
    EXPECT_GT(g_PlayerStats.m_fDamageTotal, 0.0f);
    const CLightsEffect& head = car->m_pDirectLights->m_Head;
    int dark = 0;
    for (std::uint32_t i = 0; i < head.m_nCount; ++i)
        dark += head.m_pSizes[i] == D3DXVECTOR3(0, 0, 0);
    EXPECT_GT(dark, 0) << "a head lamp broke";
    EXPECT_GT(g_ParticleEffects.m_nSparks, 0);
}

// A traffic car on the sample city's street: far from the camera it drives
// on the speed model along the ground, near it takes its body into the
// physics world and stands on its wheels, and leaves it again far away.
TEST_F(CrashTest, SampleCarSwitchesRegimesOnTheSampleCity)
{
    g_Landscape.Release();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    const int loaded = g_Landscape.Init();
    std::filesystem::current_path(previous);
    ASSERT_EQ(loaded, 1);
    g_Landscape.Update();
    m_savedHeight = g_Landscape.m_fHeight;

    D3DXVECTOR3 at(226.0f, 0.0f, -730.0f);
    at.y = GetExactAltitude(&at) + 1.0f;
    CVehicle* car = Spawned(VEHICLE_TRAFFIC, "Data/Vehicles/01/Main.obj", at);
    car->m_fTransmission = 1.0f;
    auto drive = [&](float cameraDistance, int frames) {
        for (int i = 0; i < frames; ++i) {
            car->m_fThrottleTarget = 1000.0f;
            if (!car->m_bPhysicsActive)
                car->UpdateSpeedModel();
            car->UpdateSteering();
            car->UpdateEngine();
            car->m_fCameraDistance = cameraDistance;
            car->UpdatePhysicsLod();
            car->UpdateMotion();
            car->UpdateWheels();
            car->m_bTouched = 0;
            g_Game.StepPhysics();
            g_GameTimer.m_fGameTime += 1000.0 / 60.0;
        }
    };
    auto onGround = [&](float tolerance) {
        for (int i = 0; i < 4; ++i) {
            D3DXVECTOR3 hub;
            D3DXVec3TransformCoord(&hub, &car->m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART][i], &car->m_matWorld);
            EXPECT_NEAR(hub.y - car->m_fWheelRadius, GetExactAltitude(&hub), tolerance) << "wheel " << i;
        }
    };
    drive(100.0f, 120);
    EXPECT_EQ(car->m_bPhysicsActive, 0);
    EXPECT_GT(car->m_fSpeed, 5.0f);
    EXPECT_GT(car->m_vPosition.z, at.z + 2.0f) << "north along the street";
    onGround(0.05f);

    drive(5.0f, 60);
    EXPECT_EQ(car->m_bPhysicsActive, 1);
    EXPECT_EQ(car->m_nWheelsInContact, 4);
    onGround(0.3f);
    const float z = car->m_vPosition.z;
    drive(5.0f, 30);
    EXPECT_GT(car->m_vPosition.z, z) << "still driving on its body";

    drive(100.0f, 2);
    EXPECT_EQ(car->m_bPhysicsActive, 0);
    EXPECT_EQ(car->m_bInWorld, 0);
    for (auto& owned : m_cars)
        owned->DestroyPhysics();
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
}

} // namespace
