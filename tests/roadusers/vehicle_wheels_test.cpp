// The wheel step on a sample car's real raycast vehicle: drawn wheel
// matrices, skid marks, dust, grip, water and the sinking player's car.
#include "vehicle_fixture.h"

#include "game/CityLogic.h"
#include "graphics/WorldCamera.h"
#include "objects/ParticleEffects.h"
#include "objects/WaterCircles.h"
#include "shell/GameTimer.h"
#include "shell/VectorHelpers.h"
#include "world/Landscape.h"
#include "world/Sky.h"

#include <cmath>

namespace {

class WheelsTest : public test::VehicleTest {
protected:
    void SetUp() override
    {
        test::VehicleTest::SetUp();
        g_WaterCircles.Reset();
        g_ParticleEffects.Reset();
        g_Landscape.m_fHeight = 0.0f; // water at 0, under the car
        g_GameTimer.m_fRealDelta = 0.02f;
        g_GameTimer.m_fTimeScale = 1.0f;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        m_savedCamera = g_Game.m_pCamera;
        m_car = Spawned(VEHICLE_PLAYER);
        ASSERT_NE(m_car->m_pRaycastVehicle, nullptr);
        m_car->SetPhysicsActive(1);
        PlaceAt(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 0.0f);
    }
    void TearDown() override
    {
        g_Game.m_pCamera = m_savedCamera;
        g_Landscape.m_fHeight = 0.0f;
        g_CityLogic.SetScene(0, nullptr, nullptr);
        g_WaterCircles.Reset();
        g_ParticleEffects.Reset();
        g_Sky.m_fDaylight = 1.0f;
        test::VehicleTest::TearDown();
    }

    // The body at position, turned by yaw about y; the car's matrix follows.
    void PlaceAt(const D3DXVECTOR3& position, float yaw, float roll = 0.0f)
    {
        btTransform t;
        t.setIdentity();
        t.setRotation(btQuaternion(btVector3(0, 1, 0), yaw) * btQuaternion(btVector3(0, 0, 1), roll));
        t.setOrigin(btVector3(position.x, position.y, position.z));
        m_car->m_pRigidBody->setWorldTransform(t);
        m_car->m_pRigidBody->setCenterOfMassTransform(t);
        m_car->m_pRigidBody->setInterpolationWorldTransform(t);
        m_car->m_pRigidBody->getMotionState()->setWorldTransform(t);
        m_car->m_pRigidBody->updateInertiaTensor();
        BtTransformToMatrix(&t, &m_car->m_matWorld);
        m_car->m_vPosition = position;
    }

    // Contact and skid value of every wheel, as the physics step leaves them.
    void SetWheels(bool contact, float skid)
    {
        for (int i = 0; i < 4; ++i) {
            btWheelInfo& w = m_car->m_pRaycastVehicle->getWheelInfo(i);
            w.m_raycastInfo.m_isInContact = contact;
            w.m_skidInfo = skid;
        }
    }

    // The physics wheel transform with the drawn side offset and lift.
    D3DXVECTOR3 ExpectedPlace(int i, float lift)
    {
        D3DXMATRIX m;
        BtTransformToMatrix(&m_car->m_pRaycastVehicle->getWheelTransformWS(i), &m);
        const D3DXVECTOR3 right(m_car->m_matWorld._11, m_car->m_matWorld._12, m_car->m_matWorld._13);
        const D3DXVECTOR3 side = right * (m_car->m_fWheelWidth * 0.4f) * ((i == 0 || i == 2) ? 1.0f : -1.0f);
        return D3DXVECTOR3(m._41, m._42 - lift, m._43) + side;
    }

