// The chassis body and raycast vehicle a car builds, re-spawning, taking the
// body in and out of the world, and cars standing on a ground.
#include "vehicle_fixture.h"

#include "graphics/MeshContainer.h"
#include "shell/Input.h"
#include "world/Landscape.h"

#include <cstring>
#include <filesystem>

namespace {

using test::VehicleTest;

btVector3 Hub(const CVehicle* car, int i)
{
    const D3DXVECTOR3 p = car->m_pMesh->m_pPoints[VEHICLE_MESH_WHEEL_PART][i];
    return btVector3(p.x, p.y, p.z);
}

TEST_F(VehicleTest, BuildPhysicsPlacesTheWheelsAndSuspensionByKind)
{
    const struct {
        int kind;
        float gripFactor;
        bool ownBox;
    } cases[] = {{VEHICLE_PLAYER, 1.0f, false}, {VEHICLE_POLICE, 1.0f, false}, {VEHICLE_TRAFFIC, 0.5f, true}};
    for (const auto& c : cases) {
        CVehicle* car = Spawned(c.kind);
        ASSERT_NE(car->m_pRaycastVehicle, nullptr) << c.kind;
        const float minY = std::fabs(car->m_pMesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART][0].vMin.y);
        const float h = c.kind == VEHICLE_PLAYER ? 0.5f * minY : c.kind == VEHICLE_POLICE ? minY : 0.25f * minY;
        EXPECT_FLOAT_EQ(car->m_vCentreOffset.y, h) << c.kind;
        const float rest = (Hub(car, 4).y() - Hub(car, 0).y() - car->m_fWheelRadius) / 2.0f;
        EXPECT_GT(rest, 0.0f);
        EXPECT_FLOAT_EQ(car->m_fSuspensionRest, rest);
        EXPECT_FLOAT_EQ(car->m_Tuning.m_maxSuspensionTravelCm, rest * 300.0f);
        EXPECT_FLOAT_EQ(car->m_Tuning.m_maxSuspensionForce, VEHICLE_MAX_SUSPENSION_FORCE);
        const float w = car->m_fWheelWidth / 2.5f;
        ASSERT_EQ(car->m_pRaycastVehicle->getNumWheels(), 4);
        for (int i = 0; i < 4; ++i) {
            const btWheelInfo& wheel = car->m_pRaycastVehicle->getWheelInfo(i);
            const btVector3 expected = Hub(car, i) + btVector3(i % 2 == 0 ? -w : w, h, 0.0f);
            EXPECT_NEAR((wheel.m_chassisConnectionPointCS - expected).length(), 0.0f, 1e-5f) << c.kind << " " << i;
            EXPECT_EQ(wheel.m_bIsFrontWheel, i < 2);
            EXPECT_FLOAT_EQ(wheel.m_suspensionRestLength1, rest);
            EXPECT_FLOAT_EQ(wheel.m_frictionSlip, (i < 2 ? car->m_fBaseFrontGrip : car->m_fBaseRearGrip) * c.gripFactor)
                << c.kind << " " << i;
        }
        EXPECT_EQ(car->m_pOwnBoxShape != nullptr, c.ownBox) << c.kind;
        car->m_pMesh->BuildConvexHullShape();
        EXPECT_EQ(car->m_pChassisShape->getChildShape(0) == car->m_pMesh->m_pConvexHullShape, !c.ownBox);
        EXPECT_EQ(car->m_pRigidBody->getUserPointer(), car);
        EXPECT_EQ(car->m_pRigidBody->getActivationState(), DISABLE_DEACTIVATION);
        EXPECT_EQ(car->m_bPhysicsActive, 0) << "the world only takes it through SetPhysicsActive";
    }
}

