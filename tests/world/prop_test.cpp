// City props: their own description part, placing with shop entrances, the
// physics rule, street lamps, and the showroom's refusal of a short mesh.
#include "world/prop_fixture.h"

#include "objects/LightsEffect.h"
#include "objects/MaterialEffects.h"
#include "platform/sound/SoundBackend.h"
#include "roadusers/VehicleManager.h"
#include "shell/AudioManager.h"
#include "writers/VehicleModels.h"
#include "writers/WavWriter.h"

#include <cstdlib>

namespace {

using test::PropTest;

// Sub-part lines are a 32-character key, a 5-character mass and the mesh
// name from column 37.
TEST_F(PropTest, OwnPartReadsMassSubPartsAndSound)
{
    WriteMeshes();
    struct Case {
        const char* what;
        const char* cls;
        const char* type;
        const char* path;
        float mass;
        int parts;       // sub-part lines written
        unsigned seed;   // random draws decide which landscape parts stay
        float wantMass;
        int wantParts;   // -1: about half (landscape class)
        bool wantSound;
    };
    const Case cases[] = {
        {"decor with three parts", "GCLASS_STATIC", "GTYPE_DECORS", "Data/Test/Decor.obj", 40.0f, 3, 1, 40.0f, 3,
         false},
        {"lamp", "GCLASS_STATIC", "GTYPE_LAMPPOST", "Data/Test/Lamp.obj", 120.0f, 1, 1, 120.0f, 1, false},
        {"building reads no mass", "GCLASS_STATIC", "GTYPE_BUILDING", "Data/Test/House.obj", 99.0f, 0, 1, 0.0f, 0,
         false},
        {"board with sound", "GCLASS_STATIC", "GTYPE_DECORS", "Data/Test/InfoScreen/Main1.obj", 0.0f, 0, 1, 0.0f,
         0, true},
        {"sound only under InfoScreen", "GCLASS_STATIC", "GTYPE_DECORS", "Data/Test/Board.obj", 0.0f, 0, 1, 0.0f, 0,
         false},
        {"landscape decor keeps about half", "GCLASS_LANDSCAPE", "GTYPE_DECORS", "Data/Test/Park.obj", 0.0f, 60,
         7, 0.0f, -1, false},
    };
    tools::WriteWav("Data/Test/Hum.wav", tools::WavFormat{}, std::vector<float>(512, 0.1f));
    // A silent sound device, so that a board's sound loads.
    plat::SetSoundBackend(plat::SoundBackendKind::Silent);
    g_bAudio = 1;
    g_AudioManager = CAudioManager();
    ASSERT_EQ(g_AudioManager.Init(nullptr), S_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tools::PropText text;
        text.head = HeadOf(c.cls, c.type);
        text.mass = c.mass;
        for (int i = 0; i < c.parts; ++i)
            text.parts.push_back({2.5f, "Data/Test/Lamp.msh"});
        text.sound = "Data/Test/Hum.wav";
        WriteProp(c.path, text);
        std::srand(c.seed);
        CProp prop;
        prop.Load(c.path, 0);
        EXPECT_EQ(prop.m_fMass, c.wantMass);
        if (c.wantParts >= 0) {
            EXPECT_EQ(prop.m_nParts, static_cast<std::uint32_t>(c.wantParts));
        } else {
            EXPECT_GT(prop.m_nParts, 15u);
            EXPECT_LT(prop.m_nParts, 45u);
        }
        for (std::uint32_t j = 0; j < prop.m_nParts; ++j) {
            ASSERT_NE(prop.m_pPartModels[j]->m_pMesh, nullptr) << "the mesh name starts at column 37";
            EXPECT_FLOAT_EQ(prop.m_pPartMasses[j], 2.5f);
        }
        EXPECT_EQ(prop.m_pSound != nullptr, c.wantSound);
        prop.Release();
    }
    g_AudioManager.Release();
    g_bAudio = 0;
}

// The count comes from the file: it is capped, and a count beyond the lines
// that follow stops where the entry ends.
TEST_F(PropTest, SubPartCountIsCappedAndStopsAtTheEnd)
{
    WriteMeshes();
    struct Case {
        int declared, written;
        std::uint32_t want;
    } const cases[] = {{100, 70, PROP_MAX_PARTS}, {50, 2, 2}, {-3, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.declared);
        tools::PropText text;
        text.head = HeadOf("GCLASS_STATIC", "GTYPE_DECORS");
        for (int i = 0; i < c.written; ++i)
            text.parts.push_back({1.0f, "Data/Test/Lamp.msh"});
        std::string bytes = tools::EncodePropDescription(text);
        const std::string count = tools::PadKey("Parts") + std::to_string(c.written);
        bytes.replace(bytes.find(count), count.size(), tools::PadKey("Parts") + std::to_string(c.declared));
        WriteDescription("Data/Test/Many.obj", bytes);
        CProp prop;
        prop.Load("Data/Test/Many.obj", 0);
        EXPECT_EQ(prop.m_nParts, c.want);
        prop.Release();
    }
}

TEST_F(PropTest, PropWithoutMeshBuildsAndDrawsNothing)
{
    tools::PropText text;
    text.head = HeadOf("GCLASS_STATIC", "GTYPE_DECORS", "Data/Test/Missing.msh");
    text.mass = 10.0f;
    text.parts = {{1.0f, "Data/Test/Missing.msh"}};
    WriteProp("Data/Test/NoMesh.obj", text);
    CProp* prop = Add("Data/Test/NoMesh.obj", D3DXVECTOR3(0, 0, 0));
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(prop->m_pRigidBody, nullptr);
    EXPECT_EQ(prop->m_pPartBodies[0], nullptr);
    EyeAt(prop, 1.0f);
    prop->Update();
    prop->SetActive(false);
    prop->SetActive(true);
    prop->Render(0);
    EXPECT_EQ(prop->m_bInWorld, 0);
}

// Buildings reach as far as half their footprint's diagonal around the
// placement point, and shops list their entrance once per placement.
TEST_F(PropTest, PlacingBuildingsRegistersShopEntrances)
{
    WriteMeshes();
    struct Case {
        const char* path;
        const char* mesh;
        std::uint32_t workshops, carShops, carShopFlag;
    } const cases[] = {
        {"Data/Static/Buildings/WorkShops/T/Main.obj", "Data/Test/Workshop.msh", 1, 0, 0},
        {"Data/Static/Buildings/AvtoShops/T/Main.obj", "Data/Test/CarShop.msh", 0, 1, 1},
        {"Data/Static/Buildings/AvtoShops/T2/Main.obj", "Data/Test/CarShop2.msh", 0, 1, 1},
        {"Data/Static/Buildings/AvtoShops/T3/Main.obj", "Data/Test/Building.msh", 0, 0, 0},
        {"Data/Static/Buildings/Plain/Main.obj", "Data/Test/Workshop.msh", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        g_PropManager.Init();
        tools::PropText text;
        text.head = HeadOf("GCLASS_LANDSCAPE", "GTYPE_BUILDING", c.mesh);
        WriteProp(c.path, text);
        const D3DXVECTOR3 at(100, 16, -50);
        CProp* prop = Add(c.path, at, D3DXVECTOR3(-1, 0, 0));
        ASSERT_NE(prop, nullptr);
        EXPECT_EQ(g_PropManager.m_nWorkShops, c.workshops);
        EXPECT_EQ(g_PropManager.m_nCarShops, c.carShops);
        EXPECT_EQ(prop->m_bCarShop, c.carShopFlag);
        EXPECT_EQ(prop->m_vPosition, at);
        const D3DXVECTOR3 size = prop->m_pMesh->m_pBoxSizes[0][0];
        EXPECT_FLOAT_EQ(prop->m_fSphereRadius, std::sqrt(size.x * size.x + size.z * size.z) / 2);
        if (c.workshops + c.carShops) {
            // Facing west, the entrance 14 ahead lies 14 west of the middle.
            const D3DXVECTOR3 e = c.workshops ? g_PropManager.m_WorkShops[0] : g_PropManager.m_CarShops[0];
            EXPECT_NEAR(e.x, 86.0f, 1e-4f);
            EXPECT_NEAR(e.y, 16.7f, 1e-4f);
            EXPECT_NEAR(e.z, -50.0f, 1e-4f);
        }
        // Two places only: no showroom, and no car is made.
        if (c.carShopFlag && std::string(c.mesh) == "Data/Test/CarShop2.msh") {
            prop->CreateShowroomCars();
            EXPECT_EQ(prop->m_nCars, 0u);
        }
        g_PropManager.Clear();
    }
}

// No car model loads here: the showroom stays empty and counts no car,
// near or far.
TEST_F(PropTest, ShowroomKeepsOnlyCarsThatLoad)
{
    CProp* shop = AddBuilding("Data/Static/Buildings/AvtoShops/T/Main.obj", "Data/Test/CarShop.msh");
    ASSERT_EQ(shop->m_bCarShop, 1u);
    EyeAt(shop, 50.0f);
    shop->Update();
    EXPECT_EQ(shop->m_nCars, 0u);
    for (CVehicle* car : shop->m_pCars)
        EXPECT_EQ(car, nullptr);
    EyeAt(shop, 90.0f);
    shop->Update();
    EXPECT_EQ(shop->m_nCars, 0u);
}

class ShowroomTest : public PropTest {
protected:
    // A car shop at the origin facing west, its showroom filled with the
    // sample cars.
    CProp* SampleCarShop()
    {
        WriteMeshes();
        for (const tools::SampleFile& f : tools::SampleVehicleFiles())
            WriteRaw(f.path, f.bytes);
        tools::PropText text;
        text.head = HeadOf("GCLASS_LANDSCAPE", "GTYPE_BUILDING", "Data/Test/CarShop.msh");
        WriteProp("Data/Static/Buildings/AvtoShops/T/Main.obj", text);
        CProp* shop = Add("Data/Static/Buildings/AvtoShops/T/Main.obj", D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(-1, 0, 0));
        shop->CreateShowroomCars();
        return shop;
    }
};

// With the sample cars at hand the showroom fills its three places, each
// car on its own place facing out of the shop; a car taken out leaves the
// others in order, and a purchase swaps the bought car to the entrance.
TEST_F(ShowroomTest, ShowroomFillsThePlacesAndSwapsAPurchase)
{
    // Facing west: the places lie 22 west of the middle, 10 apart along z.
    CProp* shop = SampleCarShop();
    ASSERT_EQ(shop->m_nCars, 3u);
    for (int i = 0; i < 3; ++i) {
        const CVehicle* car = shop->m_pCars[i];
        SCOPED_TRACE(i);
        EXPECT_NEAR(car->m_matWorld._41, -22.0f, 1e-3f);
        EXPECT_NEAR(car->m_matWorld._43, 10.0f * static_cast<float>(i - 1), 1e-3f);
        const float bottom = car->m_pMesh->m_pBoxes[12][0].vMin.y;
        EXPECT_NEAR(car->m_matWorld._42, 0.7f - 1.5f * bottom, 1e-3f) << "set by its own collision part";
        EXPECT_NEAR(car->m_matWorld._31, 1.0f, 1e-3f) << "facing away from the shop";
    }
    CVehicle* middle = shop->m_pCars[1];
    CVehicle* last = shop->m_pCars[2];
    shop->RemoveCar(middle);
    ASSERT_EQ(shop->m_nCars, 2u);
    EXPECT_EQ(shop->m_pCars[1], last);
    EXPECT_EQ(shop->m_pCars[2], nullptr);
    CVehicle* bought = last;
    CVehicle* other = middle;
    shop->PlaceCars(&bought, &other);
    EXPECT_EQ(shop->m_pCars[1], middle) << "the traded car takes the place";
    EXPECT_EQ(other, last) << "the caller's second pointer names the bought car";
    EXPECT_NEAR(last->m_matWorld._41, -14.0f, 1e-3f) << "the bought car waits at the entrance";
    EXPECT_NEAR(last->m_matWorld._31, -1.0f, 1e-3f) << "facing out";
    shop->ReleaseCars();
    EXPECT_EQ(shop->m_nCars, 0u);
    last->Release();
    delete last;
}

// A showroom on a slope: once in the physics world the cars hold on their
// brakes instead of rolling off their places.
TEST_F(PropTest, ShowroomCarsStandBrakedOnASlope)
{
    WriteMeshes();
    // Every showroom model is the first sample car, so each place shows the
    // same car whichever model it draws.
    const std::string first = "Data/Vehicles/01/";
    const std::vector<tools::SampleFile> cars = tools::SampleVehicleFiles();
    for (const tools::SampleFile& f : cars)
        WriteRaw(f.path, f.bytes);
    for (const tools::SampleFile& f : cars)
        if (f.path.rfind(first, 0) == 0)
            for (char n = '2'; n <= '8'; ++n)
                WriteRaw("Data/Vehicles/0" + std::string(1, n) + "/" + f.path.substr(first.size()), f.bytes);
    tools::PropText text;
    text.head = HeadOf("GCLASS_LANDSCAPE", "GTYPE_BUILDING", "Data/Test/CarShop.msh");
    WriteProp("Data/Static/Buildings/AvtoShops/T/Main.obj", text);
    CProp* shop = Add("Data/Static/Buildings/AvtoShops/T/Main.obj", D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(-1, 0, 0));
    // The ground falls one in sixteen the way the cars face, a little under
    // the places at x = -22.
    btVector3 normal(1.0f, 16.0f, 0.0f);
    normal.normalize();
    btStaticPlaneShape ground(normal, normal.dot(btVector3(-22.0f, 0.4f, 0.0f)));
    btRigidBody slope(0.0f, nullptr, &ground);
    g_Game.m_pDynamicsWorld->addRigidBody(&slope);
    shop->CreateShowroomCars();
    ASSERT_EQ(shop->m_nCars, 3u);
    shop->SetCarsInWorld(true);
    float placed[3];
    for (int i = 0; i < 3; ++i)
        placed[i] = shop->m_pCars[i]->m_pRigidBody->getCenterOfMassPosition().x();
    g_GameTimer.m_fDelta = 1.0f / 60.0f;
    for (int frame = 0; frame < 180; ++frame) {
        for (std::uint32_t i = 0; i < shop->m_nCars; ++i)
            shop->m_pCars[i]->UpdateEngine();
        g_Game.m_pDynamicsWorld->stepSimulation(1.0f / 60.0f, 0, 1.0f / 60.0f);
    }
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const btVector3 at = shop->m_pCars[i]->m_pRigidBody->getCenterOfMassPosition();
        EXPECT_NEAR(at.x(), placed[i], 0.5f) << "the car stays on its place";
    }
    shop->SetCarsInWorld(false);
    g_Game.m_pDynamicsWorld->removeRigidBody(&slope);
    shop->ReleaseCars();
}

// A trade in an open shop, then the two ways the game lets go of it: the
// traded car stands in the showroom and names the shop, so destroying it
// from the car list (shut-down with the screen open) empties its place; and
// a shop deleted before the cars (a reset releases the sectors' props
// first) leaves no car naming it.
TEST_F(ShowroomTest, NoCarNamesAShopAfterItsPlaceOrTheShopIsGone)
{
    CProp* shop = SampleCarShop();
    ASSERT_EQ(shop->m_nCars, 3u);
    CVehicle* own = g_VehicleManager.CreateVehicle("Data/Vehicles/01/Main.obj");
    ASSERT_NE(own, nullptr);
    shop->SetCarsInWorld(true);
    CVehicle* bought = shop->m_pCars[0];
    CVehicle* other = own;
    g_VehicleManager.SwapVehicles(&bought, &other);
    shop->PlaceCars(&bought, &other);
    ASSERT_EQ(shop->m_pCars[0], own);
    EXPECT_EQ(own->m_pShowroom, shop);

    g_VehicleManager.DestroyVehicle(own);
    EXPECT_EQ(shop->m_nCars, 2u);
    for (const CVehicle* car : shop->m_pCars)
        EXPECT_NE(car, own);

    ASSERT_EQ(bought->m_pShowroom, shop) << "only the shop screen lets the bought car go";
    g_PropManager.RemoveProp(shop);
    EXPECT_EQ(bought->m_pShowroom, nullptr);
    g_VehicleManager.Clear();
    EXPECT_EQ(g_VehicleManager.m_nCars, 0u);
}

TEST_F(PropTest, ClearAndReloadListEachShopOnce)
{
    WriteMeshes();
    tools::PropText text;
    text.head = HeadOf("GCLASS_LANDSCAPE", "GTYPE_BUILDING", "Data/Test/Workshop.msh");
    WriteProp("Data/Static/Buildings/WorkShops/T/Main.obj", text);
    for (int load = 0; load < 3; ++load) {
        g_PropManager.Clear();
        Add("Data/Static/Buildings/WorkShops/T/Main.obj", D3DXVECTOR3(0, 0, 0));
        EXPECT_EQ(g_PropManager.m_nWorkShops, 1u);
    }
}

// Bodies come into the physics world nearer than 20 (or with a car at the
// prop) and leave beyond 20 without one; at exactly 20 they stay as they are.
TEST_F(PropTest, PhysicsRuleByDistanceAndNearCar)
{
    WriteMeshes();
    tools::PropText bridge;
    bridge.head = HeadOf("GCLASS_STATIC", "GTYPE_BRIDGE", "Data/Test/Bridge.msh");
    WriteProp("Data/Test/Bridge.obj", bridge);
    tools::PropText decor;
    decor.head = HeadOf("GCLASS_STATIC", "GTYPE_DECORS", "Data/Test/Building.msh");
    WriteProp("Data/Test/Kiosk.obj", decor);
    struct Case {
        float d;
        bool startIn, car, wantIn;
    } const cases[] = {
        {19.9f, false, false, true},  {20.0f, false, false, false}, {20.1f, false, false, false},
        {19.9f, true, false, true},   {20.0f, true, false, true},   {20.1f, true, false, false},
        {20.1f, false, true, true},   {20.1f, true, true, true},
    };
    for (const char* path : {"Data/Test/Bridge.obj", "Data/Test/Kiosk.obj"}) {
        CProp* prop = Add(path, D3DXVECTOR3(0, 0, 0));
        ASSERT_NE(prop->m_pRigidBody, nullptr);
        prop->m_fSphereRadius = 1.0f; // keeps the distances exact
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(path) + " at " + std::to_string(c.d) + (c.car ? " with car" : ""));
            prop->SetPhysicsActive(c.startIn);
            m_car.m_vPosition = prop->m_vPosition;
            g_pPlayerVehicle = c.car ? &m_car : nullptr;
            g_VehicleManager.RemoveVehicle(&m_car);
            if (c.car)
                g_VehicleManager.AddVehicle(&m_car);
            EyeAt(prop, c.d);
            prop->Update();
            EXPECT_EQ(prop->m_bInWorld != 0, c.wantIn);
            EXPECT_EQ(prop->m_pRigidBody->isInWorld(), c.wantIn);
        }
        g_VehicleManager.RemoveVehicle(&m_car);
        g_PropManager.RemoveProp(prop);
    }
}