    CVehicle* m_car = nullptr;
    CWorldCamera* m_savedCamera = nullptr;
};

// How far the drawn wheel stands from where it should.
float Miss(const D3DXMATRIX& m, const D3DXVECTOR3& expected)
{
    const D3DXVECTOR3 place(m._41, m._42, m._43);
    return Vec3Distance(&place, &expected);
}

TEST_F(WheelsTest, WheelMatricesFollowThePhysicsWheels)
{
    const struct {
        const char* name;
        bool inWorld;
        float wear;
    } cases[] = {{"in the world", true, 0.0f}, {"out of the world", false, 0.0f}, {"worn", true, 0.6f}};
    for (const auto& c : cases) {
        m_car->SetPhysicsActive(c.inWorld ? 1 : 0);
        PlaceAt(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 0.3f);
        for (float& w : m_car->m_WheelWear)
            w = c.wear;
        m_car->UpdateWheels();
        const float lift = c.inWorld ? 0.0f : m_car->m_vCentreOffset.y;
        for (int i = 0; i < 4; ++i) {
            const D3DXMATRIX& drawn = m_car->m_WheelMatrices[i];
            const D3DXVECTOR3 expected = ExpectedPlace(i, lift);
            EXPECT_LT(Miss(drawn, expected), 1e-4f) << c.name << " " << i;
            D3DXMATRIX physics;
            BtTransformToMatrix(&m_car->m_pRaycastVehicle->getWheelTransformWS(i), &physics);
            // The rows turn by the wear about the wheel's own third row.
            const D3DXVECTOR3 first(drawn._11, drawn._12, drawn._13), unworn(physics._11, physics._12, physics._13);
            const float turned = std::acos(std::clamp(D3DXVec3Dot(&first, &unworn), -1.0f, 1.0f));
            EXPECT_NEAR(turned, c.wear * 0.15f, 1e-3f) << c.name << " " << i;
            EXPECT_NEAR(drawn._33 - physics._33, 0.0f, 1e-5f) << c.name << " " << i;
        }
    }
}

// One wheel through the skid states: too slow, gripping, airborne, the first
// point at once, 0.05 s spacing, a pause longer than 0.5 s, a full pool.
TEST_F(WheelsTest, SkidMarksStartSpaceAndStop)
{
    const struct {
        const char* name;
        float speed, skid;
        bool contact;
        float dt;
        int points;     // on wheel 0's strip afterwards; -1: no strip
        bool newStrip;  // a strip other than the last one
    } steps[] = {
        {"20 km/h", 20.0f, 0.2f, true, 0.02f, -1, false},
        {"gripping", 30.0f, 0.5f, true, 0.02f, -1, false},
        {"in the air", 30.0f, 0.2f, false, 0.02f, -1, false},
        {"sliding: first point", 30.0f, 0.2f, true, 0.02f, 1, true},
        {"0.02 s later", 30.0f, 0.2f, true, 0.02f, 1, false},
        {"0.04 s later", 30.0f, 0.2f, true, 0.02f, 1, false},
        {"0.06 s later", 30.0f, 0.2f, true, 0.02f, 2, false},
        {"after a 0.6 s pause", 30.0f, 0.2f, true, 0.6f, 1, true},
    };
    CSkidTrail* last = nullptr;
    for (const auto& s : steps) {
        m_car->m_fSpeed = -s.speed; // reversing skids alike
        g_GameTimer.m_fRealDelta = s.dt;
        SetWheels(s.contact, s.skid);
        m_car->UpdateWheels();
        CSkidTrail* strip = m_car->m_pSkidMark[0];
        if (s.points < 0) {
            EXPECT_EQ(strip, nullptr) << s.name;
            continue;
        }
        ASSERT_NE(strip, nullptr) << s.name;
        EXPECT_EQ(int(strip->m_nPoints), s.points) << s.name;
        EXPECT_EQ(strip != last, s.newStrip) << s.name;
        EXPECT_FLOAT_EQ(strip->m_fIntensities[0], 1.0f - 2.0f * s.skid) << s.name;
        last = strip;
    }

    // A full pool gives no mark.
    m_car->m_pSkidMark[0] = nullptr;
    g_WaterCircles.Reset();
    std::uint32_t ticket = 0;
    while (g_WaterCircles.AllocSkidTrail(&ticket)) {
    }
    SetWheels(true, 0.2f);
    m_car->UpdateWheels();
    EXPECT_EQ(m_car->m_pSkidMark[0], nullptr);
}

// A strip the pool took back (after 10 s) is never written again: the wheel
// takes a new one. Laying a point leaves the drawn wheels where they are.
TEST_F(WheelsTest, FreedStripIsDroppedAndWheelsStayPut)
{
    m_car->m_fSpeed = 40.0f;
    SetWheels(true, 0.0f);
    m_car->UpdateWheels();
    CSkidTrail* first = m_car->m_pSkidMark[0];
    ASSERT_NE(first, nullptr);
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 expected = ExpectedPlace(i, 0.0f);
        EXPECT_LT(Miss(m_car->m_WheelMatrices[i], expected), 1e-4f) << i;
    }