TEST_F(VehicleTest, RespawnKeepsBodyAndVehicleAndStopsThem)
{
    CVehicle* car = Spawned(VEHICLE_PLAYER);
    car->SetPhysicsActive(1);
    btRigidBody* body = car->m_pRigidBody;
    btRaycastVehicle* vehicle = car->m_pRaycastVehicle;
    body->setLinearVelocity(btVector3(5, 0, 0));
    car->m_fSpeed = 50.0f;
    const D3DXVECTOR3 at(10, 2, 10), target(20, 2, 10), up(0, 1, 0);
    car->Spawn(&at, &target, &up, 2, VEHICLE_PLAYER, 0);
    EXPECT_EQ(car->m_pRigidBody, body);
    EXPECT_EQ(car->m_pRaycastVehicle, vehicle);
    EXPECT_EQ(body->getLinearVelocity().length(), 0.0f);
    EXPECT_EQ(car->m_fSpeed, 0.0f);
    EXPECT_EQ(car->m_nControlMode, 2);
    EXPECT_NEAR(body->getCenterOfMassPosition().x(), 10.0f, 1e-4f);
    // Facing +x: the body's forward axis follows.
    const btVector3 forward = body->getWorldTransform().getBasis() * btVector3(0, 0, 1);
    EXPECT_NEAR(forward.x(), 1.0f, 1e-4f);
}

TEST_F(VehicleTest, PhysicsActiveMovesBodyAndVehicleInAndOutOnce)
{
    CVehicle* car = Spawned(VEHICLE_PLAYER);
    btDiscreteDynamicsWorld* world = g_Game.m_pDynamicsWorld;
    const int before = world->getNumCollisionObjects();
    const float y = car->m_vBodyPos.y;
    car->SetPhysicsActive(1);
    car->SetPhysicsActive(1);
    EXPECT_EQ(world->getNumCollisionObjects(), before + 1);
    EXPECT_FLOAT_EQ(car->m_vBodyPos.y, y - car->m_vCentreOffset.y);
    car->SetPhysicsActive(0);
    car->SetPhysicsActive(0);
    EXPECT_EQ(world->getNumCollisionObjects(), before);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(car->m_pRaycastVehicle->getWheelInfo(i).m_raycastInfo.m_suspensionLength, 0.0f);
}

TEST_F(VehicleTest, TwoHundredTrafficCarsComeAndGoWithoutLeftovers)
{
    Load(); // the model's mesh stays loaded throughout
    const int textures = [] {
        int n = 0;
        for (IDirect3DTexture9* t : g_D3DRender.m_TextureManager.m_pTextures)
            n += t != nullptr;
        return n;
    }();
    const std::uint32_t refs = m_cars[0]->m_pMesh->m_nRefCount;
    btCollisionShape* hull = nullptr;
    for (int i = 0; i < 200; ++i) {
        CVehicle car;
        car.LoadModel("Data/Vehicles/01/Main.obj");
        const D3DXVECTOR3 at(float(i), 1, 0), target(float(i), 1, 10), up(0, 1, 0);
        car.Spawn(&at, &target, &up, 1, i % 5 == 0 ? VEHICLE_PLAYER : VEHICLE_TRAFFIC, 1);
        car.SetPhysicsActive(i % 2);
        if (i % 5 == 0)
            hull = car.m_pChassisShape->getChildShape(0);
        car.Release();
    }
    int after = 0;
    for (IDirect3DTexture9* t : g_D3DRender.m_TextureManager.m_pTextures)
        after += t != nullptr;
    EXPECT_EQ(after, textures);
    EXPECT_EQ(m_cars[0]->m_pMesh->m_nRefCount, refs);
    EXPECT_EQ(g_Game.m_pDynamicsWorld->getNumCollisionObjects(), 0);
    EXPECT_EQ(m_cars[0]->m_pMesh->m_pConvexHullShape, hull) << "the shared hull outlives the cars";
}

// Every sample car, dropped onto a flat ground, comes to rest on its four
// wheels with the body above the ground.
TEST_F(VehicleTest, EverySampleCarStandsOnItsWheels)
{
    auto* ground = new btStaticPlaneShape(btVector3(0, 1, 0), 0.0f);
    btTransform at;
    at.setIdentity();
    auto* plane = new btRigidBody(0.0f, nullptr, ground);
    plane->setWorldTransform(at);
    g_Game.m_pDynamicsWorld->addRigidBody(plane);
    float x = 0.0f;
    std::vector<CVehicle*> cars;
    for (const std::string& path : tools::SampleVehiclePaths()) {
        CVehicle* car = Spawned(path.find("Police") != std::string::npos ? VEHICLE_POLICE : VEHICLE_PLAYER,
                                path.c_str(), D3DXVECTOR3(x, 0.5f, 0.0f));
        car->SetPhysicsActive(1);
        cars.push_back(car);
        x += 10.0f;
    }
    for (int step = 0; step < 180; ++step)
        g_Game.m_pDynamicsWorld->stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
    for (CVehicle* car : cars) {
        int contacts = 0;
        for (int i = 0; i < 4; ++i)
            contacts += car->m_pRaycastVehicle->getWheelInfo(i).m_raycastInfo.m_isInContact;
        EXPECT_EQ(contacts, 4) << car->m_szPath;
        const btVector3 p = car->m_pRigidBody->getCenterOfMassPosition();
        const float bottom = car->m_pMesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART][0].vMin.y;
        EXPECT_GT(p.y() + car->m_vCentreOffset.y + bottom, 0.0f) << car->m_szPath << ": the body is off the ground";
        EXPECT_LT(p.y(), 2.0f) << car->m_szPath;
        EXPECT_LT(car->m_pRigidBody->getLinearVelocity().length(), 0.2f) << car->m_szPath;
    }
    g_Game.m_pDynamicsWorld->removeRigidBody(plane);
    delete plane;
    delete ground;
}