// A lamp with a self-lit glass and light sprites: hit hard enough it goes
// dark, and waking it relights it once.
class LampTest : public PropTest {
protected:
    void SetUp() override
    {
        PropTest::SetUp();
        WriteMeshes();
        tools::PropText text;
        text.head = HeadOf("GCLASS_STATIC", "GTYPE_LAMPPOST");
        tools::DescriptionWriter w;
        w.SelfIllum("Data/Test/Tex.dds").Lights(0.7f, {255, 230, 180}, 14.0f, 0.08f, 0.012f);
        text.sections = w.Text();
        text.mass = 120.0f;
        WriteProp("Data/Test/Lamp.obj", text);
        m_lamp = Add("Data/Test/Lamp.obj", D3DXVECTOR3(0, 0, 0));
        ASSERT_NE(m_lamp->m_pSelfIllum, nullptr);
        ASSERT_NE(m_lamp->m_pLights, nullptr);
        m_emissive = m_lamp->m_pSelfIllum->m_Material.Emissive.r;
        EyeAt(m_lamp, 5.0f);
    }
    // Hits the lamp (an awake body with the given speeds) and runs its frame.
    void Hit(float speed, float spin)
    {
        m_lamp->Update(); // in the world first
        btRigidBody* body = m_lamp->m_pRigidBody;
        body->activate(true);
        body->setLinearVelocity(btVector3(speed, 0, 0));
        body->setAngularVelocity(btVector3(0, spin, 0));
        m_lamp->Update();
    }
    CProp* m_lamp = nullptr;
    float m_emissive = 0.0f;
};