    first->Update(11.0f); // the pool frees it
    ASSERT_EQ(first->m_bActive, 0u);
    g_GameTimer.m_fRealDelta = 0.1f;
    SetWheels(true, 0.0f);
    m_car->UpdateWheels();
    ASSERT_NE(m_car->m_pSkidMark[0], nullptr);
    EXPECT_TRUE(m_car->m_pSkidMark[0]->m_bActive);
    EXPECT_EQ(m_car->m_pSkidMark[0]->m_nTicket, m_car->m_nSkidTicket[0]);
    EXPECT_EQ(m_car->m_pSkidMark[0]->m_nPoints, 1u);
    // Two wheels never hold one strip.
    for (int i = 1; i < 4; ++i)
        EXPECT_NE(m_car->m_pSkidMark[i], m_car->m_pSkidMark[0]) << i;
}

TEST_F(WheelsTest, DustAtTheRoadsEdge)
{
    const struct {
        float roadFactor, speed, daylight;
        bool contact;
        int puffs; // one per wheel
        float brightness;
    } cases[] = {
        {0.25f, 30.0f, 1.0f, true, 4, 1.0f},  {0.0f, 30.0f, 1.0f, true, 0, 0.0f},
        {0.5f, 30.0f, 1.0f, true, 0, 0.0f},   {0.25f, 10.0f, 1.0f, true, 0, 0.0f},
        {0.25f, 30.0f, 1.0f, false, 0, 0.0f}, {0.25f, 30.0f, 0.1f, true, 4, 0.25f},
    };
    for (const auto& c : cases) {
        g_ParticleEffects.Reset();
        for (float& t : m_car->m_fEffectTimer)
            t = 0.2f;
        m_car->m_fRoadFactor = c.roadFactor;
        m_car->m_fSpeed = c.speed;
        g_Sky.m_fDaylight = c.daylight;
        SetWheels(c.contact, 1.0f);
        m_car->UpdateWheels();
        ASSERT_EQ(g_ParticleEffects.m_nDust, c.puffs) << c.roadFactor << " " << c.speed;
        if (c.puffs == 0)
            continue;
        const CDustParticle& dust = g_ParticleEffects.m_Dust[0];
        // Brown, darker at night (the pool lightens every channel alike).
        EXPECT_NEAR(dust.m_BaseColour.r - dust.m_BaseColour.b, 0.3f * c.brightness, 1e-5f);
        EXPECT_NEAR(dust.m_vPosition.y, GetExactAltitude(&dust.m_vPosition), 1e-3f);
        EXPECT_EQ(m_car->m_fEffectTimer[0], 0.0f);
    }
}

TEST_F(WheelsTest, GripFollowsTheRoad)
{
    const struct {
        float roadFactor, share;
    } cases[] = {{0.0f, 0.5f}, {0.1f, 0.75f}, {0.2f, 1.0f}, {0.9f, 1.0f}};
    for (const auto& c : cases) {
        m_car->m_fRoadFactor = c.roadFactor;
        m_car->UpdateWheels();
        for (int i = 0; i < 4; ++i)
            EXPECT_FLOAT_EQ(m_car->m_pRaycastVehicle->getWheelInfo(i).m_frictionSlip,
                            c.share * (i < 2 ? m_car->m_fFrontGrip : m_car->m_fRearGrip))
                << c.roadFactor << " " << i;
    }
}