// The sample city the build wrote, with its physics ground.
void LoadSampleCity()
{
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::string(MORVAINE_BUILD_DIR) + "/run");
    const int result = g_Landscape.Init();
    std::filesystem::current_path(previous);
    ASSERT_EQ(result, 1);
    g_Landscape.Update();
    ASSERT_NE(g_Landscape.m_pTerrainBody, nullptr);
}

// Every sample car placed on the street at the player's start stands there on
// its own wheels.
TEST_F(VehicleTest, EverySampleCarStandsOnTheSampleCity)
{
    LoadSampleCity();
    std::vector<CVehicle*> cars;
    float z = -730.0f;
    for (const std::string& path : tools::SampleVehiclePaths()) {
        D3DXVECTOR3 at(226.0f, 0.0f, z);
        at.y = GetExactAltitude(&at) + 1.5f;
        cars.push_back(Spawned(VEHICLE_PLAYER, path.c_str(), at));
        cars.back()->SetPhysicsActive(1);
        z -= 12.0f;
    }
    for (int step = 0; step < 180; ++step)
        g_Game.m_pDynamicsWorld->stepSimulation(1.0f / 60.0f, 1, 1.0f / 60.0f);
    for (CVehicle* car : cars) {
        int contacts = 0;
        for (int i = 0; i < 4; ++i)
            contacts += car->m_pRaycastVehicle->getWheelInfo(i).m_raycastInfo.m_isInContact;
        EXPECT_EQ(contacts, 4) << car->m_szPath;
        const btVector3 p = car->m_pRigidBody->getCenterOfMassPosition();
        const D3DXVECTOR3 under(p.x(), 0.0f, p.z());
        const float ground = GetExactAltitude(&under);
        const float bottom = car->m_pMesh->m_pBoxes[VEHICLE_MESH_COLLISION_PART][0].vMin.y;
        EXPECT_GT(p.y() + car->m_vCentreOffset.y + bottom, ground) << car->m_szPath;
        EXPECT_LT(p.y(), ground + 2.0f) << car->m_szPath;
        EXPECT_LT(car->m_pRigidBody->getLinearVelocity().length(), 0.2f) << car->m_szPath;
    }
    for (auto& car : m_cars)
        car->Release();
    m_cars.clear();
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
}