TEST_F(LampTest, BreaksAboveTheLimitsOnly)
{
    struct Case {
        float speed, spin;
        bool broken;
    } const cases[] = {{2.5f, 0.0f, false}, {2.51f, 0.0f, true}, {0.0f, 0.25f, false}, {0.0f, 0.26f, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.speed) + " / " + std::to_string(c.spin));
        Hit(c.speed, c.spin);
        EXPECT_EQ(m_lamp->m_bBroken != 0, c.broken);
        EXPECT_EQ(m_lamp->m_pLights->m_pOwner == nullptr, c.broken);
        EXPECT_FLOAT_EQ(m_lamp->m_pSelfIllum->m_Material.Emissive.r, c.broken ? m_emissive * 0.2f : m_emissive);
        m_lamp->SetActive(false);
        m_lamp->SetActive(true);
        EXPECT_EQ(m_lamp->m_bBroken, 0u);
        EXPECT_EQ(m_lamp->m_pLights->m_pOwner, m_lamp);
        EXPECT_FLOAT_EQ(m_lamp->m_pSelfIllum->m_Material.Emissive.r, m_emissive);
    }
}

// Knocked by a push through the physics world, the lamp tips over, its
// drawn matrix follows the body, and it goes dark.
TEST_F(LampTest, FallsWhenHit)
{
    m_lamp->Update();
    ASSERT_EQ(m_lamp->m_bInWorld, 1);
    btRigidBody* body = m_lamp->m_pRigidBody;
    body->activate(true);
    body->applyImpulse(btVector3(900, 0, 0), btVector3(0, 2.0f, 0));
    for (int i = 0; i < 30; ++i) {
        g_Game.m_pDynamicsWorld->stepSimulation(1.0f / 60.0f, 0, 1.0f / 60.0f);
        m_lamp->Update();
    }
    EXPECT_EQ(m_lamp->m_bBroken, 1u);
    EXPECT_LT(m_lamp->m_matWorld._22, 0.99f) << "the drawn lamp leans";
}