// Wheels under water count, and each pushes up at its own point turned into
// world axes: a rolled car turned a quarter round rights itself about the
// world's axes, not its model's.
TEST_F(WheelsTest, SunkWheelsLiftTheCarAtTheirPoints)
{
    PlaceAt(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 1.5707963f, 0.3f);
    m_car->m_vPosition.y = 100.0f; // the body itself above the water
    g_Landscape.m_fHeight = 25.0f;  // water at 2
    m_car->m_pRigidBody->setAngularVelocity(btVector3(0, 0, 0));
    m_car->UpdateWheels();
    EXPECT_EQ(m_car->m_nWheelsInWater, 4);
    btVector3 torque(0, 0, 0);
    const btMatrix3x3& basis = m_car->m_pRigidBody->getWorldTransform().getBasis();
    for (int i = 0; i < 4; ++i) {
        const D3DXVECTOR3 p = m_car->m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART][i];
        const float depth = 2.0f - m_car->m_WheelMatrices[i]._42;
        torque += (basis * btVector3(p.x, p.y, p.z)).cross(btVector3(0, 10.0f * depth, 0));
    }
    const btVector3 expected = m_car->m_pRigidBody->getInvInertiaTensorWorld() * torque;
    ASSERT_GT(expected.length(), 1e-4f);
    EXPECT_LT((m_car->m_pRigidBody->getAngularVelocity() - expected).length(), 1e-4f * expected.length() + 1e-6f);
}

// The player's car in the lake: dragged and lifted, normal speed, no scene,
// one orbit of the camera round it that later frames do not restart.
TEST_F(WheelsTest, PlayersCarSinkingInTheLake)
{
    g_pPlayerVehicle = m_car;
    CWorldCamera camera{};
    camera.m_nMode = 1;
    g_Game.m_pCamera = &camera;
    g_Landscape.m_fHeight = 25.0f; // water at 2, the body centre at 1
    g_GameTimer.m_fTimeScale = 0.25f;
    g_CityLogic.SetScene(40, m_car, nullptr);
    m_car->m_pRigidBody->setLinearVelocity(btVector3(2.0f, -1.0f, 0.0f));
    m_car->UpdateWheels();

    const float k = m_car->m_fBaseMass, inverse = m_car->m_pRigidBody->getInvMass();
    const btVector3 v = m_car->m_pRigidBody->getLinearVelocity();
    EXPECT_NEAR(v.x(), 2.0f - 0.1f * k * 2.0f * inverse, 1e-4f);
    EXPECT_NEAR(v.y(), -1.0f + ((2.0f - 1.0f) * 0.25f * k + 0.025f * k) * inverse, 1e-4f);
    EXPECT_EQ(g_GameTimer.m_fTimeScale, 1.0f);
    EXPECT_EQ(g_CityLogic.m_nScene, 0);
    EXPECT_EQ(camera.m_nMode, 4);
    EXPECT_EQ(camera.m_pTarget, m_car);
    EXPECT_EQ(std::fabs(camera.m_fOrbitRate), 0.5f);

    g_CityLogic.SetScene(40, m_car, nullptr);
    camera.m_fOrbitRate = 0.0f;
    m_car->UpdateWheels();
    EXPECT_EQ(g_CityLogic.m_nScene, 40) << "not restarted while the camera circles";
    EXPECT_EQ(camera.m_fOrbitRate, 0.0f);
}

// Flying off in the trick scene does not start it again.
TEST_F(WheelsTest, RunningTrickSceneIsNotRestarted)
{
    g_pPlayerVehicle = m_car;
    SetWheels(false, 1.0f);
    m_car->m_vLinearVelocity = D3DXVECTOR3(0.0f, 8.0f, 12.0f);
    g_CityLogic.SetScene(50, nullptr, nullptr);
    m_car->UpdateWheels();
    EXPECT_EQ(g_CityLogic.m_nScene, 50);
    EXPECT_EQ(g_CityLogic.m_pCar, nullptr);
}

TEST_F(WheelsTest, CarWithoutRaycastVehicleSkipsTheStep)
{
    CVehicle bare;
    bare.m_nWheelsInContact = bare.m_nWheelsInWater = 3;
    bare.UpdateWheels();
    EXPECT_EQ(bare.m_nWheelsInContact, 0);
    EXPECT_EQ(bare.m_nWheelsInWater, 0);
}

} // namespace