TEST_F(VehicleTest, ResetToRoadPutsTheCarOnTheNearestRoad)
{
    LoadSampleCity();
    D3DXVECTOR3 off(300.0f, 0.0f, -700.0f); // inside a block, off the streets
    off.y = GetExactAltitude(&off) + 1.0f;
    CVehicle* car = Spawned(VEHICLE_PLAYER, "Data/Vehicles/01/Main.obj", off);
    g_pPlayerVehicle = car;
    car->m_pLastContact = car;
    g_bActRestore = 1;

    car->SetControlMode(1);
    car->ResetToRoad(nullptr, nullptr);
    EXPECT_EQ(g_bActRestore, 0) << "the key is consumed";
    EXPECT_EQ(car->m_pLastContact, car) << "a car without its driver stays";

    car->SetControlMode(2);
    car->m_vLinearVelocity = D3DXVECTOR3(2.0f, 0.0f, 0.0f);
    car->ResetToRoad(nullptr, nullptr);
    EXPECT_EQ(car->m_pLastContact, car) << "a moving car stays";

    car->m_vLinearVelocity = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    car->ResetToRoad(nullptr, nullptr);
    EXPECT_EQ(car->m_pLastContact, nullptr);
    const D3DXVECTOR3 placed(car->m_matPlacement.m[3][0], car->m_matPlacement.m[3][1], car->m_matPlacement.m[3][2]);
    EXPECT_EQ(g_Landscape.GetRouteCellType(&placed), ROUTE_ROAD);
    EXPECT_NEAR(placed.y, GetExactAltitude(&placed) + 2.0f, 0.5f);
    EXPECT_EQ(car->m_nKind, VEHICLE_PLAYER);
    EXPECT_EQ(car->m_nControlMode, 2);

    const D3DXVECTOR3 given(226.0f, 20.0f, -730.0f), target(226.0f, 20.0f, -700.0f);
    car->ResetToRoad(&given, &target);
    EXPECT_EQ(car->m_matPlacement.m[3][2], -730.0f);
    EXPECT_NEAR(car->m_matPlacement.m[2][2], 1.0f, 1e-5f) << "facing the target";

    g_pPlayerVehicle = nullptr;
    for (auto& c : m_cars)
        c->Release();
    m_cars.clear();
    g_Landscape.Release();
    g_Landscape.m_fWorldSize = 0.0f;
}

} // namespace

namespace {

using test::VehicleTest;

TEST_F(VehicleTest, RivalsFollowThePlayersLevelsOrKeepTheirOwn)
{
    CVehicle* alone = Spawned(VEHICLE_RIVAL, "Data/Vehicles/05/Main.obj");
    for (int level : alone->m_UpgradeLevels)
        EXPECT_EQ(level, 0) << "no player car: level 0";
    EXPECT_FLOAT_EQ(alone->m_fPower, alone->m_fBasePower);

    CVehicle* player = Spawned(VEHICLE_PLAYER, "Data/Vehicles/02/Main.obj");
    const std::int32_t levels[4] = {1, 0, 2, 1};
    std::memcpy(player->m_UpgradeLevels, levels, sizeof(levels));
    g_pPlayerVehicle = player;
    for (int i = 0; i < 10; ++i) {
        CVehicle* rival = Spawned(VEHICLE_RIVAL, "Data/Vehicles/05/Main.obj");
        EXPECT_EQ(rival->m_UpgradeLevels[ENGINE], 1);
        EXPECT_EQ(rival->m_UpgradeLevels[TRANSMISSION], 0);
        EXPECT_EQ(rival->m_UpgradeLevels[CHASSIS], 3);
        EXPECT_EQ(rival->m_UpgradeLevels[TIRES], 2);
        const float k = rival->m_fBasePower / player->m_fBasePower;
        EXPECT_GE(k, 0.8f - 1e-5f);
        EXPECT_LE(k, 1.0f + 1e-5f);
        EXPECT_FLOAT_EQ(rival->m_fPower, rival->m_fBasePower + 200.0f);
    }
}

} // namespace

namespace {

TEST_F(VehicleTest, ResetDuringARaceTakesTheRoutePointClampedToTheRoute)
{
    CVehicle* car = Spawned(VEHICLE_PLAYER);
    g_pPlayerVehicle = car;
    car->SetControlMode(2);
    for (int i = 0; i < 6; ++i)
        car->m_Route[i] = D3DXVECTOR3(0.0f, 0.0f, float(i) * 10.0f);
    car->m_nRoutePoints = 6;
    g_VehicleManager.m_bRaceRunning = 1;
    const struct {
        std::uint32_t index;
        float z;
    } cases[] = {{2, 20.0f}, {4, 40.0f}, {5, 40.0f}, {900, 40.0f}};
    for (const auto& c : cases) {
        car->m_nRouteIndex = c.index;
        car->ResetToRoad(nullptr, nullptr);
        EXPECT_EQ(car->m_matPlacement.m[3][2], c.z) << c.index;
        EXPECT_EQ(car->m_matPlacement.m[3][1], 2.5f) << c.index;
        EXPECT_NEAR(car->m_matPlacement.m[2][2], 1.0f, 1e-5f) << c.index << ": facing the next point";
        EXPECT_EQ(car->m_nRoutePoints, 6u) << "the route is kept";
    }
    g_VehicleManager.m_bRaceRunning = 0;
}

} // namespace