// Pushed along without breaking, the lamp carries its glow with it.
TEST_F(LampTest, APushedLampsGlowMovesWithIt)
{
    CLightsEffect* glow = m_lamp->m_pLights;
    glow->Build(1, nullptr, nullptr);
    ASSERT_EQ(glow->m_nCount, 1u);
    const D3DXVECTOR3 before = glow->m_pVertices[0].vCentre;
    m_lamp->Update();
    ASSERT_EQ(m_lamp->m_bInWorld, 1);
    btRigidBody* body = m_lamp->m_pRigidBody;
    body->setGravity(btVector3(0, 0, 0));
    body->activate(true);
    body->setLinearVelocity(btVector3(2.0f, 0, 0));
    for (int i = 0; i < 30; ++i) {
        g_Game.m_pDynamicsWorld->stepSimulation(1.0f / 60.0f, 0, 1.0f / 60.0f);
        m_lamp->Update();
    }
    ASSERT_EQ(m_lamp->m_bBroken, 0u);
    D3DXVECTOR3 lamp;
    D3DXVec3TransformCoord(&lamp, &m_lamp->m_pMesh->m_pPoints[1][0], &m_lamp->m_matWorld);
    ASSERT_GT(lamp.x - before.x, 0.5f) << "the lamp moved";
    for (int c = 0; c < 4; ++c) {
        const D3DXVECTOR3& centre = glow->m_pVertices[c].vCentre;
        EXPECT_NEAR(centre.x, lamp.x, 1e-3f);
        EXPECT_NEAR(centre.y, lamp.y, 1e-3f);
        EXPECT_NEAR(centre.z, lamp.z, 1e-3f);
    }
}

