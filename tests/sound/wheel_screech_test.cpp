// The tyre screech of a skidding car through the pooled wheel sounds: one
// squeal while it skids, a new one when the pool gave the old one away,
// silence when it stops skidding.
#include "sound_fixture.h"

#include "objects/WaterCircles.h"
#include "roadusers/Vehicle.h"

#include <btBulletDynamicsCommon.h>

#include <cstdio>
#include <memory>

namespace {

using soundtest::AudioTest;
using soundtest::ToneWav;

// A car body with four raycast wheels in a world of its own.
struct BareCar {
    BareCar()
        : dispatcher(&config), world(&dispatcher, &broadphase, &solver, &config), box(btVector3(1.0f, 0.5f, 2.0f)),
          body(800.0f, nullptr, &box, btVector3(1, 1, 1)), raycaster(&world), vehicle(tuning, &body, &raycaster)
    {
        for (int i = 0; i < 4; ++i)
            vehicle.addWheel(btVector3(i % 2 ? 0.8f : -0.8f, 0.0f, i < 2 ? 1.5f : -1.5f), btVector3(0, -1, 0),
                             btVector3(-1, 0, 0), 0.3f, 0.35f, tuning, i < 2);
        car.m_pRigidBody = &body;
        car.m_pRaycastVehicle = &vehicle;
        car.m_fCameraDistance = 1.0f;
        car.m_fSpeed = 40.0f;
    }
    ~BareCar()
    {
        car.m_pRigidBody = nullptr;
        car.m_pRaycastVehicle = nullptr;
    }
    void Frame(bool skidding)
    {
        for (int i = 0; i < 4; ++i) {
            vehicle.getWheelInfo(i).m_raycastInfo.m_isInContact = true;
            vehicle.getWheelInfo(i).m_skidInfo = skidding ? 0.1f : 1.0f;
        }
        car.UpdateWheels();
    }

    btDefaultCollisionConfiguration config;
    btCollisionDispatcher dispatcher;
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world;
    btBoxShape box;
    btRigidBody body;
    btDefaultVehicleRaycaster raycaster;
    btRaycastVehicle::btVehicleTuning tuning;
    btRaycastVehicle vehicle;
    CVehicle car;
};

class WheelScreechTest : public AudioTest {
protected:
    void SetUp() override
    {
        AudioTest::SetUp();
        for (int n = 1; n <= 14; ++n) {
            char name[64];
            std::snprintf(name, sizeof name, "Data/Audio/WhS%02d.wav", n);
            test::WriteWholeFile(name, ToneWav(300));
        }
        ASSERT_EQ(g_AudioManager.Init(nullptr), S_OK);
        g_WaterCircles.Reset();
        g_GameTimer.m_fRealDelta = 0.1f;
    }
    void TearDown() override
    {
        g_WaterCircles.Reset();
        AudioTest::TearDown();
    }
};

TEST_F(WheelScreechTest, OneSquealWhileSkiddingAndNeverAnotherCars)
{
    auto a = std::make_unique<BareCar>();
    CVehicle& car = a->car;
    a->Frame(true);
    ASSERT_NE(car.m_pWheelSound, nullptr);
    EXPECT_EQ(g_AudioManager.m_WheelSounds[0].pOwner, &car);
    const DWORD index = g_AudioManager.m_nWheelIndex;
    a->Frame(true);
    EXPECT_EQ(g_AudioManager.m_nWheelIndex, index) << "the playing squeal is kept";

    // The pool gave the squeal to another car: this one takes its own.
    CVehicle other;
    g_AudioManager.m_WheelSounds[0].pOwner = &other;
    a->Frame(true);
    EXPECT_EQ(car.m_pWheelSound, g_AudioManager.m_WheelSounds[1].pSound);
    EXPECT_EQ(g_AudioManager.m_WheelSounds[1].pOwner, &car);

    a->Frame(false);
    EXPECT_EQ(car.m_pWheelSound, nullptr);
    EXPECT_EQ(g_AudioManager.m_WheelSounds[1].pOwner, nullptr);
    EXPECT_FALSE(g_AudioManager.m_WheelSounds[1].pSound->IsPlaying());
}

} // namespace