TEST_F(LampTest, WakingManyTimesKeepsTheGlow)
{
    for (int i = 0; i < 20; ++i) {
        m_lamp->SetActive(false);
        m_lamp->SetActive(true);
    }
    EXPECT_FLOAT_EQ(m_lamp->m_pSelfIllum->m_Material.Emissive.r, m_emissive);
}

// A lamp without a light point in its mesh has nowhere to put a light.
TEST_F(LampTest, LampMeshWithoutLightPointMakesNoLight)
{
    tools::PropText text;
    text.head = HeadOf("GCLASS_STATIC", "GTYPE_LAMPPOST", "Data/Test/DarkLamp.msh");
    tools::DescriptionWriter w;
    w.Lights(0.7f, {255, 230, 180}, 14.0f, 0.08f, 0.012f);
    text.sections = w.Text();
    text.mass = 120.0f;
    WriteProp("Data/Test/DarkLamp.obj", text);
    CProp* dark = Add("Data/Test/DarkLamp.obj", D3DXVECTOR3(0, 0, 0));
    g_Sky.m_fLightsFactor = 1.0f;
    m_car.m_vPosition = dark->m_vPosition;
    g_pPlayerVehicle = &m_car;
    EyeAt(dark, 5.0f);
    dark->Update();
    EXPECT_EQ(dark->m_nLightIndex, -1);
    EXPECT_EQ(dark->m_bBroken, 0u);
}

TEST_F(PropTest, DecorWithoutEffectsSleepsAndWakesManyTimes)
{
    WriteMeshes();
    tools::PropText text;
    text.head = HeadOf("GCLASS_STATIC", "GTYPE_DECORS");
    text.mass = 30.0f;
    text.parts = {{5.0f, "Data/Test/Lamp.msh"}, {5.0f, "Data/Test/Missing.msh"}};
    WriteProp("Data/Test/Bin.obj", text);
    CProp* prop = Add("Data/Test/Bin.obj", D3DXVECTOR3(0, 0, 0));
    ASSERT_EQ(prop->m_nParts, 2u);
    EyeAt(prop, 5.0f);
    for (int i = 0; i < 50; ++i) {
        prop->SetActive(i % 2 != 0);
        prop->Update();
    }
    EXPECT_EQ(prop->m_bActive, 1);
    EXPECT_EQ(prop->m_pSelfIllum, nullptr);
    EXPECT_EQ(prop->m_pLights, nullptr);
    EXPECT_EQ(prop->m_bInWorld, 1);
}

TEST(PropPartFade, AlphaByDistance)
{
    const struct {
        float d, alpha;
    } cases[] = {{0.0f, 1.0f}, {64.0f, 1.0f}, {72.0f, 0.5f}, {80.0f, 0.0f}, {80.5f, 0.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(PropPartAlpha(c.d), c.alpha) << c.d;
}

// The camera behind a building is pulled in to stand 0.75 in front of the
// wall the car sees; in front of the wall it stays.
TEST_F(PropTest, ChaseCameraIsPulledInFrontOfTheWall)
{
    WriteMeshes();
    tools::PropText text;
    text.head = HeadOf("GCLASS_STATIC", "GTYPE_BUILDING", "Data/Test/Building.msh");
    WriteProp("Data/Test/House.obj", text);
    // The collision box's walls at z = -5.2 and 5.2 (the parapet's reach),
    // the car on the +z side.
    Add("Data/Test/House.obj", D3DXVECTOR3(0, 0, 0));
    m_car.m_vPosition = D3DXVECTOR3(0, 2, 20);
    const struct {
        float eyeZ, wantZ;
        int mode;
    } cases[] = {{3.0f, 5.95f, 5}, {5.5f, 5.95f, 5}, {6.5f, 6.5f, 5}, {3.0f, 3.0f, 0}};
    g_GameTimer.m_fRealDelta = 0.02f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eyeZ);
        m_camera.m_nMode = c.mode;
        m_camera.m_pTarget = &m_car;
        m_camera.m_vEye = D3DXVECTOR3(0, 2, c.eyeZ);
        m_camera.m_vTarget = m_car.m_vPosition;
        m_camera.Update();
        EXPECT_NEAR(m_camera.m_vEye.z, c.wantZ, 1e-3f);
        EXPECT_NEAR(m_camera.m_vEye.x, 0.0f, 1e-4f);
    }
    m_camera.m_pTarget = nullptr;
    m_camera.m_nMode = 0;
    g_GameTimer.m_fRealDelta = 0.0f;
}

} // namespace
